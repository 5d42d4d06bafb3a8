#include "style/DateText.h"

#include <QLocale>
#include <QTimeZone>

#include <unicode/calendar.h>
#include <unicode/dtptngen.h>
#include <unicode/gregocal.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <map>

namespace kolu {

namespace {

icu::UnicodeString toIcu(const QString &text)
{
    return icu::UnicodeString(reinterpret_cast<const UChar *>(text.utf16()), int32_t(text.size()));
}

QString fromIcu(const icu::UnicodeString &text)
{
    return QString(reinterpret_cast<const QChar *>(text.getBuffer()), text.length());
}

icu::Locale icuLocale(const QString &name)
{
    const QString chosen = name.isEmpty() ? QLocale::system().name() : name;
    icu::Locale locale;
    if (chosen.contains(u'-')) {
        UErrorCode status = U_ZERO_ERROR;
        locale = icu::Locale::forLanguageTag(chosen.toStdString(), status);
        if (U_FAILURE(status))
            locale = icu::Locale::getRoot();
    } else {
        locale = icu::Locale(chosen.toLatin1().constData());
    }
    if (locale.isBogus())
        locale = icu::Locale::getRoot();
    // Gregorian whatever the locale's default calendar; the numbering system
    // stays the locale's own.
    UErrorCode status = U_ZERO_ERROR;
    locale.setKeywordValue("calendar", "gregorian", status);
    return locale;
}

} // namespace

struct DateText::Private {
    icu::Locale locale;
    std::unique_ptr<icu::TimeZone> zone;
    std::unique_ptr<icu::DateTimePatternGenerator> generator;
    mutable std::map<QString, std::unique_ptr<icu::SimpleDateFormat>> formats;

    icu::SimpleDateFormat *formatFor(const QString &skeleton) const
    {
        auto it = formats.find(skeleton);
        if (it != formats.end())
            return it->second.get();
        std::unique_ptr<icu::SimpleDateFormat> format;
        if (generator) {
            UErrorCode status = U_ZERO_ERROR;
            const icu::UnicodeString pattern = generator->getBestPattern(toIcu(skeleton), status);
            if (U_SUCCESS(status)) {
                format = std::make_unique<icu::SimpleDateFormat>(pattern, locale, status);
                if (U_FAILURE(status))
                    format.reset();
            }
        }
        if (format) {
            UErrorCode status = U_ZERO_ERROR;
            // The calendar keyword already asks for Gregorian; set it
            // explicitly too, with the chosen zone.
            auto calendar = std::make_unique<icu::GregorianCalendar>(*zone, locale, status);
            if (U_SUCCESS(status))
                format->adoptCalendar(calendar.release());
            format->setTimeZone(*zone);
        }
        return formats.emplace(skeleton, std::move(format)).first->second.get();
    }
};

DateText::DateText(const QString &locale, const QString &timeZone)
    : d(std::make_unique<Private>())
{
    d->locale = icuLocale(locale);
    const QString zoneName = timeZone.isEmpty() ? QString::fromUtf8(QTimeZone::systemTimeZoneId()) : timeZone;
    d->zone.reset(icu::TimeZone::createTimeZone(toIcu(zoneName)));
    if (!d->zone || *d->zone == icu::TimeZone::getUnknown())
        d->zone.reset(icu::TimeZone::createDefault());
    UErrorCode status = U_ZERO_ERROR;
    d->generator.reset(icu::DateTimePatternGenerator::createInstance(d->locale, status));
    if (U_FAILURE(status))
        d->generator.reset();
}

DateText::~DateText() = default;
DateText::DateText(DateText &&) noexcept = default;
DateText &DateText::operator=(DateText &&) noexcept = default;

QString DateText::pattern(const QString &skeleton) const
{
    const icu::SimpleDateFormat *format = d->formatFor(skeleton);
    if (!format)
        return {};
    icu::UnicodeString pattern;
    format->toPattern(pattern);
    return fromIcu(pattern);
}

QString DateText::format(const QDateTime &when, const QString &skeleton) const
{
    if (!when.isValid())
        return {};
    icu::SimpleDateFormat *format = d->formatFor(skeleton);
    if (!format)
        return {};
    icu::UnicodeString out;
    format->format(UDate(when.toMSecsSinceEpoch()), out);
    return fromIcu(out);
}

const DateText &DateText::user()
{
    static const DateText text;
    return text;
}

} // namespace kolu
