// Controls: TControl (no window), TWinControl (a window, created on demand),
// TGraphicControl (painted by its parent's window) and TCustomControl (own window, own
// painting).
//
// Windows and messages:
// - Every window of ours is a Unicode window. Windows of our own classes run through one
//   window procedure; standard controls (EDIT, BUTTON, SysTreeView32...) keep their class
//   and are subclassed with SetWindowSubclass through the same procedure. Either way the
//   message reaches the virtual WndProc(TMessage&), which dispatches to typed handlers and
//   ends in DefaultHandler (the window's own procedure). An exception raised in a handler
//   never leaves the window procedure: it goes to the exception funnel (errors.h), which
//   queues the report while the window paints (WM_PAINT, WM_NCPAINT, WM_ERASEBKGND,
//   WM_PRINT, WM_PRINTCLIENT) or is being destroyed. A paint that fails leaves the window
//   validated; a window whose paints keep failing is reported once until one succeeds.
// - Perform(msg) calls WndProc directly; CM_* notifications between our objects go this way.
// - Keys: the application's loop turns Tab, arrows, Enter and Esc into dialog keys (focus
//   moves, default/cancel buttons) unless the focused window asks for them: a control of
//   our own class that uses such keys answers WM_GETDLGCODE (DLGC_WANTARROWS, DLGC_WANTTAB,
//   DLGC_WANTALLKEYS, DLGC_WANTCHARS) or returns non-zero for CM_WANTSPECIALKEY.
// - Children with Align fill the client area in the order top, bottom, left, right,
//   client; children with Anchors right/bottom follow changes of the parent's client size.
// - The parent reflects WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM and WM_CTLCOLOR*
//   to the control object as CN_* (message + 0xBC00); the control's result is the answer.
//
// Ownership and lifetime: a control's Owner frees it (TComponent), and a TWinControl also
// frees its child controls when it is destroyed. A window exists from WM_NCCREATE to
// WM_NCDESTROY; the object survives the window (RecreateWnd). Deleting a control sets
// csDestroying and runs TearDown while the whole object still exists: a TWinControl
// deletes its children (each through RemoveControl), then destroys its window through
// DestroyWnd, so overrides of both are reached and every message of the window meets the
// whole object; then the control leaves its parent. The destructors find nothing left to
// do. A control destroyed without delete (a local variable) unbinds its window before
// destroying it, so no message reaches the parts already gone. Windows are not created
// any more once destruction has begun (Handle() stays null).
// Parents: changing the parent of a windowed control whose old and new parents both have
// windows moves its window (SetParent) and keeps it with its state and children; a control
// that stops or starts being top-level gets a new window.
// Everything here belongs to the main thread.
#pragma once

#include "classlib/component.h"
#include "classlib/graphics.h"
#include "classlib/messages.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace classlib {

class TWinControl;
class TForm;
class TBasicAction;
class TControlActionLink;
class TPopupMenu;
class THintWindow;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

using TAnchors = unsigned;
constexpr TAnchors akLeft = 1, akTop = 2, akRight = 4, akBottom = 8;

using TShiftState = unsigned;
constexpr TShiftState ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32,
                      ssDouble = 64;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Cursors: the standard ones are negative; custom ones are registered in Screen->Cursors.
using TCursor = int;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4,
                  crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10,
                  crHourGlass = -11, crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15,
                  crMultiDrag = -16, crNo = -18, crAppStart = -19, crHelp = -20, crHandPoint = -21,
                  crSizeAll = -22;

// Control state bits. csReparenting: the control's window moves to its new parent, so
// RemoveControl keeps it.
constexpr unsigned csLButtonDown = 0x1, csClicked = 0x2, csFocusing = 0x4, csCreating = 0x8,
                   csAligning = 0x10, csReparenting = 0x20;
// Control style bits. Without csDoubleClicks the second press of a double click arrives as a
// press (WM_LBUTTONDOWN) instead of a DblClick.
constexpr unsigned csAcceptsControls = 0x1, csCaptureMouse = 0x2, csClickEvents = 0x8,
                   csSetCaption = 0x20, csOpaque = 0x40, csDoubleClicks = 0x80;
