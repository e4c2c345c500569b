#pragma once
// The single-line edits of the dialogs: the Unicode edit with its alignment and embedded
// buttons, the themed edit (a frame painted by the theme, hot tracking), the edit with a
// button, and the numeric spin edit.
//
// Spin edit: Value stays within [MinValue, MaxValue]; a value outside them, or the value it
// has, changes nothing and fires nothing, so OnValueChanged fires once per real change. The
// text always shows Prefix + number + Postfix as ValueType writes it; Enter or leaving the
// control reads the typed number back, and text that cannot be read brings the previous
// value back. Up and down step by Increment (to the next multiple of it with ValueSnap); an
// Increment that is not positive steps nothing.
//
// Main thread only.

#include <windows.h>

#include <string>
#include <list>

#include "controls/toolbar/themed/thmnexus.h"
#include "controls/toolbar/themed/thmpanels.h"
#include "controls/toolbar/ui/uibuttons.h"
#include "controls/toolbar/ui/uicaptions.h"
#include "controls/wide/wideedit.h"

namespace ui {

class TUiEditButton;

class TUiUnicodeEdit : public wide::TWideCustomEdit {
public:
    explicit TUiUnicodeEdit(classlib::TComponent* owner) : wide::TWideCustomEdit(owner) {}

    std::wstring GetText() override { return wide::TWideCustomEdit::GetText(); }
    void SetText(const std::wstring& value) override { wide::TWideCustomEdit::SetText(value); }
    // Replaces the selection, or inserts at the caret.
    void SetSelText(const std::wstring& value) { wide::WideEditSetSelText(this, value); }
    std::wstring GetSelText() { return wide::WideEditGetSelText(this); }
    // A change recreates the window.
    themed::TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(themed::TAlignment value);

    // A button owned by and placed in the edit, at the left for alLeft, else at the right,
    // `width` wide (-1: the width of a vertical scroll bar); the text keeps clear of it.
    TUiEditButton* AddEditButton(classlib::TAlign align, int width);
    // Keeps the text clear of the visible edit buttons: margins of their widths (+ 2).
    void UpdateEditRect();

protected:
    void CreateParams(classlib::TCreateParams& params) override;
    void CreateHandle() override;
    void CMEnabledChanged(classlib::TMessage& message) override;
    // Places a button in the edit; an edit without a parent yet takes it in when it makes
    // its window (placing it earlier would ask for a window the edit cannot have yet).
    void PlaceButton(TUiEditButton* button);

private:
    themed::TAlignment FAlignment = themed::taLeftJustify;
    std::list<classlib::TComponentRef<TUiEditButton>> FPendingButtons;
};

// The button inside an edit: a speed button that focuses its edit first and opens its
// drop-down menu under the edit.
class TUiEditButton : public TUiSpeedButton {
public:
    explicit TUiEditButton(classlib::TComponent* owner);
    void Click() override;

protected:
    classlib::TControl* DropDownControl() override;
    bool DoDraw(classlib::TCanvas& canvas, const RECT& rect, TUiPaintStage stage) override;
    // The button shows a caption or an image.
    bool HasContent();
};

class TUiSpinButton : public TUiEditButton {
public:
    explicit TUiSpinButton(classlib::TComponent* owner);

    // 0 none, 1 upper half, 2 lower half.
    int PressedHalf() const { return FPressedHalf; }
    classlib::TNotifyEvent OnUpClick, OnDownClick;
    // Looks where the cursor is: the upper half clicks up, the lower half down.
    void Click() override;

protected:
    bool DoDraw(classlib::TCanvas& canvas, const RECT& rect, TUiPaintStage stage) override;
    void MouseUp(classlib::TMouseButton button, classlib::TShiftState shift, int x, int y) override;
    void MouseMove(classlib::TShiftState shift, int x, int y) override;
    void DoMouseLeave() override;

private:
    // 1 or 2 for the half under the cursor, 0 outside.
    int HalfUnderCursor();
    int FPressedHalf = 0;
};

class TUiEdit : public TUiUnicodeEdit, public themed::TThmThemeClient {
public:
    explicit TUiEdit(classlib::TComponent* owner);
    ~TUiEdit() override;

