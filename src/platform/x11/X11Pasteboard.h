#pragma once

#include "platform/desktop/Pasteboard.h"
#include "platform/x11/X11SelectionReader.h"

#include <memory>

namespace kolu {

// The clipboard on X11. Changes, writes and Kolu's own content go through
// Qt; another program's content is fetched over a connection of this
// pasteboard's own when read from a worker thread, so that a copy of many
// megabytes never holds up the interface. On the main thread every read goes
// through Qt (a read over the own connection there could wait on Kolu
// itself as the owner).
class X11Pasteboard final : public Pasteboard {
public:
    // Needs a QGuiApplication on X11. `displayName` empty: the display of
    // the environment, which Qt uses too.
    explicit X11Pasteboard(QByteArray displayName = {});
    ~X11Pasteboard() override;

    qint64 changeCount() const override { return m_local.changeCount(); }
    // True unless Kolu holds the clipboard itself.
    bool readsOffMainThread() const override;
    QStringList formats() const override;
    QByteArray data(const QString &format, qsizetype byteLimit = -1) const override;
    QString text(qsizetype visibleLimit = -1) const override;
    QImage localImage() const override;
    void writeText(const QString &text) override { m_local.writeText(text); }
    void writeImage(const QImage &image, const QByteArray &png) override { m_local.writeImage(image, png); }
    void writeFiles(const QList<QUrl> &files) override { m_local.writeFiles(files); }

private:
    SystemPasteboard m_local;
    mutable X11SelectionReader m_reader;
};

// The desktop's clipboard: an X11Pasteboard when the application runs on
// X11, Qt's clipboard alone otherwise. Needs a QGuiApplication.
std::unique_ptr<Pasteboard> createSystemPasteboard();

} // namespace kolu
