#pragma once

#include <QString>

#include <utility>

namespace kolu {

// Where the radio is: the values the radio card, the now-playing summary and
// the settings page show.
class QuranPlayerStatus {
public:
    enum class Kind {
        Error,              // a failure with a message for the user
        Idle,               // nothing loaded
        Loading,            // a stream is being tuned or buffered
        Playing,            // the stream is audible
        Paused,             // paused
        NetworkUnavailable, // every address of the station was tried without success
    };

    QuranPlayerStatus() = default;

    static QuranPlayerStatus error(QString message) { return QuranPlayerStatus(Kind::Error, std::move(message)); }
    static QuranPlayerStatus idle() { return QuranPlayerStatus(Kind::Idle); }
    static QuranPlayerStatus loading() { return QuranPlayerStatus(Kind::Loading); }
    static QuranPlayerStatus playing() { return QuranPlayerStatus(Kind::Playing); }
    static QuranPlayerStatus paused() { return QuranPlayerStatus(Kind::Paused); }
    static QuranPlayerStatus networkUnavailable() { return QuranPlayerStatus(Kind::NetworkUnavailable); }

    Kind kind() const { return m_kind; }
    // The error's message; empty for the other cases.
    const QString &message() const { return m_message; }

    friend bool operator==(const QuranPlayerStatus &, const QuranPlayerStatus &) = default;

private:
    explicit QuranPlayerStatus(Kind kind, QString message = {})
        : m_kind(kind)
        , m_message(std::move(message))
    {
    }

    Kind m_kind = Kind::Idle;
    QString m_message;
};

} // namespace kolu
