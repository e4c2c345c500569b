// Hot-key marks of captions, shortcut text and the menu item of the Unicode layer.
//
// In a caption "&" marks the next character as the hot key and "&&" stands for one "&".
// On a double-byte-locale system (Japanese and the other far-east code pages) a hot key may
// also be written "(&X)" after the text; stripping marks removes that group whole.
#pragma once

#include "classlib/menus.h"

#include <string>

namespace wide {

// 1-based position of the hot-key character (after the last single "&"); 0 if none.
int WideHotKeyPos(const std::wstring& caption);
// That character, or empty.
std::wstring WideHotKeyChar(const std::wstring& caption);
std::wstring WideStripHotKeys(const std::wstring& caption);
// The same as WideStripHotKeys, with the far-east rule on or off (for tests and callers
// that know the locale).
std::wstring WideStripHotKeys(const std::wstring& caption, bool farEast);
// True on systems whose ANSI code page is double-byte.
bool IsFarEastLocale();
// Captions equal once their hot-key marks are stripped, ignoring / respecting case.
bool WideSameCaption(const std::wstring& a, const std::wstring& b);
bool WideSameCaptionExact(const std::wstring& a, const std::wstring& b);
// "Shift+", "Ctrl+", "Alt+" and the key's name (classlib::KeyToText) as menus show it. Unlike
// classlib::ShortCutToText, a name two keys share is not told apart here (the keypad's 3
// is "3"): store shortcuts with classlib::ShortCutToText, which reads back.
std::wstring WideShortCutToText(classlib::TShortCut shortCut);

class TWideMenuItem : public classlib::TMenuItem {
public:
    using classlib::TMenuItem::TMenuItem;
};

// A menu item's hint.
std::wstring MenuItemWideHint(classlib::TMenuItem* item);

}  // namespace wide
