#include <gtest/gtest.h>

#include "platform/KeyboardLayout.h"

namespace {
TEST(KeyboardLayoutNameTest, FirstLayoutIsGroupZero)
{
    EXPECT_EQ(LayoutNameFromSymbols("pc+us+inet(evdev)", 0), "US");
}

TEST(KeyboardLayoutNameTest, NumberedLayoutsFollowTheirGroup)
{
    const std::string symbols = "pc+us+de:2+ru(phonetic):3+inet(evdev)+group(alt_shift_toggle)";
    EXPECT_EQ(LayoutNameFromSymbols(symbols, 0), "US");
    EXPECT_EQ(LayoutNameFromSymbols(symbols, 1), "DE");
    EXPECT_EQ(LayoutNameFromSymbols(symbols, 2), "RU");
}

TEST(KeyboardLayoutNameTest, AGroupWithoutLayoutGivesNothing)
{
    EXPECT_EQ(LayoutNameFromSymbols("pc+us+inet(evdev)", 1), "");
    EXPECT_EQ(LayoutNameFromSymbols("", 0), "");
}
} // namespace
