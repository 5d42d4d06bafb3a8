#pragma once

#include "model/Enums.h"

#include <QAbstractButton>

namespace kolu {

// A card's composer button: "plus" to open the composer, a filled
// "checkmark" in the module's tint once the open draft can be saved.
class ComposerToggleButton : public QAbstractButton {
    Q_OBJECT
public:
    ComposerToggleButton(RailModule module, QSize size, qreal radius, int iconSize, QWidget *parent = nullptr);
    void setReady(bool ready);
    bool isReady() const { return m_ready; }
    QString symbol() const;
    QSize sizeHint() const override { return m_size; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    RailModule m_module;
    QSize m_size;
    qreal m_radius;
    int m_iconSize;
    bool m_ready = false;
};

} // namespace kolu
