#include "controls/toolbar/themed/thmutils.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <memory>

#include "classlib/application.h"
#include "classlib/errors.h"
#include "classlib/form.h"
#include "classlib/gdiguards.h"
#include "classlib/imagelist.h"
#include "controls/toolbar/tbcommon.h"

namespace themed {

using namespace toolbar;

using classlib::clNone;

namespace {

bool IsNone(ThmColor c) { return c == clNone; }

int R(COLORREF c) { return GetRValue(c); }
int G(COLORREF c) { return GetGValue(c); }
int B(COLORREF c) { return GetBValue(c); }
int Clamp255(int v) { return std::clamp(v, 0, 255); }
ThmColor MakeColor(int r, int g, int b) { return static_cast<ThmColor>(RGB(r, g, b)); }

// The scratch objects hold GDI handles: a process object of the application, so they are
// made and destroyed with it rather than at program start and end.
struct TScratchObjects {
    std::unique_ptr<classlib::TBitmap> NearestBitmap;
    std::unique_ptr<classlib::TFont> SmallCaptionFont;
    std::unique_ptr<classlib::TBitmap> A, B;
};

TScratchObjects& Scratch() {
    if (!classlib::Application)
        throw classlib::EInvalidOperation(L"The theme drawing objects need the application object");
    return classlib::Application->ProcessObject<TScratchObjects>();
}

classlib::TPixelFormat ScreenPixelFormat() {
    classlib::TWindowDC screen(nullptr);
    int bits = GetDeviceCaps(screen.Handle(), BITSPIXEL) * GetDeviceCaps(screen.Handle(), PLANES);
    switch (bits) {
        case 1: return classlib::pf1bit;
        case 4: return classlib::pf4bit;
        case 8: return classlib::pf8bit;
        case 15: return classlib::pf15bit;
        case 16: return classlib::pf16bit;
        case 24: return classlib::pf24bit;
        default: return classlib::pf32bit;
    }
}

ThmColor NearestColor(ThmColor c) {
    HDC dc = NearestColorBitmap().Canvas().Handle();
    return static_cast<ThmColor>(GetNearestColor(dc, ThmResolveColor(c)) & 0xFFFFFF);
}

// Keeps the objects a primitive selects into a DC for the length of the call.
class TSelectedObjects {
public:
    TSelectedObjects(HDC dc, ThmColor pen, ThmColor brush)
        : FPen(CreatePenForColor(pen)),
          FBrush(CreateBrushForColor(brush)),
          FSelectedPen(dc, FPen.Handle()),
          FSelectedBrush(dc, FBrush.Handle()) {}

private:
    classlib::TGdiObject<HPEN> FPen;
    classlib::TGdiObject<HBRUSH> FBrush;
    classlib::TSelectedObject FSelectedPen, FSelectedBrush;
};

// Paints the brush colour c where the monochrome bitmap's bits are set, leaving the rest of
// the destination: a set bit becomes the background colour (white) of the colour conversion,
// which the raster operation D ^ (S & (P ^ D)) turns into the brush.
void PaintMonoBitmap(HDC dc, int x, int y, int w, int h, HBITMAP mono, ThmColor c) {
    if (IsNone(c)) return;
    classlib::TMemoryDC src(dc);
    classlib::TSelectedObject source(src.Handle(), mono);
    classlib::TGdiObject<HBRUSH> brush(CreateSolidBrush(ThmResolveColor(c)));
    classlib::TSelectedObject selectedBrush(dc, brush.Handle());
    COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
    BitBlt(dc, x, y, w, h, src.Handle(), 0, 0, 0xE20746);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBk);
}

// The weighted RGB space of ColorEnsureContrast: white is (195, 390, 65).
struct TVec {
    float x, y, z;
};
constexpr float kWeight[3] = {0.764706f, 1.52941f, 0.254902f};
constexpr float kMax[3] = {195.0f, 390.0f, 65.0f};

TVec ToSpace(COLORREF c) {
    return {R(c) * kWeight[0], G(c) * kWeight[1], B(c) * kWeight[2]};
}
float Length(const TVec& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }
TVec Sub(const TVec& a, const TVec& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
TVec Scale(const TVec& a, float f) { return {a.x * f, a.y * f, a.z * f}; }
float Dot(const TVec& a, const TVec& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

float HueChannel(float m1, float m2, float h) {
    h = h - std::floor(h);
    float v;
    if (6 * h < 1) v = m1 + (m2 - m1) * 6 * h;
    else if (2 * h < 1) v = m2;
    else if (3 * h < 2) v = m1 + (m2 - m1) * (2.0f / 3.0f - h) * 6;
    else v = m1;
    return v;
}

int RoundChannel(float v) {
    return Clamp255(static_cast<int>(std::nearbyint(v * 255.0f)));
}

}  // namespace

// --- scratch objects ------------------------------------------------------------------------

void CreateScratchObjects() {
    TScratchObjects& scratch = Scratch();
    if (!scratch.NearestBitmap) scratch.NearestBitmap = std::make_unique<classlib::TBitmap>(8, 8, ScreenPixelFormat());
    if (!scratch.A) scratch.A = std::make_unique<classlib::TBitmap>(1, 1, classlib::pf32bit);
    if (!scratch.B) scratch.B = std::make_unique<classlib::TBitmap>(1, 1, classlib::pf32bit);
    if (!scratch.SmallCaptionFont) {
        scratch.SmallCaptionFont = std::make_unique<classlib::TFont>();
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof(metrics);
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
            scratch.SmallCaptionFont->AssignLogFont(metrics.lfSmCaptionFont);
    }
}

void FreeScratchObjects() {
    if (!classlib::Application) return;  // they went with the application
    TScratchObjects& scratch = Scratch();
    scratch.NearestBitmap.reset();
    scratch.SmallCaptionFont.reset();
    scratch.A.reset();
    scratch.B.reset();
}

void RecreateScratchObjects() {
    FreeScratchObjects();
    CreateScratchObjects();
}

classlib::TBitmap& NearestColorBitmap() {
    CreateScratchObjects();
    return *Scratch().NearestBitmap;
}

classlib::TFont& SmallCaptionFont() {
    CreateScratchObjects();
    return *Scratch().SmallCaptionFont;
}

// --- colour calculations ----------------------------------------------------------------------

COLORREF ThmResolveColor(ThmColor c) {
    auto u = static_cast<std::uint32_t>(c);
    if ((u & 0xFF000000u) == 0xFF000000u) return GetSysColor(static_cast<int>(u & 0xFF));
    return u & 0x00FFFFFFu;
}

DWORD ColorToPixel(ThmColor c) {
    COLORREF v = ThmResolveColor(c);
    return 0xFF000000u | (static_cast<DWORD>(R(v)) << 16) | (static_cast<DWORD>(G(v)) << 8) |
           static_cast<DWORD>(B(v));
}

ThmColor ColorMix(ThmColor c1, ThmColor c2, int w) {
    w = std::clamp(w, 0, 255);
    COLORREF a = ThmResolveColor(c1), b = ThmResolveColor(c2);
    auto mix = [w](int x, int y) { return (x * w + y * (255 - w)) / 256; };
    return MakeColor(mix(R(a), R(b)), mix(G(a), G(b)), mix(B(a), B(b)));
}

ThmColor ColorShiftLevel(ThmColor c, int amount) {
    COLORREF v = ThmResolveColor(c);
    return MakeColor(Clamp255(R(v) + amount), Clamp255(G(v) + amount), Clamp255(B(v) + amount));
}

ThmColor ColorShiftLevelNearest(ThmColor c, int amount) {
    return NearestColor(ColorShiftLevel(c, amount));
}

ThmColor ColorMixNearest(ThmColor c1, ThmColor c2, int w) {
    return NearestColor(ColorMix(c1, c2, w));
}

int ColorLuma(ThmColor c) {
    COLORREF v = ThmResolveColor(c);
    return (R(v) * 76 + G(v) * 150 + B(v) * 30) / 256;
}

bool ColorIsDark(ThmColor c, int threshold) {
    COLORREF v = ThmResolveColor(c);
    return R(v) * 76 + G(v) * 150 + B(v) * 30 < threshold * 256;
}

ThmColor ColorBlendPercent(ThmColor c1, ThmColor c2, int w) {
    int base = w < 100 ? 100 : 1000;
    w = std::clamp(w, 0, base);
    COLORREF a = ThmResolveColor(c1), b = ThmResolveColor(c2);
    auto blend = [w, base](int x, int y) { return (y * (base - w) + x * w + base / 2) / base; };
    return MakeColor(blend(R(a), R(b)), blend(G(a), G(b)), blend(B(a), B(b)));
}

void ColorEnsureContrast(ThmColor& c, ThmColor bg, int minDistance) {
    COLORREF cv = ThmResolveColor(c);
    c = static_cast<ThmColor>(cv);
    TVec pc = ToSpace(cv), pb = ToSpace(ThmResolveColor(bg));
    float x = static_cast<float>(minDistance);
    float bgLen = Length(pb), cLen = Length(pc);
    float d = bgLen >= 220.0f ? x : x * (2.0f - bgLen / 220.0f);
    if (Length(Sub(pc, pb)) > d) return;

    bool lighten = (cLen > bgLen && bgLen < 442.0f - d) || (cLen <= bgLen && bgLen < d);
    // Coordinates relative to the origin: black to darken, white to lighten (each coordinate
    // then is its distance from white).
    auto rel = [lighten](const TVec& p) {
        return lighten ? TVec{kMax[0] - p.x, kMax[1] - p.y, kMax[2] - p.z} : p;
    };
    TVec cr = rel(pc), br = rel(pb);
    float v = std::max(Length(cr), 0.01f);
    float p = Dot(cr, br) / v;
    TVec q = Sub(Scale(cr, p / v), br);
    // When the ray from the origin never comes within d of the background, take its closest
    // point rather than the square root of a negative number.
    float t = p - std::sqrt(std::max(0.0f, d * d - Dot(q, q)));
    TVec np = rel(Scale(cr, t / v));  // rel is its own inverse

    float coords[3] = {np.x, np.y, np.z};
    int ch[3];
    for (int i = 0; i < 3; ++i) {
        float f = std::clamp(coords[i], 0.0f, kMax[i]) / kWeight[i];
        ch[i] = Clamp255(static_cast<int>(f + 0.5f));
    }
    c = MakeColor(ch[0], ch[1], ch[2]);
}

void ColorToHSL(ThmColor c, float& h, float& s, float& l) {
    COLORREF v = ThmResolveColor(c);
    float r = R(v) / 255.0f, g = G(v) / 255.0f, b = B(v) / 255.0f;
    float mx = std::max({r, g, b}), mn = std::min({r, g, b});
    l = (mx + mn) / 2;
    if (mx == mn) {
        h = s = 0;
        return;
    }
    float delta = mx - mn;
    s = l >= 0.5f ? delta / (2 - mx - mn) : delta / (mx + mn);
    if (r == mx) h = (g - b) / delta;
    else if (g == mx) h = 2 + (b - r) / delta;
    else h = 4 + (r - g) / delta;
    h /= 6;
    if (h < 0) h += 1;
}

ThmColor HSLToColor(float h, float s, float l) {
    if (s == 0) {
        int grey = RoundChannel(l);
        return MakeColor(grey, grey, grey);
    }
    float m2 = l <= 0.5f ? l * (1 + s) : l + s - l * s;
    float m1 = 2 * l - m2;
    return MakeColor(RoundChannel(HueChannel(m1, m2, h + 1.0f / 3.0f)),
                     RoundChannel(HueChannel(m1, m2, h)),
                     RoundChannel(HueChannel(m1, m2, h - 1.0f / 3.0f)));
}

// --- drawing primitives ----------------------------------------------------------------------

void PaintPixelAlpha(HDC dc, int x, int y, ThmColor color, int alpha) {
    if (alpha <= 0) return;
    COLORREF c = ThmResolveColor(color);
    if (alpha >= 255) {
        SetPixelV(dc, x, y, c);
        return;
    }
    COLORREF p = GetPixel(dc, x, y);
    if (p == CLR_INVALID) return;
    int a = alpha >= 128 ? alpha + 1 : alpha;
    auto ch = [a](int col, int pix) { return (col * a + pix * (256 - a) + 127) / 256; };
    SetPixelV(dc, x, y, RGB(ch(R(c), R(p)), ch(G(c), G(p)), ch(B(c), B(p))));
}

HPEN CreatePenForColor(ThmColor c) {
    if (IsNone(c)) return CreatePen(PS_NULL, 1, 0);
    return CreatePen(PS_SOLID, 1, ThmResolveColor(c));
}

HBRUSH CreateBrushForColor(ThmColor c) {
    if (IsNone(c)) {
        LOGBRUSH lb{BS_HOLLOW, 0, 0};
        return CreateBrushIndirect(&lb);
    }
    return CreateSolidBrush(ThmResolveColor(c));
}

namespace {

// Fills a non-empty rectangle with a plain colour without making a GDI object.
void FillPlain(HDC dc, const RECT& rect, COLORREF color) {
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    const COLORREF old = SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}

}  // namespace

bool PaintRectFill(HDC dc, const RECT& rect, ThmColor c) {
    if (IsNone(c)) return false;
    FillPlain(dc, rect, ThmResolveColor(c));
    return true;
}

bool PaintRectFrame(HDC dc, RECT& rect, ThmColor c, bool shrink) {
    bool painted = false;
    if (!IsNone(c)) {
        const RECT& r = rect;
        if (r.right > r.left && r.bottom > r.top) {
            const COLORREF color = ThmResolveColor(c);
            FillPlain(dc, RECT{r.left, r.top, r.right, r.top + 1}, color);
            FillPlain(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, color);
            FillPlain(dc, RECT{r.left, r.top + 1, r.left + 1, r.bottom - 1}, color);
            FillPlain(dc, RECT{r.right - 1, r.top + 1, r.right, r.bottom - 1}, color);
        }
        painted = true;
    }
    if (shrink) InflateRect(&rect, -1, -1);
    return painted;
}

void PaintLine(HDC dc, int x1, int y1, int x2, int y2, ThmColor c) {
    if (IsNone(c)) return;
    TSelectedObjects objects(dc, c, clNone);
    POINT old;
    MoveToEx(dc, x1, y1, &old);
    LineTo(dc, x2, y2);
    MoveToEx(dc, old.x, old.y, nullptr);
}

bool PaintPolyline(HDC dc, const POINT* points, int high, ThmColor c) {
    if (IsNone(c)) return false;
    if (!points || high < 0) return true;
    TSelectedObjects objects(dc, c, clNone);
    Polyline(dc, points, high + 1);
    return true;
}

void PaintPolygon(HDC dc, const POINT* points, int high, ThmColor outline, ThmColor fill) {
    if ((IsNone(outline) && IsNone(fill)) || !points || high < 0) return;
    TSelectedObjects objects(dc, outline, fill);
    Polygon(dc, points, high + 1);
}

void PaintRoundRect(HDC dc, int x1, int y1, int x2, int y2, int ellipseWidth, int ellipseHeight,
                    ThmColor outline, ThmColor fill) {
    if (IsNone(outline) && IsNone(fill)) return;
    TSelectedObjects objects(dc, outline, fill);
    RoundRect(dc, x1, y1, x2, y2, ellipseWidth, ellipseHeight);
}

void PaintRoundRectInRect(HDC dc, const RECT& rect, int ellipseWidth, int ellipseHeight,
                          ThmColor outline, ThmColor fill) {
    PaintRoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, ellipseWidth, ellipseHeight,
                   outline, fill);
}

HBRUSH CreateCheckerBrush(ThmColor background, ThmColor foreground) {
    DWORD back = ColorToPixel(background), fore = ColorToPixel(foreground);
    classlib::TBitmap bmp(8, 8, classlib::pf32bit);
    for (int y = 0; y < 8; ++y) {
        auto* row = static_cast<DWORD*>(bmp.ScanLine(y));
        for (int x = 0; x < 8; ++x) row[x] = ((x + y) & 1) ? fore : back;
    }
    return CreatePatternBrush(bmp.Handle());
}

void PaintCheckerRect(HDC dc, const RECT& rect, ThmColor background, ThmColor foreground) {
    FillRect(dc, &rect, classlib::TGdiObject<HBRUSH>(CreateCheckerBrush(background, foreground)).Handle());
}

void PaintEdgeLines(HDC dc, RECT& rect, ThmColor topLeft, ThmColor bottomRight, bool insetTopLeft) {
    --rect.right;
    --rect.bottom;
    if (!IsNone(topLeft)) {
        POINT pts[3] = {{rect.left, rect.bottom}, {rect.left, rect.top}, {rect.right, rect.top}};
        PaintPolyline(dc, pts, 2, topLeft);
    }
    if (!IsNone(bottomRight)) {
        POINT pts[3] = {{rect.right, rect.top}, {rect.right, rect.bottom}, {rect.left - 1, rect.bottom}};
        PaintPolyline(dc, pts, 2, bottomRight);
    }
    if (insetTopLeft) {
        ++rect.left;
        ++rect.top;
    }
    --rect.right;
    --rect.bottom;
}

void PaintPatternGlyph(HDC dc, const RECT& rect, int width, int height, const BYTE pattern[16],
                       ThmColor c) {
    if (IsNone(c) || !pattern) return;
    width = std::clamp(width, 0, 8);
    height = std::clamp(height, 0, 8);
    classlib::TGdiObject<HBITMAP> mono(CreateBitmap(8, 8, 1, 1, pattern));
    if (!mono) return;
    PaintMonoBitmap(dc, (rect.left + rect.right - width + 1) / 2,
                    (rect.top + rect.bottom - height + 1) / 2, width, height, mono.Handle(), c);
}

void DrawResizeOutline(HDC dc, const RECT* newRect, const RECT* oldRect) {
    PaintDragFrame(dc, newRect, oldRect, SIZE{3, 2}, SIZE{3, 2});
}

SIZE GetFormClientSize(classlib::TForm& form) {
    RECT r{};
    if (form.FormStyle() == classlib::fsMDIForm && form.ClientHandle()) {
        GetWindowRect(form.ClientHandle(), &r);
    } else {
        r = form.ClientRect();
    }
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// --- mono glyphs --------------------------------------------------------------------------------

void PaintMonoGlyph(HDC dc, int x, int y, classlib::TImageList& images, int index, ThmColor c) {
    if (IsNone(c) || index < 0 || index >= images.Count()) return;
    int w = images.Width(), h = images.Height();
    classlib::TGdiObject<HBITMAP> mono(CreateBitmap(w, h, 1, 1, nullptr));
    if (!mono) return;
    {
        classlib::TMemoryDC monoDC(dc);
        classlib::TSelectedObject selected(monoDC.Handle(), mono.Handle());
        // The mask has set bits where the image is transparent (drawn over white, as it may
        // be combined with the destination); inverted, the opaque pixels are set.
        PatBlt(monoDC.Handle(), 0, 0, w, h, WHITENESS);
        ImageList_Draw(images.Handle(), index, monoDC.Handle(), 0, 0, ILD_MASK);
        BitBlt(monoDC.Handle(), 0, 0, w, h, nullptr, 0, 0, DSTINVERT);
    }
    PaintMonoBitmap(dc, x, y, w, h, mono.Handle(), c);
}

void PaintMonoGlyphCentered(HDC dc, const RECT& rect, classlib::TImageList& images, int index,
                            ThmColor c) {
    PaintMonoGlyph(dc, (rect.left + rect.right - images.Width() + 1) / 2,
                   (rect.top + rect.bottom - images.Height() + 1) / 2, images, index, c);
}

namespace {

void DrawCaptionOn(HDC dc, const wchar_t* text, int length, RECT rect, UINT format, ThmColor color,
                   bool rotated) {
    const COLORREF oldColor = SetTextColor(dc, ThmResolveColor(color));
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    if (rotated)
        toolbar::DrawVerticalText(dc, std::wstring(text, static_cast<size_t>(length)), rect, format);
    else
        DrawTextW(dc, text, length, &rect, format);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldColor);
}

}  // namespace

void DrawThemeCaption(classlib::TCanvas& canvas, const std::wstring& text, RECT rect, UINT format,
                      ThmColor color, bool rotated) {
    if (text.empty() || IsNone(color)) return;
    // The font is selected for the call only: painters draw captions inside saved DC states,
    // and a selection the canvas recorded there would be undone behind its back.
    HDC dc = canvas.Handle();
    classlib::TSelectedObject selected(dc, canvas.Font().Handle());
    DrawCaptionOn(dc, text.c_str(), static_cast<int>(text.size()), rect, format, color, rotated);
}

void DrawThemeCaptionInFont(classlib::TCanvas& canvas, classlib::TFont& font, const wchar_t* text,
                            const RECT& rect, UINT format, ThmColor color, bool rotated) {
    if (!text || !*text || IsNone(color)) return;
    HDC dc = canvas.Handle();
    classlib::TSelectedObject selected(dc, font.Handle());
    DrawCaptionOn(dc, text, static_cast<int>(std::wcslen(text)), rect, format, color, rotated);
}

// --- image routines ---------------------------------------------------------------------------

namespace {

constexpr DWORD kColorBits = 0x00FFFFFFu;

DWORD PixelRGB(int r, int g, int b) {
    return (static_cast<DWORD>(r) << 16) | (static_cast<DWORD>(g) << 8) | static_cast<DWORD>(b);
}
int PR(DWORD p) { return (p >> 16) & 0xFF; }
int PG(DWORD p) { return (p >> 8) & 0xFF; }
int PB(DWORD p) { return p & 0xFF; }

// Copies the canvas under the image into scratch A and B, draws the image into B and hands
// every covered pixel (B differs from A) to `rule(P, Q)`, whose result replaces A's pixel; A
// then goes back to the canvas.
template <typename Rule>
void ApplyImageRule(classlib::TCanvas& canvas, const RECT& rect, classlib::TImageList& images,
                    int index, Rule rule) {
    if (index < 0 || index >= images.Count()) return;
    int w = std::min(images.Width(), static_cast<int>(rect.right - rect.left));
    int h = std::min(images.Height(), static_cast<int>(rect.bottom - rect.top));
    if (w <= 0 || h <= 0) return;
    CreateScratchObjects();
    classlib::TBitmap& a = *Scratch().A;
    classlib::TBitmap& b = *Scratch().B;
    a.SetSize(w, h);
    b.SetSize(w, h);
    HDC dc = canvas.Handle();
    BitBlt(a.Canvas().Handle(), 0, 0, w, h, dc, rect.left, rect.top, SRCCOPY);
    BitBlt(b.Canvas().Handle(), 0, 0, w, h, dc, rect.left, rect.top, SRCCOPY);
    images.Draw(b.Canvas(), 0, 0, index, true);
    GdiFlush();
    for (int y = 0; y < h; ++y) {
        auto* rowA = static_cast<DWORD*>(a.ScanLine(y));
        auto* rowB = static_cast<DWORD*>(b.ScanLine(y));
        for (int x = 0; x < w; ++x) {
            DWORD p = rowB[x] & kColorBits, q = rowA[x] & kColorBits;
            if (p != q) rowA[x] = rule(p, q) & kColorBits;
        }
    }
    BitBlt(dc, rect.left, rect.top, w, h, a.Canvas().Handle(), 0, 0, SRCCOPY);
}

// Paints c on the canvas at the rectangle's corner where scratch B (already black and white)
// is black.
void PaintScratchSilhouette(classlib::TCanvas& canvas, const RECT& rect, int w, int h, ThmColor c) {
    HDC dc = canvas.Handle();
    classlib::TGdiObject<HBITMAP> mono(CreateBitmap(w, h, 1, 1, nullptr));
    if (!mono) return;
    classlib::TMemoryDC monoDC(dc);
    classlib::TSelectedObject selected(monoDC.Handle(), mono.Handle());
    HDC bDC = Scratch().B->Canvas().Handle();
    COLORREF oldBk = SetBkColor(bDC, RGB(255, 255, 255));  // white pixels become set bits
    BitBlt(monoDC.Handle(), 0, 0, w, h, bDC, 0, 0, SRCCOPY);
    SetBkColor(bDC, oldBk);
    classlib::TGdiObject<HBRUSH> brush(CreateSolidBrush(classlib::ColorToRGB(c)));
    classlib::TSelectedObject selectedBrush(dc, brush.Handle());
    COLORREF oldText = SetTextColor(dc, RGB(255, 255, 255));
    oldBk = SetBkColor(dc, RGB(0, 0, 0));
    // Set (light) bits become black and keep the destination; clear (dark) bits take the brush.
    BitBlt(dc, rect.left, rect.top, w, h, monoDC.Handle(), 0, 0, 0xE20746);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBk);
}

// Fills scratch B with `fill`, draws the image into it and maps every pixel through `toBW`
// (which answers true for black); then paints c where B is black.
template <typename ToBlack>
void PaintSilhouette(classlib::TCanvas& canvas, const RECT& rect, classlib::TImageList& images,
                     int index, ThmColor c, DWORD fill, ToBlack toBlack) {
    if (IsNone(c) || index < 0 || index >= images.Count()) return;
    int w = std::min(images.Width(), static_cast<int>(rect.right - rect.left));
    int h = std::min(images.Height(), static_cast<int>(rect.bottom - rect.top));
    if (w <= 0 || h <= 0) return;
    CreateScratchObjects();
    classlib::TBitmap& b = *Scratch().B;
    b.SetSize(w, h);
    GdiFlush();
    for (int y = 0; y < h; ++y) {
        auto* row = static_cast<DWORD*>(b.ScanLine(y));
        for (int x = 0; x < w; ++x) row[x] = fill;
    }
    images.Draw(b.Canvas(), 0, 0, index, true);
    GdiFlush();
    for (int y = 0; y < h; ++y) {
        auto* row = static_cast<DWORD*>(b.ScanLine(y));
        for (int x = 0; x < w; ++x) row[x] = toBlack(row[x] & kColorBits) ? 0u : 0x00FFFFFFu;
    }
    PaintScratchSilhouette(canvas, rect, w, h, c);
}

}  // namespace

