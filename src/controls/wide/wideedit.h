// The Unicode single-line edit and multi-line memo over the system EDIT control.
//
// Positions (SelStart, SelLength) count UTF-16 code units, so a surrogate pair is two.
// The password character is any UTF-16 character (also above 255); changing it on an
// existing window keeps that window and repaints it. The edit never limits the length of
// what can be typed unless MaxLength says so (the system's default limit is lifted), so
// long registry strings can be entered.
//
// Memo lines are read from the memo's whole text, so a line of any length can be read.
// The line list acts on the window directly (it makes the window when needed; the memo
// must have a parent by then). Main thread only.
#pragma once

#include "classlib/control.h"
#include "controls/wide/widestrings.h"

#include <memory>
#include <string>

namespace wide {

// The edit operations over any edit window of ours (the themed edits use them too).
int WideEditGetSelStart(classlib::TWinControl* control);
void WideEditSetSelStart(classlib::TWinControl* control, int value);
int WideEditGetSelLength(classlib::TWinControl* control);
void WideEditSetSelLength(classlib::TWinControl* control, int value);
std::wstring WideEditGetSelText(classlib::TWinControl* control);
void WideEditSetSelText(classlib::TWinControl* control, const std::wstring& value);

class TWideCustomEdit : public classlib::TWinControl {
public:
    explicit TWideCustomEdit(classlib::TComponent* owner);

    std::wstring Text() { return GetText(); }
    int SelStart() { return WideEditGetSelStart(this); }
    void SetSelStart(int value) { WideEditSetSelStart(this, value); }
    int SelLength() { return WideEditGetSelLength(this); }
    void SetSelLength(int value) { WideEditSetSelLength(this, value); }
    std::wstring SelText() { return WideEditGetSelText(this); }
    void SetSelText(const std::wstring& value) { WideEditSetSelText(this, value); }
    void SelectAll();

    // 0 = none.
    wchar_t PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(wchar_t value);
    // 0 = no limit (the default).
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value);

    // Fired when the text changes (typed or set).
    classlib::TNotifyEvent OnChange;

protected:
    void CreateParams(classlib::TCreateParams& params) override;
    void CreateHandle() override;
    void CNCommand(classlib::TMessage& m) override;
    virtual void Change();

    wchar_t FPasswordChar = 0;
    int FMaxLength = 0;
    bool FReadOnly = false;
};

class TWideEdit : public TWideCustomEdit {
public:
    using TWideCustomEdit::TWideCustomEdit;
};

class TWideCustomMemo;

// The lines of a memo, read from and written to its window.
class TWideMemoStrings : public TWideStrings {
public:
    explicit TWideMemoStrings(TWideCustomMemo* memo) : FMemo(memo) {}
    std::wstring Get(int index) const override;
    int GetCount() const override;
    std::wstring GetTextStr() const override;
    void Put(int index, const std::wstring& s) override;
    // Stores the text with CR LF line breaks; the same text again changes nothing.
    void SetTextStr(const std::wstring& value) override;
    void Clear() override;
    void Delete(int index) override;
    // Inserting at the line count appends after the last line when that line is not
    // empty, and does nothing when it is empty; a negative index does nothing.
    void InsertObject(int index, const std::wstring& s, void* object) override;

protected:
    void SetUpdateState(bool updating) override;

private:
    HWND Wnd() const;
    TWideCustomMemo* FMemo;
};

class TWideCustomMemo : public TWideCustomEdit {
public:
    explicit TWideCustomMemo(classlib::TComponent* owner);
    TWideStrings& Lines() { return *FLines; }
    void SetLines(const TWideStrings& value) { FLines->Assign(value); }
    // Changing these re-creates an existing window (the text stays).
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);
    enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle value);
    bool WantReturns = true;
    bool WantTabs = false;

protected:
    void CreateParams(classlib::TCreateParams& params) override;
    void WndProc(classlib::TMessage& m) override;

private:
    std::unique_ptr<TWideMemoStrings> FLines;
    bool FWordWrap = true;
    TScrollStyle FScrollBars = ssNone;
};

class TWideMemo : public TWideCustomMemo {
public:
    using TWideCustomMemo::TWideCustomMemo;
};

}  // namespace wide
