#include "services/share/DeviceShareService.h"

#include "../ServiceTests.h"
#include "RecordingProcessRunner.h"

using namespace kolu;

// Sharing end to end (no program, no device, a failed send) is the file
// tray's to show; here, what the device list may look like.
TEST(DeviceShareService, ReadsTheFirstDeviceInReachOfAListThatRanWell)
{
    test::RecordingProcessRunner runner;
    DeviceShareService share(runner);
    const struct {
        ProcessResult listed;
        std::optional<QString> device;
    } cases[] = {
        {{true, false, false, 0, "\n  phone-1 \nlaptop-2\n", {}}, u"phone-1"_s},
        {{true, false, false, 1, "phone-1\n", {}}, std::nullopt},
        {{true, true, false, -1, "phone-1\n", {}}, std::nullopt},
    };
    for (const auto &c : cases) {
        runner.respond(u"kdeconnect-cli"_s, c.listed);
        EXPECT_EQ(test::awaitTask(share.firstDeviceInReach()), c.device) << c.listed.standardOutput.constData();
    }
    EXPECT_EQ(runner.runs().back().arguments, (QStringList{u"--list-available"_s, u"--id-only"_s}));
}
