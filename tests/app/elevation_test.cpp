#include "app/elevation.h"

#include <gtest/gtest.h>

#include "checks/os_identification.h"

namespace {

// Wine always runs as an administrator, so the loop the marker prevents can
// only be shown here: a relaunched copy without rights never relaunches.
TEST(Elevation, RelaunchAtMostOnce) {
    EXPECT_EQ(NextElevationStep(kOsVista, false, false), ElevationStep::Relaunch);
    EXPECT_EQ(NextElevationStep(kOsWin7x64, false, true), ElevationStep::GiveUp);
    EXPECT_EQ(NextElevationStep(kOsWin7, true, true), ElevationStep::GoOn);
    EXPECT_EQ(NextElevationStep(kOsWinXP, false, false), ElevationStep::GoOn)
        << "before Vista there is nothing to ask for";
}

TEST(Elevation, MarkerOnlyAsAnArgumentOfItsOwn) {
    EXPECT_TRUE(HasElevatedMarker("\"C:\\Program Files\\TSCheck.exe\" /elevated"));
    EXPECT_TRUE(HasElevatedMarker("C:\\TSCheck.exe  /ELEVATED "));
    EXPECT_FALSE(HasElevatedMarker("\"C:\\TSCheck.exe\""));
    // The program's own path may hold the text; a longer word is not it.
    EXPECT_FALSE(HasElevatedMarker("\"C:\\x /elevated\\TSCheck.exe\""));
    EXPECT_FALSE(HasElevatedMarker("C:\\TSCheck.exe /elevatedx"));
    EXPECT_FALSE(HasElevatedMarker(""));
}

}  // namespace
