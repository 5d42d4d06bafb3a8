#include "shell/rules/CollapsedRailRules.h"
#include "shell/rules/EdgeNotificationContent.h"
#include "shell/rules/RingPhase.h"
#include "style/DateText.h"

#include <gtest/gtest.h>

#include <QTimeZone>

using namespace Qt::StringLiterals;

namespace kolu {
TEST(CollapsedRailRules, EdgeAlertKeepsSpareWidthOnTheScreenSide)
{
    for (EdgeAlertKind kind :
         {EdgeAlertKind::calendar, EdgeAlertKind::prayer, EdgeAlertKind::reminder, EdgeAlertKind::focus}) {
        for (double scale : {1.0, 1.25}) {
            const QSizeF note = railview::notificationSize(kind);
            const auto left = railview::edgeAlertGeometry(kind, RailEdge::left, scale);
            const auto right = railview::edgeAlertGeometry(kind, RailEdge::right, scale);
            // The tile against the edge, the notification beside it, both
            // centred; at the right edge the mirror image.
            EXPECT_EQ(left.frame, QSizeF(430 * scale, 112));
            EXPECT_EQ(left.notification, QRectF(QPointF(left.tile.right(), 56 - note.height() / 2), note));
            EXPECT_EQ(left.tile.left(), 0.0);
            EXPECT_DOUBLE_EQ(left.tile.center().y(), 56.0);
            const auto mirror = [&](const QRectF &r) {
                return r.translated(left.frame.width() - r.right() - r.x(), 0);
            };
            EXPECT_EQ(right.tile, mirror(left.tile));
            EXPECT_EQ(right.notification, mirror(left.notification));
        }
    }
}

TEST(CollapsedRailRules, PlacementAgainstTheEdge)
{
    const QRectF area(0, 0, 400, 600);
    const QSizeF item(100, 112);
    const std::tuple<RailEdge, RailVerticalPosition, QPointF> cases[] = {
        {RailEdge::left, RailVerticalPosition::top, {0, 0}},
        {RailEdge::left, RailVerticalPosition::center, {0, 244}},
        {RailEdge::left, RailVerticalPosition::bottom, {0, 488}},
        {RailEdge::right, RailVerticalPosition::bottom, {300, 488}},
        {RailEdge::top, RailVerticalPosition::bottom, {150, 0}}};
    for (const auto &[edge, position, topLeft] : cases)
        EXPECT_EQ(railview::placeAtEdge(area, item, edge, position).topLeft(), topLeft)
            << int(edge) << " " << int(position);
}

TEST(RingPhase, RingsGrowFadeAndRepeat)
{
    const auto start = rings::framesAt(0);
    EXPECT_EQ(start[0].size, QSizeF(56, 50));
    EXPECT_DOUBLE_EQ(start[0].opacity, 0.72);
    // The three rings are a quarter-ish cycle apart and keep growing until
    // they wrap; a full cycle later everything repeats.
    const double period = 1.0 / rings::cyclesPerSecond;
    for (double t = 0; t < 3 * period; t += period / 17) {
        const auto now = rings::framesAt(t);
        const auto later = rings::framesAt(t + period);
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_NEAR(now[i].size.width(), later[i].size.width(), 1e-6);
            EXPECT_GE(now[i].size.width(), 56.0);
            EXPECT_LT(now[i].size.width(), 100.0);
            EXPECT_GE(now[i].opacity, 0.0);
            EXPECT_LE(now[i].blur, 0.18);
            // Larger ring, fainter ring.
            if (i > 0 && now[i].size.width() > now[i - 1].size.width()) {
                EXPECT_LT(now[i].opacity, now[i - 1].opacity);
            }
        }
    }
}

TEST(EdgeNotificationContent, LinesForEveryKindWithAndWithoutAlert)
{
    const DateText dates(u"en_US"_s, u"UTC"_s);
    CalendarEvent event;
    event.title = u"Standup"_s;
    event.startDate = QDateTime(QDate(2026, 3, 2), QTime(14, 5), QTimeZone::utc());
    ActivePrayerAlert prayer;
    prayer.prayer.name = PrayerName::maghrib;
    ActiveReminderAlert reminder;
    reminder.reminder.title = u"Call the bank"_s;

    // The three lines joined, with no third line as "-".
    const auto text = [&](EdgeAlertKind kind, bool with) -> QString {
        const auto l = edgenotification::lines(kind, with ? std::optional(event) : std::nullopt,
                                               with ? std::optional(prayer) : std::nullopt,
                                               with ? std::optional(reminder) : std::nullopt, dates);
        return l.first + u'|' + l.second + u'|' + l.third.value_or(u"-"_s).remove(QChar(0x202F)).remove(u' ');
    };
    const std::tuple<EdgeAlertKind, bool, const char *> rows[] = {
        {EdgeAlertKind::calendar, true, "Event soon|Standup|2:05PM"},
        {EdgeAlertKind::calendar, false, "Event soon|Calendar event|"},
        {EdgeAlertKind::prayer, true, "Maghrib|Prayer time|-"},
        {EdgeAlertKind::prayer, false, "Prayer|Prayer time|-"},
        {EdgeAlertKind::reminder, true, "Reminder|Call the bank|-"},
        {EdgeAlertKind::reminder, false, "Reminder|Reminder due|-"},
        {EdgeAlertKind::focus, false, "Time is up|Stop now|orsnooze..."}};
    for (const auto &[kind, with, expected] : rows)
        EXPECT_EQ(text(kind, with), QString::fromUtf8(expected)) << int(kind) << with;
    event.title.clear();
    EXPECT_EQ(text(EdgeAlertKind::calendar, true).section(u'|', 1, 1), QString());

    const QStringList names{u"Fajr"_s, u"Sunrise"_s, u"Dhuhr"_s, u"Asr"_s, u"Maghrib"_s, u"Isha"_s};
    for (int i = 0; i < names.size(); ++i) {
        prayer.prayer.name = static_cast<PrayerName>(i);
        EXPECT_EQ(edgenotification::prayerName(prayer), names[i]);
    }
}

} // namespace kolu
