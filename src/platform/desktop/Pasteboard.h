#pragma once

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <memory>

namespace kolu {

// The target a copy's owner sets to "secret" to keep the content out of
// clipboard histories (password managers do, for a copied password).
inline const QString kPasswordManagerHint = QStringLiteral("x-kde-passwordManagerHint");

// What the clipboard holds now, read by format. Reads can be costly (another
// program may have to send megabytes).
class PasteboardContent {
public:
    virtual ~PasteboardContent();

    // The formats (MIME types) offered now; empty when nothing is offered
    // and also when the list could not be read whole.
    virtual QStringList formats() const = 0;
    // The bytes of one offered format; empty when it is not offered. With
    // `byteLimit` >= 0 reading may stop early: a longer content then comes
    // back cut, but still longer than `byteLimit`.
    virtual QByteArray data(const QString &format, qsizetype byteLimit = -1) const = 0;
    // The plain text, empty when there is none. With `visibleLimit` >= 0
    // reading may stop early: leading white space may be left out, and a
    // text with more than `visibleLimit` units after its leading white space
    // comes back cut, but still with more than that: never before the end
    // of the code point that follows those units.
    virtual QString text(qsizetype visibleLimit = -1) const = 0;
    // An image held already decoded by this process (a copy made inside Kolu);
    // null otherwise. Encoded images from other programs come through data().
    virtual QImage localImage() const = 0;
};

// The desktop clipboard as the capture service sees it: a change count that
// grows with every new content, and reads of that content by format, on the
// main thread. Callers look at the change count first and read only after a
// change.
class Pasteboard : public PasteboardContent {
public:
    // Grows by one with every change of the content, never goes back.
    virtual qint64 changeCount() const = 0;

    // A reader of the current content for a worker thread, when another
    // program holds it and it can be fetched without the main thread (over a
    // connection of the pasteboard's own). One worker at a time may use it;
    // holding it keeps it safe to use after the pasteboard is gone (its reads
    // then fail at once). Null when reads must stay on the main thread.
    virtual std::shared_ptr<const PasteboardContent> workerReader() const { return nullptr; }

    // Each write replaces the whole content (and so counts as a change).
    virtual void writeText(const QString &text) = 0;
    // `png` is the image's PNG encoding, offered as "image/png" beside the
    // image itself.
    virtual void writeImage(const QImage &image, const QByteArray &png) = 0;
    // Offered as "text/uri-list" and as "x-special/gnome-copied-files", so
    // that file managers paste the files themselves.
    virtual void writeFiles(const QList<QUrl> &files) = 0;
};

// The "x-special/gnome-copied-files" form of a file copy: "copy", then one
// encoded URL a line.
QByteArray gnomeCopiedFiles(const QList<QUrl> &files);

// The clipboard of the running desktop (not the primary selection). The
// change count counts QClipboard's dataChanged signals from its creation.
class SystemPasteboard final : public QObject, public Pasteboard {
    Q_OBJECT
public:
    // Needs a QGuiApplication.
    explicit SystemPasteboard(QObject *parent = nullptr);
    ~SystemPasteboard() override;

    qint64 changeCount() const override { return m_changeCount; }
    QStringList formats() const override;
    QByteArray data(const QString &format, qsizetype byteLimit = -1) const override;
    QString text(qsizetype visibleLimit = -1) const override;
    QImage localImage() const override;
    void writeText(const QString &text) override;
    void writeImage(const QImage &image, const QByteArray &png) override;
    void writeFiles(const QList<QUrl> &files) override;

private:
    qint64 m_changeCount = 0;
};

} // namespace kolu
