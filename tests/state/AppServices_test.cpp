#include "state/AppServices.h"

#include "model/UserDefaults.h"
#include "platform/desktop/FolderPicker.h"
#include "services/notifications/NotificationService.h"
#include "services/media/NowPlayingService.h"
#include "state/AppState.h"

#include "AwaitTask.h"
#include "ManualClock.h"
#include "PrivateBus.h"
#include "TemporaryHome.h"

#include <gtest/gtest.h>

using namespace kolu;
using namespace Qt::StringLiterals;

TEST(AppServices, TheDefaultServicesComeUpWithoutADesktop)
{
    test::TemporaryHome home;
    test::ManualClock clock;
    test::PrivateBus bus;
    UserDefaults defaults;
    AppState state(defaults, clock, AppServices::createDefault(defaults, clock, nullptr, {}, bus.connect(u"kolu"_s)));
    // Every service is there, and the lazy ones can be made.
    EXPECT_NO_THROW(state.clipboardService());
    EXPECT_NO_THROW(state.wallpaperService());
    EXPECT_EQ(test::awaitTask(state.nowPlayingService().currentItem()).title, u"Nothing playing"_s);
}
