#include "controls/toolbar/ui/uiforms.h"

#include "classlib/actions.h"
#include "controls/toolbar/ui/uitabs.h"
#include "controls/wide/wideedit.h"

namespace ui {

using namespace classlib;

const wchar_t* const kOkCaption = L"OK(&O)";
const wchar_t* const kCancelCaption = L"キャンセル";

void SetUpDialog(TForm& form, const TDialogFrame& frame) {
    form.SetCaption(frame.Caption);
    form.SetBorderStyle(frame.Sizeable ? bsSizeable : bsDialog);
    form.SetBorderIcons(frame.Icons);
    form.SetPosition(frame.Position);
    form.SetClientSize(frame.ClientWidth, frame.ClientHeight);
}

std::vector<TPlace> ButtonRow(int right, int top, std::initializer_list<int> widths, int gap, int height) {
    int left = right + gap;
    for (int width : widths) left -= width + gap;
    std::vector<TPlace> places;
    for (int width : widths) {
        places.push_back({left, top, width, height});
        left += width + gap;
    }
    return places;
}

// --- TPlacer --------------------------------------------------------------------------------

void TPlacer::Put(TControl& control, TPlace place) const {
    control.SetParent(FParent);
    if (place.Width == 0 && place.Height == 0)
        control.SetBounds(place.Left, place.Top, control.Width(), control.Height());
    else
        control.SetBounds(place.Left, place.Top, place.Width, place.Height);
}

TUiLabel* TPlacer::Label(const std::wstring& caption, TPlace place, TWinControl* focus) const {
    auto* label = Add<TUiLabel>(caption, place);
    label->SetFocusControl(focus);
    return label;
}

TUiCheckBox* TPlacer::Check(const std::wstring& caption, TPlace place, bool checked) const {
    auto* box = Add<TUiCheckBox>(caption, place);
    if (checked) box->SetChecked(true);
    return box;
}

TUiRadioButton* TPlacer::Radio(const std::wstring& caption, TPlace place, bool checked) const {
    auto* radio = Add<TUiRadioButton>(caption, place);
    if (checked) radio->SetChecked(true);
    return radio;
}

TUiButton* TPlacer::Button(const std::wstring& caption, TPlace place, TModalResult result,
                           std::function<void()> onClick) const {
    auto* button = Add<TUiButton>(caption, place);
    button->ModalResult = result;
    if (onClick) button->OnClick = [onClick = std::move(onClick)](TComponent*) { onClick(); };
    return button;
}

TUiPanel* TPlacer::Panel(TPlace place, TAlign align, bool borders) const {
    auto* panel = Add<TUiPanel>(place);
    panel->SetBorders(borders);
    panel->SetAlign(align);
    return panel;
}

void SetMargins(themed::TThmControlMargins& margins, int room) {
    margins.SetLeft(room);
    margins.SetTop(room);
    margins.SetRight(room);
    margins.SetBottom(room);
}

void ShowReadOnly(wide::TWideCustomEdit& edit) {
    edit.SetReadOnly(true);
    edit.SetColor(clBtnFace);
}

// --- the OK/Cancel pair -----------------------------------------------------------------------

TOkCancel AddOkCancel(const TPlacer& at, const TOkCancelPlaces& places, std::function<bool()> accept) {
    TOkCancel pair;
    auto addCancel = [&] {
        pair.Cancel = at.Button(kCancelCaption, places.Cancel, mrCancel);
        pair.Cancel->Cancel = true;
    };
    if (places.CancelFirst) addCancel();
    if (accept) {
        pair.Ok = at.Button(places.OkCaption, places.Ok, mrNone);
        pair.Ok->OnClick = [ok = pair.Ok, accept = std::move(accept)](TComponent*) {
            if (!accept()) return;
            if (TForm* form = GetParentForm(ok)) form->SetModalResult(mrOk);
        };
    } else {
        pair.Ok = at.Button(places.OkCaption, places.Ok, mrOk);
    }
    pair.Ok->SetDefault(true);
    if (!places.CancelFirst) addCancel();
    pair.Ok->SetAnchors(places.Anchors);
    pair.Cancel->SetAnchors(places.Anchors);
    return pair;
}

// --- pages ------------------------------------------------------------------------------------

void TNotebookPages::Show(int index) const {
    for (size_t i = 0; i < Pages.size(); ++i) Pages[i]->SetVisible(static_cast<int>(i) == index);
}

TNotebookPages AddNotebook(const TPlacer& at, TPlace place, TAlign align, int pageCount) {
    TNotebookPages pages;
    pages.Notebook = at.Panel(place, align);
    const TPlacer inside = at.On(pages.Notebook);
    for (int i = 0; i < pageCount; ++i)
        pages.Pages.push_back(inside.Panel({0, 0, place.Width, place.Height}, alClient));
    return pages;
}

TTabPages AddTabPages(const TPlacer& at, TPlace place, std::initializer_list<std::wstring> captions) {
    TTabPages pages;
    pages.Tabs = at.Add<TUiTabControl>(place);
    for (const std::wstring& caption : captions) {
        auto* tab = new TUiTabItem(at.Owner());
        tab->SetCaption(caption);
        pages.Tabs->Items()->Add(tab);
        pages.Sheets.push_back(dynamic_cast<TUiTabSheet*>(tab->Control()));
    }
    return pages;
}

// --- menus ------------------------------------------------------------------------------------

TMenuItem* AddMenuItem(TComponent* owner, TMenuItem* parent, const std::wstring& caption,
                       std::function<void()> onClick) {
    auto* item = new TMenuItem(owner);
    item->SetCaption(caption);
    if (onClick) item->OnClick = [onClick = std::move(onClick)](TComponent*) { onClick(); };
    parent->Add(item);
    return item;
}

TMenuItem* AddMenuItem(TComponent* owner, TMenuItem* parent, TAction* action) {
    auto* item = new TMenuItem(owner);
    item->SetAction(action);
    parent->Add(item);
    return item;
}

}  // namespace ui
