#include "tray/tray_icon.h"

#include <gtest/gtest.h>

#include "tests/fakes/processes_fake.h"
#include "tests/fakes/tray_fake.h"

namespace tunlatch {
namespace {

using Calls = std::vector<std::string>;

struct Case {
    bool icon, balloons;
    Calls calls;
    std::vector<std::int32_t> waits;
};

class TrayIconTest : public ::testing::TestWithParam<Case> {};

TEST_P(TrayIconTest, SettingsDecideWhatReachesTheTrayAndTheIconGoesWithItsOwner) {
    const Case& c = GetParam();
    FakeTray tray;
    FakeProcesses processes;
    RunContext context;
    context.INI_tray_icon = c.icon;
    context.INI_balloon_tips = c.balloons;
    context.Title = "Tunlatch V1.0.0";
    {
        TrayIcon icon(tray, processes, context);
        icon.Picture(TrayPicture::GreenRed);
        icon.Balloon("Hamachi stopped", BalloonSound::Audible);
        icon.Balloon("Stop Hamachi: Service", BalloonSound::Silent);
        icon.IconPause(500);
    }
    EXPECT_EQ(tray.calls, c.calls);
    EXPECT_FALSE(tray.added);
    EXPECT_EQ(processes.waits, c.waits);
}

const Calls kBalloons = {"Balloon audible Hamachi stopped [Tunlatch V1.0.0]",
                         "Balloon silent Stop Hamachi: Service [Tunlatch V1.0.0]"};

INSTANTIATE_TEST_SUITE_P(
    IconAndBalloonSettings, TrayIconTest,
    ::testing::Values(
        Case{false, false, {}, {}}, Case{false, true, {}, {}},
        Case{true, false, {"Add grey Tunlatch", "Picture green-red", "Delete"}, {500}},
        Case{true,
             true,
             {"Add grey Tunlatch", "Picture green-red", kBalloons[0], kBalloons[1], "Delete"},
             {500}}));

}  // namespace
}  // namespace tunlatch