// The control takes menu keys (WM_SYSCOMMAND) passed on to it by its dock or form.
constexpr unsigned csMenuEvents = 0x100;

using TKeyEvent = std::function<void(TComponent* sender, WORD& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TComponent* sender, wchar_t& key)>;
using TMouseEvent = std::function<void(TComponent* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TComponent* sender, TShiftState shift, int x, int y)>;

// The record that CM_HINTSHOW hands to the control under the mouse before its hint shows.
// The control may change any field; a non-zero result cancels the hint.
struct THintInfo {
    class TControl* HintControl = nullptr;
    std::function<THintWindow*()> HintWindowClass;  // makes the window that will show it
    POINT HintPos{};        // screen position of the hint window's top-left corner
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    RECT CursorRect{};      // in the control's client coordinates: moving out hides the hint
    POINT CursorPos{};      // in the control's client coordinates
    int ReshowTimeout = 0;
    int HideTimeout = 0;
    std::wstring HintStr;   // the short hint by default
    void* HintData = nullptr;
};

// Shift state from the keyboard now (or from the key-data of a message where given).
TShiftState KeyboardStateToShiftState();
TShiftState KeysToShiftState(WPARAM keys);

// The TWinControl object of one of our windows, or null.
TWinControl* FindControl(HWND wnd);
// The form a control sits on (the top-level or MDI child form), or null.
TForm* GetParentForm(class TControl* control);

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    // --- messages
    virtual void WndProc(TMessage& message);
    LRESULT Perform(UINT msg, WPARAM wp = 0, LPARAM lp = 0);
    virtual void DefaultHandler(TMessage& message);

    // --- parent and bounds
    TWinControl* Parent() const { return FParent; }
    // Moves the control to `parent` (null: none). A control cannot be put inside itself
    // (EInvalidOperation).
    virtual void SetParent(TWinControl* parent);
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
    void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
    void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
    void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
    virtual void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
    virtual RECT ClientRect();
    int ClientWidth() { RECT r = ClientRect(); return r.right - r.left; }
    int ClientHeight() { RECT r = ClientRect(); return r.bottom - r.top; }
    virtual void SetClientSize(int width, int height);
    void SetClientWidth(int w) { SetClientSize(w, ClientHeight()); }
    void SetClientHeight(int h) { SetClientSize(ClientWidth(), h); }
    POINT ClientToScreen(POINT p);
    POINT ScreenToClient(POINT p);
    // The window that paints this control: its own, or the parent's for windowless ones.
    virtual HWND ParentWindowHandle();
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign value);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors value) { FAnchors = value; }

    // --- appearance and state
    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible and on a parent chain that is visible.
    virtual bool Showing() const;
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool value);
    TFont& Font() { return *FFont; }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool value);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor value);
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* menu);

    // Caption / text (the same thing). Setting the current value does nothing; any other
    // value is stored (in the window when there is one) and CM_TEXTCHANGED follows.
    virtual std::wstring GetText();
    virtual void SetText(const std::wstring& value);
    std::wstring Caption() { return GetText(); }
    void SetCaption(const std::wstring& value) { SetText(value); }

    // Hints: "short|long"; a control without a hint shows its nearest parent's.
    const std::wstring& Hint() const { return FHint; }
    void SetHint(const std::wstring& value) { FHint = value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool value);

    unsigned ControlState() const { return FControlState; }
    unsigned ControlStyle() const { return FControlStyle; }
    void SetControlStyle(unsigned style) { FControlStyle = style; }
    int HelpContext = 0;
    // True for a control that makes hints of its own (per item) also without a Hint text;
    // the application then asks it (CM_HINTSHOW) whenever the mouse rests on it, and again
    // once the mouse leaves the rectangle of the hint shown.
    virtual bool HintsOfItsOwn() { return false; }

    void Invalidate();
    virtual void Update();
    void Repaint() { Invalidate(); Update(); }
    void BringToFront();
    void SendToBack();

    // --- actions
    TBasicAction* Action() const;
    void SetAction(TBasicAction* action);
    TControlActionLink* ActionLink() const { return FActionLink.get(); }
    // Copies caption, hint, enabled, visible... from the action. With checkDefaults only
    // properties still at their defaults are taken.
    virtual void ActionChange(TBasicAction* sender, bool checkDefaults);
    // Runs the action's update (through the link) if the control has one.
    virtual void InitiateAction();
    // Makes the link that ties the control to its action; a control that keeps more
    // properties in step with its action answers a link of its own.
    virtual std::unique_ptr<TControlActionLink> CreateActionLink();

    // --- drag and drop inside the program
    void BeginDrag(bool immediate, int threshold = -1);
    bool Dragging() const;
    // dmAutomatic: a press of the left button starts a drag once the mouse moves far enough
    // (a control that tells of drags itself starts it then: DetectsDrags).
    enum TDragMode { dmManual, dmAutomatic };
    TDragMode DragMode = dmManual;
    TCursor DragCursor = crDrag;

    // --- events
    TNotifyEvent OnClick, OnDblClick, OnResize, OnMouseEnter, OnMouseLeave;
    TMouseEvent OnMouseDown, OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    std::function<void(TComponent* sender, TComponent* source, int x, int y, int state, bool& accept)> OnDragOver;
    std::function<void(TComponent* sender, TComponent* source, int x, int y)> OnDragDrop;
    std::function<void(TComponent* sender, TComponent* target, int x, int y)> OnEndDrag;
    TNotifyEvent OnStartDrag;

    virtual void Click();
    virtual void DblClick();
    // Drag notifications of the source (OnStartDrag / OnEndDrag; target null: cancelled).
    virtual void DoEndDrag(TComponent* target, int x, int y);
    virtual void DoStartDrag();

