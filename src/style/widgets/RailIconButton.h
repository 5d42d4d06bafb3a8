#pragma once

#include <QAbstractButton>
#include <QString>

namespace kolu {

// A small icon button: the symbol (13 pt unless set) semibold in
// secondaryText on a 28 x 28 square that takes clicks everywhere; the help
// text is its tooltip.
class RailIconButton : public QAbstractButton {
    Q_OBJECT
public:
    RailIconButton(const QString &symbol, const QString &help, QWidget *parent = nullptr);

    const QString &symbol() const { return m_symbol; }
    void setSymbol(const QString &symbol);
    qreal symbolSize() const { return m_symbolSize; }
    void setSymbolSize(qreal size);

    QSize sizeHint() const override { return {28, 28}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_symbol;
    qreal m_symbolSize = 13;
};

} // namespace kolu
