#include "controls/toolbar/themed/thmshadows.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

#include "classlib/application.h"
#include "classlib/gdiguards.h"

namespace themed {

using namespace classlib;

// --- geometry ---------------------------------------------------------------------------------

namespace {

void Plan(TShadowPlan& plan, TShadowStripIndex index, int left, int top, int right, int bottom,
          BYTE fadedEnds) {
    TShadowStripPlan& strip = plan[index];
    strip.Bounds = RECT{left, top, right, bottom};
    strip.Made = !IsRectEmpty(&strip.Bounds);
    strip.Vertical = index == ssVert1 || index == ssVert2 || index == ssVert3;
    strip.FadedEnds = fadedEnds;
}

}  // namespace

TShadowPlan PlanShadowStrips(const RECT& opener, const RECT& popup, int depth) {
    TShadowPlan plan;
    const int c = depth;
    RECT r = popup, p = opener;
    const bool haveR = !IsRectEmpty(&r), haveP = !IsRectEmpty(&p);
    if (!haveR && !haveP) return plan;
    if (haveR != haveP) {
        const RECT& s = haveR ? r : p;
        Plan(plan, ssVert1, s.right, s.top + c, s.right + c, s.bottom, seStart);
        Plan(plan, ssHorz1, s.left + c, s.bottom, s.right + c, s.bottom + c, seStart | seEnd);
        return plan;
    }
    const bool overlapVertically = r.top + 2 < p.bottom && r.bottom - 2 > p.top;
    if (overlapVertically) {
        const bool sideBySide = r.left + 2 >= p.right || p.left >= r.right - 2;
        if (!sideBySide) return plan;
        // The popup beside its opener: R is the right-hand one.
        if (r.left < p.left) std::swap(r, p);
        if (p.top + c < r.top) Plan(plan, ssVert1, p.right, p.top + c, p.right + c, r.top, seStart);
        Plan(plan, ssVert2, r.right, r.top + c, r.right + c, r.bottom + c, seStart | seEnd);
        Plan(plan, ssHorz1, p.left + c, p.bottom, p.right, p.bottom + c, seStart);
        if (r.bottom < p.bottom) Plan(plan, ssVert3, p.right, r.bottom, p.right + c, p.bottom + c, seStart | seEnd);
        if (p.bottom + c < r.bottom)
            Plan(plan, ssHorz2, r.left + c, r.bottom, r.right, r.bottom + c, seStart);
        else
            Plan(plan, ssHorz2, r.left, r.bottom, r.right, r.bottom + c, 0);
        return plan;
    }
    // One above the other: R is the lower one.
    if (r.top < p.top) std::swap(r, p);
    if (p.left + c < r.left) Plan(plan, ssHorz1, p.left + c, p.bottom, r.left, p.bottom + c, seStart);
    Plan(plan, ssHorz2, r.left + c, r.bottom, r.right + c, r.bottom + c, seStart | seEnd);
    Plan(plan, ssVert1, p.right, p.top + c, p.right + c, p.bottom, seStart);
    if (r.right < p.right) Plan(plan, ssHorz3, r.right, p.bottom, p.right + c, p.bottom + c, seStart | seEnd);
    if (p.right + c < r.right)
        Plan(plan, ssVert2, r.right, r.top + c, r.right + c, r.bottom, seStart);
    else
        Plan(plan, ssVert2, r.right, r.top + 1, r.right + c, r.bottom, 0);
    return plan;
}

// --- alpha ramps ------------------------------------------------------------------------------

namespace {

std::uint32_t AlphaPixel(int alpha) { return static_cast<std::uint32_t>(alpha) << 24; }

// 255 - value, or 0 once the value reaches 255.
int Fade(int value) { return value >= 255 ? 0 : 255 - value; }

// A corner part of w x h pixels at (x0, y0) of the strip; `inner` gives the distances of a
// pixel from the part's inner point, the darkest pixel.
template <class Inner>
void FillCorner(std::uint32_t* pixels, int stride, int x0, int y0, int w, int h, Inner inner) {
    const int m = std::max(w, h);
    if (m <= 0) return;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            auto [dx, dy] = inner(x, y, m, w, h);
            dx = std::abs(dx);
            dy = std::abs(dy);
            const int e = (std::max(dx, dy) + dx + dy) * 128 / m;
            pixels[(y0 + y) * stride + x0 + x] = AlphaPixel(e > 254 ? 0 : 255 - e);
        }
    }
}

// The lengths of the start and end corner parts along a strip of `length` pixels and
// `thickness` pixels across.
std::pair<int, int> CornerLengths(int length, int thickness, BYTE fadedEnds) {
    const bool start = fadedEnds & seStart, end = fadedEnds & seEnd;
    const int ends = (start ? 1 : 0) + (end ? 1 : 0);
    int each = thickness;
    if (ends > 0 && length < ends * thickness) each = ends == 2 ? length / 2 : length;
    return {start ? each : 0, end ? each : 0};
}

}  // namespace

