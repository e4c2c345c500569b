// Colours, fonts, pens, brushes, the canvas over a device context, bitmaps and icons.
//
// Everything here belongs to the main thread except TCanvas::Lock/Unlock, which let a
// worker draw into a bitmap's canvas while the main thread waits. GDI objects are created
// lazily and owned by the object that made them; a Handle() stays valid until the next
// change of that object or its destruction.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace classlib {

// 0x00BBGGRR; system colours are 0xFF000000 | COLOR_xxx; clNone and clDefault are markers.
using TColor = std::int32_t;

constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000);
constexpr TColor clScrollBar = clSystemColor | COLOR_SCROLLBAR;
constexpr TColor clBackground = clSystemColor | COLOR_BACKGROUND;
constexpr TColor clActiveCaption = clSystemColor | COLOR_ACTIVECAPTION;
constexpr TColor clInactiveCaption = clSystemColor | COLOR_INACTIVECAPTION;
constexpr TColor clMenu = clSystemColor | COLOR_MENU;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clWindowFrame = clSystemColor | COLOR_WINDOWFRAME;
constexpr TColor clMenuText = clSystemColor | COLOR_MENUTEXT;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clCaptionText = clSystemColor | COLOR_CAPTIONTEXT;
constexpr TColor clActiveBorder = clSystemColor | COLOR_ACTIVEBORDER;
constexpr TColor clInactiveBorder = clSystemColor | COLOR_INACTIVEBORDER;
constexpr TColor clAppWorkSpace = clSystemColor | COLOR_APPWORKSPACE;
constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;
constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
constexpr TColor clInactiveCaptionText = clSystemColor | COLOR_INACTIVECAPTIONTEXT;
constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
constexpr TColor cl3DDkShadow = clSystemColor | COLOR_3DDKSHADOW;
constexpr TColor cl3DLight = clSystemColor | COLOR_3DLIGHT;
constexpr TColor clInfoText = clSystemColor | COLOR_INFOTEXT;
constexpr TColor clInfoBk = clSystemColor | COLOR_INFOBK;
constexpr TColor clHotLight = clSystemColor | COLOR_HOTLIGHT;
constexpr TColor clGradientActiveCaption = clSystemColor | COLOR_GRADIENTACTIVECAPTION;
constexpr TColor clGradientInactiveCaption = clSystemColor | COLOR_GRADIENTINACTIVECAPTION;
constexpr TColor clMenuHighlight = clSystemColor | COLOR_MENUHILIGHT;
constexpr TColor clMenuBar = clSystemColor | COLOR_MENUBAR;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// The RGB value of a colour: system colours resolved through GetSysColor. clNone and
// clDefault have no RGB of their own; they give black and the window colour respectively.
COLORREF ColorToRGB(TColor color);

// Font style bits.
enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

// A logical font. Size is in points (negative Height in pixels at the screen's resolution).
// OnChange fires after every change, also for Assign.
class TFont {
public:
    TFont();
    ~TFont();
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;

    void Assign(const TFont& source);
    // Takes name, height, style and charset from a LOGFONTW.
    void AssignLogFont(const LOGFONTW& lf);

    HFONT Handle() const;
    const std::wstring& Name() const { return FName; }
    void SetName(const std::wstring& value);
    int Height() const { return FHeight; }
    void SetHeight(int value);
    int Size() const;
    void SetSize(int points);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles value);
    BYTE Charset() const { return FCharset; }
    void SetCharset(BYTE value);
    bool Equals(const TFont& other) const;

    std::function<void(TFont*)> OnChange;

    // The screen's vertical resolution in pixels per inch.
    static int PixelsPerInch();

private:
    void Changed();
    std::wstring FName;
    int FHeight;
    TColor FColor = clWindowText;
    TFontStyles FStyle = 0;
    BYTE FCharset = DEFAULT_CHARSET;
    mutable HFONT FHandle = nullptr;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

class TPen {
public:
    TPen() = default;
    ~TPen();
    TPen(const TPen&) = delete;
    TPen& operator=(const TPen&) = delete;
    HPEN Handle() const;
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    int Width() const { return FWidth; }
    void SetWidth(int value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle value);
    std::function<void(TPen*)> OnChange;

private:
    void Changed();
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    mutable HPEN FHandle = nullptr;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBrush {
public:
    TBrush() = default;
    ~TBrush();
    TBrush(const TBrush&) = delete;
    TBrush& operator=(const TBrush&) = delete;
    HBRUSH Handle() const;
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle value);
    std::function<void(TBrush*)> OnChange;

private:
    void Changed();
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    mutable HBRUSH FHandle = nullptr;
};

class TBitmap;
class TIcon;

// Drawing on a device context. The pen, brush and font are selected into the DC when a
// drawing call needs them and deselected when the handle is released; the canvas never
// deletes a DC it was given with SetHandle.
class TCanvas {
public:
    TCanvas();
    virtual ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // The DC; descendants that own a DC create it on demand in CreateHandle.
    HDC Handle();
    void SetHandle(HDC dc);
    bool HandleAllocated() const { return FHandle != nullptr; }

