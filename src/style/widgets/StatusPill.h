#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace kolu {

// A short bold label (11 pt) in a tint colour on a raised rounded rectangle
// (radius 8, padding 7 x 4) with a hairline border.
class StatusPill : public QWidget {
    Q_OBJECT
public:
    StatusPill(const QString &text, const QColor &tint, QWidget *parent = nullptr);

    const QString &text() const { return m_text; }
    const QColor &tint() const { return m_tint; }
    void setText(const QString &text);
    void setTint(const QColor &tint);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    QColor m_tint;
};

} // namespace kolu
