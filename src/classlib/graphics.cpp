#include "classlib/graphics.h"

#include "classlib/application.h"
#include "classlib/errors.h"
#include "classlib/gdiguards.h"
#include "classlib/runtime.h"

#include <map>
#include <utility>

namespace classlib {

COLORREF ColorToRGB(TColor color) {
    if (color == clNone) return RGB(0, 0, 0);
    if (color == clDefault) return GetSysColor(COLOR_WINDOW);
    if (color < 0) return GetSysColor(color & 0xFF);
    return static_cast<COLORREF>(color) & 0x00FFFFFF;
}

// --- TFont -------------------------------------------------------------------------

int TFont::PixelsPerInch() {
    static int ppi = [] {
        TWindowDC screen(nullptr);
        int v = GetDeviceCaps(screen.Handle(), LOGPIXELSY);
        return v > 0 ? v : 96;
    }();
    return ppi;
}

TFont::TFont() {
    // The system's message font is the default of every font: on a Japanese system it
    // carries the Japanese glyphs, so nothing in the program has to name a face.
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof(ncm);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) {
        FName = ncm.lfMessageFont.lfFaceName;
        FHeight = ncm.lfMessageFont.lfHeight;
        FCharset = ncm.lfMessageFont.lfCharSet;
    } else {
        FName = L"MS UI Gothic";
        FHeight = -12;
    }
    if (FHeight > 0) FHeight = -FHeight;
    if (FHeight == 0) FHeight = -12;
}

TFont::~TFont() {
    if (FHandle) DeleteObject(FHandle);
}

void TFont::Changed() {
    if (FHandle) {
        DeleteObject(FHandle);
        FHandle = nullptr;
    }
    if (OnChange) OnChange(this);
}

void TFont::Assign(const TFont& s) {
    if (&s == this || Equals(s)) return;
    FName = s.FName;
    FHeight = s.FHeight;
    FColor = s.FColor;
    FStyle = s.FStyle;
    FCharset = s.FCharset;
    Changed();
}

void TFont::AssignLogFont(const LOGFONTW& lf) {
    FName = lf.lfFaceName;
    FHeight = lf.lfHeight > 0 ? -lf.lfHeight : lf.lfHeight;
    FCharset = lf.lfCharSet;
    FStyle = (lf.lfWeight >= FW_BOLD ? fsBold : 0) | (lf.lfItalic ? fsItalic : 0) |
             (lf.lfUnderline ? fsUnderline : 0) | (lf.lfStrikeOut ? fsStrikeOut : 0);
    Changed();
}

bool TFont::Equals(const TFont& o) const {
    return FName == o.FName && FHeight == o.FHeight && FColor == o.FColor && FStyle == o.FStyle &&
           FCharset == o.FCharset;
}

HFONT TFont::Handle() const {
    if (!FHandle) {
        LOGFONTW lf{};
        lf.lfHeight = FHeight;
        lf.lfWeight = (FStyle & fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = (FStyle & fsItalic) ? 1 : 0;
        lf.lfUnderline = (FStyle & fsUnderline) ? 1 : 0;
        lf.lfStrikeOut = (FStyle & fsStrikeOut) ? 1 : 0;
        lf.lfCharSet = FCharset;
        lf.lfQuality = DEFAULT_QUALITY;
        lstrcpynW(lf.lfFaceName, FName.c_str(), LF_FACESIZE);
        FHandle = CreateFontIndirectW(&lf);
    }
    return FHandle;
}

void TFont::SetName(const std::wstring& v) {
    if (v == FName) return;
    FName = v;
    Changed();
}
void TFont::SetHeight(int v) {
    if (v == FHeight) return;
    FHeight = v;
    Changed();
}
int TFont::Size() const { return -MulDiv(FHeight, 72, PixelsPerInch()); }
void TFont::SetSize(int points) { SetHeight(-MulDiv(points, PixelsPerInch(), 72)); }
void TFont::SetColor(TColor v) {
    if (v == FColor) return;
    FColor = v;
    Changed();
}
void TFont::SetStyle(TFontStyles v) {
    if (v == FStyle) return;
    FStyle = v;
    Changed();
}
void TFont::SetCharset(BYTE v) {
    if (v == FCharset) return;
    FCharset = v;
    Changed();
}

// --- TPen / TBrush -----------------------------------------------------------------

TPen::~TPen() {
    if (FHandle) DeleteObject(FHandle);
}
void TPen::Changed() {
    if (FHandle) {
        DeleteObject(FHandle);
        FHandle = nullptr;
    }
    if (OnChange) OnChange(this);
}
HPEN TPen::Handle() const {
    if (!FHandle) {
        static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL,
                                     PS_INSIDEFRAME};
        FHandle = CreatePen(styles[FStyle], FWidth, ColorToRGB(FColor));
    }
    return FHandle;
}
void TPen::SetColor(TColor v) {
    if (v != FColor) { FColor = v; Changed(); }
}
void TPen::SetWidth(int v) {
    if (v != FWidth) { FWidth = v; Changed(); }
}
void TPen::SetStyle(TPenStyle v) {
    if (v != FStyle) { FStyle = v; Changed(); }
}

