#pragma once
// The themed list controls of the dialogs: combo box, list box and check list box. They
// keep all item handling of the Unicode controls and add a frame painted by the theme, hot
// tracking and themed item backgrounds. List boxes are always owner-drawn (fixed height), so
// that their selection is themed too.
//
// Main thread only.

#include <windows.h>

#include "controls/toolbar/themed/thmnexus.h"
#include "controls/toolbar/ui/uicaptions.h"
#include "controls/toolbar/ui/uitypes.h"
#include "controls/wide/widechecklist.h"
#include "controls/wide/widecombo.h"
#include "controls/wide/widelistbox.h"

namespace ui {

// Posted by a combo box to itself when the mouse enters (WParam 1) or leaves (0) it, so that
// moving between the box and its own edit window settles before the hot state changes.
constexpr UINT CM_UICOMBOHOVER = classlib::CM_BASE + 3000;

class TUiComboBox : public wide::TWideComboBox, public themed::TThmThemeClient {
public:
    explicit TUiComboBox(classlib::TComponent* owner);
    ~TUiComboBox() override;

    // Drawn hot while focused or under the mouse; without it a thtThm box is drawn hot only
    // while its list is dropped down.
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool value) { FHotTrack = value; }
    TUiThemeType ThemeType() const { return FThemeType; }
    void SetThemeType(TUiThemeType value);
    bool Hot() const { return FHot; }
    // Whether the frame is drawn hot now.
    bool DrawnHot();
    TUiDrawEvent OnDrawBackground;

    void HandleThemeChange(int change, bool themeSwitched) override;

protected:
    virtual void DoDrawBackground(classlib::TCanvas& canvas, const RECT& rect, TUiPaintStage stage,
                                  bool& paintDefault);
    // The width of the drop-down button (none for csSimple).
    int ButtonWidth();
    bool CursorOnButton();
    void TearDown() override;
    void Dispatch(classlib::TMessage& message) override;
    void CNCommand(classlib::TMessage& message) override;
    void CMEnter(classlib::TMessage& message) override;
    void CMExit(classlib::TMessage& message) override;
    void CMMouseEnter(classlib::TMessage& message) override;
    void CMMouseLeave(classlib::TMessage& message) override;

private:
    void PaintOver();
    void Hover(bool enter);
    bool FHotTrack = true;
    bool FHot = false;
    bool FCursorOnButton = false;
    TUiThemeType FThemeType = thtThm;
    bool FReleased = false;
};

// What both themed list boxes add to their base.
template <class TBase>
class TUiListBoxBase : public TBase, public themed::TThmThemeClient {
public:
    explicit TUiListBoxBase(classlib::TComponent* owner);
    ~TUiListBoxBase() override;

    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool value);
    TUiThemeType ThemeType() const { return FThemeType; }
    void SetThemeType(TUiThemeType value);
    bool Hot() const { return FHot; }
    // Replaces the item's background painting.
    wide::TDrawItemEvent OnDrawItemBackground;

    void HandleThemeChange(int change, bool themeSwitched) override;

protected:
    virtual void DrawItemBackground(int index, RECT rect, wide::TOwnerDrawState state);
    // Room on the left of an item that the item text leaves free (check boxes).
    virtual int ItemIndent(int index) { return 0; }
    // The text of an item (OnDrawItem replaces it).
    void DrawItem(int index, RECT rect, wide::TOwnerDrawState state) override;
    void CNDrawItem(classlib::TMessage& message) override;
    void CreateParams(classlib::TCreateParams& params) override;
    void TearDown() override;
    void WndProc(classlib::TMessage& message) override;
    void CMFocusChanged(classlib::TMessage& message) override;
    void CMMouseEnter(classlib::TMessage& message) override;
    void CMMouseLeave(classlib::TMessage& message) override;
    void RedrawFrame();
    void SetHot(bool value);

    bool FHot = false;
    bool FHotTrack = true;
    TUiThemeType FThemeType = thtThm;
    bool FFocused = false;
    bool FReleased = false;
};

class TUiListBox : public TUiListBoxBase<wide::TWideListBox> {
public:
    using TUiListBoxBase::TUiListBoxBase;
};

class TUiCheckListBox : public TUiListBoxBase<wide::TWideCheckListBox> {
public:
    using TUiListBoxBase::TUiListBoxBase;
    // The colours of header items.
    classlib::TColor HeaderColor = classlib::clInfoText;
    classlib::TColor HeaderBackgroundColor = classlib::clInfoBk;

protected:
    void DrawItemBackground(int index, RECT rect, wide::TOwnerDrawState state) override;
    int ItemIndent(int index) override { return Header(index) ? 0 : CheckWidth(); }
    void CNDrawItem(classlib::TMessage& message) override;
};

}  // namespace ui
