#include "controls/toolbar/tbacc.h"

#include "classlib/application.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/toolbar/tbview.h"
#include "controls/toolbar/tbviewer.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>

using namespace classlib;

namespace toolbar {

namespace {

// --- the library -------------------------------------------------------------------------

using TLresultFromObject = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
using TAccessibleObjectFromWindow = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
using TNotifyWinEvent = void(WINAPI*)(DWORD, HWND, LONG, LONG);

struct TAccLibrary {
    std::once_flag Once;
    bool Loaded = false;
    TLresultFromObject LresultFromObject = nullptr;
    TAccessibleObjectFromWindow AccessibleObjectFromWindow = nullptr;
};
TAccLibrary gLibrary;

std::once_flag gNotifyOnce;
TNotifyWinEvent gNotifyWinEvent = nullptr;

// --- the live objects -------------------------------------------------------------------

std::mutex gLiveLock;
TBarCustomAccObject* gLiveHead = nullptr;

// The views' objects: each view keeps one reference until it goes. Owned by the
// application (released before COM is uninitialised); every live object is disconnected
// from its clients then.
class TViewAccObjects {
public:
    ~TViewAccObjects() {
        for (auto& [view, entry] : FObjects) entry.Object->DetachClient();
        FObjects.clear();
        DisconnectAccessibleObjects();
    }
    TComPtr<TBarViewAccObject> Find(TBarView* view) {
        auto it = FObjects.find(view);
        if (it != FObjects.end()) return it->second.Object;
        TEntry& entry = FObjects[view];
        entry.Object = TComPtr<TBarViewAccObject>::Adopt(new TBarViewAccObject(view));
        // The view going first detaches its object and lets go of it.
        entry.View = std::make_unique<TComponentRef<TBarView>>([this, view] {
            auto found = FObjects.find(view);
            if (found == FObjects.end()) return;
            found->second.Object->DetachClient();
            FObjects.erase(found);
        });
        entry.View->Set(view);
        return entry.Object;
    }

private:
    struct TEntry {
        TComPtr<TBarViewAccObject> Object;
        std::unique_ptr<TComponentRef<TBarView>> View;
    };
    std::map<TBarView*, TEntry> FObjects;
};

// Answers a COM method: exceptions become E_UNEXPECTED.
template <class F>
HRESULT Guarded(F&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return E_UNEXPECTED;
    }
}

BSTR NewBstr(const std::wstring& text) { return SysAllocStringLen(text.data(), static_cast<UINT>(text.size())); }

void SetDispatch(VARIANT* v, IDispatch* dispatch) {
    v->vt = VT_DISPATCH;
    v->pdispVal = dispatch;
}

template <class T>
IDispatch* AsDispatch(const TComPtr<T>& object) {
    if (!object) return nullptr;
    object->AddRef();
    return static_cast<IDispatch*>(object.Get());
}

// The accessible viewers of a view: shown, behind the chevron or scrolled out.
std::vector<TBarItemViewer*> AccessibleViewers(TBarView* view) {
    std::vector<TBarItemViewer*> list;
    for (int i = 0; i < view->ViewerCount(); ++i)
        if (view->Viewers(i)->IsAccessible()) list.push_back(view->Viewers(i));
    return list;
}

HWND ViewWindow(TBarView* view) {
    TWinControl* w = view->Window();
    return w && w->HandleAllocated() ? w->Handle() : nullptr;
}

bool IsSubmenuView(TBarView* view) { return view->ParentView() != nullptr; }

RECT ViewerScreenRect(TBarItemViewer* viewer) {
    RECT r = viewer->BoundsRect;
    if (HWND wnd = ViewWindow(viewer->View())) MapWindowPoints(wnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void ScrollIntoView(TBarView* view) {
    if (auto& scroll = AccessibilityMenuLoop().ScrollSelectedIntoView) scroll(view);
}

HRESULT WindowObjectAsResult(HWND wnd, IDispatch** result) {
    TComPtr<IDispatch> dispatch;
    if (!WindowAccessibleObject(wnd, dispatch)) return E_UNEXPECTED;
    *result = dispatch.Detach();
    return S_OK;
}

}  // namespace

bool LoadAccessibilityLibrary() {
    std::call_once(gLibrary.Once, [] {
        const UINT oldMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
        HMODULE module = LoadLibraryW(L"oleacc.dll");
        SetErrorMode(oldMode);
        if (!module) return;
        gLibrary.LresultFromObject =
            reinterpret_cast<TLresultFromObject>(reinterpret_cast<void*>(GetProcAddress(module, "LresultFromObject")));
        gLibrary.AccessibleObjectFromWindow = reinterpret_cast<TAccessibleObjectFromWindow>(
            reinterpret_cast<void*>(GetProcAddress(module, "AccessibleObjectFromWindow")));
        gLibrary.Loaded = gLibrary.LresultFromObject && gLibrary.AccessibleObjectFromWindow;
    });
    return gLibrary.Loaded;
}

void NotifyAccessibilityEvent(DWORD event, HWND wnd, LONG objectId, LONG childId) {
    std::call_once(gNotifyOnce, [] {
        if (HMODULE user = GetModuleHandleW(L"user32.dll"))
            gNotifyWinEvent =
                reinterpret_cast<TNotifyWinEvent>(reinterpret_cast<void*>(GetProcAddress(user, "NotifyWinEvent")));
    });
    if (gNotifyWinEvent) gNotifyWinEvent(event, wnd, objectId, childId);
}

bool WindowAccessibleObject(HWND wnd, TComPtr<IDispatch>& dispatch) {
    dispatch.Reset();
    if (!wnd || !LoadAccessibilityLibrary()) return false;
    void* object = nullptr;
    if (FAILED(gLibrary.AccessibleObjectFromWindow(wnd, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch, &object)) ||
        !object)
        return false;
    dispatch = TComPtr<IDispatch>::Adopt(static_cast<IDispatch*>(object));
    return true;
}

void DisconnectAccessibleObjects() {
    std::vector<IUnknown*> objects;
    {
        std::lock_guard<std::mutex> lock(gLiveLock);
        for (TBarCustomAccObject* o = gLiveHead; o; o = o->FNext) {
            o->AddRef();
            objects.push_back(o->Identity());
        }
    }
    for (IUnknown* o : objects) {
        CoDisconnectObject(o, 0);
        o->Release();
    }
}

int LiveAccessibleObjectCount() {
    std::lock_guard<std::mutex> lock(gLiveLock);
    int count = 0;
    for (TBarCustomAccObject* o = gLiveHead; o; o = o->FNext) ++count;
    return count;
}

std::wstring LocalisedAltKeyName() {
    wchar_t name[256] = {};
    const LONG code = static_cast<LONG>(MapVirtualKeyW(VK_MENU, 0) << 16);
    const int length = GetKeyNameTextW(code, name, static_cast<int>(std::size(name)));
    if (length <= 0) return L"Alt";
    return std::wstring(name, static_cast<size_t>(length));
}

TBarAccessibilityMenuLoop& AccessibilityMenuLoop() {
    static TBarAccessibilityMenuLoop seam;
    return seam;
}

// --- the base ------------------------------------------------------------------------------

TBarCustomAccObject::TBarCustomAccObject() {
    std::lock_guard<std::mutex> lock(gLiveLock);
    FNext = gLiveHead;
    if (gLiveHead) gLiveHead->FPrevious = this;
    gLiveHead = this;
}

TBarCustomAccObject::~TBarCustomAccObject() {
    std::lock_guard<std::mutex> lock(gLiveLock);
    if (FPrevious)
        FPrevious->FNext = FNext;
    else
        gLiveHead = FNext;
    if (FNext) FNext->FPrevious = FPrevious;
}

void* TBarCustomAccObject::QueryOtherInterface(REFIID riid) {
    if (IsEqualIID(riid, IID_IDispatch)) return static_cast<IDispatch*>(this);
    return nullptr;
}

HRESULT TBarCustomAccObject::GetTypeInfoCount(UINT* count) {
    if (count) *count = 0;
    return E_NOTIMPL;
}

HRESULT TBarCustomAccObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

HRESULT TBarCustomAccObject::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT TBarCustomAccObject::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
    return E_NOTIMPL;
}

// --- making and finding the objects ---------------------------------------------------------

TComPtr<TBarViewAccObject> GetViewAccessibleObject(TBarView* view) {
    // The application keeps the views' objects; without it there is nobody to keep them.
    if (!view || !Application || !LoadAccessibilityLibrary()) return nullptr;
    return Application->ProcessObject<TViewAccObjects>().Find(view);
}

TComPtr<TBarItemViewerAccObject> GetViewerAccessibleObject(TBarItemViewer* viewer) {
    if (!viewer || !LoadAccessibilityLibrary()) return nullptr;
    if (auto* existing = dynamic_cast<TBarItemViewerAccObject*>(viewer->AccObject)) {
        existing->AddRef();
        return TComPtr<TBarItemViewerAccObject>::Adopt(existing);
    }
    return TComPtr<TBarItemViewerAccObject>::Adopt(new TBarItemViewerAccObject(viewer));
}

bool HandleViewWMGetObject(TBarView* view, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (static_cast<LONG>(static_cast<DWORD>(lParam)) != OBJID_CLIENT) return false;
    TComPtr<TBarViewAccObject> object = GetViewAccessibleObject(view);
    if (!object) return false;
    result = gLibrary.LresultFromObject(__uuidof(IAccessible), wParam, object->Identity());
    return true;
}

// --- availability ---------------------------------------------------------------------------

bool ViewerEnabledAndSelectable(TBarItemViewer* viewer) {
    TBarCustomItem* item = viewer->Item();
    return item->Enabled() && (item->ItemStyle() & tbstSelectable);
}

bool ViewerVisibleAndActive(TBarItemViewer* viewer) {
    TBarView* view = viewer->View();
    HWND wnd = ViewWindow(view);
    if (!wnd) return false;
    for (HWND h = wnd; h; h = (GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD) ? GetParent(h) : nullptr)
        if (!IsWindowVisible(h) || !IsWindowEnabled(h)) return false;
    if (view->State() & tbvsModal) return true;
    HWND active = GetActiveWindow();
    return active && (active == wnd || IsChild(active, wnd));
}

bool ViewerAccessiblyAvailable(TBarItemViewer* viewer) {
    return viewer->IsAccessible() && ViewerEnabledAndSelectable(viewer) && ViewerVisibleAndActive(viewer);
}

void PerformAccessibleAction(TBarItemViewer* viewer, bool defaultAction) {
    TBarView* view = viewer->View();
    const bool ready = defaultAction ? ViewerAccessiblyAvailable(viewer) : ViewerVisibleAndActive(viewer);
    if (ready) {
        view->Select(viewer, false);
        ScrollIntoView(view);
    }
    if (view->State() & tbvsModal) {
        if (defaultAction) view->ExecuteSelected(false);
    } else if (!IsSubmenuView(view) && !GetCapture()) {
        if (auto& enter = AccessibilityMenuLoop().EnterToolbarLoop) enter(view, defaultAction ? 6 : 4);
    }
}

// --- the view's object ------------------------------------------------------------------------

TBarViewAccObject::TBarViewAccObject(TBarView* view) : FView(view) {}

void TBarViewAccObject::DetachClient() { FView = nullptr; }

HRESULT TBarViewAccObject::CheckChild(const VARIANT& child) const {
    if (!FView) return E_FAIL;
    if (child.vt != VT_I4 || child.lVal != CHILDID_SELF) return E_INVALIDARG;
    return S_OK;
}

HRESULT TBarViewAccObject::get_accParent(IDispatch** parent) {
    return Guarded([&]() -> HRESULT {
        if (!parent) return E_POINTER;
        *parent = nullptr;
        if (!FView) return E_FAIL;
        if (TBarView* p = FView->ParentView(); p && p->OpenViewer()) {
            *parent = AsDispatch(GetViewerAccessibleObject(p->OpenViewer()));
            return *parent ? S_OK : E_UNEXPECTED;
        }
        return WindowObjectAsResult(ViewWindow(FView), parent);
    });
}

HRESULT TBarViewAccObject::get_accChildCount(long* count) {
    return Guarded([&]() -> HRESULT {
        if (!count) return E_POINTER;
        *count = 0;
        if (!FView) return E_FAIL;
        *count = static_cast<long>(AccessibleViewers(FView).size());
        return S_OK;
    });
}

HRESULT TBarViewAccObject::get_accChild(VARIANT child, IDispatch** result) {
    return Guarded([&]() -> HRESULT {
        if (!result) return E_POINTER;
        *result = nullptr;
        if (!FView) return E_FAIL;
        if (child.vt != VT_I4) return E_INVALIDARG;
        if (child.lVal == CHILDID_SELF) {
            AddRef();
            *result = static_cast<IDispatch*>(this);
            return S_OK;
        }
        const std::vector<TBarItemViewer*> viewers = AccessibleViewers(FView);
        if (child.lVal < 1 || static_cast<size_t>(child.lVal) > viewers.size()) return E_INVALIDARG;
        TBarItemViewer* viewer = viewers[static_cast<size_t>(child.lVal - 1)];
        if (auto* item = dynamic_cast<TBarControlItem*>(viewer->Item())) {
            if (auto* control = dynamic_cast<TWinControl*>(item->Control()); control && control->HandleAllocated())
                return WindowObjectAsResult(control->Handle(), result);
        }
        *result = AsDispatch(GetViewerAccessibleObject(viewer));
        return *result ? S_OK : E_UNEXPECTED;
    });
}

HRESULT TBarViewAccObject::get_accName(VARIANT child, BSTR* name) {
    return Guarded([&]() -> HRESULT {
        if (!name) return E_POINTER;
        *name = nullptr;
        if (HRESULT r = CheckChild(child); FAILED(r)) return r;
        std::wstring text;
        if (TBarView* p = FView->ParentView(); p && p->OpenViewer()) text = RemoveAccelMarks(p->OpenViewer()->GetCaptionText());
        if (text.empty()) {
            if (TWinControl* w = FView->Window()) text = w->GetText();
        }
        *name = NewBstr(text);
        return S_OK;
    });
}

HRESULT TBarViewAccObject::get_accValue(VARIANT child, BSTR* value) {
    return Guarded([&]() -> HRESULT {
        if (!value) return E_POINTER;
        *value = nullptr;
        if (HRESULT r = CheckChild(child); FAILED(r)) return r;
        return S_FALSE;
    });
}

HRESULT TBarViewAccObject::get_accDescription(VARIANT child, BSTR* description) { return get_accValue(child, description); }

HRESULT TBarViewAccObject::get_accHelp(VARIANT child, BSTR* help) { return get_accValue(child, help); }

HRESULT TBarViewAccObject::get_accHelpTopic(BSTR* helpFile, VARIANT child, long* topic) {
    return Guarded([&]() -> HRESULT {
        if (!helpFile || !topic) return E_POINTER;
        *helpFile = nullptr;
        *topic = 0;
        if (HRESULT r = CheckChild(child); FAILED(r)) return r;
        return S_FALSE;
    });
}

HRESULT TBarViewAccObject::get_accRole(VARIANT child, VARIANT* role) {
    return Guarded([&]() -> HRESULT {
        if (!role) return E_POINTER;
        VariantInit(role);
        if (HRESULT r = CheckChild(child); FAILED(r)) return r;
        role->vt = VT_I4;
        role->lVal = FView->IsPopup() ? ROLE_SYSTEM_MENUPOPUP
                     : (FView->Style() & tbvstMenuBar) ? ROLE_SYSTEM_MENUBAR
                                                        : ROLE_SYSTEM_TOOLBAR;
        return S_OK;
    });
}

HRESULT TBarViewAccObject::get_accState(VARIANT child, VARIANT* state) {
    return Guarded([&]() -> HRESULT {
        if (!state) return E_POINTER;
        VariantInit(state);
        if (HRESULT r = CheckChild(child); FAILED(r)) return r;
        state->vt = VT_I4;
        state->lVal = 0;
        return S_OK;
    });
}

HRESULT TBarViewAccObject::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    return Guarded([&]() -> HRESULT {
        if (!shortcut) return E_POINTER;
        *shortcut = nullptr;
        if (HRESULT r = CheckChild(child); FAILED(r)) return r;
        if (!(FView->Style() & tbvstMenuBar)) return S_FALSE;
        *shortcut = NewBstr(LocalisedAltKeyName());
        return S_OK;
    });
}

