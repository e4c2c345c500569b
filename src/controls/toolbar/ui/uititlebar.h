#pragma once
// The caption buttons of compound bars (TUiButtonOptions: a caption label and close, maximize
// and minimize buttons on the bar's toolbar, shared with the dockable panels), and the title
// bar: a compound bar that replaces a form's own caption and frame by a themed caption strip
// with system-menu, minimize, maximize and close buttons and resizing borders.
//
// The title bar watches its form's window (a subclass procedure, removed again when the bar
// goes or the form's window is destroyed). Main thread only.

#include <windows.h>

#include <memory>
#include <string>

#include "classlib/form.h"
#include "classlib/graphics.h"
#include "controls/toolbar/ui/uiskin.h"
#include "controls/toolbar/ui/uitoolbar.h"

namespace ui {

// --- caption buttons ----------------------------------------------------------------------------

// The caption label and caption buttons a bar shows on its toolbar. Made by the bar, which
// then calls CreateButtons (the buttons are made by the most derived class).
class TUiButtonOptions {
public:
    TUiButtonOptions(classlib::TControl* parentControl, TUiToolbar* toolbar);
    virtual ~TUiButtonOptions() = default;
    TUiButtonOptions(const TUiButtonOptions&) = delete;
    TUiButtonOptions& operator=(const TUiButtonOptions&) = delete;

    TUiCustomItem* CloseItem() const { return FCloseItem; }
    TUiCustomItem* MinimizeItem() const { return FMinimizeItem; }
    TUiCustomItem* MaximizeItem() const { return FMaximizeItem; }
    TUiRightAlignSpacerItem* CaptionItem() const { return FCaptionItem; }
    classlib::TControl* ParentControl() const { return FParentControl; }
    TUiToolbar* Toolbar() const { return FToolbar; }

    // Image indexes in the toolbar's images; -1 (and anything negative) uses the glyph list.
    int CaptionImageIndex() const { return FCaptionImageIndex; }
    void SetCaptionImageIndex(int value);
    int CloseImageIndex() const { return FCloseImageIndex; }
    void SetCloseImageIndex(int value);
    int MinimizeImageIndex() const { return FMinimizeImageIndex; }
    void SetMinimizeImageIndex(int value);
    int MaximizeImageIndex() const { return FMaximizeImageIndex; }
    void SetMaximizeImageIndex(int value);
    // For both the minimize and the maximize button while they restore.
    int RestoreImageIndex() const { return FRestoreImageIndex; }
    void SetRestoreImageIndex(int value);
    const std::wstring& CaptionText() const { return FCaptionText; }
    void SetCaptionText(const std::wstring& value);
    bool Caption() const { return FCaption; }
    void SetCaption(bool value);
    bool Close() const { return FClose; }
    void SetClose(bool value);
    bool Minimize() const { return FMinimize; }
    void SetMinimize(bool value);
    bool Maximize() const { return FMaximize; }
    void SetMaximize(bool value);
    // The buttons show a face (not with the "Default" theme).
    bool ButtonBorders() const { return FButtonBorders; }
    void SetButtonBorders(bool value) { FButtonBorders = value; }
    // The toolbar's largest item height and the buttons' height.
    int TitleBarSize() const { return FTitleBarSize; }
    void SetTitleBarSize(int value);

    virtual void ButtonDrawImage(TUiCustomItem* sender, classlib::TCanvas& canvas, const themed::TThmItemInfo& info,
                                 TUiPaintStage stage, classlib::TImageList*& images, int& imageIndex, RECT& rect,
                                 bool& paintDefault) {}
    // In the pre stage: no face unless ButtonBorders and a theme other than "Default".
    virtual void ButtonDrawItem(TUiCustomItem* sender, classlib::TCanvas& canvas, const RECT& rect,
                                const themed::TThmItemInfo& info, TUiPaintStage stage, bool& paintDefault);
    virtual void ButtonClick(TUiCustomItem* sender) = 0;
    // Adds the caption label, then the close, maximize and minimize buttons.
    virtual void CreateButtons();
    // The caption label bold and cut with an ellipsis at its end, the buttons at the end
    // (minimize, maximize, close), the label filling the free room.
    virtual void SetupButtons();
    // The label shows while any of Caption, Close, Maximize, Minimize is on.
    virtual void UpdateCaptionVisibility();
    virtual void SetupButton(TUiCustomItem* item);
    virtual bool IsRestoreButton(TUiCustomItem* item) = 0;
    virtual void UpdateButtonImage(TUiCustomItem* item);

protected:
    // The glyph list and glyph for -1, else the toolbar's images and the index.
    void SetButtonImage(TUiCustomItem* item, int index, int glyph);

private:
    classlib::TControl* FParentControl;
    TUiToolbar* FToolbar;
    TUiCustomItem* FCloseItem = nullptr;
    TUiCustomItem* FMinimizeItem = nullptr;
    TUiCustomItem* FMaximizeItem = nullptr;
    TUiRightAlignSpacerItem* FCaptionItem = nullptr;
    int FCaptionImageIndex = -1, FCloseImageIndex = -1, FMinimizeImageIndex = -1, FMaximizeImageIndex = -1,
        FRestoreImageIndex = -1;
    std::wstring FCaptionText;
    bool FCaption = true, FClose = true, FMinimize = true, FMaximize = true;
    bool FButtonBorders = false;
    int FTitleBarSize = 17;
};

// --- title bar ----------------------------------------------------------------------------------

class TUiCustomTitleBar;

class TUiTitleToolbar : public TUiToolbar {
public:
    explicit TUiTitleToolbar(classlib::TComponent* owner);
    int GetRightAlignMargin() override { return 4; }

protected:
    // Dragging the form by its caption, maximizing on a double click, the system menu.
    void MouseDown(classlib::TMouseButton button, classlib::TShiftState shift, int x, int y) override;
};

class TUiTitleBarButtonOptions : public TUiButtonOptions {
public:
    TUiTitleBarButtonOptions(TUiCustomTitleBar* titleBar, TUiToolbar* toolbar);

