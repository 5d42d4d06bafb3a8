#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>

struct xcb_connection_t;

namespace kolu {

// Collects a text that arrives in pieces of encoded bytes, and says when it
// holds enough: white space before the first visible character is dropped,
// and once more than `visibleLimit` units follow it, the rest is not needed.
// A character split between two pieces is decoded whole.
class BoundedTextCollector {
public:
    BoundedTextCollector(QStringConverter::Encoding encoding, qsizetype visibleLimit);

    // Takes one piece; false once the text holds enough.
    bool add(QByteArrayView bytes);
    // The text so far (a character cut at the very end is left out).
    QString take() { return std::move(m_text); }

private:
    QStringDecoder m_decoder;
    qsizetype m_limit; // < 0: no limit
    QString m_text;
};

// Fetches another program's selection (the clipboard by default) over an X
// connection of its own, so that any thread may wait for it without holding
// up Qt's. Each transfer converts the selection into a property of a window
// made for it, reads the property in slices and follows the incremental
// protocol for large contents; a reader that has what it needs ends the
// transfer early. A transfer gives up when the owner stays silent or takes
// too long. One transfer runs at a time; others wait their turn.
class X11SelectionReader {
public:
    struct Limits {
        // The owner must answer each step within this...
        std::chrono::milliseconds silence{5000};
        // ... and send the whole content within this.
        std::chrono::milliseconds transfer{30000};
    };

    // `displayName` empty: the display of the environment. The connection is
    // made on first use, on the reading thread, and made again if it breaks.
    explicit X11SelectionReader(QByteArray displayName = {}, QByteArray selection = "CLIPBOARD");
    X11SelectionReader(QByteArray displayName, QByteArray selection, Limits limits);
    // Ends a transfer in progress at once and waits for it to return.
    ~X11SelectionReader();

    X11SelectionReader(const X11SelectionReader &) = delete;
    X11SelectionReader &operator=(const X11SelectionReader &) = delete;

    enum class Outcome { complete, stopped, refused, failed };

    // Passes the bytes of `target` to `sink` as they arrive, until the end
    // (complete), until `sink` returns false (stopped), or until something
    // goes wrong (failed). Refused: there is no owner or it does not offer
    // `target`.
    Outcome read(const QByteArray &target, const std::function<bool(QByteArrayView)> &sink);

    // The names of the targets offered; empty without an owner.
    QStringList targets();
    // The MIME types offered, "text/plain" among them when a text is.
    QStringList formats();
    // The bytes of `target` (a MIME type or another target name); with
    // `byteLimit` >= 0, no more than `byteLimit` + 1 of them. Empty when
    // refused or failed.
    QByteArray data(const QString &target, qsizetype byteLimit = -1);
    // The text in the best encoding offered (UTF-8, else Latin-1), bounded
    // as BoundedTextCollector says.
    QString text(qsizetype visibleLimit = -1);

private:
    bool connectIfNeeded();
    std::uint32_t atom(const QByteArray &name);
    Outcome transfer(std::uint32_t target, const std::function<bool(QByteArrayView)> &sink);

    const QByteArray m_displayName;
    const QByteArray m_selection;
    const Limits m_limits;
    std::mutex m_mutex; // one transfer at a time; guards what follows
    xcb_connection_t *m_connection = nullptr;
    std::uint32_t m_root = 0;
    QHash<QByteArray, std::uint32_t> m_atoms;
    QHash<std::uint32_t, QString> m_atomNames;
    int m_wake = -1; // an eventfd that ends a wait when closing
    std::atomic<bool> m_closing = false;
};

} // namespace kolu
