// The floating form of a dockable window, and the plain resizable tool window.
//
// TBarFloatingWindowParent is the small tool form that hosts one floating dockable window
// (tbdockable.h): it draws the floating frame, the small caption and its close button,
// answers the frame's hit tests (2001 close button, 2002 caption, the resizing edges),
// starts dragging and resizing, and keeps the activation with the owner form, so that a
// floating toolbar never takes the focus from the main window. It is made and freed by its
// window, never by anyone else.
//
// TBarToolWindow is the dockable window whose contents are ordinary controls, with limits
// on its client size.
//
// Main thread only.
#pragma once

#include "classlib/form.h"
#include "controls/toolbar/tbdockable.h"

#include <windows.h>

#include <functional>

namespace toolbar {

// Frame parts of a floating parent (bit set).
constexpr unsigned fpFrame = 1, fpCaption = 2, fpCloseButton = 4, fpAll = 7;

class TBarFloatingWindowParent : public classlib::TForm {
public:
    explicit TBarFloatingWindowParent(classlib::TComponent* owner);
    ~TBarFloatingWindowParent() override;

    TBarCustomDockableWindow* DockableWindow() const { return FDockableWindow; }
    classlib::TForm* ParentForm() const { return FParentForm; }
    void SetParentForm(classlib::TForm* form) { FParentForm = form; }
    // Set by the hosted window's showing logic: the form's window shows only while this
    // and Visible hold.
    bool ShouldShow() const { return FShouldShow; }
    void SetShouldShow(bool value) { FShouldShow = value; }
    // Shows or hides the window by Visible and ShouldShow, never activating it.
    void UpdateShowing();
    // The hosted window no longer uses this form: it hides, forgets the window and is freed
    // after the current message (it may be the window whose message is running).
    void Abandon();
    void SetVisible(bool value) override;

    bool CloseButtonPushed() const { return FCloseButtonPushed; }
    void SetCloseButtonPushed(bool value);

    // The caption in client coordinates (toWindow: window coordinates); without the close
    // button's square when withoutCloseButton.
    RECT CaptionRect(bool toWindow, bool withoutCloseButton);
    RECT CloseButtonRect(bool toWindow);
    // Frame parts fpFrame | fpCaption | fpCloseButton.
    virtual void DrawNCArea(bool drawToDC, HDC dc, unsigned parts, HRGN region);
    // Repaints frame parts (only with a visible window).
    void RedrawNCArea(unsigned parts);
    // The hit code at a point relative to the window's top-left corner.
    LRESULT HitTestFrame(POINT p);

    void AlignControls(classlib::TControl* control, RECT& rect) override {}

protected:
    friend class TBarCustomDockableWindow;
    void CreateParams(classlib::TCreateParams& params) override;
    void Dispatch(classlib::TMessage& message) override;
    void CMDialogKey(classlib::TMessage& message) override;
    void WMActivate(classlib::TMessage& message) override;
    void WMClose(classlib::TMessage& message) override;
    void SetDockableWindow(TBarCustomDockableWindow* window) { FDockableWindow = window; }

private:
    HWND OwnerFormWindow();
    void WMMouseActivate(classlib::TMessage& m);
    void WMNCLButtonDown(classlib::TMessage& m);

    bool FCloseButtonPushed = false;
    TBarCustomDockableWindow* FDockableWindow = nullptr;
    classlib::TComponentRef<classlib::TForm> FParentForm;
    bool FShouldShow = false;
};

// The form that stands for an MDI child: its frame (the main form); any other form itself.
classlib::TForm* ResolveMDIChildForm(classlib::TForm* form);
// The window that takes the activation when a floating window hides: the owner form when it
// can, else the main form.
HWND FindActivatableWindow(classlib::TForm* ownerForm);
// Tracks a press on a button drawn in a frame: while the left button is held the button
// shows pushed whenever the cursor is over it. True when released over it.
bool TrackButtonPress(HWND wnd, const std::function<bool(POINT screen)>& overButton,
                      const std::function<void(bool pushed)>& setPushed);

class TBarToolWindow : public TBarCustomDockableWindow {
public:
    explicit TBarToolWindow(classlib::TComponent* owner);

    int MinClientWidth() const { return FMinClientWidth; }
    void SetMinClientWidth(int value) { FMinClientWidth = value; }
    int MinClientHeight() const { return FMinClientHeight; }
    void SetMinClientHeight(int value) { FMinClientHeight = value; }
    int MaxClientWidth() const { return FMaxClientWidth; }
    void SetMaxClientWidth(int value) { FMaxClientWidth = value; }
    int MaxClientHeight() const { return FMaxClientHeight; }
    void SetMaxClientHeight(int value) { FMaxClientHeight = value; }
    int ClientAreaWidth();
    void SetClientAreaWidth(int value);
    int ClientAreaHeight();
    void SetClientAreaHeight(int value);
    // Sets the client size the window wants (the frame comes on top when parented).
    void ApplyClientAreaSize(int width, int height);

    void LayoutContent(bool applyCurrent, TBarDockKind currentKind, bool targetFloating, TBarDock* targetDock,
                       SIZE& size) override;
    void GetContentSize(SIZE& size) override;
    void GetClientSizeLimits(int& minWidth, int& minHeight, int& maxHeight, int& maxWidth) override;
    void BeforeSizeChange(int width, int height) override;
    void ReadExtraLayout(const TBarLayoutReadProc& reader) override;
    void WriteExtraLayout(const TBarLayoutWriteProc& writer) override;

private:
    SIZE SizeForDock(TBarDock* dock);

    int FMinClientWidth = 32, FMinClientHeight = 32;
    int FMaxClientWidth = 0, FMaxClientHeight = 0;
    int FStoredClientHeight = 32, FStoredClientWidth = 32;
};

}  // namespace toolbar
