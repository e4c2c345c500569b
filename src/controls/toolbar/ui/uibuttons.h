#pragma once
// The themed button family of the dialogs: check box, radio button, push button and speed
// button, all caption controls (uicaptions.h) that take the focus and answer their
// accelerator.
//
// Groups: checking a button tells the buttons of the same parent, the same GroupIndex and
// exactly the same class, and a checked one among them unchecks itself. This is a direct
// call between the controls, no message. Radio buttons exclude each other per parent and
// group index; check boxes (GroupIndex -1) do not group.
//
// A push button with a drop-down menu shows the menu under itself instead of clicking; a
// repeating button clicks once on mouse down, again after 400 ms and then every 100 ms while
// it stays pushed.
//
// Main thread only.

#include <windows.h>

#include <memory>

#include "classlib/menus.h"
#include "classlib/timer.h"
#include "controls/toolbar/ui/uicaptions.h"
#include "controls/wide/widechecklist.h"

namespace ui {

class TUiButtonControl : public TUiTextObject {
public:
    // Takes no double clicks: the second press of one is a press, so a double click clicks
    // twice (toggles a check box twice), as with the system's own buttons.
    explicit TUiButtonControl(classlib::TComponent* owner);

    // -1: no grouping.
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int value);
    // Stores and repaints; checking tells the group.
    void SetChecked(bool value) override;

    // Only while the parent form is visible and enabled and every control from this one up
    // to the form is visible and enabled.
    bool CanFocus() override;

protected:
    // What a click of the user does to the check state (nothing here).
    virtual void Toggle() {}
    // Another button of the parent was checked: a checked button of the same group and class
    // unchecks itself.
    void GroupChecked(int groupIndex, TUiButtonControl* sender);
    void NotifyGroup();
    void CMDialogChar(classlib::TMessage& message) override;
    // Enter on the focused button clicks it.
    void CMDialogKey(classlib::TMessage& message) override;

    int FGroupIndex = 0;
    // Set while a state change clicks the control, so that the click does not toggle again.
    bool FStateChanging = false;
};

// A 13 x 13 glyph painted for the current state, shown as the control's image.
class TUiGlyphButton : public TUiButtonControl {
public:
    explicit TUiGlyphButton(classlib::TComponent* owner);
    ~TUiGlyphButton() override;

    void CalcCaptionBounds(RECT& bounds, RECT& captionRect, RECT& glyphRect) override;

protected:
    // Paints the glyph on a 13 x 13 bitmap filled with GlyphBackground.
    virtual void PaintGlyph(classlib::TCanvas& canvas, const RECT& rect) = 0;
    // The glyph bitmap's fill, which becomes transparent.
    virtual classlib::TColor GlyphBackground() = 0;
    void DoGetImageIndex(classlib::TImageList*& images, int& imageIndex) override;

private:
    std::unique_ptr<classlib::TImageList> FGlyphs;
};

class TUiCheckBox : public TUiGlyphButton {
public:
    explicit TUiCheckBox(classlib::TComponent* owner);

    // A click goes unchecked -> grayed -> checked -> unchecked when on.
    bool AllowGrayed = false;
    wide::TCheckBoxState State() const { return FState; }
    // Every change fires OnClick, also one made in code.
    void SetState(wide::TCheckBoxState value);
    bool GetChecked() override { return FState == wide::cbChecked; }
    void SetChecked(bool value) override;
    void Click() override;

protected:
    void Toggle() override;
    void PaintGlyph(classlib::TCanvas& canvas, const RECT& rect) override;
    classlib::TColor GlyphBackground() override { return 0xFF00FF; }

private:
    wide::TCheckBoxState FState = wide::cbUnchecked;
};

class TUiRadioButton : public TUiGlyphButton {
public:
    explicit TUiRadioButton(classlib::TComponent* owner);

    // Checking a button fires OnClick and unchecks the others of its group; a checked button
    // is a tab stop.
    void SetChecked(bool value) override;
    void Click() override;

protected:
    void Toggle() override;
    void PaintGlyph(classlib::TCanvas& canvas, const RECT& rect) override;
    // Color, or with clNone the colour under the glyph's place.
    classlib::TColor GlyphBackground() override;
    // Taking the focus checks the button (arrow keys move through a group).
    void CMFocusChanged(classlib::TMessage& message) override;
};

