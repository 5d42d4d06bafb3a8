#include "style/HeroColor.h"

#include "model/SettingsKeys.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

QColor fallbackHeroColor()
{
    return QColor::fromRgbF(0.052f, 0.424f, 0.91f, 1.0f);
}

std::optional<QColor> parseHexColor(const QString &text)
{
    QStringView digits = QStringView(text).trimmed();
    if (digits.startsWith(u'#'))
        digits = digits.mid(1);
    if (digits.size() != 6)
        return std::nullopt;
    uint value = 0;
    for (const QChar c : digits) {
        const char16_t u = c.unicode();
        uint digit = 0;
        if (u >= u'0' && u <= u'9')
            digit = u - u'0';
        else if (u >= u'a' && u <= u'f')
            digit = 10 + (u - u'a');
        else if (u >= u'A' && u <= u'F')
            digit = 10 + (u - u'A');
        else
            return std::nullopt;
        value = value * 16 + digit;
    }
    // Components divided by 255 as reals, so that hexString() gives the
    // same digits back.
    return QColor::fromRgbF(float(((value >> 16) & 0xFF) / 255.0), float(((value >> 8) & 0xFF) / 255.0),
                            float((value & 0xFF) / 255.0), 1.0f);
}

QColor heroColorFromStored(const std::optional<QString> &stored)
{
    // Absent: the default in the settings-key table, "#0D6CE8".
    const QString text = stored.value_or(settingsKeyRow(SettingsKey::orlixHeroColorHex).defaultValue.toString());
    return parseHexColor(text).value_or(fallbackHeroColor());
}

double luminance(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return 0.2126 * rgb.redF() + 0.7152 * rgb.greenF() + 0.0722 * rgb.blueF();
}

std::optional<QString> hexString(const QColor &color)
{
    if (!color.isValid())
        return std::nullopt;
    // Extended-range colours can hold components outside 0...1.
    const QColor rgb = color.spec() == QColor::ExtendedRgb ? color : color.toRgb();
    const auto byte = [](float component) {
        const double scaled = std::round(double(component) * 255.0); // halves away from zero
        return int(std::clamp(std::isfinite(scaled) ? scaled : 0.0, 0.0, 255.0));
    };
    return u"#%1%2%3"_s.arg(byte(rgb.redF()), 2, 16, QChar(u'0'))
        .arg(byte(rgb.greenF()), 2, 16, QChar(u'0'))
        .arg(byte(rgb.blueF()), 2, 16, QChar(u'0'))
        .toUpper();
}

} // namespace kolu
