#include "controls/wide/widecanvas.h"

#include "classlib/runtime.h"

namespace wide {

SIZE WideCanvasTextExtent(classlib::TCanvas& Canvas, const std::wstring& Text) {
    Canvas.PrepareText();
    SIZE size{0, 0};
    if (!GetTextExtentPoint32W(Canvas.Handle(), Text.c_str(), classlib::Win32Size<int>(Text.size()), &size))
        return SIZE{0, 0};
    return size;
}

int WideCanvasTextWidth(classlib::TCanvas& Canvas, const std::wstring& Text) {
    return WideCanvasTextExtent(Canvas, Text).cx;
}

int WideCanvasTextHeight(classlib::TCanvas& Canvas, const std::wstring& Text) {
    return WideCanvasTextExtent(Canvas, Text).cy;
}

void WideCanvasTextOut(classlib::TCanvas& Canvas, int X, int Y, const std::wstring& Text) {
    Canvas.Changing();
    int width = WideCanvasTextWidth(Canvas, Text);
    if (Canvas.TextFlags & ETO_RTLREADING) X += width + 1;
    ExtTextOutW(Canvas.Handle(), X, Y, Canvas.TextFlags, nullptr, Text.c_str(),
                classlib::Win32Size<UINT>(Text.size()), nullptr);
    Canvas.SetPenPos(POINT{X + width, Y});
    Canvas.Changed();
}

}  // namespace wide
