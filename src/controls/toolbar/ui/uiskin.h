#pragma once
// The skin options: containers of colours and an image per part of a bar, which only the skin
// theme (IsSkinActive, uithemequirks.h) would switch on. No theme of the program is registered
// under its name, so nothing paints with them; the shared resources (uitheme.h) keep one
// instance.

#include <memory>

#include "classlib/graphics.h"

namespace ui {

struct TUiSkinOptionEntry {
    int EntryType = 0;
    classlib::TColor Color1 = classlib::clNone, Color2 = classlib::clNone, Color3 = classlib::clNone,
                     Color4 = classlib::clNone;
    void Reset() { *this = TUiSkinOptionEntry{}; }
};

struct TUiSkinOptionCategory {
    std::unique_ptr<classlib::TBitmap> Image;
    TUiSkinOptionEntry Body, Borders, InternalBorders;
    classlib::TColor EffectiveColor = classlib::clNone;
};

// Six categories and two groups of five: containers only; nothing paints with them.
struct TUiSkinOptions {
    TUiSkinOptionCategory Categories[6];
    TUiSkinOptionCategory FirstGroup[5];
    TUiSkinOptionCategory SecondGroup[5];
};

}  // namespace ui