protected:
    friend class TWinControl;
    friend class TApplication;
    friend class TControlActionLink;
    friend class TDragObject;
    virtual void Dispatch(TMessage& m);
    // A deletion: csDestroying, then TearDown of the most-derived class.
    void BeforeDestruction() final;
    // Takes the whole control apart before its destructors run. Overrides undo what needs
    // their class, then call the base. TControl leaves its parent (RemoveControl of the
    // whole parent) and drops what the application and a drag keep of it.
    virtual void TearDown();

    // Typed handlers.
    virtual void WMPaint(TMessage& m) { DefaultHandler(m); }
    virtual void WMMouseDown(TMessage& m, TMouseButton button);
    // True for a control whose window finds out itself whether a press becomes a drag (the
    // system's tree and list views, which keep the mouse until it moves or comes up) and
    // starts an automatic drag when it tells so; the press then starts no drag of its own.
    virtual bool DetectsDrags() const { return false; }
    virtual void WMMouseUp(TMessage& m, TMouseButton button);
    virtual void WMMouseMove(TMessage& m);
    virtual void WMLButtonDblClk(TMessage& m);
    virtual void WMContextMenu(TMessage& m);
    virtual void CMTextChanged(TMessage& m) {}
    virtual void CMFontChanged(TMessage& m);
    virtual void CMColorChanged(TMessage& m);
    virtual void CMParentFontChanged(TMessage& m);
    virtual void CMParentColorChanged(TMessage& m);
    virtual void CMParentShowHintChanged(TMessage& m);
    virtual void CMEnabledChanged(TMessage& m);
    virtual void CMVisibleChanged(TMessage& m);
    virtual void CMShowingChanged(TMessage& m) {}
    // The form is about to show its window (it is not visible yet): what lays itself out
    // only when it is seen does so now, so that the first paint finds everything in place
    // instead of moving things while it paints.
    virtual void CMFormShowing(TMessage& m) {}
    virtual void CMMouseEnter(TMessage& m);
    virtual void CMMouseLeave(TMessage& m);
    virtual void CMHintShow(TMessage& m) {}
    virtual void CMCursorChanged(TMessage& m) {}
    virtual void CMDrag(TMessage& m);
    // The focus moved to the control in LParam (sent by the form through all its controls).
    virtual void CMFocusChanged(TMessage& m) {}

    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void Resize();
    virtual void DragOver(TComponent* source, int x, int y, int state, bool& accept);
    virtual void DragDrop(TComponent* source, int x, int y);
    virtual void Changed() { Perform(CM_CHANGED); }
    // Tells the parent to lay its children out again.
    void RequestAlign();
    void SetBoundsNoAlign(int left, int top, int width, int height);
    virtual void UpdateBoundsFromWindow() {}

    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TAlign FAlign = alNone;
    TAnchors FAnchors = akLeft | akTop;
    bool FVisible = true;
    bool FEnabled = true;
    TColor FColor = clWindow;
    bool FParentColor = true;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    bool FSyncingFont = false;
    TCursor FCursor = crDefault;
    TComponentRef<TPopupMenu> FPopupMenu;
    std::wstring FText;
    std::wstring FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    unsigned FControlState = 0;
    unsigned FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    std::unique_ptr<TControlActionLink> FActionLink;
    bool FMouseInControl = false;