TBrush::~TBrush() {
    if (FHandle) DeleteObject(FHandle);
}
void TBrush::Changed() {
    if (FHandle) {
        DeleteObject(FHandle);
        FHandle = nullptr;
    }
    if (OnChange) OnChange(this);
}
HBRUSH TBrush::Handle() const {
    if (!FHandle) {
        switch (FStyle) {
        case bsSolid: FHandle = CreateSolidBrush(ColorToRGB(FColor)); break;
        case bsClear: FHandle = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)); break;
        default: {
            static const int hs[] = {0, 0, HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS,
                                     HS_DIAGCROSS};
            FHandle = CreateHatchBrush(hs[FStyle], ColorToRGB(FColor));
        }
        }
    }
    return FHandle;
}
void TBrush::SetColor(TColor v) {
    if (v == FColor && FStyle != bsClear) return;
    FColor = v;
    if (FStyle == bsClear) FStyle = bsSolid;
    Changed();
}
void TBrush::SetStyle(TBrushStyle v) {
    if (v != FStyle) { FStyle = v; Changed(); }
}

// --- TCanvas -----------------------------------------------------------------------

TCanvas::TCanvas() {
    FFont.OnChange = [this](TFont*) {
        if (FFontSel && FHandle) {
            SelectObject(FHandle, FOldFont);
            FFontSel = false;
        }
    };
    FPen.OnChange = [this](TPen*) {
        if (FPenSel && FHandle) {
            SelectObject(FHandle, FOldPen);
            FPenSel = false;
        }
    };
    FBrush.OnChange = [this](TBrush*) {
        if (FBrushSel && FHandle) {
            SelectObject(FHandle, FOldBrush);
            FBrushSel = false;
        }
    };
}

TCanvas::~TCanvas() { ReleaseHandleObjects(); }

HDC TCanvas::Handle() {
    if (!FHandle) CreateHandle();
    return FHandle;
}

void TCanvas::SetHandle(HDC dc) {
    if (dc == FHandle) return;
    ReleaseHandleObjects();
    FHandle = dc;
}

void TCanvas::ReleaseHandleObjects() {
    if (FHandle) {
        if (FFontSel) SelectObject(FHandle, FOldFont);
        if (FPenSel) SelectObject(FHandle, FOldPen);
        if (FBrushSel) SelectObject(FHandle, FOldBrush);
    }
    FFontSel = FPenSel = FBrushSel = false;
    FHandle = nullptr;
}

void TCanvas::RequiredFont() {
    HDC dc = Handle();
    if (!dc) return;
    if (!FFontSel) {
        FOldFont = SelectObject(dc, FFont.Handle());
        FFontSel = true;
    }
    SetTextColor(dc, ColorToRGB(FFont.Color()));
}
void TCanvas::RequiredPen() {
    HDC dc = Handle();
    if (!dc || FPenSel) return;
    FOldPen = SelectObject(dc, FPen.Handle());
    FPenSel = true;
}
void TCanvas::RequiredBrush() {
    HDC dc = Handle();
    if (!dc) return;
    if (!FBrushSel) {
        FOldBrush = SelectObject(dc, FBrush.Handle());
        FBrushSel = true;
    }
    SetBkColor(dc, ColorToRGB(FBrush.Color()));
    SetBkMode(dc, FBrush.Style() == bsClear ? TRANSPARENT : OPAQUE);
}

