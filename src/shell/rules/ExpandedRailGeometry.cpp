#include "shell/rules/ExpandedRailGeometry.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu::expandedrail {

namespace {

// The span of the columns between the outer edge and the card's far side.
double innerColumns(double s)
{
    return (outerMargin + stripWidth + columnGap) * s;
}

} // namespace

double width(const Canvas &c)
{
    const double base = (2 * outerMargin + stripWidth + columnGap + cardWidth) * c.scale;
    return c.hasExpandedAlert ? base + alertColumnWidth * c.scale : base;
}

double height(const Canvas &c)
{
    const double wanted = canvasHeight * c.scale;
    return c.room > 0 ? std::min(wanted, c.room) : wanted;
}

double detailCardHeight(const Canvas &c)
{
    return std::clamp(height(c) - 20, 0.0, cardHeight * c.scale);
}

double toolStripCenterX(const Canvas &c)
{
    const double fromEdge = (outerMargin + stripWidth / 2) * c.scale;
    return c.edge == RailEdge::right ? width(c) - fromEdge : fromEdge;
}

double detailCardCenterX(const Canvas &c)
{
    const double fromEdge = innerColumns(c.scale) + cardWidth / 2 * c.scale;
    return c.edge == RailEdge::right ? width(c) - fromEdge : fromEdge;
}

double expandedAlertCenterX(const Canvas &c, double alertWidth)
{
    const double offset = cardWidth / 2 * c.scale + alertGap + alertWidth / 2;
    return c.edge == RailEdge::right ? detailCardCenterX(c) - offset : detailCardCenterX(c) + offset;
}

double stripHeight(int visibleCount, double scale)
{
    const int missing = std::max(0, 10 - visibleCount);
    return std::max(minimumStripHeight * scale, canvasHeight * scale - heightPerMissingModule * missing);
}

double stripContentHeight(int visibleCount, bool showsMinimize, double scale)
{
    const int n = std::max(0, visibleCount);
    const int actions = showsMinimize ? 3 : 2;
    const double buttons = n * buttonHeight * scale + std::max(0, n - 1) * buttonSpacing * scale;
    const double actionColumn = actions * actionButtonHeight + (actions - 1) * actionButtonSpacing;
    return 2 * stripVerticalPadding + buttons + actionSpacerMinimum + actionColumn;
}

SideStripFit sideStripFit(const Canvas &c, int visibleCount, int actionCount)
{
    const double s = c.scale;
    SideStripFit fit{};
    fit.height = std::min(stripHeight(visibleCount, s), height(c));
    fit.shownModules = std::max(visibleCount, 0);
    fit.shownActions = std::max(actionCount, 0);
    const auto content = [&](double padding, double moduleSpacing, double actionSpacing) {
        const int m = fit.shownModules;
        const int a = fit.shownActions;
        return 2 * padding + m * buttonHeight * s + std::max(0, m - 1) * moduleSpacing + actionSpacerMinimum
               + a * actionButtonHeight + std::max(0, a - 1) * actionSpacing;
    };
    const auto tightest = [&] { return content(minimumSidePadding, minimumSideSpacing, minimumSideSpacing); };
    // What stays is chosen with everything closed up ...
    while (tightest() > fit.height + 1e-9 && fit.shownActions > 1)
        --fit.shownActions;
    while (tightest() > fit.height + 1e-9 && fit.shownModules > 1)
        --fit.shownModules;
    // ... and the room left opens the padding, then the spacings, up to
    // their usual sizes, in whole points as the strip's layout places them.
    double slack = std::max(0.0, fit.height - tightest());
    const auto grow = [&slack](double least, double usual, int gaps) {
        if (gaps < 1)
            return usual;
        const double step = std::clamp(std::floor(slack / gaps), 0.0, usual - least);
        slack -= step * gaps;
        return least + step;
    };
    fit.padding = grow(minimumSidePadding, stripVerticalPadding, 2);
    fit.moduleSpacing = grow(minimumSideSpacing, buttonSpacing * s, fit.shownModules - 1);
    fit.actionSpacing = grow(minimumSideSpacing, actionButtonSpacing, fit.shownActions - 1);
    fit.contentHeight = content(fit.padding, fit.moduleSpacing, fit.actionSpacing);
    return fit;
}

double moduleIconY(int index, const SideStripFit &fit, const Canvas &c)
{
    const double s = c.scale;
    const double top = (height(c) - fit.height) / 2;
    const int i = std::clamp(index, 0, std::max(0, fit.shownModules - 1));
    return top + fit.padding + buttonHeight * s / 2 + i * (buttonHeight * s + fit.moduleSpacing);
}

double moduleIconY(int index, int visibleCount, double scale)
{
    const Canvas c{RailEdge::left, scale};
    return moduleIconY(index, sideStripFit(c, visibleCount, 3), c);
}

double moduleIconY(RailModule module, const std::vector<RailModule> &visible, double scale)
{
    const auto it = std::find(visible.begin(), visible.end(), module);
    const int index = it == visible.end() ? 0 : int(it - visible.begin());
    return moduleIconY(index, int(visible.size()), scale);
}

double detailCardCenterY(double iconY, const Canvas &c)
{
    const double half = detailCardHeight(c) / 2;
    const double low = half + 10;
    return std::clamp(iconY, low, std::max(low, height(c) - half - 10));
}

double detailCardCenterY(double iconY, double scale)
{
    return detailCardCenterY(iconY, Canvas{RailEdge::left, scale});
}