void PaintImageLightened(classlib::TCanvas& canvas, const RECT& rect, classlib::TImageList& images,
                         int index, bool lighten) {
    if (!lighten) {
        images.Draw(canvas, rect.left, rect.top, index, true);
        return;
    }
    ApplyImageRule(canvas, rect, images, index, [](DWORD p, DWORD) {
        int lum = PR(p) * 76 + PG(p) * 150 + PB(p) * 29;
        if (lum > 64768) p = 0;
        else if (lum < 25600) p = 0x00FFFFFFu;
        return PixelRGB(Clamp255(PR(p) + 32), Clamp255(PG(p) + 32), Clamp255(PB(p) + 32));
    });
}

void PaintImageBlended(classlib::TCanvas& canvas, const RECT& rect, classlib::TImageList& images,
                       int index, int opacity) {
    int o = std::clamp(opacity, 0, 255);
    ApplyImageRule(canvas, rect, images, index, [o](DWORD p, DWORD q) {
        auto ch = [o](int qc, int pc) { return (qc * (255 - o) + pc * o) / 256; };
        return PixelRGB(ch(PR(q), PR(p)), ch(PG(q), PG(p)), ch(PB(q), PB(p)));
    });
}

void PaintImageTinted(classlib::TCanvas& canvas, const RECT& rect, classlib::TImageList& images,
                      int index, ThmColor c, int opacity) {
    int o = std::clamp(opacity, 0, 255);
    DWORD t = ColorToPixel(c);
    ApplyImageRule(canvas, rect, images, index, [o, t](DWORD p, DWORD) {
        auto ch = [o](int tc, int pc) { return (tc * (255 - o) + pc * o) / 256; };
        return PixelRGB(ch(PR(t), PR(p)), ch(PG(t), PG(p)), ch(PB(t), PB(p)));
    });
}