HRESULT TBarViewAccObject::get_accFocus(VARIANT* child) {
    return Guarded([&]() -> HRESULT {
        if (!child) return E_POINTER;
        VariantInit(child);
        return FView ? S_FALSE : E_FAIL;
    });
}

HRESULT TBarViewAccObject::get_accSelection(VARIANT* children) { return get_accFocus(children); }

HRESULT TBarViewAccObject::get_accDefaultAction(VARIANT child, BSTR* action) { return get_accValue(child, action); }

HRESULT TBarViewAccObject::accSelect(long, VARIANT child) {
    return Guarded([&]() -> HRESULT {
        if (HRESULT r = CheckChild(child); FAILED(r)) return r;
        return DISP_E_MEMBERNOTFOUND;
    });
}

HRESULT TBarViewAccObject::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
    return Guarded([&]() -> HRESULT {
        if (!left || !top || !width || !height) return E_POINTER;
        *left = *top = *width = *height = 0;
        if (HRESULT r = CheckChild(child); FAILED(r)) return r;
        HWND wnd = ViewWindow(FView);
        if (!wnd) return E_FAIL;
        RECT r;
        GetWindowRect(wnd, &r);
        *left = r.left;
        *top = r.top;
        *width = r.right - r.left;
        *height = r.bottom - r.top;
        return S_OK;
    });
}

