#pragma once

#include "platform/desktop/Pasteboard.h"

#include <QList>
#include <QPair>
#include <QUrl>

#include <atomic>

namespace kolu::test {

// A clipboard that tests fill by hand. copy() starts a new content (the
// change count grows); the setters add formats to it. Counts every read, so
// tests can tell a cheap poll from a full one.
class FakePasteboard final : public Pasteboard {
public:
    qint64 changeCount() const override { return m_changeCount; }

    QStringList formats() const override
    {
        ++reads;
        QStringList names;
        for (const auto &entry : m_data)
            names.append(entry.first);
        if (!m_image.isNull())
            names.append(QStringLiteral("application/x-qt-image"));
        return names;
    }

    // Itself, when offMainThread is set; the test keeps it alive.
    std::shared_ptr<const PasteboardContent> workerReader() const override
    {
        return offMainThread ? std::shared_ptr<const PasteboardContent>(std::shared_ptr<void>(), this) : nullptr;
    }

    QByteArray data(const QString &format, qsizetype = -1) const override
    {
        ++reads;
        for (const auto &entry : m_data) {
            if (entry.first == format)
                return entry.second;
        }
        return {};
    }

    QString text(qsizetype = -1) const override
    {
        ++reads;
        return m_text;
    }

    QImage localImage() const override
    {
        ++reads;
        return m_image;
    }

    // What the application wrote back, as a new content of its own.
    void writeText(const QString &text) override
    {
        copy().setText(text);
        ++writes;
    }

    void writeImage(const QImage &image, const QByteArray &png) override
    {
        copy().setLocalImage(image).setData(QStringLiteral("image/png"), png);
        ++writes;
    }

    void writeFiles(const QList<QUrl> &files) override
    {
        copy().setUrls(files).setData(QStringLiteral("x-special/gnome-copied-files"), gnomeCopiedFiles(files));
        ++writes;
    }

    // Replaces the content with nothing and counts a change.
    FakePasteboard &copy()
    {
        m_data.clear();
        m_text.clear();
        m_image = QImage();
        ++m_changeCount;
        return *this;
    }

    FakePasteboard &setText(const QString &text)
    {
        m_text = text;
        m_data.append({QStringLiteral("text/plain"), text.toUtf8()});
        return *this;
    }

    FakePasteboard &setData(const QString &format, const QByteArray &bytes)
    {
        m_data.append({format, bytes});
        return *this;
    }

    FakePasteboard &setUrls(const QList<QUrl> &urls)
    {
        QByteArray list;
        for (const QUrl &url : urls)
            list += url.toEncoded() + "\r\n";
        return setData(QStringLiteral("text/uri-list"), list);
    }

    FakePasteboard &setLocalImage(const QImage &image)
    {
        m_image = image;
        return *this;
    }

    mutable std::atomic<int> reads = 0;
    // Whether workerReader() offers a reader.
    bool offMainThread = false;
    int writes = 0;

private:
    qint64 m_changeCount = 0;
    QList<QPair<QString, QByteArray>> m_data;
    QString m_text;
    QImage m_image;
};

} // namespace kolu::test
