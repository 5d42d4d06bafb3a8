#include "KitViews.h"

#include "style/DateText.h"
#include "style/Fonts.h"
#include "style/IconProvider.h"
#include "style/LiquidGlassSurface.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/EmptyState.h"
#include "style/widgets/MenuPicker.h"
#include "style/widgets/ModuleCard.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/OrlixSwitch.h"
#include "style/widgets/OrlixTextField.h"
#include "style/widgets/RailIconButton.h"
#include "style/widgets/SegmentedPicker.h"
#include "style/widgets/ShrinkLabel.h"
#include "style/widgets/SmallSpinner.h"
#include "style/widgets/StatusPill.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QTimeZone>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kolu::gallery {

namespace {

// Glass painted behind its children, like the detail panel.
class GlassBackdrop : public QWidget {
public:
    GlassBackdrop(const OrlixGlassProfile &profile, qreal radius)
        : m_profile(profile)
        , m_radius(radius)
    {
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        LiquidGlassSurface::paint(painter, QRectF(rect()).adjusted(8, 6, -8, -12), m_radius, m_profile);
    }

private:
    OrlixGlassProfile m_profile;
    qreal m_radius;
};

// The four presets and a control surface, each with text on it.
class GlassPresets : public QWidget {
protected:
    void paintEvent(QPaintEvent *) override
    {
        const OrlixStyle &style = OrlixStyle::current();
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        struct Item {
            const char *name;
            OrlixGlassProfile profile;
            QRectF rect;
            qreal radius;
        };
        const Item items[] = {
            {"rail", OrlixGlassProfile::rail(), {24, 24, 64, 252}, 22},
            {"edge", OrlixGlassProfile::edgeHandle(), {112, 24, 18, 120}, 9},
            {"panel", OrlixGlassProfile::panel(), {154, 24, 220, 252}, 28},
            {"card", OrlixGlassProfile::card(), {170, 96, 188, 110}, 16},
            {"control", OrlixGlassProfile::control(true), {398, 24, 140, 76}, 18},
        };
        for (const Item &item : items) {
            LiquidGlassSurface::paint(painter, item.rect, item.radius, item.profile);
            if (item.rect.width() < 40)
                continue;
            painter.setFont(OrlixFonts::system(12, QFont::Bold));
            painter.setPen(style.text());
            const QRectF label = item.rect.adjusted(10, 10, -6, 0);
            painter.drawText(label, Qt::AlignLeft | Qt::AlignTop, QString::fromLatin1(item.name));
            painter.setFont(OrlixFonts::system(11, QFont::Medium));
            painter.setPen(style.secondaryText());
            painter.drawText(label.adjusted(0, 18, 0, 0), Qt::AlignLeft | Qt::AlignTop, u"Secondary"_s);
            painter.setPen(style.mutedText());
            painter.drawText(label.adjusted(0, 34, 0, 0), Qt::AlignLeft | Qt::AlignTop, u"Muted"_s);
        }
    }
};

QHBoxLayout *row(std::initializer_list<QWidget *> widgets, int spacing = 8)
{
    auto *layout = new QHBoxLayout;
    layout->setSpacing(spacing);
    for (QWidget *w : widgets)
        layout->addWidget(w);
    layout->addStretch(1);
    return layout;
}

} // namespace

QWidget *onPanel(QWidget *content, int margin)
{
    auto *panel = new GlassBackdrop(OrlixGlassProfile::panel(), 28);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(margin, margin, margin, margin + 6);
    layout->addWidget(content);
    layout->addStretch(1);
    return panel;
}

QWidget *glassPresets()
{
    return new GlassPresets;
}

QWidget *cardKit()
{
    const OrlixStyle &style = OrlixStyle::current();
    auto *card = new ModuleCard(u"Reminders"_s, u"checklist"_s);
    auto *heading = new ShrinkLabel(u"Have a nice morning"_s);
    heading->setFont(OrlixFonts::display(19.5));
    heading->setMinimumScaleFactor(0.74);
    card->addContent(heading);
    auto *date = new ElidedLabel(
        DateText(u"en_GB"_s, u"UTC"_s).format(QDateTime(QDate(2026, 3, 5), QTime(9, 41), Qt::UTC), u"EEEEMMMd"_s));
    date->setFont(OrlixFonts::system(14, QFont::Bold));
    date->setColor(style.secondaryText());
    card->addContent(date);
    card->contentLayout()->addLayout(row({new StatusPill(u"Updated"_s, style.tint(RailModule::reminders)),
                                          new StatusPill(u"3 due"_s, style.tint(RailModule::focus)),
                                          new StatusPill(u"Flagged"_s, style.tint(RailModule::calendar))}));
    card->addContent(new EmptyState(u"checklist"_s, u"No reminders due today."_s,
                                    u"Everything is done for today. New reminders with a due date "
                                    "show here, soonest first, with their notes and links."_s));
    auto *field = new OrlixTextField;
    field->setPlaceholderText(u"New reminder"_s);
    card->addContent(field);
    auto *filled = new OrlixTextField;
    filled->setText(u"Call the bakery about Saturday"_s);
    card->addContent(filled);
    auto *primary = new OrlixButton(OrlixButton::Kind::primary, u"Add"_s);
    auto *secondary = new OrlixButton(OrlixButton::Kind::secondary, u"Open Reminders"_s);
    secondary->setSymbol(u"arrow.up.right"_s);
    card->contentLayout()->addLayout(row({primary, secondary, new RailIconButton(u"arrow.clockwise"_s, u"Refresh"_s),
                                          new RailIconButton(u"gearshape"_s, u"Settings"_s)}));
    return card;
}