void TCanvas::MoveTo(int x, int y) {
    MoveToEx(Handle(), x, y, nullptr);
    FPenPos = {x, y};
}
void TCanvas::LineTo(int x, int y) {
    RequiredPen();
    ::LineTo(Handle(), x, y);
    FPenPos = {x, y};
}
void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    RequiredPen();
    RequiredBrush();
    ::Rectangle(Handle(), x1, y1, x2, y2);
}
void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    RequiredPen();
    RequiredBrush();
    ::Ellipse(Handle(), x1, y1, x2, y2);
}
void TCanvas::Polygon(const POINT* p, int n) {
    RequiredPen();
    RequiredBrush();
    ::Polygon(Handle(), p, n);
}
void TCanvas::Polyline(const POINT* p, int n) {
    RequiredPen();
    ::Polyline(Handle(), p, n);
}
void TCanvas::FillRect(const RECT& r) {
    if (FBrush.Style() == bsClear) return;
    ::FillRect(Handle(), &r, FBrush.Handle());
}
void TCanvas::FrameRect(const RECT& r) { ::FrameRect(Handle(), &r, FBrush.Handle()); }
void TCanvas::DrawFocusRect(const RECT& r) { ::DrawFocusRect(Handle(), &r); }

void TCanvas::TextOut(int x, int y, const std::wstring& t) {
    RequiredFont();
    RequiredBrush();
    ExtTextOutW(Handle(), x, y, 0, nullptr, t.c_str(), Win32Size<UINT>(t.size()), nullptr);
    FPenPos = {x + TextWidth(t), y};
}
void TCanvas::TextRect(const RECT& r, int x, int y, const std::wstring& t) {
    RequiredFont();
    RequiredBrush();
    UINT opts = ETO_CLIPPED | (FBrush.Style() != bsClear ? ETO_OPAQUE : 0);
    ExtTextOutW(Handle(), x, y, opts, &r, t.c_str(), Win32Size<UINT>(t.size()), nullptr);
}
int TCanvas::DrawText(const std::wstring& t, RECT& r, UINT format) {
    RequiredFont();
    RequiredBrush();
    return ::DrawTextW(Handle(), t.c_str(), Win32Size<int>(t.size()), &r, format);
}
SIZE TCanvas::TextExtent(const std::wstring& t) {
    RequiredFont();
    SIZE s{0, 0};
    GetTextExtentPoint32W(Handle(), t.c_str(), Win32Size<int>(t.size()), &s);
    return s;
}

void TCanvas::Draw(int x, int y, TBitmap& b) {
    if (b.Empty()) return;
    HDC src = b.Canvas().Handle();
    if (b.Transparent) {
        COLORREF key = b.TransparentColor == clDefault ? GetPixel(src, 0, b.Height() - 1)
                                                       : ColorToRGB(b.TransparentColor);
        TransparentBlt(Handle(), x, y, b.Width(), b.Height(), src, 0, 0, b.Width(), b.Height(), key);
    } else {
        BitBlt(Handle(), x, y, b.Width(), b.Height(), src, 0, 0, SRCCOPY);
    }
}
void TCanvas::Draw(int x, int y, TIcon& icon) {
    if (!icon.Empty()) DrawIconEx(Handle(), x, y, icon.Handle(), 0, 0, 0, nullptr, DI_NORMAL);
}
void TCanvas::StretchDraw(const RECT& r, TBitmap& b) {
    if (b.Empty()) return;
    SetStretchBltMode(Handle(), COLORONCOLOR);
    StretchBlt(Handle(), r.left, r.top, r.right - r.left, r.bottom - r.top, b.Canvas().Handle(), 0, 0,
               b.Width(), b.Height(), SRCCOPY);
}
void TCanvas::CopyRect(const RECT& d, TCanvas& s, const RECT& sr) {
    StretchBlt(Handle(), d.left, d.top, d.right - d.left, d.bottom - d.top, s.Handle(), sr.left, sr.top,
               sr.right - sr.left, sr.bottom - sr.top, SRCCOPY);
}
COLORREF TCanvas::Pixel(int x, int y) { return GetPixel(Handle(), x, y); }
void TCanvas::SetPixel(int x, int y, TColor c) { ::SetPixel(Handle(), x, y, ColorToRGB(c)); }

