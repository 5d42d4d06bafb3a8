#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>

namespace kolu {

// Text wrapped on at most maximumLines() lines; what does not fit ends the
// last line with "…". Re-lays itself out on every width change, and its
// height follows its width. The lines of the last few widths asked for are
// kept until the text, font, line limit or style changes, so layouts that
// ask for the height again and again do not wrap the text again.
class ElidedLabel : public QWidget {
    Q_OBJECT
public:
    explicit ElidedLabel(const QString &text = {}, QWidget *parent = nullptr);

    const QString &text() const { return m_text; }
    void setText(const QString &text);
    // `before` + `path` + `after`, where the path is never broken over two
    // lines: it follows the sentence's last line when it fits there, else
    // takes a line of its own, and is cut in its middle (keeping its last
    // name whole) where no line can hold it. The words of the sentence stay
    // whole.
    void setPathText(const QString &before, const QString &path, const QString &after = {});
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
    void changeEvent(QEvent *event) override;

private:
    const QStringList &linesFor(int width) const;
    QStringList wrap(int width) const;
    // At most `maximumLines` lines; below 0 means maximumLines().
    QStringList wrapWords(const QString &text, int width, bool elideLast, int maximumLines = -1) const;
    QStringList wrapAroundPath(int width) const;
    void forgetLines();

    struct CachedLines {
        int width = -1;
        QStringList lines;
    };
    QString m_text;
    // Where the path of setPathText() lies in the text; length 0 for none.
    qsizetype m_pathStart = 0;
    qsizetype m_pathLength = 0;
    QFont m_font;
    QColor m_color;
    int m_maximumLines = 1;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    mutable std::array<CachedLines, 3> m_cache;
    mutable std::size_t m_nextSlot = 0;
    // Advance of the text on one line; below 0 until measured.
    mutable qreal m_naturalWidth = -1;
};

} // namespace kolu
