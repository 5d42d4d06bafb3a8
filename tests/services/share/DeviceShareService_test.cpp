#include "services/share/DeviceShareService.h"

#include "../ServiceTests.h"
#include "RecordingProcessRunner.h"

using namespace kolu;

TEST(DeviceShareService, ReadsTheFirstDeviceInReachAndReportsEachSend)
{
    test::RecordingProcessRunner runner;
    DeviceShareService share(runner);
    EXPECT_TRUE(share.isAvailable());

    const struct {
        ProcessResult listed;
        std::optional<QString> device;
    } cases[] = {
        {{true, false, false, 0, "\n  phone-1 \nlaptop-2\n", {}}, u"phone-1"_s},
        {{true, false, false, 0, " \n\n", {}}, std::nullopt},
        {{true, false, false, 1, "phone-1\n", {}}, std::nullopt},
        {{true, true, false, -1, "phone-1\n", {}}, std::nullopt},
    };
    for (const auto &c : cases) {
        runner.respond(u"kdeconnect-cli"_s, c.listed);
        EXPECT_EQ(test::awaitTask(share.firstDeviceInReach()), c.device) << c.listed.standardOutput.constData();
    }
    EXPECT_EQ(runner.runs().back().arguments, (QStringList{u"--list-available"_s, u"--id-only"_s}));

    runner.respond(u"kdeconnect-cli"_s, {true, false, false, 0, {}, {}});
    EXPECT_TRUE(test::awaitTask(share.sendFile(u"phone-1"_s, u"/tmp/a b.txt"_s)));
    EXPECT_EQ(runner.runs().back().arguments,
              (QStringList{u"--device"_s, u"phone-1"_s, u"--share"_s, u"/tmp/a b.txt"_s}));
    runner.setMissing({u"kdeconnect-cli"_s});
    EXPECT_FALSE(share.isAvailable());
    EXPECT_FALSE(test::awaitTask(share.sendFile(u"phone-1"_s, u"/tmp/a"_s)));
}
