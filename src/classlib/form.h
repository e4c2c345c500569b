// Forms: top-level windows (modeless or modal), MDI frames and MDI children.
//
// - Forms are built in code in the constructor of their class. Top-level forms are owned
//   (in the window sense) by the application window; the main form shows on the taskbar.
// - Close() asks OnCloseQuery, then OnClose decides: hide (default), free (deferred with
//   Release), minimise, or nothing. Closing the main form ends the application.
// - ShowModal() disables the other windows of the thread, runs the message loop until
//   ModalResult is not 0 (a button with a modal result sets it; Close() sets mrCancel),
//   re-enables them and returns the result. 1 OK, 2 Cancel, 6 Yes, 7 No.
// - An MDI frame (fsMDIForm) has a client window that holds the fsMDIChild forms; a child
//   can only be made when the main form is a frame.
// - A form placed on another control (SetParent) is a child window of it, framed as its
//   border style says; taken off again, it gets a top-level window.
// Forms belong to the main thread.
#pragma once

#include "classlib/control.h"

#include <functional>
#include <string>

namespace classlib {

class TMainMenu;
class TActionList;

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter,
                 poDesktopCenter, poMainFormCenter, poOwnerFormCenter };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
using TBorderIcons = unsigned;
constexpr TBorderIcons biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8;

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    // Builds the window if needed and shows it (brings it to the front).
    void Show();
    void Hide() { SetVisible(false); }
    void SetVisible(bool value) override;
    void Close();
    virtual bool CloseQuery();
    TModalResult ShowModal();
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult value) { FModalResult = value; }
    bool IsModal() const { return FModal; }
    // Destroys the form once the current message is done.
    void Release();

    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle value);
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle value);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition value) { FPosition = value; }
    TWindowState WindowState() const;
    void SetWindowState(TWindowState value);
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool value) { FKeyPreview = value; }
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* menu);
    // The window drawing the form's background and caption metrics (for measuring text).
    TCanvas& Canvas();

    // --- focus
    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* control);
    // Focuses `control` (a control on this form), or remembers it while the form is hidden.
    void FocusControl(TWinControl* control);
    // Called when `control` got the focus: fires CM_EXIT / CM_ENTER.
    void SetFocusedControl(TWinControl* control);
    // A control is leaving the form: forget it.
    void ControlRemoved(TControl* control);
    // `control` arrived on the form holding the focus (its window moved here from another
    // parent): it becomes the active control without a new CM_ENTER, and the control that
    // was focused here before gets CM_EXIT.
    void FocusMovedIn(TWinControl* control);

    // --- MDI
    HWND ClientHandle() const { return FClientHandle; }
    int MDIChildCount();
    TForm* MDIChildren(int index);
    TForm* ActiveMDIChild();
    void Cascade();
    void Tile();
    void ArrangeIcons();
    void Next();
    void Previous();

    // --- actions and shortcuts
    // Runs the update of every action of this form (its action lists and its controls' actions).
    virtual void UpdateActions();
    // The form's actions and main menu get the key first. True when it was used.
    virtual bool IsShortCut(WORD key, TShiftState shift);
    // Calls OnCreate (the derived constructor calls it once the form is built).
    virtual void DoCreate();

    std::function<void(TComponent* sender, TCloseAction& action)> OnClose;
    std::function<void(TComponent* sender, bool& canClose)> OnCloseQuery;
    TNotifyEvent OnCreate, OnShow, OnHide, OnDestroy, OnActivate, OnDeactivate, OnPaint;

    using TWinControl::KeyDown;
    using TWinControl::KeyPress;

protected:
    // OnDestroy (the form still whole, children and window there), then the form leaves the
    // application and the screen, then the controls and window go (TWinControl).
    void TearDown() override;
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void CreateHandle() override;
    void DestroyWindowHandle() override;
    void DefaultHandler(TMessage& message) override;
    void Dispatch(TMessage& message) override;
    void AdjustClientRect(RECT& rect) override;
    void AlignControls(TControl* control, RECT& rect) override;
    void PaintWindow(HDC dc) override;
    void CMDialogKey(TMessage& m) override;
    void CMShowingChanged(TMessage& m) override;
    virtual void WMClose(TMessage& m);
    virtual void WMActivate(TMessage& m);
    virtual void WMMDIActivate(TMessage& m);
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& action);
    void PlaceByPosition();
    void UpdateActionsOf(TComponent* owner);
    // The main menu was destroyed: the window shows none.
    void MenuFreed();

    TFormStyle FFormStyle = fsNormal;
    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize;
    TPosition FPosition = poDefaultPosOnly;
    TWindowState FWindowState = wsNormal;
    bool FKeyPreview = false;
    TModalResult FModalResult = mrNone;
    bool FModal = false;
    bool FPlaced = false;
    bool FShown = false;
    TComponentRef<TMainMenu> FMenu{[this] { MenuFreed(); }};
    TComponentRef<TWinControl> FActiveControl;
    TComponentRef<TWinControl> FFocusedControl;
    HWND FClientHandle = nullptr;
    WNDPROC FClientDefProc = nullptr;
    std::unique_ptr<TCanvas> FCanvas;
    HWND FPrevFocus = nullptr;

private:
    void LeaveForDestruction();
};

}  // namespace classlib
