#pragma once
// The bases of the themed button-like controls: a windowed control that tracks the hot and
// pushed states, takes the focus in a controlled way and paints what lies behind it
// (TThmPanelObject), a caption with margins, alignment, wrapping and automatic height on top
// of it (TThmTextObject), and the margin object they publish (TThmControlMargins). Labels,
// check boxes, radio buttons and buttons of the themed controls derive from TThmTextObject.
//
// Hot tracking: one object of the whole program is hot at a time. A mouse move over an
// object makes the one hot before it leave first; a timer shared by every object (made by
// the first constructor, freed with the last object) makes the hot object leave once the
// cursor is no longer over it, also when the cursor left the window without a message.
//
// Main thread only.

#include <windows.h>

#include <functional>
#include <string>

#include "classlib/control.h"
#include "controls/toolbar/themed/thmnexus.h"

namespace classlib {
class TCanvas;
}

namespace themed {

// --- helpers ------------------------------------------------------------------------------------

// True when the focused control of this thread is `control` or lies inside it.
bool ContainsActiveControl(classlib::TControl* control);
// The dotted focus rectangle, drawn with black text and white background colours; the canvas's
// colours are restored afterwards. Nothing for an empty rectangle.
void DrawFocusRectangle(classlib::TCanvas& canvas, const RECT& rect);
// Paints what lies behind `control` into `dc` (the control's client coordinates), limited to
// `rect`: without a parent the button face; otherwise the parent erases its background into
// the DC with its origin at the control's place, a dock that leaves it unpainted paints its
// background there, and anything else is filled with the parent's effective colour.
void PaintParentBackground(classlib::TControl* control, HDC dc, const RECT& rect);

// --- margins ------------------------------------------------------------------------------------

class TThmControlMargins {
public:
    TThmControlMargins() = default;
    TThmControlMargins(const TThmControlMargins&) = delete;
    TThmControlMargins& operator=(const TThmControlMargins&) = delete;

    int Left() const { return FLeft; }
    void SetLeft(int value) { Set(FLeft, value); }
    int Top() const { return FTop; }
    void SetTop(int value) { Set(FTop, value); }
    int Right() const { return FRight; }
    void SetRight(int value) { Set(FRight, value); }
    int Bottom() const { return FBottom; }
    void SetBottom(int value) { Set(FBottom, value); }
    // Copies the four values, then runs OnChange once.
    void Assign(const TThmControlMargins& source);

    // Runs after each change (setting an equal value is no change).
    std::function<void()> OnChange;

private:
    void Set(int& field, int value);
    int FLeft = 0, FTop = 0, FRight = 0, FBottom = 0;
};

// --- the panel object ---------------------------------------------------------------------------

class TThmPanelObject : public classlib::TCustomControl, public TThmThemeClient {
public:
    explicit TThmPanelObject(classlib::TComponent* owner);
    ~TThmPanelObject() override;

    // The mouse is over the control (hot tracking).
    bool MouseInside() const { return FMouseInside; }
    // The left button or (with SpaceClick) the space key is held on the control.
    bool Pushed() const { return FPushed; }
    // A click focuses the control only when the focus is inside its parent already.
    bool FocusWithinParent() const { return FFocusWithinParent; }
    void SetFocusWithinParent(bool value) { FFocusWithinParent = value; }
    // The space key pushes and clicks the control.
    bool SpaceClick() const { return FSpaceClick; }
    void SetSpaceClick(bool value) { FSpaceClick = value; }
    // Double buffering; a change makes the window anew.
    bool Buffered() const { return FBuffered; }
    void SetBuffered(bool value);

    // The object that is hot now, or null.
    static TThmPanelObject* HotObject();

    // Invalidates the client area (with erasing) on every change.
    void HandleThemeChange(int change, bool themeSwitched) override;

protected:
    virtual void DoMouseEnter();
    virtual void DoMouseLeave();
    // Hot tracking: enter and leave act only while the control is enabled.
    void MouseEnter();
    void MouseLeave();
    // No scrolling container exists in this program: a control is always in view.
    void ScrollInView() {}

