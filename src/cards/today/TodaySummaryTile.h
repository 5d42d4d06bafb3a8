#pragma once

#include <QColor>
#include <QPointer>
#include <QString>
#include <QWidget>

class QHBoxLayout;

namespace kolu {

class ElidedLabel;

// One tile of the today summary: a tinted icon badge, a caption, a main
// line and a detail line, and an optional accessory at the trailing end,
// on a raised rounded panel at least 62 high.
class TodaySummaryTile : public QWidget {
    Q_OBJECT
public:
    TodaySummaryTile(const QString &symbol, const QColor &tint, const QString &title, QWidget *parent = nullptr);

    void setTint(const QColor &tint);
    // The main line wraps on at most `lines` lines.
    void setValue(const QString &value, int lines = 1);
    void setDetail(const QString &detail);
    // A path as the detail line, cut in its middle where it must be so that
    // its last name stays readable.
    void setDetailPath(const QString &path);
    // Puts `accessory` at the trailing end (the tile takes it over), or
    // removes the one shown when null.
    void setAccessory(QWidget *accessory);

    const QString &symbol() const { return m_symbol; }
    const QColor &tint() const { return m_tint; }
    QString value() const;
    QString detail() const;
    QWidget *accessory() const { return m_accessory; }

    static void paintPanel(QPainter &painter, const QRectF &rect);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void applyColors();

    QString m_symbol;
    QColor m_tint;
    ElidedLabel *m_title;
    ElidedLabel *m_value;
    ElidedLabel *m_detail;
    QHBoxLayout *m_row;
    QPointer<QWidget> m_accessory;
};

} // namespace kolu
