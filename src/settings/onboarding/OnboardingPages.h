#pragma once

#include <QColor>
#include <QString>

#include <vector>

namespace kolu {

// One feature page of the welcome window.
struct OnboardingPage {
    QString title;
    QString subtitle;
    QString symbol;
    QColor tint;
};

// The five pages, their tints taken from the style as it is now: a later
// theme change leaves an open window's tiles as they were.
std::vector<OnboardingPage> onboardingPages();

} // namespace kolu