// --- TBitmap -----------------------------------------------------------------------

class TBitmap::TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap* owner) : FOwner(owner) {}
    ~TBitmapCanvas() override { Free(); }
    void Free() {
        HDC dc = HandleAllocated() ? Handle() : nullptr;
        ReleaseHandleObjects();
        if (dc) {
            if (FOldBitmap) SelectObject(dc, FOldBitmap);
            DeleteDC(dc);
        }
        FOldBitmap = nullptr;
    }

protected:
    // A bitmap without pixels still has a DC (with the system's one-pixel bitmap), so that
    // text can be measured on its canvas before the bitmap is sized.
    void CreateHandle() override {
        HDC dc = CreateCompatibleDC(nullptr);
        if (FOwner->FHandle) FOldBitmap = SelectObject(dc, FOwner->FHandle);
        SetHandle(dc);
    }

private:
    TBitmap* FOwner;
    HGDIOBJ FOldBitmap = nullptr;
};

TBitmap::TBitmap() = default;
TBitmap::TBitmap(int w, int h, TPixelFormat f) : FFormat(f) { SetSize(w, h); }
TBitmap::~TBitmap() {
    FCanvas.reset();
    if (FHandle) DeleteObject(FHandle);
}

TCanvas& TBitmap::Canvas() {
    if (!FCanvas) FCanvas = std::make_unique<TBitmapCanvas>(this);
    return *FCanvas;
}

static int BitsOf(TPixelFormat f) {
    switch (f) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf24bit: return 24;
    default: return 32;
    }
}

void TBitmap::Recreate() {
    if (FCanvas) FCanvas->Free();
    HBITMAP old = FHandle;
    FHandle = nullptr;
    FBits = nullptr;
    if (FWidth > 0 && FHeight > 0) {
        int bits = BitsOf(FFormat);
        struct {
            BITMAPINFOHEADER h;
            RGBQUAD colors[256];
        } bi{};
        bi.h.biSize = sizeof(bi.h);
        bi.h.biWidth = FWidth;
        bi.h.biHeight = -FHeight;
        bi.h.biPlanes = 1;
        bi.h.biBitCount = static_cast<WORD>(bits);
        bi.h.biCompression = BI_RGB;
        if (bits <= 8) {
            // A grey ramp; 1-bit bitmaps get black and white.
            int n = 1 << bits;
            for (int i = 0; i < n; ++i) {
                BYTE v = static_cast<BYTE>(i * 255 / (n - 1));
                bi.colors[i] = {v, v, v, 0};
            }
            bi.h.biClrUsed = n;
        }
        FHandle = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &FBits,
                                   nullptr, 0);
        FStride = ((FWidth * bits + 31) / 32) * 4;
        if (FHandle && old) {
            // Keep the old picture in the top-left corner.
            TMemoryDC a, b;
            TSelectedObject sa(a.Handle(), old), sb(b.Handle(), FHandle);
            BITMAP bm{};
            GetObjectW(old, sizeof(bm), &bm);
            BitBlt(b.Handle(), 0, 0, bm.bmWidth, bm.bmHeight, a.Handle(), 0, 0, SRCCOPY);
        } else if (FHandle && FBits) {
            // A new bitmap starts white: what is not painted yet shows white.
            memset(FBits, 0xFF, static_cast<size_t>(FStride) * FHeight);
        }
    }
    if (old) DeleteObject(old);
}

void TBitmap::SetSize(int w, int h) {
    if (w < 0) w = 0;
    if (h < 0) h = 0;
    if (w == FWidth && h == FHeight && (FHandle || w == 0 || h == 0)) return;
    FWidth = w;
    FHeight = h;
    Recreate();
}

void TBitmap::SetPixelFormat(TPixelFormat f) {
    if (f == pfDevice) f = pf32bit;
    if (f == FFormat) return;
    FFormat = f;
    Recreate();
}