private:
    void LeaveForDestruction();
};

// Parameters of window creation, filled by the virtual CreateParams chain.
struct TCreateParams {
    std::wstring Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    void* Param = nullptr;
    HMENU Menu = nullptr;           // menu of a top-level window; a child window without
                                    // an id here gets the next free one when created
    WNDCLASSEXW WindowClass{};      // for our own classes (SubClassName empty)
    std::wstring WinClassName;      // the registered name of our class
    std::wstring SubClassName;      // a standard class to create and subclass instead
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    // The window, created on first use together with those of the child controls.
    HWND Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded() { Handle(); }
    // Destroys and creates the window again, keeping text, bounds and children.
    void RecreateWnd();
    void DestroyHandle();

    // --- children
    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int index) const { return FControls[index]; }
    bool ContainsControl(TControl* control) const;
    // The visible, enabled child at a client point (windowless ones first, as painted).
    TControl* ControlAtPos(POINT p, bool allowDisabled = false, bool allowWinControls = false);
    // Lays out the children by Align and Anchors within the client rectangle.
    virtual void AlignControls(TControl* control, RECT& rect);
    void Realign();
    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();
    void NotifyControls(UINT msg);

    // --- tab order and focus
    int TabOrder() const;
    void SetTabOrder(int value);
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool value);
    void GetTabOrderList(std::vector<TWinControl*>& list);
    TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent);
    void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);
    virtual bool CanFocus();
    bool Focused() const;
    virtual void SetFocus();

    void SetVisible(bool value) override;
    void SetEnabled(bool value) override;
    void SetBounds(int left, int top, int width, int height) override;
    RECT ClientRect() override;
    void SetClientSize(int width, int height) override;
    HWND ParentWindowHandle() override;
    bool Showing() const override;
    std::wstring GetText() override;
    void SetText(const std::wstring& value) override;
    void Update() override;
    TBrush& Brush() { return FBrush; }

    // Handlers of keys that reach this control (after preview by the form).
    TKeyEvent OnKeyDown, OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter, OnExit;

    // The default procedure of the window (for subclassed standard controls: the class's).
    void DefaultHandler(TMessage& message) override;
    // Paints the windowless children into `dc` (client coordinates of this window).
    void PaintControls(HDC dc, TControl* first = nullptr);

