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

// The sentence a status line shows for a caught failure: an Error's
// description, another exception's message, or a general sentence.
QString failureSentence(std::exception_ptr failure);

// A service's own failure: one case of the service's `CaseType`, whose
// sentence comes from that service's table, errorSentence(CaseType) (or
// errorSentence(CaseType, detail) where a case carries the platform's own
// message). Each service names its type with an alias:
// using WeatherServiceError = ServiceError<WeatherErrorCase>;
template<typename CaseType>
class ServiceError : public Error {
public:
    using Case = CaseType;

    explicit ServiceError(Case which)
        : Error(errorSentence(which))
        , m_case(which)
    {
    }
    ServiceError(Case which, const QString &detail)
        : Error(errorSentence(which, detail))
        , m_case(which)
    {
    }

    Case which() const { return m_case; }

private:
    Case m_case;
};

// An answer that arrived but could not be understood.
class DecodingError : public Error {
public:
    using Error::Error;
    ~DecodingError() override;
};

} // namespace kolu
