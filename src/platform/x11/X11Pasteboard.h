#pragma once

#include "platform/desktop/Pasteboard.h"
#include "platform/x11/X11SelectionReader.h"

#include <memory>

namespace kolu {

// The clipboard on X11: Qt's clipboard for changes, writes and reads on the
// main thread, and a selection reader with an X connection of its own for
// workers, so that another program's copy of many megabytes never holds up
// the interface. While Kolu holds the clipboard itself there is no worker
// reader: its content is at hand, and fetching it over X would wait on the
// main thread.
class X11Pasteboard final : public Pasteboard {
public:
    // Needs a QGuiApplication on X11. `displayName` empty: the display of
    // the environment, which Qt uses too. `limits` bound each worker read.
    explicit X11Pasteboard(QByteArray displayName = {}, X11SelectionReader::Limits limits = {});
    // A worker still reading keeps its reader; its reads then fail at once.
    ~X11Pasteboard() override;

    qint64 changeCount() const override { return m_local.changeCount(); }
    std::shared_ptr<const PasteboardContent> workerReader() const override;
    QStringList formats() const override { return m_local.formats(); }
    QByteArray data(const QString &format, qsizetype byteLimit = -1) const override
    {
        return m_local.data(format, byteLimit);
    }
    QString text(qsizetype visibleLimit = -1) const override { return m_local.text(visibleLimit); }
    QImage localImage() const override { return m_local.localImage(); }
    void writeText(const QString &text) override { m_local.writeText(text); }
    void writeImage(const QImage &image, const QByteArray &png) override { m_local.writeImage(image, png); }
    void writeFiles(const QList<QUrl> &files) override { m_local.writeFiles(files); }

private:
    SystemPasteboard m_local;
    std::shared_ptr<X11SelectionReader> m_remote;
};

// The desktop's clipboard: an X11Pasteboard when the application runs on
// X11, Qt's clipboard alone otherwise. Needs a QGuiApplication.
std::unique_ptr<Pasteboard> createSystemPasteboard();

} // namespace kolu