class TUiCustomButton : public TUiButtonControl {
public:
    explicit TUiCustomButton(classlib::TComponent* owner);
    ~TUiCustomButton() override;

    // Four faces stacked vertically (normal, hot, pushed or checked, disabled); a bitmap
    // whose height is not a multiple of 4 is ignored.
    classlib::TBitmap& Bitmap() { return *FBitmap; }
    void SetBitmap(HBITMAP bitmap);
    bool BitmapTransparent = true;
    // Esc clicks the button.
    bool Cancel = false;
    // Enter clicks the button while no other push button has the focus.
    bool Default() const { return FDefault; }
    void SetDefault(bool value);
    bool DropDownArrow() const { return FDropDownArrow; }
    void SetDropDownArrow(bool value);
    // Shown under the button on click (OnClick does not fire then).
    classlib::TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(classlib::TPopupMenu* value);
    bool DropDownActive() const { return FDropDownActive; }
    // Set on the parent form when clicked.
    classlib::TModalResult ModalResult = classlib::mrNone;
    bool Repeating() const { return FRepeating; }
    void SetRepeating(bool value) { FRepeating = value; }
    // The repeat timer (null unless repeating now; tests).
    classlib::TTimer* RepeatTimer() const { return FRepeatTimer.get(); }

    void Click() override;
    // The button acts on Enter: it is the focused push button, or it is Default and the
    // focused control is no push button.
    bool ActsOnEnter();
    // Ends repeating and frees the timer.
    virtual void StopRepeat();

protected:
    // Shows the drop-down menu under `below` (screen coordinates) and returns when it has
    // closed. Themed popup menus keep the rectangle uncovered (above it when there is no room
    // below); the class library's popup menu opens at the rectangle's bottom-left corner.
    virtual void PopupDropDownMenu(classlib::TPopupMenu& menu, const RECT& below);
    // The control the drop-down menu opens under.
    virtual classlib::TControl* DropDownControl() { return this; }
    // Draws the drop-down arrow when there is a menu and DropDownArrow is on.
    virtual bool DrawDropDownArrow(classlib::TCanvas& canvas, const RECT& rect);
    bool ShowsDropDownArrow() { return FDropDownArrow && FDropDownMenu; }
    // Bitmap holds four faces.
    bool BitmapUsable() { return !FBitmap->Empty() && FBitmap->Height() % 4 == 0; }

    void DoAdjustFont(classlib::TFont& font) override;
    void GetTextMargins(RECT& margins) override;
    bool DoDraw(classlib::TCanvas& canvas, const RECT& rect, TUiPaintStage stage) override;
    void GetFocusRect(const RECT& clientRect, RECT& focusRect, const RECT& captionRect,
                      const RECT& glyphRect) override;
    bool ShowFocus() override { return Focused(); }
    bool IsPushed() override;
    void MouseDown(classlib::TMouseButton button, classlib::TShiftState shift, int x, int y) override;
    void MouseUp(classlib::TMouseButton button, classlib::TShiftState shift, int x, int y) override;
    void CMDialogKey(classlib::TMessage& message) override;
    void CMFocusChanged(classlib::TMessage& message) override;
    void Dispatch(classlib::TMessage& message) override;
    void TearDown() override;

private:
    void DropDown();
    void RepeatTick();
    std::unique_ptr<classlib::TBitmap> FBitmap;
    bool FDefault = false;
    bool FDropDownArrow = true;
    classlib::TComponentRef<classlib::TPopupMenu> FDropDownMenu;
    bool FDropDownActive = false;
    std::unique_ptr<classlib::TTimer> FRepeatTimer;
    bool FRepeating = false;
    bool FTicking = false;
};

class TUiButton : public TUiCustomButton {
public:
    using TUiCustomButton::TUiCustomButton;
};

class TUiSpeedButton : public TUiCustomButton {
public:
    explicit TUiSpeedButton(classlib::TComponent* owner);
    bool CanFocus() override { return false; }
    // Flips Checked first when GroupIndex is not 0.
    void Click() override;
};

// The mouse-button messages pending in this thread's queue are taken out; those aimed at
// `window` that press a button (down or double click) are dropped, the others are posted
// again in their order, and a WM_QUIT met on the way is posted again last.
void DropPendingClicks(HWND window);

}  // namespace ui
