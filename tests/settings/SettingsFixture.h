#pragma once

#include "model/UserDefaults.h"
#include "services/info/OrlixUpdateController.h"
#include "state/AppState.h"
#include "style/OrlixStyle.h"

#include "ManualClock.h"
#include "TemporaryHome.h"
#include "TestAppServices.h"

#include <gtest/gtest.h>

#include <QNetworkAccessManager>

#include <algorithm>
#include <cmath>
#include <memory>

namespace kolu::test {

// The contrast ratio, 1 to 21, between two opaque colours.
inline double contrastRatio(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A state on test services in a temporary home, the style on the same
// defaults, and an update controller that is not configured.
class SettingsTest : public ::testing::Test {
protected:
    TemporaryHome home;
    ManualClock clock;
    UserDefaults defaults;
    OrlixStyle style{defaults};
    TestAppServices services{defaults, clock, home};
    QNetworkAccessManager network;
    OrlixUpdateController updates{network, defaults, std::nullopt, clock};
    std::unique_ptr<AppState> state = std::make_unique<AppState>(defaults, clock, services.take());

    // The part of `parent` named `name`.
    template<typename T = QWidget>
    static T *child(const QWidget &parent, const QString &name)
    {
        auto *found = parent.findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    template<typename T = QWidget>
    static T *child(const QWidget &parent, const char *name)
    {
        return child<T>(parent, QString::fromLatin1(name));
    }
};

} // namespace kolu::test
