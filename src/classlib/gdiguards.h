// Guards for GDI: every acquire in drawing code is paired with its release in a destructor,
// so an exception while drawing still ends the paint (the update region stays validated),
// puts back what was selected into a DC and frees what was made.
//
// - TPaintDC: BeginPaint / EndPaint of a window.
// - TWindowDC: a DC got with GetDC (or GetWindowDC, GetDCEx), released with ReleaseDC.
// - TMemoryDC: CreateCompatibleDC / DeleteDC.
// - TMemoryBitmap: a memory DC with a compatible bitmap selected into it, for composing a
//   picture off screen and copying it once (double buffering).
// - TSelectedObject: SelectObject, and the previous object of that kind selected back on
//   exit. Not for regions (selecting a region returns no previous object).
// - TSavedDC: SaveDC / RestoreDC.
// - TGdiObject<H>: owns a pen, brush, font, bitmap or region and deletes it.
// - TCanvasDCScope: a TCanvas drawing on a DC for a scope.
//
// Declare guards in the order of acquisition: C++ releases them in reverse, which is the
// order GDI needs (deselect before deleting, delete a bitmap after its DC let go of it).
// None of them may be copied; TGdiObject may be moved. Creating a DC or bitmap that the
// system refuses raises EOutOfResources. Main thread only, like the DCs they wrap.
#pragma once

#include <windows.h>

#include <utility>

namespace classlib {

class TCanvas;

class TPaintDC {
public:
    explicit TPaintDC(HWND wnd) : FWnd(wnd), FDC(BeginPaint(wnd, &FInfo)) {}
    ~TPaintDC() {
        if (FDC) EndPaint(FWnd, &FInfo);
    }
    TPaintDC(const TPaintDC&) = delete;
    TPaintDC& operator=(const TPaintDC&) = delete;

    HDC Handle() const { return FDC; }
    const PAINTSTRUCT& Info() const { return FInfo; }
    // The part to paint, in client coordinates.
    const RECT& PaintRect() const { return FInfo.rcPaint; }

private:
    HWND FWnd;
    PAINTSTRUCT FInfo{};
    HDC FDC;
};

class TWindowDC {
public:
    // GetDC(wnd): the client area of wnd, or the screen for null.
    explicit TWindowDC(HWND wnd) : FWnd(wnd), FDC(GetDC(wnd)) {}
    // Takes a DC already got for wnd (GetWindowDC, GetDCEx) and releases it.
    TWindowDC(HWND wnd, HDC dc) : FWnd(wnd), FDC(dc) {}
    ~TWindowDC() {
        if (FDC) ReleaseDC(FWnd, FDC);
    }
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;

    HDC Handle() const { return FDC; }

private:
    HWND FWnd;
    HDC FDC;
};

class TMemoryDC {
public:
    // A DC compatible with `reference` (the screen for null).
    explicit TMemoryDC(HDC reference = nullptr);
    ~TMemoryDC() { DeleteDC(FDC); }
    TMemoryDC(const TMemoryDC&) = delete;
    TMemoryDC& operator=(const TMemoryDC&) = delete;

    HDC Handle() const { return FDC; }

private:
    HDC FDC;
};

class TMemoryBitmap {
public:
    // A width x height bitmap compatible with `reference`, selected into a memory DC.
    // Sizes below 1 are taken as 1.
    TMemoryBitmap(HDC reference, int width, int height);
    ~TMemoryBitmap();
    TMemoryBitmap(const TMemoryBitmap&) = delete;
    TMemoryBitmap& operator=(const TMemoryBitmap&) = delete;

    HDC DC() const { return FDC.Handle(); }
    HBITMAP Bitmap() const { return FBitmap; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Copies the whole picture to `target` with its top-left corner at (x, y).
    void CopyTo(HDC target, int x = 0, int y = 0) const;

private:
    TMemoryDC FDC;
    HBITMAP FBitmap = nullptr;
    HGDIOBJ FOld = nullptr;
    int FWidth, FHeight;
};

class TSelectedObject {
public:
    // Selects `object` (a pen, brush, font or bitmap) into `dc`; a null object selects
    // nothing. The object itself stays the caller's.
    TSelectedObject(HDC dc, HGDIOBJ object) : FDC(dc), FOld(object ? SelectObject(dc, object) : nullptr) {}
    ~TSelectedObject() {
        if (FOld) SelectObject(FDC, FOld);
    }
    TSelectedObject(const TSelectedObject&) = delete;
    TSelectedObject& operator=(const TSelectedObject&) = delete;

    HGDIOBJ Previous() const { return FOld; }

private:
    HDC FDC;
    HGDIOBJ FOld;
};

class TSavedDC {
public:
    explicit TSavedDC(HDC dc) : FDC(dc), FLevel(SaveDC(dc)) {}
    ~TSavedDC() {
        if (FLevel) RestoreDC(FDC, FLevel);
    }
    TSavedDC(const TSavedDC&) = delete;
    TSavedDC& operator=(const TSavedDC&) = delete;

private:
    HDC FDC;
    int FLevel;
};

template <class H>
class TGdiObject {
public:
    TGdiObject() = default;
    explicit TGdiObject(H handle) : FHandle(handle) {}
    ~TGdiObject() { Reset(); }
    TGdiObject(TGdiObject&& other) noexcept : FHandle(other.Release()) {}
    TGdiObject& operator=(TGdiObject&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    TGdiObject(const TGdiObject&) = delete;
    TGdiObject& operator=(const TGdiObject&) = delete;

    H Handle() const { return FHandle; }
    explicit operator bool() const { return FHandle != nullptr; }
    // Gives the object up without deleting it.
    H Release() { return std::exchange(FHandle, nullptr); }
    // Deletes the object held and takes `handle` instead. A selected object must be
    // deselected first (GDI does not delete an object selected into a DC).
    void Reset(H handle = nullptr) {
        if (FHandle && FHandle != handle) DeleteObject(FHandle);
        FHandle = handle;
    }

private:
    H FHandle = nullptr;
};

class TCanvasDCScope {
public:
    // `canvas` draws on `dc` until the scope ends; then it deselects its pen, brush and font
    // from dc and goes back to the DC it had before. The canvas never owns `dc`.
    TCanvasDCScope(TCanvas& canvas, HDC dc);
    ~TCanvasDCScope();
    TCanvasDCScope(const TCanvasDCScope&) = delete;
    TCanvasDCScope& operator=(const TCanvasDCScope&) = delete;

private:
    TCanvas& FCanvas;
    HDC FPrevious;
};

}  // namespace classlib
