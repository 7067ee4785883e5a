#include "tray/form_main.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>

#include "tests/fakes/tray_fake.h"

namespace tunlatch {
namespace {

using ::testing::ElementsAre;

struct FormMainTest : ::testing::Test {
    FakeTray tray;
    RunContext context;
    FormMain form{tray, context};
};

TEST_F(FormMainTest, TraySettingOnShowsGreyIconForTheRunAndRemovesItBeforeTheFormGoes) {
    context.INI_tray_icon = true;
    form.Form_Load();
    EXPECT_TRUE(tray.iconShown);
    form.Form_Unload();
    EXPECT_FALSE(tray.iconShown);
    EXPECT_FALSE(tray.formLoaded);
    EXPECT_THAT(tray.calls, ElementsAre("Load", "Show picGrey Tunlatch", "Hide", "Unload"));
}

TEST_F(FormMainTest, TraySettingOffNeitherCreatesTheWindowNorAddsOrDeletesAnIcon) {
    context.INI_tray_icon = false;
    form.Form_Load();
    EXPECT_FALSE(tray.formLoaded);
    form.Form_Unload();
    EXPECT_THAT(tray.calls, ElementsAre());
}

// The balloons that depend on the balloon setting alone still reach the tray when the icon is
// off; they must be refused quietly and leave no icon behind.
TEST_F(FormMainTest, ModifyAndBalloonWithoutAnIconAreRefusedAndAddNothing) {
    context.INI_tray_icon = false;
    form.Form_Load();
    EXPECT_FALSE(tray.TrayIconModify(TrayPicture::Red, std::nullopt));
    EXPECT_FALSE(
        tray.TrayBalloon("Tunlatch V1.0.0", "Start Hamachi: Service", kBalloonInfoSilent, 0));
    form.Form_Unload();
    EXPECT_FALSE(tray.iconShown);
    EXPECT_THAT(tray.calls, ElementsAre("Modify picRed",
                                        "Balloon 17 Start Hamachi: Service [Tunlatch V1.0.0] 0"));
}

}  // namespace
}  // namespace tunlatch