HRESULT TBarViewAccObject::accNavigate(long direction, VARIANT start, VARIANT* end) {
    return Guarded([&]() -> HRESULT {
        if (!end) return E_POINTER;
        VariantInit(end);
        if (HRESULT r = CheckChild(start); FAILED(r)) return r;
        if (direction != NAVDIR_FIRSTCHILD && direction != NAVDIR_LASTCHILD) return S_FALSE;
        const std::vector<TBarItemViewer*> viewers = AccessibleViewers(FView);
        if (viewers.empty()) return S_FALSE;
        IDispatch* d = AsDispatch(GetViewerAccessibleObject(direction == NAVDIR_FIRSTCHILD ? viewers.front() : viewers.back()));
        if (!d) return E_UNEXPECTED;
        SetDispatch(end, d);
        return S_OK;
    });
}

HRESULT TBarViewAccObject::accHitTest(long x, long y, VARIANT* child) {
    return Guarded([&]() -> HRESULT {
        if (!child) return E_POINTER;
        VariantInit(child);
        if (!FView) return E_FAIL;
        HWND wnd = ViewWindow(FView);
        if (!wnd) return E_FAIL;
        RECT r;
        GetWindowRect(wnd, &r);
        const POINT screen{x, y};
        if (!PtInRect(&r, screen)) return S_FALSE;
        POINT client = screen;
        ScreenToClient(wnd, &client);
        HWND under = ChildWindowFromPointEx(wnd, client, CWP_SKIPINVISIBLE);
        if (under && under != wnd) {
            IDispatch* d = nullptr;
            if (HRESULT h = WindowObjectAsResult(under, &d); FAILED(h)) return h;
            SetDispatch(child, d);
            return S_OK;
        }
        if (TBarItemViewer* viewer = FView->ViewerAtPoint(client)) {
            IDispatch* d = AsDispatch(GetViewerAccessibleObject(viewer));
            if (!d) return E_UNEXPECTED;
            SetDispatch(child, d);
            return S_OK;
        }
        child->vt = VT_I4;
        child->lVal = CHILDID_SELF;
        return S_OK;
    });
}

