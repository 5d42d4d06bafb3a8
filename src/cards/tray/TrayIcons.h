#pragma once

#include "model/Records.h"

#include <QIcon>
#include <QString>
#include <QUrl>
#include <QWidget>

namespace kolu {

class TrayThumbnails;

// The desktop's icon for the kind of file at `path` (by its name; the file
// is not read), cached per type. Null when the icon theme has none.
QIcon fileTypeIcon(const QString &path);

// A held file's 46-point picture: the file itself for pictures (filling the
// square), otherwise the desktop's icon for its type (fitted). A missing
// file shows a placeholder symbol. The picture comes from `thumbnails`;
// until it is decoded the type icon stands in.
class FileTrayIcon : public QWidget {
    Q_OBJECT
public:
    enum class Look { picture, typeIcon, missing };

    FileTrayIcon(const QUrl &url, TrayThumbnails &thumbnails, QWidget *parent = nullptr);
    Look look() const { return m_look; }
    const QString &path() const { return m_path; }

    static constexpr int kSize = 46;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void refresh();

    TrayThumbnails &m_thumbnails;
    QString m_path;
    bool m_isImage;
    Look m_look = Look::missing;
    QImage m_image;
    QIcon m_typeIcon;
};

// A clipboard entry's icon: its kind's symbol, the picture of an image
// entry (52 points, filling, from `thumbnails`), or the "Large Image"
// placeholder for an image file above the byte limit, which is then never
// read.
class ClipboardItemIcon : public QWidget {
    Q_OBJECT
public:
    enum class Look { kindIcon, thumbnail, largeImagePlaceholder, loading };

    ClipboardItemIcon(const ClipboardItem &item, const QString &symbol, const QColor &tint, qint64 byteLimit,
                      TrayThumbnails &thumbnails, QWidget *parent = nullptr);
    Look look() const { return m_look; }

    static constexpr int kThumbnailSize = 52;
    static constexpr int kSymbolFrame = 34;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void refresh();
    void paintLargeImagePlaceholder(QPainter &painter);

    TrayThumbnails &m_thumbnails;
    ClipboardItem m_item;
    QString m_symbol;
    QColor m_tint;
    qint64 m_byteLimit;
    QString m_path;
    Look m_look = Look::kindIcon;
    QImage m_image;
};

} // namespace kolu
