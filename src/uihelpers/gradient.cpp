#include "uihelpers/gradient.h"

#include "classlib/gdiguards.h"

namespace uihelpers {

namespace {
COLORREF ToRGB(uint32_t color) {
    if ((color & 0xFF000000u) == 0xFF000000u) return GetSysColor(static_cast<int>(color & 0xFF));
    return color & 0x00FFFFFFu;
}
}  // namespace

void GradientFillLines(HDC DC, uint32_t StartColor, uint32_t EndColor, bool Horizontal,
                       const RECT& Rect, bool Reverse) {
    const COLORREF start = ToRGB(StartColor), end = ToRGB(EndColor);
    const int from = Horizontal ? Rect.left : Rect.top;
    const int farEdge = Horizontal ? Rect.right : Rect.bottom;
    if (farEdge == 0 || from >= farEdge) return;  // nothing to draw (and no division by zero)
    classlib::TSelectedObject pen(DC, GetStockObject(DC_PEN));
    const COLORREF oldColor = GetDCPenColor(DC);
    auto channel = [&](int shift, long long pos) {
        const long long s = (start >> shift) & 0xFF, e = (end >> shift) & 0xFF;
        return static_cast<BYTE>((pos * e + (farEdge - pos) * s) / farEdge);
    };
    for (int pos = from; pos < farEdge; ++pos) {
        SetDCPenColor(DC, RGB(channel(0, pos), channel(8, pos), channel(16, pos)));
        const int at = Reverse ? farEdge - pos : pos;
        if (Horizontal) {
            MoveToEx(DC, at, Rect.top, nullptr);
            LineTo(DC, at, Rect.bottom);
        } else {
            MoveToEx(DC, Rect.left, at, nullptr);
            LineTo(DC, Rect.right, at);
        }
    }
    SetDCPenColor(DC, oldColor);
}

}  // namespace uihelpers