Connector connector(const Canvas &c)
{
    // Both ends sit 6 points inside the gap between the strip and the card,
    // measured from the canvas's far side at the right so they move with the
    // card when a notification column widens the canvas.
    const double s = c.scale;
    const double w = width(c);
    Connector k{};
    if (c.edge == RailEdge::right) {
        k.startX = w - innerColumns(s) + 6;
        k.endX = w - (outerMargin + stripWidth) * s - 6;
    } else {
        k.startX = (outerMargin + stripWidth) * s + 6;
        k.endX = innerColumns(s) - 6;
    }
    k.width = std::max(k.endX - k.startX, 18.0);
    k.midX = k.startX + k.width / 2;
    return k;
}

std::vector<PlacedNotification> sideNotifications(const RailViewInput &in, const std::vector<RailModule> &visible,
                                                  double room, int actionCount)
{
    const Canvas c{in.edge == RailEdge::right ? RailEdge::right : RailEdge::left, in.scale,
                   in.prayerAlert || in.reminderAlert, room};
    const SideStripFit fit = sideStripFit(c, int(visible.size()), actionCount);
    std::vector<PlacedNotification> placed;
    const auto add = [&](bool pending, EdgeAlertKind kind, RailModule module, bool ownColumn) {
        if (!pending)
            return;
        const QSizeF size = railview::notificationSize(kind);
        const double x = ownColumn ? expandedAlertCenterX(c, size.width()) : detailCardCenterX(c);
        const auto it = std::find(visible.begin(), visible.end(), module);
        const double iconY = moduleIconY(it == visible.end() ? 0 : int(it - visible.begin()), fit, c);
        const double half = size.height() / 2;
        const double y = std::clamp(iconY, half, std::max(half, height(c) - half));
        placed.push_back({kind, QPointF(x, y), size});
    };
    add(in.focusAlert, EdgeAlertKind::focus, RailModule::focus, false);
    add(in.calendarAlert, EdgeAlertKind::calendar, RailModule::calendar, false);
    add(in.prayerAlert, EdgeAlertKind::prayer, RailModule::prayers, true);
    add(in.reminderAlert, EdgeAlertKind::reminder, RailModule::reminders, true);
    return placed;
}

QPointF cardEntryOffset(RailEdge edge, double scale)
{
    switch (edge) {
    case RailEdge::left: return {-cardWidth * scale, 0};
    case RailEdge::right: return {cardWidth * scale, 0};
    case RailEdge::top: break;
    }
    return {0, -cardHeight * scale};
}

bool sideSwipeCollapses(double dx)
{
    return dx > 70 || dx < -110;
}

bool topSwipeCollapses(double dy)
{
    return dy < -70;
}

} // namespace kolu::expandedrail

namespace kolu::toprail {

StripFit stripFit(double stripWidth, int moduleCount, int actionCount, double scale)
{
    using expandedrail::buttonSpacing;
    using expandedrail::buttonWidth;
    StripFit fit{};
    fit.padding = stripPadding;
    fit.moduleSpacing = buttonSpacing * scale;
    fit.spacing = itemSpacing;
    fit.actionWidth = actionWidth;
    fit.shownModules = std::max(moduleCount, 0);
    fit.shownActions = std::max(actionCount, 0);
    const auto rowWidth = [&](double moduleSpacing) {
        const int n = fit.shownModules;
        return n * buttonWidth + std::max(0, n - 1) * moduleSpacing + 2 * moduleRowPadding;
    };
    // modules | separator | action … action: one spacing before each item after the modules.
    const auto gaps = [&] { return 1 + fit.shownActions; };
    const auto width = [&](double moduleSpacing, double spacing, double action) {
        return rowWidth(moduleSpacing) + gaps() * spacing + separatorWidth + fit.shownActions * action;
    };
    const auto current = [&] { return width(fit.moduleSpacing, fit.spacing, fit.actionWidth); };
    const auto room = [&] { return stripWidth - 2 * fit.padding; };
    const auto fits = [&] { return current() <= room() + 1e-9; };

    if (!fits())
        fit.spacing = std::clamp((room() - width(fit.moduleSpacing, 0, fit.actionWidth)) / gaps(), minimumItemSpacing,
                                 itemSpacing);
    if (!fits() && fit.shownActions > 0)
        fit.actionWidth = std::clamp((room() - width(fit.moduleSpacing, fit.spacing, 0)) / fit.shownActions,
                                     minimumActionWidth, actionWidth);
    if (!fits())
        fit.padding = std::clamp((stripWidth - current()) / 2, minimumStripPadding, stripPadding);
    if (!fits() && fit.shownModules > 1)
        fit.moduleSpacing = std::clamp((room() - width(0, fit.spacing, fit.actionWidth)) / (fit.shownModules - 1),
                                       minimumModuleSpacing, fit.moduleSpacing);
    while (!fits() && fit.shownActions > 1)
        --fit.shownActions;
    while (!fits() && fit.shownModules > 1)
        --fit.shownModules;
    fit.moduleRowWidth = rowWidth(fit.moduleSpacing);
    fit.contentWidth = current();
    fit.overflow = std::max(0.0, fit.contentWidth - room());
    return fit;
}

} // namespace kolu::toprail

namespace kolu::toolstrip {

std::optional<QString> badgeText(int count)
{
    if (count < 1)
        return std::nullopt;
    if (count > 99)
        return u"99+"_s;
    return QString::number(count);
}

int reorderTarget(int startIndex, double displacement, int visibleCount, double scale)
{
    if (visibleCount < 1)
        return 0;
    const double step = (expandedrail::buttonHeight + expandedrail::buttonSpacing) * scale;
    const int d = int(std::round(displacement / step)); // halves away from zero
    return std::clamp(startIndex + d, 0, visibleCount - 1);
}

} // namespace kolu::toolstrip
