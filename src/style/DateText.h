#pragma once

#include <QDateTime>
#include <QString>

#include <memory>

namespace kolu {

// Dates and times as the user reads them, through ICU: a skeleton such as
// "dMMMyy", "jmm", "EEEEMMMd", "EEE", "ccc", "d", "MMMd", "yMMMd" or
// "yMMMdjmm" becomes the locale's own pattern (order, separators, 12 or 24
// hours, digits). The calendar is always Gregorian, also where the locale's
// default calendar is another one.
class DateText {
public:
    // `locale`: an ICU or BCP 47 name ("en_US", "de-DE"); empty means the
    // user's locale. `timeZone`: an IANA name ("Europe/Berlin"); empty means
    // the system's.
    explicit DateText(const QString &locale = {}, const QString &timeZone = {});
    ~DateText();
    DateText(DateText &&) noexcept;
    DateText &operator=(DateText &&) noexcept;

    QString format(const QDateTime &when, const QString &skeleton) const;
    // The locale's pattern for `skeleton` ("d MMM yy" for "dMMMyy" in en_GB).
    QString pattern(const QString &skeleton) const;

    // The user's locale and the system time zone, shared by the views.
    static const DateText &user();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace kolu
