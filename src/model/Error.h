#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

namespace kolu {

// Base of every failure that reaches the user. description() is the sentence
// shown in a status line; each service derives its own type so callers can
// tell its cases apart.
class Error : public std::exception {
public:
    explicit Error(QString description);
    ~Error() override;

    Error(const Error &) = default;
    Error &operator=(const Error &) = default;

    QString description() const { return m_description; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_description;
    QByteArray m_utf8;
};

// A request that failed on its way: no connection, an HTTP error status, a
// time-out. Carries the platform's own message.
class TransportError : public Error {
public:
    using Error::Error;
    ~TransportError() override;
};

// An answer that arrived but could not be understood.
class DecodingError : public Error {
public:
    using Error::Error;
    ~DecodingError() override;
};

} // namespace kolu
