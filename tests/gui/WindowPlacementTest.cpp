// Where the window opens from its saved rectangle, against made-up screens: the primary one at
// the origin and a second one to its right.
#include "frame/WindowPlacement.h"

#include <gtest/gtest.h>

namespace {

const QRect kPrimary(0, 0, 1280, 770);
const QRect kSecond(1280, 0, 1920, 1050);

struct SPlacement {
    const char* name;
    QRect saved;
    QList<QRect> screens;
    QRect placed;
};

const SPlacement kPlacements[] = {
    {"OnThePrimaryScreen", {50, 50, 600, 400}, {kPrimary, kSecond}, {50, 50, 600, 400}},
    {"OnTheSecondScreen", {1500, 100, 900, 700}, {kPrimary, kSecond}, {1500, 100, 900, 700}},
    {"ItsScreenGone", {1500, 100, 900, 700}, {kPrimary}, {380, 70, 900, 700}},
    {"FarOff", {-9000, -9000, 600, 400}, {kPrimary, kSecond}, {0, 0, 600, 400}},
    {"TitleBarAboveTheScreen", {100, -60, 600, 400}, {kPrimary}, {100, 0, 600, 400}},
    {"LargerThanItsScreen", {1400, 50, 3000, 2000}, {kPrimary, kSecond}, {1280, 0, 1920, 1050}},
    {"ScaledUp", {200, 100, 2400, 1500}, {kPrimary}, {0, 0, 1280, 770}},
    {"NoSize", {50, 50, 0, -5}, {kPrimary}, {50, 50, 160, 120}},
    {"NoScreens", {-9000, 0, 600, 400}, {}, {-9000, 0, 600, 400}},
};

class WindowPlacement : public testing::TestWithParam<SPlacement> {};

TEST_P(WindowPlacement, KeepsTheWindowWithinReach) {
    EXPECT_EQ(CWindowPlacement::OnScreen(GetParam().saved, GetParam().screens), GetParam().placed);
}

INSTANTIATE_TEST_SUITE_P(Cases, WindowPlacement, testing::ValuesIn(kPlacements),
                         [](const auto& row) { return std::string(row.param.name); });

// A first start's window: two thirds of the screen in its middle, never smaller than a window
// can usefully be nor larger than the screen.
TEST(FirstWindow, TakesTwoThirdsOfTheScreenInItsMiddle) {
    EXPECT_EQ(CWindowPlacement::FirstWindow(QRect(0, 0, 1920, 1050)), QRect(320, 175, 1280, 700));
    EXPECT_EQ(CWindowPlacement::FirstWindow(kSecond), QRect(1600, 175, 1280, 700));
    EXPECT_EQ(CWindowPlacement::FirstWindow(QRect(0, 30, 1280, 770)), QRect(213, 158, 853, 513));
    EXPECT_EQ(CWindowPlacement::FirstWindow(QRect(0, 0, 200, 100)), QRect(20, 0, 160, 100));
}

} // namespace
