#pragma once

#include "model/Enums.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QPainter;
class QScrollArea;
class QVariantAnimation;

namespace kolu {

class AppState;

// The glass panel beside the tool strip: a header naming the open module
// (badge, title, tagline) and that module's card in a scroll area. A module
// change builds a fresh page that fades in from 12 points to the right while
// the old one fades out 10 points to the left.
class ModuleDetailPanel : public QWidget {
    Q_OBJECT
public:
    ModuleDetailPanel(AppState &state, RailModule module, QWidget *parent = nullptr);

    RailModule module() const { return m_module; }
    void setModule(RailModule module);

    // The tagline under a module's title.
    static QString tagline(RailModule module);
    // The symbol in the header's badge: the today module's follows the hour.
    QString badgeSymbol() const;

    // The card of the open module, null while that module has none.
    QWidget *card() const { return m_card; }

    // The panel's glass on its rounded rectangle `rect`, shadow included.
    static void paintGlass(QPainter &painter, const QRectF &rect);
    // The host paints the glass behind the panel (with paintGlass), so that
    // its shadow reaches past the panel's edges; the panel paints none.
    void setGlassPaintedByHost(bool byHost);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildPage();
    void placePage(double offset, double leavingOffset);

    AppState &m_state;
    RailModule m_module;
    QPointer<QWidget> m_page;
    QPointer<QWidget> m_leaving; // the previous page while it fades out
    QPointer<QWidget> m_card;
    QVariantAnimation *m_swap = nullptr;
    bool m_glassByHost = false;
};

} // namespace kolu
