#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

namespace kolu {

// One line of text that shrinks to fit its width, down to
// minimumScaleFactor() of its font size, and is cut with "…" only past that.
class ShrinkLabel : public QWidget {
    Q_OBJECT
public:
    explicit ShrinkLabel(const QString &text = {}, QWidget *parent = nullptr);

    const QString &text() const { return m_text; }
    void setText(const QString &text);
    void setFont(const QFont &font);
    // 0 < factor <= 1; 1 means never shrink.
    void setMinimumScaleFactor(qreal factor);
    qreal minimumScaleFactor() const { return m_minimumScale; }
    // Colour of the text; invalid means the style's text colour.
    void setColor(const QColor &color);
    void setAlignment(Qt::Alignment alignment);

    // The scale the text is drawn at within `width`, and the text shown.
    qreal scaleFor(int width) const;
    QString shownText(int width) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    QFont m_font;
    QColor m_color;
    qreal m_minimumScale = 1;
    Qt::Alignment m_alignment = Qt::AlignLeft;
};

} // namespace kolu
