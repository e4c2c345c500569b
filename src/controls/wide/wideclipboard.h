// The clipboard object through which the program puts text on the Windows clipboard.
//
// SetAsWideText puts the exact UTF-16 text as CF_UNICODETEXT and its conversion to the
// system code page (unconvertible characters become the system's default character) as
// CF_TEXT. The clipboard is always closed again, also when putting the data fails. When
// another program holds the clipboard open, opening is retried for a short while before
// EWideClipboardError ("クリップボードを開けません") is raised. Main thread only.
#pragma once

#include "classlib/errors.h"

#include <windows.h>

#include <string>

namespace wide {

class EWideClipboardError : public classlib::Exception {
public:
    using classlib::Exception::Exception;
};

class TWideClipboard {
public:
    void SetAsWideText(const std::wstring& text);
    // The CF_UNICODETEXT text on the clipboard (CF_TEXT widened when there is only that);
    // empty when there is no text.
    std::wstring AsWideText();
    bool HasFormat(UINT format) const { return IsClipboardFormatAvailable(format) != FALSE; }
};

// The program-wide clipboard object, made on first use.
TWideClipboard& WideClipboard();

}  // namespace wide
