#include "app/elevation.h"

#include <gtest/gtest.h>

namespace {

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