void PaintImageShadow(classlib::TCanvas& canvas, const RECT& rect, classlib::TImageList& images,
                      int index, int level) {
    static constexpr int kDiv[3] = {3, 8, 20}, kAdd[3] = {170, 224, 243};
    level = std::clamp(level, 0, 2);
    int d = kDiv[level], k = kAdd[level];
    ApplyImageRule(canvas, rect, images, index, [d, k](DWORD p, DWORD q) {
        // The weights run over the pixel word's bytes from the low one up (blue first).
        int lum = (PB(p) * 76 + PG(p) * 150 + PR(p) * 29) / 256;
        int f = lum / d + k;
        return PixelRGB(PR(q) * f / 256, PG(q) * f / 256, PB(q) * f / 256);
    });
}

void PaintImageSilhouetteThreshold(classlib::TCanvas& canvas, const RECT& rect,
                                   classlib::TImageList& images, int index, ThmColor c) {
    PaintSilhouette(canvas, rect, images, index, c, 0x00FFFFFFu, [](DWORD p) {
        return p == 0 || PR(p) * 76 + PG(p) * 150 + PB(p) * 29 < 46081;
    });
}

void PaintImageSilhouette(classlib::TCanvas& canvas, const RECT& rect, classlib::TImageList& images,
                          int index, ThmColor c) {
    constexpr DWORD kMarker = 0x203241;
    PaintSilhouette(canvas, rect, images, index, c, kMarker, [](DWORD p) { return p != kMarker; });
}

}  // namespace themed