QWidget *controls()
{
    auto *card = new ModuleCard(u"Controls"_s, u"slider.horizontal.3"_s);
    auto *appearance = new SegmentedPicker({u"System"_s, u"Dark"_s, u"Light"_s});
    appearance->setCurrentIndex(1);
    card->addContent(appearance);
    auto *edge = new SegmentedPicker({u"Left"_s, u"Right"_s, u"Top"_s});
    edge->setCurrentIndex(0);
    card->addContent(edge);
    auto *on = new OrlixSwitch;
    on->setChecked(true);
    auto *tinted = new OrlixSwitch;
    tinted->setTint(OrlixStyle::current().tint(RailModule::prayers));
    tinted->setChecked(true);
    auto *disabled = new OrlixSwitch;
    disabled->setEnabled(false);
    card->contentLayout()->addLayout(row({on, tinted, new OrlixSwitch, disabled}, 14));
    auto *sound = new MenuPicker({u"Bell"_s, u"Ocean"_s, u"Birds"_s});
    sound->setCurrentIndex(1);
    card->contentLayout()->addLayout(row({sound, new SmallSpinner}, 12));
    auto *longTitle = new ShrinkLabel(u"A long sound title that must shrink, then be cut"_s);
    longTitle->setFont(OrlixFonts::system(13, QFont::Bold));
    longTitle->setMinimumScaleFactor(0.75);
    card->addContent(longTitle);
    auto *notes = new OrlixTextArea;
    notes->setPlainText(u"Notes on two lines,\nwith a second one."_s);
    notes->setFixedHeight(64);
    card->addContent(notes);
    return card;
}

QWidget *symbols()
{
    // All symbols in the table, in iconPrimary, on a grid.
    class Grid : public QWidget {
    protected:
        void paintEvent(QPaintEvent *) override
        {
            const OrlixStyle &style = OrlixStyle::current();
            QPainter painter(this);
            const QStringList names = IconProvider::symbolNames();
            const int columns = 15;
            const qreal cell = width() / qreal(columns);
            for (int i = 0; i < names.size(); ++i) {
                const QRectF box((i % columns) * cell, (i / columns) * cell, cell, cell);
                const bool bold = (i / columns) % 2 == 1;
                IconProvider::paint(painter, box, names.at(i), 15,
                                    style.symbolInk(i % 7 == 0 ? style.tint(RailModule(i % 10)) : style.iconPrimary()),
                                    bold ? IconWeight::bold : IconWeight::regular);
            }
        }
    };
    auto *grid = new Grid;
    grid->setMinimumHeight(260);
    return grid;
}

QWidget *typography()
{
    const OrlixStyle &style = OrlixStyle::current();
    auto *card = new ModuleCard(u"Today"_s, u"sun.max"_s);
    auto *greeting = new ShrinkLabel(u"Have a calm evening"_s);
    greeting->setFont(OrlixFonts::display(19.5));
    card->addContent(greeting);
    const struct {
        const char *text;
        qreal size;
        QFont::Weight weight;
        QColor color;
    } lines[] = {
        {"Text 13 bold", 13, QFont::Bold, style.text()},
        {"Secondary text 12 medium", 12, QFont::Medium, style.secondaryText()},
        {"Muted text 11", 11, QFont::Normal, style.mutedText()},
        {"22\u00B0 heavy rounded", 22, QFont::Black, style.text()},
    };
    for (const auto &l : lines) {
        auto *label = new ElidedLabel(QString::fromUtf8(l.text));
        label->setFont(OrlixFonts::system(l.size, l.weight));
        label->setColor(l.color);
        card->addContent(label);
    }
    return card;
}

} // namespace kolu::gallery