HRESULT TBarViewAccObject::accDoDefaultAction(VARIANT child) {
    return Guarded([&]() -> HRESULT {
        if (HRESULT r = CheckChild(child); FAILED(r)) return r;
        return S_FALSE;
    });
}

HRESULT TBarViewAccObject::put_accName(VARIANT child, BSTR) { return accDoDefaultAction(child); }

HRESULT TBarViewAccObject::put_accValue(VARIANT child, BSTR) { return accDoDefaultAction(child); }

// --- the viewer's object ----------------------------------------------------------------------

TBarItemViewerAccObject::TBarItemViewerAccObject(TBarItemViewer* viewer) : FViewer(viewer) {
    viewer->AccObject = this;
}

TBarItemViewerAccObject::~TBarItemViewerAccObject() {
    if (FViewer && FViewer->AccObject == this) FViewer->AccObject = nullptr;
}

void TBarItemViewerAccObject::DetachClient() { FViewer = nullptr; }

HRESULT TBarItemViewerAccObject::CheckChild(const VARIANT& child) const {
    if (!FViewer) return E_FAIL;
    if (child.vt != VT_I4 || child.lVal != CHILDID_SELF) return E_INVALIDARG;
    return S_OK;
}

HRESULT TBarItemViewerAccObject::get_accParent(IDispatch** parent) {
    return Guarded([&]() -> HRESULT {
        if (!parent) return E_POINTER;
        *parent = nullptr;
        if (!FViewer) return E_FAIL;
        *parent = AsDispatch(GetViewAccessibleObject(FViewer->View()));
        return *parent ? S_OK : E_UNEXPECTED;
    });
}

