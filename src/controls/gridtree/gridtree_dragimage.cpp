#include "controls/gridtree/gridtree_dragimage.h"

#include <shlobj.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "classlib/comobject.h"
#include "controls/gridtree/basetree.h"

namespace gridtree {

// --- row blending ----------------------------------------------------------------------

bool HasMMX() { return __builtin_cpu_supports("mmx"); }

namespace {
inline int Clamp255(int V) { return V < 0 ? 0 : (V > 255 ? 255 : V); }
inline uint32_t Channel(uint32_t Pixel, int Shift) { return (Pixel >> Shift) & 0xFF; }
}  // namespace

void BlendRow(const uint32_t* Source, uint32_t* Destination, int Count, TAlphaBlendKind Kind, int ConstantAlpha,
              int Bias) {
    if (Kind == abColor) {
        // Bias carries the colour 0x00BBGGRR; its alpha lane counts as 0.
        const int a = ConstantAlpha;
        const int c[4] = {int((Bias >> 16) & 0xFF), int((Bias >> 8) & 0xFF), int(Bias & 0xFF), 0};
        for (int i = 0; i < Count; ++i) {
            uint32_t d = Destination[i], out = 0;
            for (int lane = 0; lane < 4; ++lane) {
                const int dv = int(Channel(d, lane * 8));
                out |= uint32_t(Clamp255((c[lane] * a + dv * (256 - a)) >> 8)) << (lane * 8);
            }
            Destination[i] = out;
        }
        return;
    }
    for (int i = 0; i < Count; ++i) {
        const uint32_t s = Source[i], d = Destination[i];
        int a = ConstantAlpha;
        if (Kind == abPerPixel) a = int(s >> 24);
        else if (Kind == abMaster) a = (int(s >> 24) * ConstantAlpha) >> 8;
        uint32_t out = 0;
        for (int lane = 0; lane < 4; ++lane) {
            const int sv = int(Channel(s, lane * 8)), dv = int(Channel(d, lane * 8));
            const int x = (dv * 256 + (sv - dv) * a) >> 8;
            out |= uint32_t(Clamp255(x + Bias)) << (lane * 8);
        }
        Destination[i] = out;
    }
}

void* BitmapBitsOf(HDC DC, int& Width, int& Height) {
    HGDIOBJ bitmap = GetCurrentObject(DC, OBJ_BITMAP);
    BITMAP info{};
    if (!bitmap || GetObjectW(bitmap, sizeof info, &info) == 0)
        throw EGridTreeAssertion(L"Alpha blending DC error: no bitmap available.");
    if (info.bmPlanes * info.bmBitsPixel != 32) throw EGridTreeAssertion(L"Alpha blending error: bitmap must use 32 bpp.");
    DIBSECTION dib{};
    if (GetObjectW(bitmap, sizeof dib, &dib) != int(sizeof dib) || !dib.dsBm.bmBits)
        throw EGridTreeAssertion(L"Alpha blending DC error: no bitmap available.");
    Width = dib.dsBm.bmWidth;
    Height = std::abs(dib.dsBmih.biHeight);
    if (Height > 1) {
        // The reported height does not always carry the row order: a pixel set through the
        // DC shows which memory row is the top one (the two rows are put back as they were).
        auto* first = static_cast<uint32_t*>(dib.dsBm.bmBits);
        auto* last = first + size_t(Height - 1) * size_t(Width);
        const uint32_t keepFirst = *first, keepLast = *last;
        // A colour unlike both rows' pixels, as memory holds it (0x00RRGGBB).
        uint32_t probe = 0x010203;
        while (probe == (keepFirst & 0xFFFFFF) || probe == (keepLast & 0xFFFFFF)) probe += 0x030303;
        POINT origin{0, 0};
        DPtoLP(DC, &origin, 1);
        GdiFlush();
        SetPixelV(DC, origin.x, origin.y, RGB(probe >> 16, (probe >> 8) & 0xFF, probe & 0xFF));
        GdiFlush();
        const bool firstChanged = *first != keepFirst, lastChanged = *last != keepLast;
        *first = keepFirst;
        *last = keepLast;
        // A clipped probe changes nothing: the reported sign decides then.
        const bool topDown = firstChanged || (!lastChanged && dib.dsBmih.biHeight < 0);
        if (topDown) Height = -Height;
    }
    return dib.dsBm.bmBits;
}

void* ScanlineOf(void* Bits, int Width, int Height, int Row) {
    const size_t stride = size_t(Width) * 4;
    const size_t row = Height > 0 ? size_t(Height - Row - 1) : size_t(Row);
    return static_cast<uint8_t*>(Bits) + row * stride;
}

void BlendBits(HDC Source, HDC Destination, const RECT& R, POINT Target, TAlphaBlendKind Kind, int ConstantAlpha,
               int Bias) {
    if (IsRectEmpty(&R)) return;
    int dw = 0, dh = 0;
    void* dbits = BitmapBitsOf(Destination, dw, dh);
    const int dRows = std::abs(dh);
    if (Kind == abColor) {
        // The rectangle is cut to the bitmap: a caller's rectangle never writes outside it.
        const int left = std::max<int>(R.left, 0), right = std::min<int>(R.right, dw);
        for (int y = std::max<int>(R.top, 0); y < std::min<int>(R.bottom, dRows); ++y)
            if (right > left)
                BlendRow(nullptr, static_cast<uint32_t*>(ScanlineOf(dbits, dw, dh, y)) + left, right - left, Kind,
                         ConstantAlpha, Bias);
        return;
    }
    int sw = 0, sh = 0;
    void* sbits = BitmapBitsOf(Source, sw, sh);
    const int sRows = std::abs(sh);
    const int width = R.right - R.left;
    for (int y = 0; y < R.bottom - R.top; ++y) {
        const int sy = R.top + y, ty = Target.y + y;
        if (sy < 0 || sy >= sRows || ty < 0 || ty >= dRows) continue;
        int sx = R.left, tx = Target.x, n = width;
        if (sx < 0) { n += sx; tx -= sx; sx = 0; }
        if (tx < 0) { n += tx; sx -= tx; tx = 0; }
        n = std::min({n, sw - sx, dw - tx});
        if (n <= 0) continue;
        BlendRow(static_cast<const uint32_t*>(ScanlineOf(sbits, sw, sh, sy)) + sx,
                 static_cast<uint32_t*>(ScanlineOf(dbits, dw, dh, ty)) + tx, n, Kind, ConstantAlpha, Bias);
    }
}

void SplitMoveStrips(int Width, int Height, int DeltaX, int DeltaY, RECT& ClipRect, RECT& KeepRect, TStrip& TakeA,
                     TStrip& TakeB, TStrip& PutA, TStrip& PutB) {
    const int ax = std::min(std::abs(DeltaX), Width), ay = std::min(std::abs(DeltaY), Height);
    ClipRect = RECT{0, 0, Width, Height};
    KeepRect = ClipRect;
    TakeA = PutA = TStrip{0, 0, ax, Height};
    TakeB = PutB = TStrip{0, 0, Width - ax, ay};
    if (DeltaX > 0) {  // moving left: enters on the left, leaves on the right
        KeepRect.right = Width - ax;
        PutA.X = Width - ax;
        TakeB.X = ax;
    } else if (DeltaX < 0) {
        KeepRect.left = ax;
        TakeA.X = Width - ax;
        PutB.X = ax;
    }
    if (DeltaY > 0) {  // moving up
        KeepRect.bottom = Height - ay;
        PutB.Y = Height - ay;
    } else if (DeltaY < 0) {
        KeepRect.top = ay;
        TakeB.Y = Height - ay;
    }
}

// --- the drag picture ------------------------------------------------------------------

namespace {
const wchar_t PopupClassName[] = L"TGTDragImagePopup";

void RegisterPopupClass() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(GetModuleHandleW(nullptr), PopupClassName, &wc)) return;
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = PopupClassName;
    RegisterClassExW(&wc);
}