    bool SystemMenu() const { return FSystemMenu; }
    void SetSystemMenu(bool value);
    TUiCustomItem* SystemMenuItem() const { return FSystemMenuItem; }
    int SystemImageIndex() const { return FSystemImageIndex; }
    void SetSystemImageIndex(int value);

    void ButtonDrawItem(TUiCustomItem* sender, classlib::TCanvas& canvas, const RECT& rect,
                        const themed::TThmItemInfo& info, TUiPaintStage stage, bool& paintDefault) override;
    void ButtonClick(TUiCustomItem* sender) override;
    void CreateButtons() override;
    void SetupButtons() override;
    bool IsRestoreButton(TUiCustomItem* item) override;
    void UpdateButtonImage(TUiCustomItem* item) override;

private:
    TUiCustomTitleBar* FTitleBar;
    bool FSystemMenu = true;
    TUiCustomItem* FSystemMenuItem = nullptr;
    int FSystemImageIndex = -1;
    // The program's small icon (destroyed with the options).
    HICON FSmallIcon = nullptr;

public:
    ~TUiTitleBarButtonOptions() override;
};

class TUiCustomTitleBar : public TUiCompoundBar {
public:
    explicit TUiCustomTitleBar(classlib::TComponent* owner);
    ~TUiCustomTitleBar() override;

    // The bar replaces the form's caption and frame: on, the form has no border of its own and
    // becomes smaller by its caption and frame (unless maximized); off gives them back.
    bool Active() const { return FActive; }
    void SetActive(bool value);
    bool FixedSize() const { return FFixedSize; }
    void SetFixedSize(bool value) { FFixedSize = value; }
    // Maximized, the form covers the whole monitor rather than the work area.
    bool FullScreenMaximize() const { return FFullScreenMaximize; }
    void SetFullScreenMaximize(bool value);
    // The theme's dock background under the frame.
    bool ThmStyleBackground() const { return FThmStyleBackground; }
    void SetThmStyleBackground(bool value);
    TUiTitleBarButtonOptions& Options() { return *FOptions; }
    classlib::TForm* ParentForm() const { return FParentForm; }
    int FrameWidth() const { return FFrameWidth; }

    TUiDrawEvent OnDrawBackground;
    TUiPopupEvent OnSystemMenuPopup;
    virtual void DoDrawBackground(classlib::TCanvas& canvas, const RECT& rect, TUiPaintStage stage,
                                  bool& paintDefault);
    virtual void ShowSystemMenu(POINT screenPoint);

    // The resizing zone at a client point (SC_SIZE + 1..8, 0 for none) and its cursor.
    int HitTest(POINT point, LPCWSTR& cursor);
    void DoDrawDockBackground(classlib::TCanvas& canvas, const RECT& rect, TUiPaintStage stage,
                              bool& paintDefault) override;
    // Watches the form's window and applies Active.
    void Loaded() override;
    void SetParent(classlib::TWinControl* parent) override;
    void AdjustClientRect(RECT& rect) override;
    void HandleThemeChange(int change, bool themeSwitched) override;

protected:
    void CreateParams(classlib::TCreateParams& params) override;
    void Dispatch(classlib::TMessage& message) override;
    void MouseDown(classlib::TMouseButton button, classlib::TShiftState shift, int x, int y) override;
    void TearDown() override;

private:
    static LRESULT CALLBACK FormHook(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
    bool HandleFormMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    void Attach();
    void Detach();
    void ApplyActive(bool value);
    void EraseFrame(HDC dc);

    bool FActive = true;
    bool FFixedSize = false;
    bool FFullScreenMaximize = false;
    bool FThmStyleBackground = false;
    int FFrameWidth;
    classlib::TForm* FParentForm = nullptr;
    HWND FHookedWindow = nullptr;
    bool FApplied = false;
    std::unique_ptr<TUiTitleBarButtonOptions> FOptions;
    std::unique_ptr<classlib::TBitmap> FCaptionBitmap;
};

class TUiTitleBar : public TUiCustomTitleBar {
public:
    using TUiCustomTitleBar::TUiCustomTitleBar;
};

}  // namespace ui
