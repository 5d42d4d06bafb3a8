#include "shell/rail/EdgeNotification.h"
#include "state/AppState.h"
#include "style/widgets/ElidedLabel.h"

#include "ManualClock.h"
#include "TemporaryHome.h"
#include "TestAppServices.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>

#include <memory>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

// Every line of a notification shows at its full height, in the desktop
// fonts that run taller than the ones its size was made for, and "Time is
// up" with its two lines shows whole.
TEST(EdgeNotificationFit, EveryLineShowsWholeInTallDesktopFonts)
{
    test::TemporaryHome home;
    test::ManualClock clock;
    UserDefaults defaults;
    test::TestAppServices services{defaults, clock, home};
    AppState state(defaults, clock, services.take());
    const QFont before = QApplication::font();
    int tried = 0;
    for (const QString &family : {u"Noto Sans"_s, u"DejaVu Sans"_s, u"Cantarell"_s, u"Ubuntu"_s}) {
        if (!QFontDatabase::families().contains(family))
            continue;
        ++tried;
        QApplication::setFont(QFont(family));
        for (const EdgeAlertKind kind :
             {EdgeAlertKind::focus, EdgeAlertKind::calendar, EdgeAlertKind::prayer, EdgeAlertKind::reminder}) {
            SCOPED_TRACE(family.toStdString() + " " + std::to_string(int(kind)));
            EdgeNotification note(kind, state);
            note.show();
            const QWidget *column = note.findChild<QWidget *>(u"notificationText"_s);
            ASSERT_NE(column, nullptr);
            for (const ElidedLabel *line : note.findChildren<ElidedLabel *>()) {
                if (line->text().isEmpty())
                    continue;
                EXPECT_GE(line->height(), line->heightForWidth(line->width())) << line->text().toStdString();
                EXPECT_GE(line->y(), 0) << line->text().toStdString();
                EXPECT_LE(line->geometry().bottom(), column->height() - 1) << line->text().toStdString();
                // The focus notification's words are all its own, never cut
                // across; the others carry an event's or a reminder's title.
                if (kind == EdgeAlertKind::focus || line->objectName() == u"firstLine"_s) {
                    EXPECT_FALSE(line->isElided(line->width())) << line->text().toStdString();
                }
            }
        }
    }
    QApplication::setFont(before);
    EXPECT_GT(tried, 0) << "no desktop font installed";
}

} // namespace
} // namespace kolu