// The pixels of a bitmap, top row first, 0x00RRGGBB. The bitmap may be selected into a DC
// of its own (a picture is painted through its canvas), so it is read, not selected.
std::vector<uint32_t> PixelsOf(HBITMAP Bitmap, int Width, int Height) {
    GdiFlush();
    std::vector<uint32_t> pixels(size_t(Width) * size_t(Height));
    DIBSECTION dib{};
    if (GetObjectW(Bitmap, sizeof dib, &dib) == int(sizeof dib) && dib.dsBm.bmBits && dib.dsBm.bmBitsPixel == 32) {
        const auto* bits = static_cast<const uint8_t*>(dib.dsBm.bmBits);
        for (int y = 0; y < Height; ++y) {
            const int row = dib.dsBmih.biHeight > 0 ? Height - 1 - y : y;
            std::memcpy(pixels.data() + size_t(y) * size_t(Width), bits + size_t(row) * dib.dsBm.bmWidthBytes,
                        size_t(Width) * 4);
        }
        return pixels;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = Width;
    info.bmiHeader.biHeight = -Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, Bitmap, 0, UINT(Height), pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// A screen DC for the time of a step.
struct TScreenDC {
    HDC DC = GetDC(nullptr);
    ~TScreenDC() { ReleaseDC(nullptr, DC); }
};
}  // namespace

TGTDragImage::~TGTDragImage() {
    try {
        FinishPicture();
    } catch (...) {
    }
}

void TGTDragImage::BeginPicture(HBITMAP Picture, POINT ImagePos, POINT HotSpot, IDataObject* DataObject) {
    BITMAP info{};
    if (!Picture || !GetObjectW(Picture, sizeof info, &info)) return;
    FWidth = info.bmWidth;
    FHeight = std::abs(info.bmHeight);
    FStates &= TGTDragImageStates(~distSystemSupport);
    if (DataObject) {
        classlib::TComPtr<IDragSourceHelper> helper;
        if (SUCCEEDED(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDragSourceHelper,
                                       reinterpret_cast<void**>(helper.Put())))) {
            SHDRAGIMAGE image{};
            image.sizeDragImage = SIZE{FWidth, FHeight};
            image.ptOffset = POINT{FWidth / 2, FHeight / 2};
            image.hbmpDragImage = static_cast<HBITMAP>(CopyImage(Picture, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
            image.crColorKey = FKeyColor == classlib::clNone ? CLR_NONE : classlib::ColorToRGB(FKeyColor);
            if (image.hbmpDragImage && SUCCEEDED(helper->InitializeFromBitmap(&image, DataObject))) {
                FStates |= distSystemSupport;
            } else if (image.hbmpDragImage) {
                DeleteObject(image.hbmpDragImage);
            }
        }
    }
    if (!HasMMX() || (FStates & distSystemSupport)) return;
    FLastMousePos = HotSpot;
    FPreparedPicture.SetSize(FWidth, FHeight);
    FCompositeBuffer.SetSize(FWidth, FHeight);
    FSavedScreen.SetSize(FWidth, FHeight);
    const std::vector<uint32_t> pixels = PixelsOf(Picture, FWidth, FHeight);
    for (int y = 0; y < FHeight; ++y) {
        auto* row = static_cast<uint32_t*>(FPreparedPicture.ScanLine(y));
        const uint32_t* from = pixels.data() + size_t(y) * size_t(FWidth);
        if (FInitialBias != 0) {
            std::fill_n(row, FWidth, 0u);
            BlendRow(from, row, FWidth, abConstant, 255, FInitialBias);
        } else {
            std::copy_n(from, FWidth, row);
        }
    }
    MakeAlphaChannel(pixels);
    FPicturePos = ImagePos;
    FStates |= distHidden | distInDrag | distPrepared;
}

void TGTDragImage::MakeAlphaChannel(const std::vector<uint32_t>& Source) {
    // The source's own pixels decide the key colour: the bias may have changed them.
    const bool keyed = FKeyColor != classlib::clNone;
    uint32_t key = 0;
    if (keyed) {
        const COLORREF c = classlib::ColorToRGB(FKeyColor);
        key = (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
    }
    const double m = std::max(FWidth, FHeight);
    for (int y = 0; y < FHeight; ++y) {
        auto* row = static_cast<uint32_t*>(FPreparedPicture.ScanLine(y));
        const uint32_t* from = Source.data() + size_t(y) * size_t(FWidth);
        const double dy = (y - FHeight / 2) / m;
        for (int x = 0; x < FWidth; ++x) {
            uint32_t alpha;
            if (keyed && (from[x] & 0xFFFFFF) == key) {
                alpha = 0;
            } else {
                const double dx = (x - FWidth / 2) / m;
                alpha = uint32_t(std::lround(255 * std::exp(-8 * std::sqrt(dx * dx + dy * dy))));
            }
            row[x] = (row[x] & 0xFFFFFF) | (alpha << 24);
        }
    }
}

bool TGTDragImage::ScreenDrawingShows() {
    // A pixel written to the screen must read back; on displays that keep windows apart
    // the screen cannot be drawn on and the picture goes to a popup window.
    TScreenDC screen;
    const COLORREF old = GetPixel(screen.DC, FPicturePos.x, FPicturePos.y);
    if (old == CLR_INVALID) return false;
    const COLORREF probe = old ^ 0x00FFFFFF;
    SetPixelV(screen.DC, FPicturePos.x, FPicturePos.y, probe);
    const bool shows = GetPixel(screen.DC, FPicturePos.x, FPicturePos.y) == probe;
    SetPixelV(screen.DC, FPicturePos.x, FPicturePos.y, old);
    return shows;
}

void TGTDragImage::CreatePopup() {
    RegisterPopupClass();
    FPopup = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW,
                             PopupClassName, L"", WS_POPUP, FPicturePos.x, FPicturePos.y, FWidth, FHeight, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
}

void TGTDragImage::DestroyPopup() {
    if (FPopup) DestroyWindow(FPopup);
    FPopup = nullptr;
}

void TGTDragImage::Sample(const RECT& Screen, POINT Into) {
    TScreenDC screen;
    BitBlt(FSavedScreen.Canvas().Handle(), Into.x, Into.y, Screen.right - Screen.left, Screen.bottom - Screen.top,
           screen.DC, Screen.left, Screen.top, SRCCOPY);
}

void TGTDragImage::Restore(const RECT& From, POINT ScreenAt) {
    TScreenDC screen;
    BitBlt(screen.DC, ScreenAt.x, ScreenAt.y, From.right - From.left, From.bottom - From.top,
           FSavedScreen.Canvas().Handle(), From.left, From.top, SRCCOPY);
}

void TGTDragImage::InternalShowPicture() {
    const bool master = FRadialFade || FKeyColor != classlib::clNone;
    if (FPopup) {
        // The popup's pixels are the picture with its alpha, premultiplied; the system
        // composes them with whatever lies below.
        for (int y = 0; y < FHeight; ++y) {
            const auto* from = static_cast<const uint32_t*>(FPreparedPicture.ScanLine(y));
            auto* to = static_cast<uint32_t*>(FCompositeBuffer.ScanLine(y));
            for (int x = 0; x < FWidth; ++x) {
                const uint32_t a = master ? (from[x] >> 24) : 255;
                uint32_t p = 0;
                for (int lane = 0; lane < 3; ++lane) {
                    const int v = Clamp255(int(Channel(from[x], lane * 8)) + FShowBias);
                    p |= uint32_t(v * int(a) / 255) << (lane * 8);
                }
                to[x] = p | (a << 24);
            }
        }
        GdiFlush();
        POINT source{0, 0};
        SIZE size{FWidth, FHeight};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, FOpacity, AC_SRC_ALPHA};
        UpdateLayeredWindow(FPopup, nullptr, &FPicturePos, &size, FCompositeBuffer.Canvas().Handle(), &source, 0,
                            &blend, ULW_ALPHA);
        ShowWindow(FPopup, SW_SHOWNOACTIVATE);
        return;
    }
    BitBlt(FCompositeBuffer.Canvas().Handle(), 0, 0, FWidth, FHeight, FSavedScreen.Canvas().Handle(), 0, 0, SRCCOPY);
    GdiFlush();
    BlendBits(FPreparedPicture.Canvas().Handle(), FCompositeBuffer.Canvas().Handle(), RECT{0, 0, FWidth, FHeight},
              POINT{0, 0}, master ? abMaster : abConstant, FOpacity, FShowBias);
    TScreenDC screen;
    BitBlt(screen.DC, FPicturePos.x, FPicturePos.y, FWidth, FHeight, FCompositeBuffer.Canvas().Handle(), 0, 0,
           SRCCOPY);
}

void TGTDragImage::ShowPicture() {
    if ((FStates & (distHidden | distInDrag | distPrepared | distSystemSupport)) !=
        (distHidden | distInDrag | distPrepared))
        return;
    FStates &= TGTDragImageStates(~distHidden);
    if (!FProbed) {
        FProbed = true;
        if (!ScreenDrawingShows()) CreatePopup();
    }
    GdiFlush();
    if (!FPopup) Sample(RECT{FPicturePos.x, FPicturePos.y, FPicturePos.x + FWidth, FPicturePos.y + FHeight}, POINT{0, 0});
    InternalShowPicture();
}

void TGTDragImage::HidePicture() {
    if (!PictureVisible()) return;
    FStates |= distHidden;
    if (FPopup) ShowWindow(FPopup, SW_HIDE);
    else Restore(RECT{0, 0, FWidth, FHeight}, FPicturePos);
}

void TGTDragImage::FinishPicture() {
    HidePicture();
    FStates &= TGTDragImageStates(~(distInDrag | distPrepared | distHidden));
    FPreparedPicture.SetSize(0, 0);
    FCompositeBuffer.SetSize(0, 0);
    FSavedScreen.SetSize(0, 0);
    DestroyPopup();
    FProbed = false;
}

bool TGTDragImage::WouldMove(POINT P) const {
    if (!PictureVisible()) return false;
    const bool dx = P.x != FLastMousePos.x, dy = P.y != FLastMousePos.y;
    switch (FMoveRestriction) {
        case dmlHorizontal: return dx;
        case dmlVertical: return dy;
        default: return dx || dy;
    }
}

RECT TGTDragImage::PictureRect() const {
    if (!PictureVisible()) return RECT{};
    return RECT{FPicturePos.x, FPicturePos.y, FPicturePos.x + FWidth, FPicturePos.y + FHeight};
}

bool TGTDragImage::MovePicture(POINT P, bool ForceRepaint) {
    int deltaX = FLastMousePos.x - P.x, deltaY = FLastMousePos.y - P.y;
    if (FMoveRestriction == dmlHorizontal) deltaY = 0;
    if (FMoveRestriction == dmlVertical) deltaX = 0;
    const bool result = deltaX != 0 || deltaY != 0 || ForceRepaint;
    if (!result) return false;
    if (PictureVisible()) {
        if (FPopup) {
            FPicturePos.x -= deltaX;
            FPicturePos.y -= deltaY;
            SetWindowPos(FPopup, HWND_TOPMOST, FPicturePos.x, FPicturePos.y, 0, 0,
                         SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        } else if (std::abs(deltaX) >= FWidth || std::abs(deltaY) >= FHeight || ForceRepaint) {
            Restore(RECT{0, 0, FWidth, FHeight}, FPicturePos);
            if (ForceRepaint && FOwner && FOwner->HandleAllocated()) UpdateWindow(FOwner->Handle());
            FPicturePos.x -= deltaX;
            FPicturePos.y -= deltaY;
            Sample(RECT{FPicturePos.x, FPicturePos.y, FPicturePos.x + FWidth, FPicturePos.y + FHeight}, POINT{0, 0});
            InternalShowPicture();
        } else {
            RECT clip, keep;
            TStrip takeA, takeB, putA, putB;
            SplitMoveStrips(FWidth, FHeight, deltaX, deltaY, clip, keep, takeA, takeB, putA, putB);
            auto put = [&](const TStrip& s) {
                if (s.W > 0 && s.H > 0)
                    Restore(RECT{s.X, s.Y, s.X + s.W, s.Y + s.H}, POINT{FPicturePos.x + s.X, FPicturePos.y + s.Y});
            };
            put(putA);
            put(putB);
            ScrollDC(FSavedScreen.Canvas().Handle(), deltaX, deltaY, &keep, &clip, nullptr, nullptr);
            FPicturePos.x -= deltaX;
            FPicturePos.y -= deltaY;
            auto take = [&](const TStrip& s) {
                if (s.W > 0 && s.H > 0)
                    Sample(RECT{FPicturePos.x + s.X, FPicturePos.y + s.Y, FPicturePos.x + s.X + s.W,
                                FPicturePos.y + s.Y + s.H},
                           POINT{s.X, s.Y});
            };
            take(takeA);
            take(takeB);
            InternalShowPicture();
        }
    }
    FLastMousePos = P;
    return true;
}

void TGTDragImage::RecaptureUnderPicture(TBaseGridTree* Tree, RECT R, HRGN VisibleRegion, bool CaptureNonClient,
                                         bool Reshow) {
    if (!PictureVisible() || FPopup || !Tree || !Tree->HandleAllocated()) return;
    HWND window = Tree->Handle();
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&R), 2);
    const RECT picture = PictureRect();
    RECT area;
    if (!IntersectRect(&area, &R, &picture)) return;
    HDC dc = FSavedScreen.Canvas().Handle();
    OffsetRect(&area, -FPicturePos.x, -FPicturePos.y);
    classlib::TGdiObject<HRGN> clip(CreateRectRgnIndirect(&area));
    if (VisibleRegion) {
        classlib::TGdiObject<HRGN> visible(CreateRectRgn(0, 0, 0, 0));
        CombineRgn(visible.Handle(), VisibleRegion, nullptr, RGN_COPY);
        OffsetRgn(visible.Handle(), -FPicturePos.x, -FPicturePos.y);
        CombineRgn(clip.Handle(), clip.Handle(), visible.Handle(), RGN_AND);
    }
    SelectClipRgn(dc, clip.Handle());
    // The part of the tree under the picture, in tree coordinates.
    POINT origin{area.left + FPicturePos.x, area.top + FPicturePos.y};
    ::ScreenToClient(window, &origin);
    RECT treeArea{origin.x - Tree->OffsetX(), origin.y - Tree->OffsetY(), 0, 0};
    treeArea.right = treeArea.left + (area.right - area.left);
    treeArea.bottom = treeArea.top + (area.bottom - area.top);
    Tree->PaintTree(FSavedScreen.Canvas(), treeArea, POINT{area.left, area.top}, WindowPaintOptions);
    if (CaptureNonClient) {
        RECT windowRect;
        GetWindowRect(window, &windowRect);
        POINT old;
        SetWindowOrgEx(dc, FPicturePos.x - windowRect.left, FPicturePos.y - windowRect.top, &old);
        SendMessageW(window, WM_PRINT, WPARAM(dc), PRF_NONCLIENT);
        SetWindowOrgEx(dc, old.x, old.y, nullptr);
    }
    SelectClipRgn(dc, nullptr);
    if (Reshow) {
        GdiFlush();
        InternalShowPicture();
    }
}

}  // namespace gridtree
