// The digit groups of the status bar's counts.
#include "desktop/FrameStrings.h"

#include <gtest/gtest.h>

TEST(StatusCounts, GroupTheirDigitsAsTheWalkDoes) {
    EXPECT_EQ(CFrameStrings::FileCount(40000), QStringLiteral("40,000 file(s)"));
    EXPECT_EQ(CFrameStrings::FileCount(7), QStringLiteral("7 file(s)"));
    EXPECT_EQ(CFrameStrings::Format(EStringId::SelectedCountFormat, 1234),
              QStringLiteral("1,234 selected files"));
    EXPECT_EQ(CFrameStrings::FileCount(40000),
              CFrameStrings::Number(40000) + QStringLiteral(" file(s)"));
}
