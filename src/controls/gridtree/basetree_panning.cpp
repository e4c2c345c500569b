// Wheel panning: the picture window at the middle-click point and the scrolling that
// follows the mouse away from it.
#include <windows.h>

#include <cstdlib>
#include <vector>

#include "classlib/errors.h"
#include "classlib/gdiguards.h"
#include "classlib/scopeguard.h"
#include "controls/gridtree/basetree.h"

namespace gridtree {

namespace {
constexpr wchar_t PanningClassName[] = L"GTPanningWindow";
constexpr COLORREF Transparent = RGB(255, 0, 255);

// Paints the window's picture (kept in the window's user data); everything else is the
// default window procedure's.
LRESULT CALLBACK PanningWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_PAINT) {
        classlib::TPaintDC paint(Wnd);
        auto bitmap = reinterpret_cast<HBITMAP>(GetWindowLongPtrW(Wnd, GWLP_USERDATA));
        if (paint.Handle() && bitmap) {
            try {
                BITMAP info{};
                GetObjectW(bitmap, sizeof(info), &info);
                classlib::TMemoryDC memory(paint.Handle());
                classlib::TSelectedObject picture(memory.Handle(), bitmap);
                BitBlt(paint.Handle(), 0, 0, info.bmWidth, info.bmHeight, memory.Handle(), 0, 0, SRCCOPY);
            } catch (...) {
                classlib::TDeferExceptionReports painting;
                classlib::HandleCurrentException(nullptr);
            }
        }
        return 0;
    }
    return DefWindowProcW(Wnd, Msg, WParam, LParam);
}

void RegisterPanningClass() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(instance, PanningClassName, &existing)) {
        if (existing.lpfnWndProc == DefWindowProcW) return;
        // A registration with another procedure is replaced.
        UnregisterClassW(PanningClassName, instance);
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = PanningClassName;
    RegisterClassExW(&wc);
}
}  // namespace

HRGN TBaseGridTree::RegionFromMaskBitmap(HBITMAP Bitmap) {
    BITMAP info{};
    if (!Bitmap || !GetObjectW(Bitmap, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight == 0)
        throw EGridTreeAssertion(L"Invalid wheel panning image.");
    int width = info.bmWidth, height = std::abs(info.bmHeight);
    // The pixels as top-down 32-bit values, whatever the picture's own format.
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(size_t(width) * size_t(height));
    int lines = GetDIBits(classlib::TWindowDC(nullptr).Handle(), Bitmap, 0, UINT(height), pixels.data(), &bi,
                          DIB_RGB_COLORS);
    if (lines != height) throw EGridTreeAssertion(L"Invalid wheel panning image.");

    // 32-bit DIB pixels are 0x00RRGGBB; magenta reads the same either way round.
    constexpr DWORD magenta = 0x00FF00FF;
    HRGN region = nullptr;
    for (int y = 0; y < height; ++y) {
        const DWORD* row = pixels.data() + size_t(y) * size_t(width);
        int x = 0;
        while (x < width) {
            while (x < width && (row[x] & 0x00FFFFFF) == magenta) ++x;
            if (x == width) break;
            int start = x;
            while (x < width && (row[x] & 0x00FFFFFF) != magenta) ++x;
            HRGN run = CreateRectRgn(start, y, x, y + 1);
            if (!region) {
                region = run;
            } else {
                CombineRgn(region, region, run, RGN_OR);
                DeleteObject(run);
            }
        }
    }
    if (!region) throw EGridTreeAssertion(L"Invalid wheel panning image.");
    return region;
}

void TBaseGridTree::StartWheelPanning(POINT Position) {
    if (!HasControlWindow() || FDestroying) return;
    StopTimer(ScrollTimer);
    FLastClickPos = Position;
    DoStateChange(tsWheelPanning | tsWheelScrolling, 0);
    RegisterPanningClass();

    const wchar_t* name = (FClientWidth < FRangeX && FClientHeight < FRangeY) ? L"GT_MOVEALL"
                          : FClientWidth < FRangeX                          ? L"GT_MOVEEW"
                                                                            : L"GT_MOVENS";
    FPanningImage = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (FPanningImage) {
        POINT screen = Position;
        ::ClientToScreen(FHandle, &screen);
        FPanningWindow = CreateWindowExW(WS_EX_TOOLWINDOW, PanningClassName, L"", WS_POPUP, screen.x - 16,
                                         screen.y - 16, 32, 32, FHandle, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    if (FPanningWindow) {
        auto stop = classlib::ScopeFail([&] { StopWheelPanning(); });
        HRGN region = RegionFromMaskBitmap(FPanningImage);
        // The window owns the region from here on.
        if (!SetWindowRgn(FPanningWindow, region, FALSE)) DeleteObject(region);
        SetWindowLongPtrW(FPanningWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(FPanningImage));
        SetWindowLongPtrW(FPanningWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PanningWindowProc));
        ShowWindow(FPanningWindow, SW_SHOWNOACTIVATE);
    }
    SetCapture(FHandle);
    AdjustPanningCursor(Position.x, Position.y);
    StartTimer(ScrollTimer, 20);
}

void TBaseGridTree::StopWheelPanning() {
    if (!HasState(tsWheelPanning | tsWheelScrolling)) return;
    StopTimer(ScrollTimer);
    if (HandleAllocated() && GetCapture() == FHandle) ReleaseCapture();
    DoStateChange(0, tsWheelPanning | tsWheelScrolling);
    FPanningCursor = nullptr;
    if (FPanningWindow) {
        DestroyWindow(FPanningWindow);
        FPanningWindow = nullptr;
    }
    if (FPanningImage) {
        DeleteObject(FPanningImage);
        FPanningImage = nullptr;
    }
}

void TBaseGridTree::PanningScroll(POINT Position) {
    if (!HasState(tsWheelPanning | tsWheelScrolling)) return;
    AdjustPanningCursor(Position.x, Position.y);
    // Within 8 pixels of the click point nothing moves; beyond, the speed grows with the
    // distance.
    int dx = 0, dy = 0;
    int x = Position.x - FLastClickPos.x, y = Position.y - FLastClickPos.y;
    if (y < -8) dy = -y - 8;
    else if (y > 8) dy = -y + 8;
    if (x < -8) dx = -x - 8;
    else if (x > 8) dx = -x + 8;
    if (dx == 0 && dy == 0) return;
    DoSetOffsetXY(POINT{FOffsetX + dx, FOffsetY + dy});
    if (HasControlWindow()) UpdateWindow(FHandle);
}

}  // namespace gridtree
