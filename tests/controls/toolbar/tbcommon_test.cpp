#include "controls/toolbar/tbcommon.h"

#include <gtest/gtest.h>

TEST(TBCommon, Placeholder) { EXPECT_EQ(IntMin(-1, 1), -1); }
