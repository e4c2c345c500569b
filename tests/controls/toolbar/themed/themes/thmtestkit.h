// Shared helpers of the theme tests: a canvas over a memory DIB, item records and pixel reads.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "classlib/graphics.h"
#include "common/test_support.h"
#include "controls/toolbar/themed/thmtheme.h"

namespace themetest {

// A memory DIB with a canvas on it; the canvas leaves the DC when the sheet goes.
struct Sheet {
    Sheet(int width, int height, COLORREF fill) : Dib(width, height, fill) { Canvas.SetHandle(Dib.DC); }
    ~Sheet() { Canvas.SetHandle(nullptr); }
    COLORREF Pixel(int x, int y) const { return Dib.Pixel(x, y); }
    testsupport::MemoryDib Dib;
    classlib::TCanvas Canvas;
};

inline themed::TThmItemInfo Item(int viewKind, int flags = themed::ifToolbarStyle, bool enabled = true) {
    themed::TThmItemInfo item{};
    item.ViewKind = viewKind;
    item.ItemFlags = flags;
    item.Enabled = enabled;
    return item;
}

inline COLORREF Rgb(classlib::TColor c) { return classlib::ColorToRGB(c); }

// A theme made and initialised the way the registry makes one, released by the holder.
class ThemeHolder {
public:
    explicit ThemeHolder(const std::wstring& name);
    ~ThemeHolder();
    ThemeHolder(const ThemeHolder&) = delete;
    ThemeHolder& operator=(const ThemeHolder&) = delete;
    themed::TThmTheme& operator*() const { return *FTheme; }
    themed::TThmTheme* operator->() const { return FTheme; }
    themed::TThmTheme* Get() const { return FTheme; }

private:
    themed::TThmTheme* FTheme;
};

// Registers the program's theme table (once; later calls find it registered).
void RegisterProgramThemes();

}  // namespace themetest