    // The frame is drawn hot while the edit has the focus or the mouse.
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool value);
    TUiThemeType ThemeType() const { return FThemeType; }
    // Also the theme type of the edit's buttons.
    void SetThemeType(TUiThemeType value);
    bool Hot() const { return FHot; }
    TUiDrawEvent OnDrawBackground;

    // Redraws the frame.
    virtual void RedrawFrame();
    void HandleThemeChange(int change, bool themeSwitched) override;

protected:
    virtual void DoDrawBackground(classlib::TCanvas& canvas, const RECT& rect, TUiPaintStage stage,
                                  bool& paintDefault);
    void SetHot(bool value);
    void TearDown() override;
    void Dispatch(classlib::TMessage& message) override;
    void CMEnter(classlib::TMessage& message) override;
    void CMExit(classlib::TMessage& message) override;
    void CMMouseEnter(classlib::TMessage& message) override;
    void CMMouseLeave(classlib::TMessage& message) override;
    void CMEnabledChanged(classlib::TMessage& message) override;

private:
    void PaintFrame();
    bool FHotTrack = true;
    TUiThemeType FThemeType = thtThm;
    bool FHot = false;
    bool FReleased = false;
};

class TUiButtonEdit : public TUiEdit {
public:
    explicit TUiButtonEdit(classlib::TComponent* owner);
    TUiEditButton* EditButton() const { return FEditButton; }
    // Outside loading, naming the edit captions its button "..." and clears the text.
    void SetName(const std::wstring& name) override;

private:
    classlib::TComponentRef<TUiEditButton> FEditButton;
};

enum TSEValueType { evtInteger, evtFloat, evtHex };

class TUiSpinEdit : public TUiEdit {
public:
    explicit TUiSpinEdit(classlib::TComponent* owner);

    TUiSpinButton* SpinButton() const { return FSpinButton; }
    // Decimals of evtFloat, 0 to 10.
    int Decimal() const { return FDecimal; }
    void SetDecimal(int value);
    double Increment() const { return FIncrement; }
    void SetIncrement(double value) { FIncrement = value; }
    double MinValue() const { return FMinValue; }
    void SetMinValue(double value);
    double MaxValue() const { return FMaxValue; }
    void SetMaxValue(double value);
    double Value() const { return FValue; }
    void SetValue(double value);
    // Value rounded to the nearest integer, halves to even (saturated to the 64-bit range).
    long long GetIntegerValue() const;
    void SetIntegerValue(int value) { SetValue(static_cast<double>(value)); }
    bool ValueSnap = true;
    TSEValueType ValueType() const { return FValueType; }
    // evtInteger and evtHex round Increment (to at least 1).
    void SetValueType(TSEValueType value);
    const std::wstring& Prefix() const { return FPrefix; }
    void SetPrefix(const std::wstring& value);
    const std::wstring& Postfix() const { return FPostfix; }
    void SetPostfix(const std::wstring& value);
    classlib::TNotifyEvent OnValueChanged;

    void IncrementValue();
    void DecrementValue();
    // Reads the text back into Value and rewrites it.
    void ApplyText();
    // The number as the text shows it (without prefix and postfix).
    std::wstring FormatValue() const;
    // Reads a number as ValueType writes it; false for anything else.
    bool ParseValue(const std::wstring& text, double& value) const;

    void RedrawFrame() override;

protected:
    virtual void DoValueChanged();
    virtual void DoUp() { IncrementValue(); }
    virtual void DoDown() { DecrementValue(); }
    void UpdateText();
    void KeyDown(WORD& key, classlib::TShiftState shift) override;
    void KeyPress(wchar_t& key) override;
    void CMExit(classlib::TMessage& message) override;

private:
    classlib::TComponentRef<TUiSpinButton> FSpinButton;
    int FDecimal = 2;
    double FIncrement = 1;
    double FMinValue = 0;
    double FMaxValue = 100;
    double FValue = 0;
    TSEValueType FValueType = evtInteger;
    std::wstring FPrefix, FPostfix;
};

}  // namespace ui