HRESULT TBarItemViewerAccObject::get_accChildCount(long* count) {
    return Guarded([&]() -> HRESULT {
        if (!count) return E_POINTER;
        *count = 0;
        if (!FViewer) return E_FAIL;
        *count = FViewer->View()->OpenViewer() == FViewer ? 1 : 0;
        return S_OK;
    });
}

HRESULT TBarItemViewerAccObject::get_accChild(VARIANT child, IDispatch** result) {
    return Guarded([&]() -> HRESULT {
        if (!result) return E_POINTER;
        *result = nullptr;
        if (!FViewer) return E_FAIL;
        if (child.vt != VT_I4) return E_INVALIDARG;
        if (child.lVal == CHILDID_SELF) {
            AddRef();
            *result = static_cast<IDispatch*>(this);
            return S_OK;
        }
        TBarView* view = FViewer->View();
        if (child.lVal != 1 || view->OpenViewer() != FViewer || !view->OpenView()) return E_INVALIDARG;
        *result = AsDispatch(GetViewAccessibleObject(view->OpenView()));
        return *result ? S_OK : E_UNEXPECTED;
    });
}

HRESULT TBarItemViewerAccObject::get_accName(VARIANT child, BSTR* name) {
    return Guarded([&]() -> HRESULT {
        if (!name) return E_POINTER;
        *name = nullptr;
        if (HRESULT r = CheckChild(child); FAILED(r)) return r;
        std::wstring text = RemoveAccelMarks(FViewer->GetCaptionText());
        if (!FViewer->UsesToolbarStyle()) {
            const std::wstring shortcut = FViewer->Item()->GetShortCutText();
            if (!shortcut.empty()) text += L"\t" + shortcut;
        }
        *name = NewBstr(text);
        return S_OK;
    });
}

