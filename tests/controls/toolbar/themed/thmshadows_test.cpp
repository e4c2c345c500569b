#include "controls/toolbar/themed/thmshadows.h"

#include "classlib/application.h"
#include "common/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace themed;
using namespace classlib;

namespace {

struct Strip {
    TShadowStripIndex index;
    RECT bounds;
    BYTE fadedEnds;
};

std::string Describe(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

TEST(ShadowPlan, StripsAroundPopupAndOpener) {
    struct Case {
        const char* what;
        RECT opener, popup;
        std::vector<Strip> strips;  // every other strip is not made
    } cases[] = {
        {"nothing", {}, {}, {}},
        {"a popup alone",
         {},
         {100, 100, 200, 300},
         {{ssVert1, {200, 104, 204, 300}, seStart}, {ssHorz1, {104, 300, 204, 304}, seStart | seEnd}}},
        {"an opener alone",
         {100, 80, 130, 100},
         {},
         {{ssVert1, {130, 84, 134, 100}, seStart}, {ssHorz1, {104, 100, 134, 104}, seStart | seEnd}}},
        // Below a toolbar button and wider than it by more than the depth: the right strip
        // starts below the popup's top with a faded end.
        {"below a narrower button",
         {100, 80, 130, 100},
         {100, 100, 250, 300},
         {{ssVert1, {130, 84, 134, 100}, seStart},
          {ssVert2, {250, 104, 254, 300}, seStart},
          {ssHorz2, {104, 300, 254, 304}, seStart | seEnd}}},
        // Not wider by more than the depth: the right strip starts one pixel below the popup's
        // top, without a faded end, so that nothing falls on the button.
        {"below a button of about its width",
         {100, 80, 180, 100},
         {100, 100, 182, 300},
         {{ssVert1, {180, 84, 184, 100}, seStart},
          {ssVert2, {182, 101, 186, 300}, 0},
          {ssHorz2, {104, 300, 186, 304}, seStart | seEnd}}},
        {"below a wider button",
         {100, 80, 180, 100},
         {100, 100, 150, 300},
         {{ssVert1, {180, 84, 184, 100}, seStart},
          {ssVert2, {150, 101, 154, 300}, 0},
          {ssHorz2, {104, 300, 154, 304}, seStart | seEnd},
          {ssHorz3, {150, 100, 184, 104}, seStart | seEnd}}},
        {"above its opener (names swapped)",
         {100, 100, 250, 300},
         {100, 80, 130, 100},
         {{ssVert1, {130, 84, 134, 100}, seStart},
          {ssVert2, {250, 104, 254, 300}, seStart},
          {ssHorz2, {104, 300, 254, 304}, seStart | seEnd}}},
        {"below a button further right",
         {150, 80, 180, 100},
         {100, 100, 250, 300},
         {{ssVert1, {180, 84, 184, 100}, seStart},
          {ssVert2, {250, 104, 254, 300}, seStart},
          {ssHorz2, {104, 300, 254, 304}, seStart | seEnd}}},
        {"below a button further left",
         {40, 80, 70, 100},
         {100, 100, 250, 300},
         {{ssHorz1, {44, 100, 100, 104}, seStart},
          {ssVert1, {70, 84, 74, 100}, seStart},
          {ssVert2, {250, 104, 254, 300}, seStart},
          {ssHorz2, {104, 300, 254, 304}, seStart | seEnd}}},
        // A submenu to the right of its item.
        {"beside its opener",
         {100, 100, 200, 130},
         {200, 90, 300, 300},
         {{ssVert2, {300, 94, 304, 304}, seStart | seEnd},
          {ssHorz1, {104, 130, 200, 134}, seStart},
          {ssHorz2, {204, 300, 300, 304}, seStart}}},
        {"beside and reaching lower than its opener",
         {100, 100, 200, 330},
         {200, 90, 300, 300},
         {{ssVert2, {300, 94, 304, 304}, seStart | seEnd},
          {ssHorz1, {104, 330, 200, 334}, seStart},
          {ssVert3, {200, 300, 204, 334}, seStart | seEnd},
          {ssHorz2, {200, 300, 300, 304}, 0}}},
        {"beside, lower down than its opener",
         {100, 100, 200, 130},
         {200, 120, 300, 300},
         {{ssVert1, {200, 104, 204, 120}, seStart},
          {ssVert2, {300, 124, 304, 304}, seStart | seEnd},
          {ssHorz1, {104, 130, 200, 134}, seStart},
          {ssHorz2, {204, 300, 300, 304}, seStart}}},
        {"overlapping both ways", {100, 100, 200, 200}, {150, 150, 250, 250}, {}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        const TShadowPlan plan = PlanShadowStrips(k.opener, k.popup, 4);
        std::vector<bool> expected(6, false);
        for (const Strip& s : k.strips) {
            expected[s.index] = true;
            const TShadowStripPlan& got = plan[s.index];
            EXPECT_TRUE(got.Made) << "strip " << s.index;
            EXPECT_EQ(Describe(got.Bounds), Describe(s.bounds)) << "strip " << s.index;
            EXPECT_EQ(got.FadedEnds, s.fadedEnds) << "strip " << s.index;
            EXPECT_EQ(got.Vertical, s.index == ssVert1 || s.index == ssVert2 || s.index == ssVert3);
        }
        for (int i = 0; i < 6; ++i)
            if (!expected[i]) {
                EXPECT_FALSE(plan[i].Made) << "strip " << i << " " << Describe(plan[i].Bounds);
            }
    }
}

int Alpha(const std::vector<std::uint32_t>& pixels, int width, int x, int y) { return pixels[y * width + x] >> 24; }

TEST(ShadowAlpha, RampsAndCorners) {
    // A horizontal strip 10 x 4 with both ends faded: corner parts 4 wide, a middle of 2.
    std::vector<std::uint32_t> h(40, 0xDEADBEEF);
    FillShadowAlpha(h.data(), 10, 4, false, seStart | seEnd);
    for (auto p : h) EXPECT_EQ(p & 0xFFFFFF, 0u) << "premultiplied black";
    for (int x : {4, 5}) {
        EXPECT_EQ(Alpha(h, 10, x, 0), 255);
        EXPECT_EQ(Alpha(h, 10, x, 1), 191);
        EXPECT_EQ(Alpha(h, 10, x, 2), 127);
        EXPECT_EQ(Alpha(h, 10, x, 3), 63);
    }
    // Left corner: darkest at its inner top-right point, gone at the outer bottom-left.
    EXPECT_EQ(Alpha(h, 10, 3, 0), 255);
    EXPECT_EQ(Alpha(h, 10, 2, 1), 159);
    EXPECT_EQ(Alpha(h, 10, 0, 3), 0);
    // Right corner: darkest at its inner top-left point.
    EXPECT_EQ(Alpha(h, 10, 6, 0), 255);
    EXPECT_EQ(Alpha(h, 10, 9, 3), 0);

    // A vertical strip 4 x 10 with a faded top only: no corner at the bottom.
    std::vector<std::uint32_t> v(40, 0xDEADBEEF);
    FillShadowAlpha(v.data(), 4, 10, true, seStart);
    for (int y : {4, 9}) {
        EXPECT_EQ(Alpha(v, 4, 0, y), 255);
        EXPECT_EQ(Alpha(v, 4, 3, y), 63);
    }
    EXPECT_EQ(Alpha(v, 4, 0, 3), 255);  // inner bottom-left point of the top corner
    EXPECT_EQ(Alpha(v, 4, 3, 0), 0);

    // Shorter than its two corners: each end gets half the length, and the corners' inner
    // points fall outside the clipped parts.
    std::vector<std::uint32_t> s(6 * 4, 0xDEADBEEF);
    FillShadowAlpha(s.data(), 6, 4, false, seStart | seEnd);
    for (auto p : s) EXPECT_NE(p, 0xDEADBEEFu);
    EXPECT_EQ(Alpha(s, 6, 2, 0), 191);
    EXPECT_EQ(Alpha(s, 6, 3, 0), 191);
}

// A plain popup window to cast the shadow.
struct PopupWindow {
    PopupWindow(const RECT& r) {
        Handle = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_VISIBLE, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
    }
    ~PopupWindow() { DestroyWindow(Handle); }
    HWND Handle;
};

bool IsBelow(HWND window, HWND above) {
    for (HWND w = GetWindow(above, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w == window) return true;
    return false;
}

TEST(Shadows, LayeredStripsBehindThePopupLetTheMouseThrough) {
    const RECT popup{100, 100, 250, 300}, opener{100, 80, 130, 100};
    PopupWindow window(popup);
    ASSERT_NE(window.Handle, nullptr);
    TShadows shadows(opener, popup, 4, 61, false);
    shadows.Show(window.Handle);
    const TShadowPlan plan = PlanShadowStrips(opener, popup, 4);
    int made = 0;
    for (int i = 0; i < 6; ++i) {
        TShadow* strip = shadows.Strip(static_cast<TShadowStripIndex>(i));
        ASSERT_EQ(strip != nullptr, plan[i].Made) << i;
        if (!strip) continue;
        ++made;
        HWND wnd = strip->Handle();
        RECT r;
        GetWindowRect(wnd, &r);
        EXPECT_EQ(Describe(r), Describe(plan[i].Bounds));
        EXPECT_EQ(strip->RenderMode(), srmLayered);
        EXPECT_TRUE(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_LAYERED);
        EXPECT_TRUE(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
        EXPECT_TRUE(GetWindowLongPtrW(wnd, GWL_STYLE) & WS_POPUP);
        EXPECT_TRUE(IsWindowVisible(wnd));
        EXPECT_EQ(SendMessageW(wnd, WM_NCHITTEST, 0, MAKELPARAM(r.left, r.top)), HTTRANSPARENT);
        EXPECT_TRUE(IsBelow(wnd, window.Handle));
        EXPECT_NE(GetForegroundWindow(), wnd);
    }
    EXPECT_EQ(made, 3);
}

TEST(Shadows, LowColourMakesPlainStripsOfHalfTheDepth) {
    const RECT popup{100, 100, 200, 300};
    TShadows shadows(RECT{}, popup, 4, 61, true);
    TShadow* right = shadows.Strip(ssVert1);
    TShadow* bottom = shadows.Strip(ssHorz1);
    ASSERT_NE(right, nullptr);
    ASSERT_NE(bottom, nullptr);
    RECT r;
    GetWindowRect(right->Handle(), &r);
    EXPECT_EQ(Describe(r), Describe(RECT{200, 102, 202, 300}));
    GetWindowRect(bottom->Handle(), &r);
    EXPECT_EQ(Describe(r), Describe(RECT{102, 300, 202, 302}));
    EXPECT_EQ(right->RenderMode(), srmPlain);
    EXPECT_FALSE(GetWindowLongPtrW(right->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST(Shadows, RebuiltOnlyWhenThePopupMovesOrChangesSize) {
    const RECT popup{100, 100, 200, 300};
    TShadows shadows(RECT{}, popup, 4, 61, true);
    struct Case {
        const char* what;
        UINT flags;
        int x, y, cx, cy;
        bool rebuild;
    } cases[] = {
        {"shown", SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE, 0, 0, 0, 0, false},
        {"hidden", SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE, 0, 0, 0, 0, false},
        {"z-order only", SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE, 0, 0, 0, 0, false},
        {"same place and size", 0, 100, 100, 100, 200, false},
        {"moved", SWP_NOSIZE, 120, 100, 0, 0, true},
        {"resized", SWP_NOMOVE, 0, 0, 100, 210, true},
        {"moved while shown", SWP_SHOWWINDOW, 120, 100, 100, 200, false},
    };
    for (const Case& k : cases) {
        WINDOWPOS pos{};
        pos.flags = k.flags;
        pos.x = k.x;
        pos.y = k.y;
        pos.cx = k.cx;
        pos.cy = k.cy;
        EXPECT_EQ(shadows.NeedsRebuild(pos), k.rebuild) << k.what;
    }
}

}  // namespace
