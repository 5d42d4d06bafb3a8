#pragma once

#include <QFont>
#include <QRectF>
#include <QString>
#include <QWidget>

class QVariantAnimation;

namespace kolu {

// The panel at the top of the tray that invites a drop: a badge, a title and
// a line of help. While a file drag is over the tray it turns "targeted":
// the filled tray symbol, "Release to hold files", a stronger fill and
// border, grown to 101.5 %. Every change springs over.
class FileTrayDropZone : public QWidget {
    Q_OBJECT
public:
    explicit FileTrayDropZone(QWidget *parent = nullptr);

    bool isTargeted() const { return m_targeted; }
    void setTargeted(bool targeted);
    // 0 at rest, 1 targeted; animated between.
    qreal targetProgress() const { return m_progress; }

    QString title() const;
    QString symbol() const;
    static QString subtitle();
    // Where the panel is drawn at rest, and the width its texts have.
    QRectF panelRect() const;
    qreal textColumnWidth() const;
    // The fonts of the title and of the help line.
    static QFont titleFont();
    static QFont subtitleFont();
    // The help line's font in a text column `width` wide: the face set a
    // little narrower when that keeps the line whole.
    static QFont subtitleFont(qreal width);

    // The panel is drawn this far inside the widget on each side, room for
    // its growth while targeted; the card widens the widget by as much so
    // the panel at rest lines up with the controls below it.
    static constexpr int kGrowthRoom = 3;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // The title's and the help line's height for a text column `width` wide:
    // the title wraps onto two lines at most where the card is narrow, the
    // help line keeps to one.
    qreal textHeight(qreal width) const;

    bool m_targeted = false;
    qreal m_progress = 0;
    QVariantAnimation *m_animation;
};

} // namespace kolu
