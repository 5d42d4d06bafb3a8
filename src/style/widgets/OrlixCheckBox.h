#pragma once

#include <QAbstractButton>

namespace kolu {

// A tick box in the kit's look: a small rounded square (inner shade and a
// hairline, filled with the primary fill and a tick when checked) and its
// label, in the style's colours in every theme and appearance. Dimmed while
// disabled.
class OrlixCheckBox : public QAbstractButton {
    Q_OBJECT
public:
    explicit OrlixCheckBox(const QString &text, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    static constexpr int kBox = 14;
    static constexpr int kGap = 5;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace kolu
