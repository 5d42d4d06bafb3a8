#pragma once

#include <QAbstractButton>
#include <QString>
#include <QWidget>

namespace kolu {

// The capsule naming what plays: the source's symbol and its name ("Audio"
// for none), white on dark glass; a long name is cut with "…".
class SourceBadge : public QWidget {
    Q_OBJECT
public:
    explicit SourceBadge(QWidget *parent = nullptr);

    void setSource(const QString &source);
    const QString &source() const { return m_source; }
    QString symbol() const;
    QString text() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_source;
};

// The round mute button over the artwork; its help says what a click does.
class NowPlayingStatusButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit NowPlayingStatusButton(QWidget *parent = nullptr);

    void setMuted(bool muted);
    bool isMuted() const { return m_muted; }
    QString symbol() const;

    QSize sizeHint() const override { return {30, 30}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_muted = false;
};

// A round transport button: the primary one (play or pause) larger and
// brighter than the other two. Its help text is its symbol's name. The
// shadow under it is painted by its parent (see paintButtonShadow).
class MediaControlButton : public QAbstractButton {
    Q_OBJECT
public:
    MediaControlButton(const QString &symbol, bool isPrimary, QWidget *parent = nullptr);

    void setSymbol(const QString &symbol);
    const QString &symbol() const { return m_symbol; }
    bool isPrimary() const { return m_primary; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_symbol;
    bool m_primary;
};

// Paints the soft shadow under a round button at `circle` (parent
// coordinates).
void paintButtonShadow(QPainter &painter, const QRectF &circle);

} // namespace kolu