void* TBitmap::ScanLine(int row) {
    if (!FBits || row < 0 || row >= FHeight) return nullptr;
    GdiFlush();
    return static_cast<BYTE*>(FBits) + static_cast<size_t>(row) * FStride;
}

void TBitmap::Assign(HBITMAP bitmap) {
    BITMAP bm{};
    if (!bitmap || !GetObjectW(bitmap, sizeof(bm), &bm)) return;
    if (FCanvas) FCanvas->Free();
    if (FHandle) DeleteObject(FHandle);
    FHandle = nullptr;
    FWidth = FHeight = 0;
    FFormat = bm.bmBitsPixel >= 32 ? pf32bit : bm.bmBitsPixel == 24 ? pf24bit : pf32bit;
    FWidth = bm.bmWidth;
    FHeight = bm.bmHeight;
    TGdiObject<HBITMAP> src(bitmap);
    FBits = nullptr;
    Recreate();  // a fresh DIB section of the same size; the picture is copied below
    TMemoryDC a;
    TSelectedObject sa(a.Handle(), src.Handle());
    HDC b = Canvas().Handle();
    if (b) BitBlt(b, 0, 0, FWidth, FHeight, a.Handle(), 0, 0, SRCCOPY);
}

bool TBitmap::LoadFromResourceName(HINSTANCE instance, const wchar_t* name) {
    HBITMAP h = static_cast<HBITMAP>(LoadImageW(instance, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!h) return false;
    Assign(h);
    return true;
}

// --- TIcon -------------------------------------------------------------------------

TIcon::~TIcon() { SetHandle(nullptr); }

void TIcon::SetHandle(HICON icon, bool owned) {
    if (FHandle && FOwned && FHandle != icon) DestroyIcon(FHandle);
    FHandle = icon;
    FOwned = owned;
}

bool TIcon::LoadFromResourceName(HINSTANCE instance, const wchar_t* name, int size) {
    HICON h = static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, size, size, instance ? 0 : LR_SHARED));
    if (!h) return false;
    SetHandle(h, instance != nullptr);
    return true;
}

int TIcon::Width() const {
    ICONINFO ii{};
    if (!FHandle || !GetIconInfo(FHandle, &ii)) return 0;
    TGdiObject<HBITMAP> color(ii.hbmColor), mask(ii.hbmMask);
    BITMAP bm{};
    GetObjectW(ii.hbmColor ? ii.hbmColor : ii.hbmMask, sizeof(bm), &bm);
    return bm.bmWidth;
}

int TIcon::Height() const {
    ICONINFO ii{};
    if (!FHandle || !GetIconInfo(FHandle, &ii)) return 0;
    TGdiObject<HBITMAP> color(ii.hbmColor), mask(ii.hbmMask);
    BITMAP bm{};
    GetObjectW(ii.hbmColor ? ii.hbmColor : ii.hbmMask, sizeof(bm), &bm);
    return ii.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
}

namespace {
// The brushes made so far: a process object of the application, which deletes them.
struct TPatternBrushes {
    TPatternBrushes() = default;
    TPatternBrushes(const TPatternBrushes&) = delete;
    TPatternBrushes& operator=(const TPatternBrushes&) = delete;
    ~TPatternBrushes() {
        for (auto& entry : Brushes) DeleteObject(entry.second);
    }
    std::map<std::pair<COLORREF, COLORREF>, HBRUSH> Brushes;
};
}  // namespace

HBRUSH AllocPatternBrush(TColor c1, TColor c2) {
    if (!Application) throw EInvalidOperation(L"A pattern brush needs the application object");
    auto& cache = Application->ProcessObject<TPatternBrushes>().Brushes;
    auto key = std::make_pair(ColorToRGB(c1), ColorToRGB(c2));
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    TBitmap bmp(8, 8, pf32bit);
    for (int y = 0; y < 8; ++y) {
        auto* row = static_cast<DWORD*>(bmp.ScanLine(y));
        for (int x = 0; x < 8; ++x) {
            COLORREF c = ((x + y) & 1) ? key.second : key.first;
            row[x] = RGB(GetBValue(c), GetGValue(c), GetRValue(c));
        }
    }
    HBRUSH br = CreatePatternBrush(bmp.Handle());
    cache[key] = br;
    return br;
}

}  // namespace classlib