protected:
    friend class TControl;
    friend class TForm;
    friend class TApplication;
    friend LRESULT CALLBACK ControlWindowProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK ControlSubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    friend void DeliverMessage(TWinControl* control, HWND wnd, TMessage& m);

    virtual void CreateParams(TCreateParams& params);
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& params);
    virtual void DestroyWnd();
    virtual void DestroyWindowHandle();
    // After the window exists: font, text, children.
    virtual void CreateHandle();
    // Room for the children within the client rectangle (a frame's MDI client takes the rest).
    virtual void AdjustClientRect(RECT& rect) {}
    virtual void InsertControl(TControl* control);
    virtual void RemoveControl(TControl* control);
    // Deletes the children (RemoveControl, then delete), destroys the window (DestroyHandle),
    // then leaves the parent.
    void TearDown() override;

    void Dispatch(TMessage& m) override;
    virtual void WMPaint(TMessage& m) override;
    virtual void PaintWindow(HDC dc) {}
    virtual void WMEraseBkgnd(TMessage& m);
    virtual void WMSize(TMessage& m);
    virtual void WMWindowPosChanged(TMessage& m);
    virtual void WMSetFocus(TMessage& m);
    virtual void WMKillFocus(TMessage& m);
    virtual void WMKeyDown(TMessage& m);
    virtual void WMKeyUp(TMessage& m);
    virtual void WMChar(TMessage& m);
    virtual void WMGetDlgCode(TMessage& m);
    virtual void WMSetCursor(TMessage& m);
    virtual void WMMouseWheel(TMessage& m);
    virtual void WMNCDestroy(TMessage& m);
    virtual void WMDestroy(TMessage& m);
    virtual void CNCtlColor(TMessage& m);
    virtual void CMFontChanged(TMessage& m) override;
    virtual void CMColorChanged(TMessage& m) override;
    virtual void CMEnabledChanged(TMessage& m) override;
    virtual void CMShowingChanged(TMessage& m) override;
    // Passes the notice on to every child.
    void CMFormShowing(TMessage& m) override;
    virtual void CMDialogKey(TMessage& m);
    virtual void CMDialogChar(TMessage& m);
    virtual void CMEnter(TMessage& m);
    virtual void CMExit(TMessage& m);
    virtual void CMMouseWheel(TMessage& m);
    // Passes the notice on to every child control.
    void CMFocusChanged(TMessage& m) override;
    // Reflections; the default answers what the window's default procedure answers.
    virtual void CNCommand(TMessage& m) { m.Result = 0; }
    virtual void CNNotify(TMessage& m) { m.Result = 0; }
    virtual void CNDrawItem(TMessage& m) { m.Result = 0; }
    virtual void CNMeasureItem(TMessage& m) { m.Result = 0; }

    virtual void KeyDown(WORD& key, TShiftState shift);
    virtual void KeyUp(WORD& key, TShiftState shift);
    virtual void KeyPress(wchar_t& key);
    virtual void DoEnter();
    virtual void DoExit();
    // True when a key given to KeyDown etc. was handled by the form's key preview.
    bool DoKeyDown(WORD& key, TShiftState shift);
    bool DoKeyPress(wchar_t& key);
    void UpdateBoundsFromWindow() override;

    HWND FHandle = nullptr;
    bool FSubclassed = false;
    WNDPROC FDefWndProc = nullptr;
    std::vector<TControl*> FControls;       // all children, in z-order (first is bottom)
    std::vector<TWinControl*> FTabList;     // windowed children in tab order
    bool FTabStop = false;
    int FAlignLevel = 0;
    bool FAlignPending = false;
    int FLastClientW = -1, FLastClientH = -1;
    TBrush FBrush;
    TControl* FMouseCaptureControl = nullptr;  // windowless child that has the mouse
    bool FDestroyingWindow = false;

private:
    // Removes and deletes the children, last first.
    void FreeChildren();
    // Moves the existing window under the parent's window (SetParent from TControl).
    void MoveWindowTo(TWinControl* parent);
};

// A windowless control painted by its parent; Paint draws on Canvas().
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner);
    TCanvas& Canvas() { return FCanvas; }

protected:
    virtual void Paint() {}
    void WMPaint(TMessage& m) override;
    TCanvas FCanvas;
};

// A windowed control of our own class that paints itself; Paint draws on Canvas().
// With DoubleBuffered the picture is composed in a memory bitmap and copied once.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* owner);
    TCanvas& Canvas() { return FCanvas; }
    bool DoubleBuffered = false;

protected:
    virtual void Paint() {}
    void PaintWindow(HDC dc) override;
    void WMEraseBkgnd(TMessage& m) override;
    TCanvas FCanvas;

private:
    // Paint() with the canvas on `dc` for its duration.
    void PaintOn(HDC dc);
};

// A canvas on a control outside painting (measuring, drawing feedback): the DC of the
// control's window, or of its parent's with the origin at the control for windowless
// ones. The DC is released when the canvas is destroyed; the control must outlive it.
class TControlCanvas : public TCanvas {
public:
    explicit TControlCanvas(TControl* control) : FControl(control) {}
    ~TControlCanvas() override;

protected:
    void CreateHandle() override;

private:
    TControl* FControl;
    HWND FWnd = nullptr;
};

// Runs `fn` inside the guard every window procedure uses: any exception goes to the
// exception funnel (HandleCurrentException). Returns false if one was caught.
bool GuardedCall(const std::function<void()>& fn);

}  // namespace classlib