HRESULT TBarItemViewerAccObject::get_accValue(VARIANT child, BSTR* value) {
    return Guarded([&]() -> HRESULT {
        if (!value) return E_POINTER;
        *value = nullptr;
        if (HRESULT r = CheckChild(child); FAILED(r)) return r;
        std::wstring text;
        const bool has = FViewer->GetAccessibleValue(text);
        *value = NewBstr(has ? text : std::wstring());
        return has ? S_OK : S_FALSE;
    });
}

HRESULT TBarItemViewerAccObject::get_accDescription(VARIANT child, BSTR* description) {
    return Guarded([&]() -> HRESULT {
        if (!description) return E_POINTER;
        *description = nullptr;
        if (HRESULT r = CheckChild(child); FAILED(r)) return r;
        return S_FALSE;
    });
}

HRESULT TBarItemViewerAccObject::get_accHelp(VARIANT child, BSTR* help) { return get_accDescription(child, help); }

HRESULT TBarItemViewerAccObject::get_accHelpTopic(BSTR* helpFile, VARIANT child, long* topic) {
    return Guarded([&]() -> HRESULT {
        if (!helpFile || !topic) return E_POINTER;
        *helpFile = nullptr;
        *topic = 0;
        if (HRESULT r = CheckChild(child); FAILED(r)) return r;
        return S_FALSE;
    });
}

HRESULT TBarItemViewerAccObject::get_accRole(VARIANT child, VARIANT* role) {
    return Guarded([&]() -> HRESULT {
        if (!role) return E_POINTER;
        VariantInit(role);
        if (HRESULT r = CheckChild(child); FAILED(r)) return r;
        role->vt = VT_I4;
        role->lVal = FViewer->GetAccessibleRole();
        return S_OK;
    });
}

