#include "controls/toolbar/themed/themes/thmgradienthelpers.h"

#include <algorithm>

#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/themed/themes/thmkit.h"

namespace themes {

using namespace themed;
using classlib::clNone;

namespace {

struct TStops {
    BYTE C[4][3];  // red, green, blue of stops 0..3
};

constexpr TStops kStops[3] = {
    {{{248, 248, 248}, {216, 216, 216}, {240, 240, 240}, {248, 248, 248}}},
    {{{240, 248, 255}, {128, 176, 224}, {112, 232, 240}, {176, 255, 255}}},
    {{{224, 232, 239}, {112, 160, 208}, {96, 208, 224}, {160, 239, 239}}},
};

void Diagonal(HDC dc, int x1, int y1, int x2, int y2, TColor color) { PaintLine(dc, x1, y1, x2, y2, color); }

// The octagon and the shade pass of both frame routines.
void Outline(HDC dc, int l, int t, int r, int b, int a, int c, TColor outline, TColor shade) {
    const POINT points[9] = {{l + a, t}, {r - c, t}, {r, t + c}, {r, b - c}, {r - c, b},
                             {l + a, b}, {l, b - a}, {l, t + a}, {l + a, t}};
    PaintPolyline(dc, points, 8, outline);
    if (shade != clNone) {
        const POINT lower[4] = {{r, t + c}, {r, b - c}, {r - c, b}, {l + a - 1, b}};
        PaintPolyline(dc, lower, 3, shade);
    }
}

void LeftCorners(HDC dc, int l, int t, int b, int a, TColor color) {
    Diagonal(dc, l - 1 + a, t, l - 1, t + a, color);
    Diagonal(dc, l - 1 + a, b, l - 1, b - a, color);
}

void RightCorners(HDC dc, int t, int r, int b, int c, TColor color) {
    Diagonal(dc, r + 1 - c, t, r + 1, t + c, color);
    Diagonal(dc, r + 1 - c, b, r + 1, b - c, color);
}

// Cuts that fit the rectangle (a cut may take at most half of the shorter side).
void FitCuts(const RECT& rect, int& a, int& c) {
    const int most = std::min(rect.right - rect.left - 1, rect.bottom - rect.top - 1) / 2;
    a = std::clamp(a, 0, std::max(most, 0));
    c = std::clamp(c, 0, std::max(most, 0));
}

// The pixel at (x, y) blended 60 % with 40 % of `edge`, or `edge` when it cannot be read.
TColor BlendWithPixel(HDC dc, int x, int y, TColor edge) {
    const COLORREF pixel = GetPixel(dc, x, y);
    if (pixel == CLR_INVALID) return edge;
    return ColorBlendPercent(static_cast<TColor>(pixel), edge, 60);
}

}  // namespace

void PaintCutCornerFrame(HDC dc, const RECT& rect, int leftCut, int rightCut, TColor outline, TColor shade,
                         TColor corner) {
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    FitCuts(rect, leftCut, rightCut);
    const int l = rect.left, t = rect.top, r = rect.right - 1, b = rect.bottom - 1;
    Outline(dc, l, t, r, b, leftCut, rightCut, outline, shade);
    if (rightCut > 0) RightCorners(dc, t, r, b, rightCut, corner);
    if (leftCut > 0) LeftCorners(dc, l, t, b, leftCut, corner);
}

void PaintCutCornerFrameBlended(HDC dc, const RECT& rect, int leftCut, int rightCut, TColor outline, TColor shade) {
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    FitCuts(rect, leftCut, rightCut);
    const int l = rect.left, t = rect.top, r = rect.right - 1, b = rect.bottom - 1;
    // Both corners are sampled before anything is drawn over them.
    const TColor leftColor = BlendWithPixel(dc, l, t, outline);
    const TColor rightColor = shade != clNone ? BlendWithPixel(dc, r, b, shade) : leftColor;
    Outline(dc, l, t, r, b, leftCut, rightCut, outline, shade);
    if (leftCut > 0) LeftCorners(dc, l, t, b, leftCut, leftColor);
    if (rightCut > 0) RightCorners(dc, t, r, b, rightCut, rightColor);
}

TColor BandedButtonLineColor(TBandedStops stops, int index, int lines) {
    const TStops& s = kStops[std::clamp(static_cast<int>(stops), 0, 2)];
    const int n = lines - 1;
    const int k = std::max(n / 3, 1);
    int from = 0, offset = index;
    if (index > 2 * k) {
        from = 2;
        offset = index - 2 * k;
    } else if (index > k) {
        from = 1;
        offset = index - k;
    }
    int channel[3];
    for (int j = 0; j < 3; ++j)
        channel[j] = std::clamp(s.C[from][j] + (s.C[from + 1][j] - s.C[from][j]) * offset / k, 0, 255);
    return static_cast<TColor>(RGB(channel[0], channel[1], channel[2]));
}

void PaintBandedButton(HDC dc, const RECT& rect, bool highlighted, bool pushed, bool vertical) {
    const int lines = vertical ? rect.bottom - rect.top : rect.right - rect.left;
    if (lines <= 0 || rect.right <= rect.left || rect.bottom <= rect.top) return;
    const TBandedStops stops = !highlighted ? bsNormal : pushed ? bsPushed : bsHot;
    for (int i = 0; i < lines; ++i) {
        const RECT line = vertical ? RECT{rect.left, rect.top + i, rect.right, rect.top + i + 1}
                                   : RECT{rect.left + i, rect.top, rect.left + i + 1, rect.bottom};
        PaintRectFill(dc, line, BandedButtonLineColor(stops, i, lines));
    }
}

void PaintLinearGradientLines(HDC dc, const RECT& rect, TColor start, TColor end, bool vertical) {
    const int n = vertical ? rect.bottom - rect.top : rect.right - rect.left;
    if (n < 1 || rect.right <= rect.left || rect.bottom <= rect.top) return;
    const COLORREF a = ThmResolveColor(start), b = ThmResolveColor(end);
    for (int i = 1; i <= n; ++i) {
        const int r = GetRValue(a) + (GetRValue(b) - GetRValue(a)) * i / n;
        const int g = GetGValue(a) + (GetGValue(b) - GetGValue(a)) * i / n;
        const int bl = GetBValue(a) + (GetBValue(b) - GetBValue(a)) * i / n;
        const RECT line = vertical ? RECT{rect.left, rect.top + i - 1, rect.right, rect.top + i}
                                   : RECT{rect.left + i - 1, rect.top, rect.left + i, rect.bottom};
        PaintRectFill(dc, line, static_cast<TColor>(RGB(r, g, bl)));
    }
}

void PaintLinearGradient(HDC dc, const RECT& rect, TColor end, TColor start, bool vertical) {
    if (rect.right <= rect.left || rect.bottom <= rect.top || !RectVisible(dc, &rect)) return;
    const COLORREF a = ThmResolveColor(start), b = ThmResolveColor(end);
    TRIVERTEX v[2] = {};
    v[0] = {rect.left, rect.top, static_cast<COLOR16>(GetRValue(a) << 8), static_cast<COLOR16>(GetGValue(a) << 8),
            static_cast<COLOR16>(GetBValue(a) << 8), 0};
    v[1] = {rect.right, rect.bottom, static_cast<COLOR16>(GetRValue(b) << 8),
            static_cast<COLOR16>(GetGValue(b) << 8), static_cast<COLOR16>(GetBValue(b) << 8), 0};
    GRADIENT_RECT mesh{0, 1};
    if (!GradientFill(dc, v, 2, &mesh, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H))
        PaintLinearGradientLines(dc, rect, start, end, vertical);
}

}  // namespace themes
