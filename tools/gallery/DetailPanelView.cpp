#include "DetailPanelView.h"

#include "GalleryState.h"

#include "shell/rail/expanded/ModuleDetailPanel.h"
#include "style/PopupPlacement.h"
#include "style/widgets/KitPopup.h"

#include <QEvent>
#include <QMenu>

#include <algorithm>

namespace kolu::gallery {

namespace {

// Places the menu just below its anchor, or above it where the panel ends
// too soon, as a popup opens, each time the panel paints: by then every
// layout inside it has settled.
class MenuBelow : public QObject {
public:
    MenuBelow(QWidget *anchor, QWidget *menu, QObject *parent)
        : QObject(parent)
        , m_anchor(anchor)
        , m_menu(menu)
    {
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint || event->type() == QEvent::Show) {
            auto *panel = static_cast<QWidget *>(watched);
            if (qobject_cast<KitPopup *>(m_menu)) {
                placeAsTheProgramDoes(panel);
                return false;
            }
            m_menu->adjustSize();
            // Never narrower than its field, as in the program.
            m_menu->resize(std::max(m_menu->width(), m_anchor->width()), m_menu->height());
            QPoint at = m_anchor->mapTo(panel, QPoint(0, m_anchor->height() + 4));
            if (at.y() + m_menu->height() > panel->height())
                at = m_anchor->mapTo(panel, QPoint(0, -m_menu->height() - 4));
            // Kept inside the panel across, as the program keeps it inside the card.
            at.setX(std::max(0, std::min(at.x(), panel->width() - m_menu->width())));
            m_menu->move(at);
            if (!m_menu->isVisible()) {
                m_menu->show();
                m_menu->raise();
            }
        }
        return false;
    }

private:
    // The kit's pop-ups by the program's own rule, the panel standing for
    // the screen: inside the card from side to side and top to bottom.
    void placeAsTheProgramDoes(QWidget *panel)
    {
        const QSize wanted = m_menu->sizeHint();
        const QRect area(panel->mapToGlobal(QPoint(0, 0)), panel->size());
        const QRect field(m_anchor->mapToGlobal(QPoint(0, 0)), m_anchor->size());
        const PopupPlace place = placePopup(field, wanted, popupBounds(m_anchor, wanted.width(), area));
        m_menu->setGeometry(QRect(panel->mapFromGlobal(place.geometry.topLeft()), place.geometry.size()));
        if (!m_menu->isVisible()) {
            m_menu->show();
            m_menu->raise();
        }
    }

    QWidget *m_anchor;
    QWidget *m_menu;
};

// A widget's children are shown before the widget's own show event, so
// this runs after theirs.
class OnShown : public QObject {
public:
    OnShown(std::function<void()> then, QObject *parent)
        : QObject(parent)
        , m_then(std::move(then))
    {
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show && m_then) {
            auto then = std::move(m_then);
            m_then = nullptr;
            then();
        }
        return false;
    }

private:
    std::function<void()> m_then;
};

} // namespace

void showMenuInPicture(QWidget *panel, QWidget *anchor, QWidget *menu)
{
    menu->setParent(panel, Qt::Widget);
    panel->installEventFilter(new MenuBelow(anchor, menu, panel));
}

void afterShown(QWidget *panel, std::function<void()> then)
{
    panel->installEventFilter(new OnShown(std::move(then), panel));
}

QWidget *inDetailPanel(RailModule module, const std::function<void(QWidget *card)> &setup)
{
    auto *panel = new ModuleDetailPanel(state(), module);
    panel->setFixedSize(kDetailPanelWidth, kDetailPanelHeight);
    if (setup && panel->card())
        setup(panel->card());
    return panel;
}

} // namespace kolu::gallery