HRESULT TBarItemViewerAccObject::get_accState(VARIANT child, VARIANT* state) {
    return Guarded([&]() -> HRESULT {
        if (!state) return E_POINTER;
        VariantInit(state);
        if (HRESULT r = CheckChild(child); FAILED(r)) return r;
        TBarView* view = FViewer->View();
        TBarCustomItem* item = FViewer->Item();
        long bits = 0;
        if (view->Selected() == FViewer) {
            bits |= STATE_SYSTEM_HOTTRACKED;
            if (view->State() & tbvsModal) bits |= STATE_SYSTEM_FOCUSED;
            if (view->MouseTracking() && view->MouseOverSelected()) bits |= STATE_SYSTEM_PRESSED;
        }
        if (item->ItemStyle() & tbstSubmenu) bits |= STATE_SYSTEM_HASPOPUP;
        if (FViewer->Show || FViewer->ScrolledOut) {
            if (ViewerVisibleAndActive(FViewer)) bits |= STATE_SYSTEM_FOCUSABLE;
        } else {
            bits |= STATE_SYSTEM_INVISIBLE;
        }
        if (!ViewerEnabledAndSelectable(FViewer)) bits |= STATE_SYSTEM_UNAVAILABLE;
        if (item->Checked()) bits |= STATE_SYSTEM_CHECKED;
        state->vt = VT_I4;
        state->lVal = bits;
        return S_OK;
    });
}

HRESULT TBarItemViewerAccObject::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    return Guarded([&]() -> HRESULT {
        if (!shortcut) return E_POINTER;
        *shortcut = nullptr;
        if (HRESULT r = CheckChild(child); FAILED(r)) return r;
        if (!FViewer->ShowsCaption()) return S_FALSE;
        wchar_t accel = AcceleratorCharOf(FViewer->GetCaptionText());
        if (!accel) return S_FALSE;
        CharLowerBuffW(&accel, 1);
        std::wstring text(1, accel);
        if (!FViewer->View()->IsPopup()) text = LocalisedAltKeyName() + L"+" + text;
        *shortcut = NewBstr(text);
        return S_OK;
    });
}

HRESULT TBarItemViewerAccObject::get_accFocus(VARIANT* child) {
    return Guarded([&]() -> HRESULT {
        if (!child) return E_POINTER;
        VariantInit(child);
        if (!FViewer) return E_FAIL;
        TBarView* view = FViewer->View();
        if ((view->State() & tbvsModal) && view->Selected() == FViewer) {
            child->vt = VT_I4;
            child->lVal = CHILDID_SELF;
            return S_OK;
        }
        return S_FALSE;
    });
}

HRESULT TBarItemViewerAccObject::get_accSelection(VARIANT* children) {
    return Guarded([&]() -> HRESULT {
        if (!children) return E_POINTER;
        VariantInit(children);
        return FViewer ? S_FALSE : E_FAIL;
    });
}

HRESULT TBarItemViewerAccObject::get_accDefaultAction(VARIANT child, BSTR* action) {
    return Guarded([&]() -> HRESULT {
        if (!action) return E_POINTER;
        *action = nullptr;
        if (HRESULT r = CheckChild(child); FAILED(r)) return r;
        if (!ViewerAccessiblyAvailable(FViewer)) return S_FALSE;
        TBarView* view = FViewer->View();
        const wchar_t* text = view->OpenViewer() == FViewer                 ? L"Close"
                              : (FViewer->Item()->ItemStyle() & tbstSubmenu) ? L"Open"
                              : (view->IsPopup() || (view->Style() & tbvstMenuBar)) ? L"Execute"
                                                                                     : L"Press";
        *action = SysAllocString(text);
        return S_OK;
    });
}

