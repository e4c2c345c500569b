// The Unicode label: a windowless caption painted by its parent.
//
// With ShowAccelChar on, "&" marks the hot key (its FocusControl takes the focus on
// Alt+key); off, the text is drawn as it is (DT_NOPREFIX). A disabled label is drawn
// embossed (highlight offset by one pixel under the shadow colour). With an ellipsis
// position and AutoSize off, a text that does not fit is shortened: a word-wrapped label
// with end or word ellipsis drops whole words from its end and shows "..." after the last
// word it keeps. Main thread only.
#pragma once

#include "classlib/control.h"

#include <string>

namespace wide {

enum TEllipsisPosition { epNone, epPathEllipsis, epEndEllipsis, epWordEllipsis };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };

class TWideCustomLabel : public classlib::TGraphicControl {
public:
    explicit TWideCustomLabel(classlib::TComponent* owner);

    std::wstring GetWideLabelText() { return GetText(); }

    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool value);
    TEllipsisPosition EllipsisPosition() const { return FEllipsisPosition; }
    void SetEllipsisPosition(TEllipsisPosition value);
    TAlignment Alignment = taLeftJustify;
    TTextLayout Layout = tlTop;
    bool Transparent = true;
    classlib::TWinControl* FocusControl = nullptr;

    // Sizes the label to its text (when AutoSize is on).
    void AdjustBounds();
    // With AutoSize on, the size follows the text (a word-wrapped label keeps its width).
    void SetBounds(int left, int top, int width, int height) override;
    // Draws the caption into `dc` within `rect` the way painting does (DT_CALCRECT in
    // `flags` measures instead and updates `rect`). Returns the text drawn or measured.
    std::wstring DrawCaption(HDC dc, RECT& rect, UINT flags);

protected:
    void Paint() override;
    void WndProc(classlib::TMessage& m) override;
    void CMTextChanged(classlib::TMessage& m) override;
    void CMFontChanged(classlib::TMessage& m) override;
    // The hint shows the wide short hint and the program's shortcut text.
    void CMHintShow(classlib::TMessage& m) override;
    virtual void DoDrawText(RECT& rect, UINT flags);
    UINT TextFlags() const;

    bool FAutoSize = true;
    bool FAdjusting = false;
    bool FWordWrap = false;
    bool FShowAccelChar = true;
    TEllipsisPosition FEllipsisPosition = epNone;
};

class TWideLabel : public TWideCustomLabel {
public:
    using TWideCustomLabel::TWideCustomLabel;
};

// True when `ch` is the hot key of `caption` (ignoring case).
bool IsWideCharAccel(wchar_t ch, const std::wstring& caption);

}  // namespace wide
