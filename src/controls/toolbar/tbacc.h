// Accessibility objects: toolbars, menu bars and popup menus as seen by screen readers.
//
// One object per view (a toolbar, menu bar or popup level; tbview.h) and one per item
// viewer (tbviewer.h), both implementing IAccessible on the class library's COM object base
// (their IDispatch part answers E_NOTIMPL). The accessibility library (oleacc) is loaded at
// run time; without it no object is made and WM_GETOBJECT is left to the default handling.
//
// Lifetime and safety:
// - A view keeps one reference to its object for as long as it lives; a viewer keeps a
//   plain pointer, cleared when the object goes. When the view or viewer is destroyed
//   first, its object is detached: from then on every call answers E_FAIL, however long
//   clients keep the object.
// - Calls come from other processes through COM: a child id that is not VT_I4 CHILDID_SELF
//   (where a child id is expected) answers E_INVALIDARG, a null out pointer E_POINTER, and
//   an exception inside a call E_UNEXPECTED. Out parameters are cleared first.
// - Every live object is in one process-wide list guarded by a lock, so that all can be
//   disconnected from their clients when the application ends.
// Views and viewers are touched on the main thread only (COM calls arrive there through
// the main thread's apartment).
#pragma once

#include "classlib/comobject.h"
#include "classlib/component.h"

#include <windows.h>
#include <oleacc.h>

#include <functional>
#include <string>

namespace toolbar {

class TBarView;
class TBarItemViewer;

// Loads "oleacc.dll" once per process; true when LresultFromObject and
// AccessibleObjectFromWindow were both found.
bool LoadAccessibilityLibrary();
// NotifyWinEvent when the system has it (resolved once).
void NotifyAccessibilityEvent(DWORD event, HWND wnd, LONG objectId, LONG childId);
// The system's accessible object of a window (OBJID_WINDOW); false when unavailable.
bool WindowAccessibleObject(HWND wnd, classlib::TComPtr<IDispatch>& dispatch);
// Disconnects every live accessibility object from its clients (CoDisconnectObject).
void DisconnectAccessibleObjects();
// The localised name of the Alt key, or "Alt".
std::wstring LocalisedAltKeyName();
// The number of live accessibility objects (for tests and diagnosis).
int LiveAccessibleObjectCount();

// The base of both kinds: IAccessible with an IDispatch part that answers E_NOTIMPL, and a
// place in the list of live objects.
class TBarCustomAccObject : public classlib::TComObject<IAccessible> {
public:
    // The view or viewer is being destroyed: forget it.
    virtual void DetachClient() = 0;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;

protected:
    TBarCustomAccObject();
    ~TBarCustomAccObject() override;
    void* QueryOtherInterface(REFIID riid) override;

private:
    friend void DisconnectAccessibleObjects();
    friend int LiveAccessibleObjectCount();
    TBarCustomAccObject* FPrevious = nullptr;
    TBarCustomAccObject* FNext = nullptr;
};
using TBarBaseAccObject = TBarCustomAccObject;

class TBarViewAccObject;
class TBarItemViewerAccObject;

// The view's object (made on first use; the view keeps a reference while it lives), or
// null without the accessibility library. The answer carries a reference of its own.
classlib::TComPtr<TBarViewAccObject> GetViewAccessibleObject(TBarView* view);
// The viewer's object (made on first use), or null without the accessibility library. The
// answer carries a reference of its own.
classlib::TComPtr<TBarItemViewerAccObject> GetViewerAccessibleObject(TBarItemViewer* viewer);
// WM_GETOBJECT of a view's window: answers OBJID_CLIENT with the view's object (true and
// the message result); anything else is left to the caller (false).
bool HandleViewWMGetObject(TBarView* view, WPARAM wParam, LPARAM lParam, LRESULT& result);

// Carries out an accessibility action queued for a viewer: selects it and, for the default
// action, executes it in a running menu loop or starts the loop.
void PerformAccessibleAction(TBarItemViewer* viewer, bool defaultAction);

// The seam to the modal menu loop, which the toolbar control plugs in: until then scrolling
// into view does nothing and a view outside its loop stays outside.
struct TBarAccessibilityMenuLoop {
    std::function<void(TBarView* view)> ScrollSelectedIntoView;
    // options: 0x04 from accessibility, 0x02 execute the selection.
    std::function<void(TBarView* view, unsigned options)> EnterToolbarLoop;
};
TBarAccessibilityMenuLoop& AccessibilityMenuLoop();

class TBarViewAccObject : public TBarCustomAccObject {
public:
    explicit TBarViewAccObject(TBarView* view);
    TBarView* View() const { return FView; }
    void DetachClient() override;

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** result) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* helpFile, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

private:
    HRESULT CheckChild(const VARIANT& child) const;
    TBarView* FView;
};

class TBarItemViewerAccObject : public TBarCustomAccObject {
public:
    explicit TBarItemViewerAccObject(TBarItemViewer* viewer);
    ~TBarItemViewerAccObject() override;
    TBarItemViewer* Viewer() const { return FViewer; }
    void DetachClient() override;

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** result) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* helpFile, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

private:
    HRESULT CheckChild(const VARIANT& child) const;
    TBarItemViewer* FViewer;
};

// The availability tests of a viewer for assistive tools.
bool ViewerEnabledAndSelectable(TBarItemViewer* viewer);
bool ViewerVisibleAndActive(TBarItemViewer* viewer);
bool ViewerAccessiblyAvailable(TBarItemViewer* viewer);

}  // namespace toolbar