HRESULT TBarItemViewerAccObject::accSelect(long flags, VARIANT child) {
    return Guarded([&]() -> HRESULT {
        if (HRESULT r = CheckChild(child); FAILED(r)) return r;
        if (flags != SELFLAG_TAKEFOCUS) return E_INVALIDARG;
        if (!ViewerVisibleAndActive(FViewer) || !(FViewer->Show || FViewer->ScrolledOut)) return E_FAIL;
        TBarView* view = FViewer->View();
        view->Select(FViewer, false);
        ScrollIntoView(view);
        if (!(view->State() & tbvsModal) && !IsSubmenuView(view)) FViewer->PostAccessibleSelect(false);
        return S_OK;
    });
}

HRESULT TBarItemViewerAccObject::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
    return Guarded([&]() -> HRESULT {
        if (!left || !top || !width || !height) return E_POINTER;
        *left = *top = *width = *height = 0;
        if (HRESULT r = CheckChild(child); FAILED(r)) return r;
        const RECT r = ViewerScreenRect(FViewer);
        *left = r.left;
        *top = r.top;
        *width = r.right - r.left;
        *height = r.bottom - r.top;
        return S_OK;
    });
}

HRESULT TBarItemViewerAccObject::accNavigate(long direction, VARIANT start, VARIANT* end) {
    return Guarded([&]() -> HRESULT {
        if (!end) return E_POINTER;
        VariantInit(end);
        if (HRESULT r = CheckChild(start); FAILED(r)) return r;
        TBarView* view = FViewer->View();
        IDispatch* d = nullptr;
        switch (direction) {
        case NAVDIR_FIRSTCHILD:
        case NAVDIR_LASTCHILD:
            if (view->OpenViewer() != FViewer || !view->OpenView()) return S_FALSE;
            d = AsDispatch(GetViewAccessibleObject(view->OpenView()));
            break;
        case NAVDIR_UP:
        case NAVDIR_LEFT:
        case NAVDIR_PREVIOUS:
        case NAVDIR_DOWN:
        case NAVDIR_RIGHT:
        case NAVDIR_NEXT: {
            const bool forward = direction == NAVDIR_DOWN || direction == NAVDIR_RIGHT || direction == NAVDIR_NEXT;
            const std::vector<TBarItemViewer*> viewers = AccessibleViewers(view);
            const int index = view->IndexOfViewer(FViewer);
            TBarItemViewer* found = nullptr;
            for (TBarItemViewer* v : viewers) {
                const int i = view->IndexOfViewer(v);
                if (forward && i > index) {
                    found = v;
                    break;
                }
                if (!forward && i < index) found = v;
            }
            if (!found) return S_FALSE;
            d = AsDispatch(GetViewerAccessibleObject(found));
            break;
        }
        default: return S_FALSE;
        }
        if (!d) return E_UNEXPECTED;
        SetDispatch(end, d);
        return S_OK;
    });
}

HRESULT TBarItemViewerAccObject::accHitTest(long x, long y, VARIANT* child) {
    return Guarded([&]() -> HRESULT {
        if (!child) return E_POINTER;
        VariantInit(child);
        if (!FViewer) return E_FAIL;
        const RECT r = ViewerScreenRect(FViewer);
        if (!PtInRect(&r, POINT{x, y})) return S_FALSE;
        child->vt = VT_I4;
        child->lVal = CHILDID_SELF;
        return S_OK;
    });
}

HRESULT TBarItemViewerAccObject::accDoDefaultAction(VARIANT child) {
    return Guarded([&]() -> HRESULT {
        if (HRESULT r = CheckChild(child); FAILED(r)) return r;
        if (!ViewerAccessiblyAvailable(FViewer)) return E_FAIL;
        TBarView* view = FViewer->View();
        if (view->OpenViewer() == FViewer) {
            view->CloseChildPopups();
            if ((view->State() & tbvsModal) && !view->IsPopup()) view->EndModal();
            return S_OK;
        }
        view->Select(FViewer, false);
        ScrollIntoView(view);
        FViewer->PostAccessibleSelect(true);
        return S_OK;
    });
}

HRESULT TBarItemViewerAccObject::put_accName(VARIANT child, BSTR) {
    return Guarded([&]() -> HRESULT {
        if (HRESULT r = CheckChild(child); FAILED(r)) return r;
        return S_FALSE;
    });
}

HRESULT TBarItemViewerAccObject::put_accValue(VARIANT child, BSTR name) { return put_accName(child, name); }

}  // namespace toolbar
