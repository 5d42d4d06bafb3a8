#include "style/DateText.h"

#include <gtest/gtest.h>

using namespace kolu;
using namespace Qt::StringLiterals;

TEST(DateText, FormatsBySkeletonInTheLocaleWithTheGregorianCalendar)
{
    // 5 March 2026, 15:07 in Berlin.
    const QDateTime when = QDateTime::fromString(u"2026-03-05T14:07:00Z"_s, Qt::ISODate);
    // Locale, skeleton, text.
    const std::tuple<const char *, const char *, QString> cases[] = {
        {"en_US", "dMMMyy", u"Mar 5, 26"_s},
        {"en_US", "jmm", u"3:07\u202FPM"_s},
        {"en_US", "EEEEMMMd", u"Thursday, Mar 5"_s},
        {"en_US", "EEE", u"Thu"_s},
        {"en_US", "d", u"5"_s},
        {"en_US", "MMMd", u"Mar 5"_s},
        {"en_US", "yMMMd", u"Mar 5, 2026"_s},
        {"en_US", "yMMMdjmm", u"Mar 5, 2026, 3:07\u202FPM"_s},
        {"en_GB", "dMMMyy", u"5 Mar 26"_s},
        {"en_GB", "jmm", u"15:07"_s},
        {"en_GB", "EEEEMMMd", u"Thursday, 5 Mar"_s},
        {"de_DE", "dMMMyy", u"5. März 26"_s},
        {"de_DE", "jmm", u"15:07"_s},
        {"de_DE", "ccc", u"Do"_s},
        {"de_DE", "yMMMd", u"5. März 2026"_s},
        {"ar_SA", "yMMMd", u"٥ مارس ٢٠٢٦"_s},
        {"ar_SA", "d", u"٥"_s},
    };
    for (const auto &[locale, skeleton, expected] : cases) {
        const DateText text(QString::fromLatin1(locale), u"Europe/Berlin"_s);
        EXPECT_EQ(text.format(when, QString::fromLatin1(skeleton)), expected)
            << locale << " " << skeleton << " pattern " << text.pattern(QString::fromLatin1(skeleton)).toStdString();
    }
}

TEST(DateText, TimeZoneAndBadInput)
{
    const QDateTime when = QDateTime::fromString(u"2026-03-05T23:30:00Z"_s, Qt::ISODate);
    EXPECT_EQ(DateText(u"en_GB"_s, u"UTC"_s).format(when, u"d"_s), u"5"_s);
    EXPECT_EQ(DateText(u"en_GB"_s, u"Asia/Tokyo"_s).format(when, u"d"_s), u"6"_s);
    // An unknown zone falls back to the system's; an invalid date gives nothing.
    EXPECT_FALSE(DateText(u"en_GB"_s, u"Nowhere/Atlantis"_s).format(when, u"jmm"_s).isEmpty());
    EXPECT_TRUE(DateText(u"en_GB"_s, u"UTC"_s).format(QDateTime(), u"d"_s).isEmpty());
    EXPECT_EQ(DateText(u"de-DE"_s, u"UTC"_s).format(when, u"jmm"_s), u"23:30"_s);
}
