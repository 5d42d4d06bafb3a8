#pragma once

#include "style/widgets/ComposerToggleButton.h"

#include <QAbstractButton>

namespace kolu {

// The search button: "search" with a magnifying glass on the theme's search
// fill, full width, at least 36 high; drawn at 58 % while disabled.
class LinkSearchButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit LinkSearchButton(QWidget *parent = nullptr);
    // The opacity it is drawn at.
    qreal drawnOpacity() const { return isEnabled() ? 1.0 : 0.58; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
};

// The composer button, 34 x 34: "plus", or a filled "checkmark" once the
// open form can be saved.
class LinkComposerButton : public ComposerToggleButton {
    Q_OBJECT
public:
    explicit LinkComposerButton(QWidget *parent = nullptr);
};

// The closed composer: "Add favorite website" on a faint rounded row that
// opens the form with one click anywhere on it.
class LinkComposerInvitation : public QAbstractButton {
    Q_OBJECT
public:
    explicit LinkComposerInvitation(QWidget *parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace kolu
