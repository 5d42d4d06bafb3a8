#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

namespace kolu {

// Text wrapped on at most maximumLines() lines; what does not fit ends the
// last line with "…". Re-lays itself out on every width change, and its
// height follows its width.
class ElidedLabel : public QWidget {
    Q_OBJECT
public:
    explicit ElidedLabel(const QString &text = {}, QWidget *parent = nullptr);

    const QString &text() const { return m_text; }
    void setText(const QString &text);
    int maximumLines() const { return m_maximumLines; }
    void setMaximumLines(int lines);
    // Colour of the text; invalid means the style's text colour.
    void setColor(const QColor &color);
    void setFont(const QFont &font);
    void setAlignment(Qt::Alignment alignment);

    // The lines shown at `width`: the last one ends with "…" when text is cut.
    QStringList visibleLines(int width) const;
    bool isElided(int width) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    QFont m_font;
    QColor m_color;
    int m_maximumLines = 1;
    Qt::Alignment m_alignment = Qt::AlignLeft;
};

} // namespace kolu
