// The Unicode combo box over the system COMBOBOX control.
//
// Items acts on the window directly (it makes the window when needed; the combo box must
// have a parent by then). Clearing the items keeps the typed text. Re-creating the window
// keeps the items, the selected index and the text.
//
// Edit styles (csDropDown, csSimple) complete while typing at the end of the text: the
// rest of the first item that starts with the typed text (ignoring case) is appended and
// selected, the typed characters stay as typed. List styles search by type-ahead: the
// keys typed within 1250 ms of each other form the search text; a longer pause starts a
// new search. Main thread only.
#pragma once

#include "classlib/control.h"
#include "controls/wide/widelistbox.h"
#include "controls/wide/widestrings.h"

#include <memory>
#include <string>

namespace wide {

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TWideCustomComboBox;

class TWideComboBoxStrings : public TWideStrings {
public:
    explicit TWideComboBoxStrings(TWideCustomComboBox* comboBox) : FComboBox(comboBox) {}
    std::wstring Get(int index) const override;
    int GetCount() const override;
    void* GetObject(int index) const override;
    void PutObject(int index, void* object) override;
    // A refused item raises EOutOfResources "行を挿入できません".
    int AddObject(const std::wstring& s, void* object) override;
    // Removes the items and keeps the text.
    void Clear() override;
    void Delete(int index) override;
    // Case-insensitive, as the system compares.
    int IndexOf(const std::wstring& s) const override;
    void InsertObject(int index, const std::wstring& s, void* object) override;

protected:
    void SetUpdateState(bool updating) override;

private:
    HWND Wnd() const;
    TWideCustomComboBox* FComboBox;
};

class TWideCustomComboBox : public classlib::TWinControl, public IWideItemList {
public:
    explicit TWideCustomComboBox(classlib::TComponent* owner);
    ~TWideCustomComboBox() override;

    TWideStrings& Items() { return *FItems; }
    TWideStrings& GetItems() { return *FItems; }
    void SetItems(const TWideStrings& value) { FItems->Assign(value); }
    std::wstring Text() { return GetText(); }
    int ItemIndex();
    void SetItemIndex(int value);
    bool DroppedDown();
    void SetDroppedDown(bool value);
    // Positions in UTF-16 code units within the edit part (0 for list styles).
    int SelStart();
    void SetSelStart(int value);
    int SelLength();
    void SetSelLength(int value);
    std::wstring SelText();
    // Replaces the selection of the edit part; list styles ignore it.
    void SetSelText(const std::wstring& value);

    void AddItem(const std::wstring& item, void* object) override { FItems->AddObject(item, object); }
    void CopySelection(IWideItemList* destination);

    // Style takes effect when the window is (re-)created.
    TComboBoxStyle Style() const { return FStyle; }
    // Re-creates an existing window.
    void SetStyle(TComboBoxStyle value);
    bool AutoComplete = true;
    bool AutoDropDown = false;
    bool AutoCloseUp = false;
    int DropDownCount = 8;
    int ItemHeight = 16;
    int MaxLength = 0;

    classlib::TNotifyEvent OnChange, OnSelect, OnDropDown, OnCloseUp;
    TDrawItemEvent OnDrawItem;

    bool IsEditStyle() const { return FStyle == csDropDown || FStyle == csSimple; }
    // The edit part of the edit styles (null otherwise or without a window).
    HWND EditHandle() const { return FEditHandle; }

protected:
    friend class TWideComboBoxStrings;
    friend LRESULT CALLBACK ComboEditProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    void CreateParams(classlib::TCreateParams& params) override;
    void CreateWnd() override;
    void WMDestroy(classlib::TMessage& m) override;
    void WMChar(classlib::TMessage& m) override;
    void CNCommand(classlib::TMessage& m) override;
    void CNDrawItem(classlib::TMessage& m) override;
    void CNMeasureItem(classlib::TMessage& m) override;
    virtual void Change();
    virtual void Select();
    virtual void DrawItem(int index, RECT rect, TOwnerDrawState state);
    // Auto-complete of the edit part: true when the key was consumed.
    virtual bool EditCharHook(wchar_t& key);
    virtual bool AutoCompleteKeepsTypedText() { return true; }
    virtual bool AutoCompleteNeedsUniqueMatch() { return false; }
    // Selects the item that starts with `searchText`; false when there is none.
    bool SelectMatchingItem(const std::wstring& searchText, bool keepTyped, bool unique);
    // Milliseconds now; tests replace it to type without waiting.
    virtual DWORD TickCount() { return GetTickCount(); }

    std::unique_ptr<TWideComboBoxStrings> FItems;
    std::unique_ptr<TWideStringList> FSaved;
    int FSavedIndex = -1;
    std::wstring FFilter;
    DWORD FLastTypeAhead = 0;
    HWND FEditHandle = nullptr;
    classlib::TCanvas FCanvas;
    TComboBoxStyle FStyle = csDropDown;
};

class TWideComboBox : public TWideCustomComboBox {
public:
    using TWideCustomComboBox::TWideCustomComboBox;
};

}  // namespace wide