    void CreateParams(classlib::TCreateParams& params) override;
    void TearDown() override;
    void Dispatch(classlib::TMessage& message) override;
    void MouseDown(classlib::TMouseButton button, classlib::TShiftState shift, int x, int y) override;
    void MouseMove(classlib::TShiftState shift, int x, int y) override;
    void KeyDown(WORD& key, classlib::TShiftState shift) override;
    void KeyUp(WORD& key, classlib::TShiftState shift) override;
    void WMSetFocus(classlib::TMessage& message) override;
    void WMKillFocus(classlib::TMessage& message) override;
    void WMEraseBkgnd(classlib::TMessage& message) override;
    void CMEnabledChanged(classlib::TMessage& message) override;
    void CMParentColorChanged(classlib::TMessage& message) override;
    // The hot tracking fires OnMouseEnter and OnMouseLeave; the application's own
    // notifications do not.
    void CMMouseEnter(classlib::TMessage& message) override;
    void CMMouseLeave(classlib::TMessage& message) override;

private:
    static void TimerTick(classlib::TComponent*);
    void StopTracking();
    // Leaves the theme clients, the hot tracking and the shared timer (once).
    void ReleaseShared();

    bool FFocusFromMouse = false;
    bool FMouseInside = false;
    bool FBuffered = false;
    bool FPushed = false;
    bool FFocusWithinParent = false;
    bool FSpaceClick = false;
    bool FReleased = false;
};

// --- the text object ----------------------------------------------------------------------------

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextWrapping { twNone, twEndEllipsis, twPathEllipsis, twWrap };

// The DrawText flags of a caption: the alignment, then the wrapping, DT_NOPREFIX without
// accelerator characters. Painting adds DT_EXPANDTABS.
UINT TextObjectFlags(TAlignment alignment, TTextWrapping wrapping, bool showAccelChar);

class TThmTextObject : public TThmPanelObject {
public:
    explicit TThmTextObject(classlib::TComponent* owner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    // Owned; a change invalidates and measures the height again.
    TThmControlMargins& Margins() { return FMargins; }
    void SetMargins(const TThmControlMargins& value) { FMargins.Assign(value); }
    TTextWrapping Wrapping() const { return FWrapping; }
    void SetWrapping(TTextWrapping value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool value);
    // The height follows the caption (on by default).
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);

    // Sets the height to the caption's (CalcAutoHeight) when the window exists, AutoSize is
    // on and the control is neither loading nor measuring already.
    void AdjustHeight();
    // False while measuring or loading and without AutoSize; otherwise `newHeight` becomes
    // the caption's height (the width stays).
    bool CanAutoSize(int& newWidth, int& newHeight);

    void SetBounds(int left, int top, int width, int height) override;
    void Loaded() override;

protected:
    // Lets a derived control change the font before the caption is measured or drawn.
    virtual void DoAdjustFont(classlib::TFont& font) {}
    // The height of the caption with both margins, measured within the client width.
    virtual void CalcAutoHeight(classlib::TCanvas& canvas, int& height);
    // Draws (or with DT_CALCRECT measures) the caption in `rect`; returns its height. A
    // disabled caption is embossed: once in the highlight colour one pixel down and right,
    // then in the shadow colour.
    virtual int DoDrawText(classlib::TCanvas& canvas, RECT& rect, UINT flags);
    // Invalidates, then adjusts the height.
    virtual void Changed();
    virtual void GetFocusRect(const RECT& rect, RECT& focusRect) { focusRect = {}; }
    virtual void GetText(std::wstring& text) { text = Caption(); }
    virtual TAlignment GetTextAlignment() { return FAlignment; }
    virtual void GetTextMargins(RECT& margins) { margins = {}; }

    void CreateParams(classlib::TCreateParams& params) override;
    // Takes the caption's height once the window exists.
    void CreateHandle() override;
    void Paint() override;
    void CMTextChanged(classlib::TMessage& message) override;
    void CMFontChanged(classlib::TMessage& message) override;
    void CMEnabledChanged(classlib::TMessage& message) override;

private:
    TAlignment FAlignment = taLeftJustify;
    TThmControlMargins FMargins;
    TTextWrapping FWrapping = twNone;
    bool FShowAccelChar = true;
    bool FAutoSize = true;
    bool FAdjusting = false;
};

}  // namespace themed
