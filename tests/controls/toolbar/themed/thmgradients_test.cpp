#include "controls/toolbar/themed/thmgradients.h"

#include "common/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace themed;
using namespace classlib;
using testsupport::MemoryDib;

namespace {

const COLORREF kBack = RGB(1, 2, 3);

int Channel(COLORREF c, int i) { return i == 0 ? GetRValue(c) : i == 1 ? GetGValue(c) : GetBValue(c); }

TEST(Gradient, StartsAtTheFirstColourAndRunsToTheSecond) {
    const COLORREF c1 = RGB(0, 100, 200), c2 = RGB(255, 50, 0);
    for (bool vertical : {false, true}) {
        SCOPED_TRACE(vertical ? "vertical" : "horizontal");
        MemoryDib dib(80, 80, kBack);
        const RECT r{8, 4, 72, 68};  // 64 x 64
        PaintGradientRect(dib.DC, r, static_cast<TColor>(c1), static_cast<TColor>(c2), vertical);
        const int n = 64;
        auto at = [&](int step, int across) {
            return vertical ? dib.Pixel(r.left + across, r.top + step) : dib.Pixel(r.left + step, r.top + across);
        };
        for (int across = 0; across < n; across += 9) {
            EXPECT_EQ(at(0, across), c1);
            for (int ch = 0; ch < 3; ++ch) {
                const int sign = Channel(c2, ch) > Channel(c1, ch) ? 1 : Channel(c2, ch) < Channel(c1, ch) ? -1 : 0;
                for (int step = 1; step < n; ++step)
                    EXPECT_GE(sign * (Channel(at(step, across), ch) - Channel(at(step - 1, across), ch)), 0)
                        << "channel " << ch << " step " << step;
                // The last line is the second colour, short of it by at most one step of the ramp.
                const int last = Channel(at(n - 1, across), ch), want = Channel(c2, ch);
                EXPECT_LE(std::abs(last - want), std::abs(want - Channel(c1, ch)) / n + 1) << "channel " << ch;
            }
        }
        // Nothing outside the rectangle.
        for (int y = 0; y < dib.Height; ++y)
            for (int x = 0; x < dib.Width; ++x) {
                const POINT p{x, y};
                if (!PtInRect(&r, p)) {
                    ASSERT_EQ(dib.Pixel(x, y), kBack) << x << "," << y;
                }
            }
    }
}

TEST(Gradient, SystemColoursEmptyAndClippedRectangles) {
    MemoryDib dib(40, 10, kBack);
    PaintGradientRect(dib.DC, RECT{0, 0, 40, 10}, clBtnFace, clWindow, false);
    EXPECT_EQ(dib.Pixel(0, 5), GetSysColor(COLOR_BTNFACE));

    dib.Fill(kBack);
    PaintGradientRect(dib.DC, RECT{5, 5, 30, 5}, clBlack, clWhite, true);  // no height
    PaintGradientRect(dib.DC, RECT{5, 5, 5, 9}, clBlack, clWhite, false);  // no width
    {
        SaveDC(dib.DC);
        IntersectClipRect(dib.DC, 0, 0, 10, 10);
        PaintGradientRect(dib.DC, RECT{20, 0, 40, 10}, clBlack, clWhite, false);  // not visible
        RestoreDC(dib.DC, -1);
    }
    EXPECT_EQ(dib.Count(kBack), 400);
}

TEST(StreakTexture, RowsFollowTheirProfilesFromTheOrigin) {
    TThmStreakTextures textures;
    const COLORREF color = RGB(100, 150, 250);
    const int amplitude = 50;
    MemoryDib dib(300, 40, kBack);
    const RECT r{10, 3, 290, 37};
    const POINT origin{37, -1030};  // rows wrap around the 1024-row tables
    textures.Paint(dib.DC, &origin, r, static_cast<TColor>(color), amplitude);
    for (int y = 0; y < dib.Height; ++y) {
        for (int x = 0; x < dib.Width; ++x) {
            const COLORREF got = dib.Pixel(x, y);
            if (x < r.left || x >= r.right || y < r.top || y >= r.bottom) {
                ASSERT_EQ(got, kBack) << x << "," << y;
                continue;
            }
            const int k = ((y - origin.y) % 1024 + 1024) % 1024;
            const std::vector<int>& pattern = textures.Pattern(textures.RowPattern(k));
            const int length = static_cast<int>(pattern.size());
            const int start = origin.x - textures.RowOffset(k);
            const int entry = pattern[((x - start) % length + length) % length];
            const COLORREF want = RGB(TThmStreakTextures::LinePixelChannel(entry, amplitude, GetRValue(color)),
                                      TThmStreakTextures::LinePixelChannel(entry, amplitude, GetGValue(color)),
                                      TThmStreakTextures::LinePixelChannel(entry, amplitude, GetBValue(color)));
            ASSERT_EQ(got, want) << x << "," << y;
        }
    }
}

TEST(StreakTexture, ChannelRuleAndDrawingLimits) {
    struct Case {
        int entry, amplitude, channel, expected;
    } cases[] = {
        {0, 0, 100, 100}, {0, 0, 255, 239}, {100, 256, 100, 200}, {-200, 256, 100, 0}, {-255, 300, 255, 0},
        {255, 256, 0, 239}, {1, 255, 238, 238}, {1, 256, 238, 239},
    };
    for (const Case& k : cases)
        EXPECT_EQ(TThmStreakTextures::LinePixelChannel(k.entry, k.amplitude, k.channel), k.expected)
            << k.entry << " " << k.amplitude << " " << k.channel;

    TThmStreakTextures textures;
    MemoryDib dib(60, 30, kBack);
    // A flat texture (amplitude 0) in a clip region: only the clipped part is drawn, and the
    // DC keeps its clipping.
    SaveDC(dib.DC);
    IntersectClipRect(dib.DC, 20, 10, 40, 20);
    textures.Paint(dib.DC, nullptr, RECT{0, 0, 60, 30}, static_cast<TColor>(RGB(100, 150, 250)), 0);
    RECT clip;
    GetClipBox(dib.DC, &clip);
    EXPECT_EQ(clip.left, 20);
    EXPECT_EQ(clip.bottom, 20);
    textures.Paint(dib.DC, nullptr, RECT{0, 0, 60, 30}, clNone, 0);
    RestoreDC(dib.DC, -1);
    EXPECT_EQ(dib.Count(RGB(100, 150, 239)), 20 * 10);
    EXPECT_EQ(dib.Count(kBack), 60 * 30 - 20 * 10);
}

TEST(StreakTexture, ProfilesAndRowTables) {
    TThmStreakTextures textures;
    for (int p = 0; p < TThmStreakTextures::kPatternCount; ++p) {
        const std::vector<int>& pattern = textures.Pattern(p);
        ASSERT_GE(pattern.size(), 100u);
        ASSERT_LE(pattern.size(), 200u);
        ASSERT_EQ(pattern.size() % 2, 0u);
        for (size_t j = 0; j < pattern.size(); j += 2) {
            EXPECT_GE(pattern[j], -255);
            EXPECT_LE(pattern[j + 1], 255);
            EXPECT_LE(pattern[j], pattern[j + 1]);
            EXPECT_LE(pattern[j + 1] - pattern[j], 300);
        }
    }
    for (int row = 0; row < TThmStreakTextures::kRowCount; ++row) {
        const int p = textures.RowPattern(row);
        ASSERT_GE(p, 0);
        ASSERT_LT(p, TThmStreakTextures::kPatternCount);
        const int offset = textures.RowOffset(row);
        EXPECT_GE(offset, 0);
        EXPECT_LT(offset, static_cast<int>(textures.Pattern(p).size()));
        EXPECT_EQ(offset % 2, row % 2) << row;
    }
}

TEST(StreakTexture, LineSetsAreReusedAndTheOldestGivesWay) {
    TThmStreakTextures textures;
    const TThmStreakTextures::TLineSet& first = textures.LineSet(RGB(10, 20, 30), 40);
    EXPECT_EQ(&textures.LineSet(RGB(10, 20, 30), 40), &first);
    EXPECT_EQ(textures.LineSetsMade(), 1);
    EXPECT_EQ(first.Color, RGB(10, 20, 30));
    EXPECT_EQ(first.Amplitude, 40);
    for (int i = 1; i < TThmStreakTextures::kLineSetCount; ++i) textures.LineSet(RGB(10, 20, 30), 40 + i);
    EXPECT_EQ(textures.LineSetsMade(), 16);
    textures.LineSet(RGB(10, 20, 30), 40);  // still there
    EXPECT_EQ(textures.LineSetsMade(), 16);
    textures.LineSet(RGB(99, 99, 99), 40);  // the 17th pair takes the oldest slot
    EXPECT_EQ(textures.LineSetsMade(), 17);
    textures.LineSet(RGB(10, 20, 30), 41);  // the second pair is still there
    EXPECT_EQ(textures.LineSetsMade(), 17);
    textures.LineSet(RGB(10, 20, 30), 40);  // the first one had to go
    EXPECT_EQ(textures.LineSetsMade(), 18);
    textures.DropLines();
    textures.LineSet(RGB(10, 20, 30), 41);
    EXPECT_EQ(textures.LineSetsMade(), 19);
}

}  // namespace
