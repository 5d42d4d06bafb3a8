#include "style/Fonts.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QStringList>

#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

const QString kDisplayFontFile = u":/kolu/fonts/EduNSWACTCursive.woff"_s;

QFont sized(QFont font, qreal size, QFont::Weight weight)
{
    font.setPixelSize(std::max(1, int(std::lround(size))));
    font.setWeight(weight);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

} // namespace

QFont OrlixFonts::system(qreal size, QFont::Weight weight)
{
    return sized(QGuiApplication::font(), size, weight);
}

QFont OrlixFonts::rounded(qreal size, QFont::Weight weight)
{
    return system(size, weight);
}

QFont OrlixFonts::monospacedDigits(qreal size, QFont::Weight weight)
{
    // The interface fonts of Linux desktops (DejaVu, Cantarell, Noto, Ubuntu)
    // draw tabular digits by default, and Qt 6.4 cannot ask for them.
    return system(size, weight);
}

QString OrlixFonts::registerDisplayFont()
{
    static const QString family = [] {
        const int id = QFontDatabase::addApplicationFont(kDisplayFontFile);
        if (id < 0)
            return QString();
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        return families.isEmpty() ? QString() : families.constFirst();
    }();
    return family;
}

QFont OrlixFonts::display(qreal size)
{
    const QString family = registerDisplayFont();
    if (family.isEmpty())
        return system(size);
    QFont font(family);
    return sized(font, size, QFont::Normal);
}

} // namespace kolu