    TFont& Font() { return FFont; }
    TPen& Pen() { return FPen; }
    TBrush& Brush() { return FBrush; }
    POINT PenPos() const { return FPenPos; }

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const RECT& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
    void Ellipse(int x1, int y1, int x2, int y2);
    void Polygon(const POINT* points, int count);
    void Polyline(const POINT* points, int count);
    void FillRect(const RECT& r);
    void FrameRect(const RECT& r);
    void DrawFocusRect(const RECT& r);

    void TextOut(int x, int y, const std::wstring& text);
    void TextRect(const RECT& r, int x, int y, const std::wstring& text);
    // DrawTextW with the canvas font; returns the height drawn (or measured).
    int DrawText(const std::wstring& text, RECT& r, UINT format);
    SIZE TextExtent(const std::wstring& text);
    int TextWidth(const std::wstring& text) { return TextExtent(text).cx; }
    int TextHeight(const std::wstring& text) { return TextExtent(text).cy; }

    void Draw(int x, int y, TBitmap& bitmap);
    void Draw(int x, int y, TIcon& icon);
    void StretchDraw(const RECT& r, TBitmap& bitmap);
    void CopyRect(const RECT& dest, TCanvas& source, const RECT& src);
    COLORREF Pixel(int x, int y);
    void SetPixel(int x, int y, TColor color);

    // ExtTextOut options used by text output (ETO_RTLREADING marks a right-to-left canvas).
    UINT TextFlags = 0;
    // Fired around changes made through the wide text functions.
    std::function<void(TCanvas&)> OnChanging, OnChange;
    void Changing() { if (OnChanging) OnChanging(*this); }
    void Changed() { if (OnChange) OnChange(*this); }
    // Makes the handle, font and brush valid before an outside call draws on Handle().
    void PrepareText() { Handle(); RequiredFont(); RequiredBrush(); }
    void SetPenPos(POINT p) { FPenPos = p; }

    // Serialises drawing between threads (bitmaps only).
    void Lock() { FLock.lock(); }
    void Unlock() { FLock.unlock(); }

protected:
    virtual void CreateHandle() {}
    // Deselects our objects, forgets the DC.
    void ReleaseHandleObjects();
    void RequiredFont();
    void RequiredPen();
    void RequiredBrush();

private:
    HDC FHandle = nullptr;
    TFont FFont;
    TPen FPen;
    TBrush FBrush;
    POINT FPenPos{0, 0};
    HGDIOBJ FOldFont = nullptr, FOldPen = nullptr, FOldBrush = nullptr;
    bool FFontSel = false, FPenSel = false, FBrushSel = false;
    std::recursive_mutex FLock;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };

// A device-independent bitmap (DIB section, top-down) with a memory-DC canvas.
class TBitmap {
public:
    TBitmap();
    TBitmap(int width, int height, TPixelFormat format = pf32bit);
    ~TBitmap();
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetSize(int width, int height);
    void SetWidth(int w) { SetSize(w, FHeight); }
    void SetHeight(int h) { SetSize(FWidth, h); }
    TPixelFormat PixelFormat() const { return FFormat; }
    void SetPixelFormat(TPixelFormat format);
    // Start of row `row` (0 = top). Valid until the next size or format change.
    void* ScanLine(int row);
    HBITMAP Handle() const { return FHandle; }
    // Takes ownership of a DDB or DIB, copying it into a DIB section.
    void Assign(HBITMAP bitmap);
    // Loads a bitmap resource by name or integer id from `instance`.
    bool LoadFromResourceName(HINSTANCE instance, const wchar_t* name);
    TCanvas& Canvas();
    bool Empty() const { return FHandle == nullptr; }

    bool Transparent = false;
    TColor TransparentColor = clDefault;

private:
    void Recreate();
    class TBitmapCanvas;
    int FWidth = 0, FHeight = 0;
    TPixelFormat FFormat = pf32bit;
    HBITMAP FHandle = nullptr;
    void* FBits = nullptr;
    int FStride = 0;
    std::unique_ptr<TBitmapCanvas> FCanvas;
};

// An icon handle, owned.
class TIcon {
public:
    TIcon() = default;
    ~TIcon();
    TIcon(const TIcon&) = delete;
    TIcon& operator=(const TIcon&) = delete;
    HICON Handle() const { return FHandle; }
    // Takes ownership; shared system icons (LoadIcon with no instance) are never destroyed.
    void SetHandle(HICON icon, bool owned = true);
    bool LoadFromResourceName(HINSTANCE instance, const wchar_t* name, int size = 0);
    int Width() const;
    int Height() const;
    bool Empty() const { return FHandle == nullptr; }

private:
    HICON FHandle = nullptr;
    bool FOwned = false;
};

// A shared 8x8 checker brush of two colours, cached per colour pair by the application
// object (which deletes the brushes when it ends).
HBRUSH AllocPatternBrush(TColor color1, TColor color2);

}  // namespace classlib