void FillShadowAlpha(std::uint32_t* pixels, int width, int height, bool vertical, BYTE fadedEnds) {
    if (width <= 0 || height <= 0) return;
    if (!vertical) {
        auto [startLen, endLen] = CornerLengths(width, height, fadedEnds);
        for (int y = 0; y < height; ++y) {
            const std::uint32_t a = AlphaPixel(Fade(y * 256 / height));
            for (int x = startLen; x < width - endLen; ++x) pixels[y * width + x] = a;
        }
        FillCorner(pixels, width, 0, 0, startLen, height, [](int x, int y, int m, int, int h) {
            return std::pair<int, int>{x - m + 1, y + m - h};
        });
        FillCorner(pixels, width, width - endLen, 0, endLen, height, [](int x, int y, int m, int w, int h) {
            return std::pair<int, int>{x + m - w, y + m - h};
        });
    } else {
        auto [startLen, endLen] = CornerLengths(height, width, fadedEnds);
        for (int y = startLen; y < height - endLen; ++y)
            for (int x = 0; x < width; ++x) pixels[y * width + x] = AlphaPixel(Fade(x * 256 / width));
        FillCorner(pixels, width, 0, 0, width, startLen, [](int x, int y, int m, int w, int) {
            return std::pair<int, int>{x + m - w, y - m + 1};
        });
        FillCorner(pixels, width, 0, height - endLen, width, endLen, [](int x, int y, int m, int w, int h) {
            return std::pair<int, int>{x + m - w, y + m - h};
        });
    }
}

// --- strips -----------------------------------------------------------------------------------

TShadow::TShadow(const RECT& bounds, int opacity, bool lowColor, bool vertical, BYTE fadedEnds)
    : TCustomControl(nullptr),
      FOpacity(std::clamp(opacity, 0, 255)),
      FVertical(vertical),
      FFadedEnds(fadedEnds),
      FRenderMode(lowColor ? srmPlain : srmLayered) {
    FVisible = false;
    FParentColor = false;
    FColor = clBtnShadow;
    SetBounds(bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top);
}

void TShadow::CreateParams(TCreateParams& p) {
    TCustomControl::CreateParams(p);
    p.Style = WS_POPUP;
    p.ExStyle = WS_EX_TOOLWINDOW;
    p.WndParent = Application ? Application->Handle() : nullptr;
    p.Menu = nullptr;
    p.WindowClass.style |= CS_SAVEBITS;
    p.WinClassName = L"TShadow";
}

void TShadow::Dispatch(TMessage& m) {
    if (m.Msg == WM_NCHITTEST) {
        m.Result = HTTRANSPARENT;
        return;
    }
    if (m.Msg == WM_MOUSEACTIVATE) {
        m.Result = MA_NOACTIVATE;
        return;
    }
    TCustomControl::Dispatch(m);
}

void TShadow::Render() {
    HWND wnd = Handle();
    if (FRenderMode != srmLayered) return;
    RECT wr;
    GetWindowRect(wnd, &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    if (w <= 0 || h <= 0) return;
    SetWindowLongPtrW(wnd, GWL_EXSTYLE, GetWindowLongPtrW(wnd, GWL_EXSTYLE) | WS_EX_LAYERED);

    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    TGdiObject<HBITMAP> alpha(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!alpha || !bits) return;
    FillShadowAlpha(static_cast<std::uint32_t*>(bits), w, h, FVertical, FFadedEnds);

    TWindowDC screen(nullptr);
    TMemoryDC source(screen.Handle());
    TSelectedObject selected(source.Handle(), alpha.Handle());
    POINT position{wr.left, wr.top}, origin{0, 0};
    SIZE size{w, h};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(FOpacity), AC_SRC_ALPHA};
    UpdateLayeredWindow(wnd, screen.Handle(), &position, &size, source.Handle(), &origin, 0, &blend, ULW_ALPHA);
}

void TShadow::ShowBehind(HWND window) {
    SetWindowPos(Handle(), window, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER |
                     SWP_NOSENDCHANGING);
}

// --- the shadow of a popup --------------------------------------------------------------------

TShadows::TShadows(const RECT& opener, const RECT& popup, int depth, int opacity, bool lowColor)
    : FPopup(popup) {
    const TShadowPlan plan = PlanShadowStrips(opener, popup, lowColor ? depth / 2 : depth);
    for (size_t i = 0; i < plan.size(); ++i) {
        if (!plan[i].Made) continue;
        FStrips[i] = std::make_unique<TShadow>(plan[i].Bounds, opacity, lowColor, plan[i].Vertical,
                                               plan[i].FadedEnds);
        FStrips[i]->Render();
    }
}

TShadows::~TShadows() = default;

void TShadows::Show(HWND window) {
    for (auto& strip : FStrips)
        if (strip) strip->ShowBehind(window);
}

bool TShadows::NeedsRebuild(const WINDOWPOS& pos) const {
    if (pos.flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) return false;
    const bool moved = !(pos.flags & SWP_NOMOVE) && (pos.x != FPopup.left || pos.y != FPopup.top);
    const bool sized = !(pos.flags & SWP_NOSIZE) &&
                       (pos.cx != FPopup.right - FPopup.left || pos.cy != FPopup.bottom - FPopup.top);
    return moved || sized;
}

}  // namespace themed
