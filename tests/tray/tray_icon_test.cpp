#include "tray/tray_icon.h"

#include <gtest/gtest.h>

#include "tests/fakes/fake_system.h"

namespace tunlatch {
namespace {

using Calls = std::vector<std::string>;

TEST(TrayIconTest, SettingsDecideWhatReachesTheTrayAndTheIconGoesWithItsOwner) {
    const Calls balloons = {"Tray Balloon audible Hamachi stopped [Tunlatch V1.0.0]",
                            "Tray Balloon silent Stop Hamachi: Service [Tunlatch V1.0.0]"};
    const struct {
        bool icon, balloons;
        Calls calls;
    } cases[] = {
        {false, false, {}},
        {false, true, {}},
        {true,
         false,
         {"Tray Add grey Tunlatch", "Tray Picture green-red", "WaitMs 500", "Tray Delete"}},
        {true,
         true,
         {"Tray Add grey Tunlatch", "Tray Picture green-red", balloons[0], balloons[1],
          "WaitMs 500", "Tray Delete"}}};
    for (const auto& c : cases) {
        FakeSystem sys;
        RunContext context;
        context.INI_tray_icon = c.icon;
        context.INI_balloon_tips = c.balloons;
        context.Title = "Tunlatch V1.0.0";
        {
            TrayIcon icon(sys.tray, sys.processes, context);
            icon.Picture(TrayPicture::GreenRed);
            icon.Balloon("Hamachi stopped", BalloonSound::Audible);
            icon.Balloon("Stop Hamachi: Service", BalloonSound::Silent);
            icon.IconPause(500);
        }
        EXPECT_EQ(sys.journal.events, c.calls) << c.icon << c.balloons;
    }
}

}  // namespace
}  // namespace tunlatch
