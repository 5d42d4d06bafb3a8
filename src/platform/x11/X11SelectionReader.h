#pragma once

#include "platform/desktop/Pasteboard.h"

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
// and once `visibleLimit` UTF-16 units follow it, and the code point after
// them (two units at most), the rest is not needed. Whether a text cut at
// the limit splits what a reader sees as one character (a flag's two
// halves, an emoji and its skin tone) shows only with that code point.
// A character split between two pieces is decoded whole.
class BoundedTextCollector {
public:
    static constexpr qsizetype kUnitsPastLimit = 2;

    BoundedTextCollector(QStringConverter::Encoding encoding, qsizetype visibleLimit);

    // Takes one piece; false once the text holds enough.
    bool add(QByteArrayView bytes);
    // The text so far: at most `visibleLimit` + kUnitsPastLimit units (a
    // character cut at the very end is left out).
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
class X11SelectionReader final : public PasteboardContent {
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
    ~X11SelectionReader() override;

    X11SelectionReader(const X11SelectionReader &) = delete;
    X11SelectionReader &operator=(const X11SelectionReader &) = delete;

    enum class Outcome { complete, stopped, refused, failed };

    // Passes the bytes of `target` to `sink` as they arrive, until the end
    // (complete), until `sink` returns false (stopped), or until something
    // goes wrong (failed). Refused: there is no owner or it does not offer
    // `target`.
    Outcome read(const QByteArray &target, const std::function<bool(QByteArrayView)> &sink) const;

    // The names of the targets offered; empty without an owner, and when the
    // owner's list does not come whole (too slow, refused, or longer than
    // a list is read).
    QStringList targets() const;
    // The MIME types offered, "text/plain" among them when a text is, and
    // the password managers' hint when it is offered (in whatever casing).
    QStringList formats() const override;
    // The bytes of `target` (a MIME type or another target name); with
    // `byteLimit` >= 0, no more than `byteLimit` + 1 of them. Empty when
    // refused or failed.
    QByteArray data(const QString &target, qsizetype byteLimit = -1) const override;
    // The text in the best encoding offered (UTF-8, else Latin-1), bounded
    // as BoundedTextCollector says.
    QString text(qsizetype visibleLimit = -1) const override;
    // Always null: another program's images come encoded.
    QImage localImage() const override { return {}; }

    // Ends a transfer in progress at once; every later one fails at once.
    // Safe from any thread.
    void close();

private:
    bool connectIfNeeded() const;
    std::uint32_t atom(const QByteArray &name) const;
    Outcome transfer(std::uint32_t target, const std::function<bool(QByteArrayView)> &sink) const;

    const QByteArray m_displayName;
    const QByteArray m_selection;
    const Limits m_limits;
    mutable std::mutex m_mutex; // one transfer at a time; guards what follows
    mutable xcb_connection_t *m_connection = nullptr;
    mutable std::uint32_t m_root = 0;
    mutable QHash<QByteArray, std::uint32_t> m_atoms;
    mutable QHash<std::uint32_t, QString> m_atomNames;
    int m_wake = -1; // an eventfd that ends a wait when closing
    std::atomic<bool> m_closing = false;
};

} // namespace kolu
