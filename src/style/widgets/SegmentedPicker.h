#pragma once

#include <QStringList>
#include <QWidget>

class QVariantAnimation;

namespace kolu {

// A row of mutually exclusive segments (the settings pickers: appearance,
// rail edge, history limit). The chosen segment sits on a raised pill that
// slides to a new choice. Keyboard: Left and Right move the choice.
class SegmentedPicker : public QWidget {
    Q_OBJECT
public:
    explicit SegmentedPicker(const QStringList &segments = {}, QWidget *parent = nullptr);

    void setSegments(const QStringList &segments);
    const QStringList &segments() const { return m_segments; }
    int currentIndex() const { return m_current; }
    // Chooses without emitting activated(); -1 chooses nothing.
    void setCurrentIndex(int index);

    // Where segment `index` is drawn (widget coordinates).
    QRectF segmentRect(int index) const;

    QSize sizeHint() const override;

Q_SIGNALS:
    // The user chose `index` (also when it was already chosen).
    void activated(int index);
    void currentIndexChanged(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void choose(int index);

    QStringList m_segments;
    int m_current = -1;
    qreal m_pillX = 0; // animated left edge of the pill, in segments
    QVariantAnimation *m_slide;
};

} // namespace kolu
