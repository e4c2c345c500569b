// The number fields of the settings dialog: what a typed text stores.
#include "tools/spintext.h"

#include <gtest/gtest.h>

#include "common/test_support.h"

using namespace tools;

TEST(SpinText, TypedTextGivesTheValueItShows) {
    constexpr int32_t kIncMin = 0, kIncMax = 100000;  // "SetIncTime"
    constexpr int32_t kTabMin = -1, kTabMax = 1000;   // "SetTabWidth"
    struct Case {
        const wchar_t* text;
        int32_t min, max, previous;
        TSpinTextState state;
        int32_t value;
    } cases[] = {
        {L"250", kIncMin, kIncMax, 1000, TSpinTextState::Valid, 250},
        {L"12a", kIncMin, kIncMax, 700, TSpinTextState::NotANumber, 700},
        {L"", kIncMin, kIncMax, 700, TSpinTextState::NotANumber, 700},
        {L"  ", kIncMin, kIncMax, 700, TSpinTextState::NotANumber, 700},
        {L"-", kIncMin, kIncMax, 700, TSpinTextState::NotANumber, 700},
        {L"$", kIncMin, kIncMax, 700, TSpinTextState::NotANumber, 700},
        {L"200000", kIncMin, kIncMax, 700, TSpinTextState::Clamped, 100000},
        {L"-2", kTabMin, kTabMax, 150, TSpinTextState::Clamped, -1},
        {L"-1", kTabMin, kTabMax, 150, TSpinTextState::Valid, -1},
        {L"$10", kTabMin, kTabMax, 150, TSpinTextState::Valid, 16},
        {L"0x1F", kTabMin, kTabMax, 150, TSpinTextState::Valid, 31},
        {L"x10", kTabMin, kTabMax, 150, TSpinTextState::Valid, 16},
        {L" 40", kTabMin, kTabMax, 150, TSpinTextState::Valid, 40},
        {L"40 ", kTabMin, kTabMax, 150, TSpinTextState::Valid, 40},
        {L"+7", kTabMin, kTabMax, 150, TSpinTextState::Valid, 7},
        {L"4 0", kTabMin, kTabMax, 150, TSpinTextState::NotANumber, 150},
        {L"1.5", kTabMin, kTabMax, 150, TSpinTextState::NotANumber, 150},
        // Far beyond 32 and 64 bits: still a number, so the nearest bound (no wrap-around).
        {L"4294967297", kIncMin, kIncMax, 700, TSpinTextState::Clamped, 100000},
        {L"99999999999999999999999", kIncMin, kIncMax, 700, TSpinTextState::Clamped, 100000},
        {L"-99999999999999999999999", kTabMin, kTabMax, 150, TSpinTextState::Clamped, -1},
        {L"$FFFFFFFF", kTabMin, kTabMax, 150, TSpinTextState::Clamped, 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testsupport::Narrow(c.text));
        const TSpinText read = ReadSpinText(c.text, c.min, c.max, c.previous);
        EXPECT_EQ(read.State, c.state);
        EXPECT_EQ(read.Value, c.value);
    }
}
