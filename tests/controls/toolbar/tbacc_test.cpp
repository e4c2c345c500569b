#include "controls/toolbar/tbacc.h"

#include "classlib/form.h"
#include "classlib/menus.h"
#include "common/test_support.h"
#include "controls/toolbar/tbview.h"
#include "controls/toolbar/tbviewer.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace toolbar;
using namespace classlib;
using testsupport::PumpMessages;

namespace {

// The window a view shows its items in.
class Bar : public TCustomControl {
public:
    explicit Bar(TComponent* owner) : TCustomControl(owner) { SetBounds(10, 10, 400, 40); }
    TBarView* View = nullptr;

protected:
    void Paint() override {
        if (View) View->DrawSubitems(Canvas());
    }
};

VARIANT Self() {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = CHILDID_SELF;
    return v;
}

// Owns a BSTR answer.
struct Text {
    BSTR Value = nullptr;
    ~Text() { SysFreeString(Value); }
    std::wstring Str() const { return Value ? std::wstring(Value, SysStringLen(Value)) : std::wstring(); }
};

template <class I>
TComPtr<IUnknown> Identity(I* object) {
    TComPtr<IUnknown> unknown;
    if (object) object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(unknown.Put()));
    return unknown;
}

class AccTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(LoadAccessibilityLibrary());
        Form = new TForm(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(150, 150, 450, 200);
        Window = new Bar(Form);
        Window->SetParent(Form);
        Window->SetCaption(L"標準");
        Open = AddItem(L"&Open");
        Open->SetShortCut(classlib::ShortCut('O', ssCtrl));
        Edit = AddItem(L"&Edit");
        Edit->SetItemStyle(Edit->ItemStyle() | tbstSubmenu);
        Plain = AddItem(L"Plain");
        Plain->SetChecked(true);
        Off = AddItem(L"&Off");
        Off->SetEnabled(false);
        Form->Show();
        MakeView(true);
    }
    void TearDown() override {
        View.reset();
        delete Form;
        PumpMessages();
    }
    TBarCustomItem* AddItem(const std::wstring& caption) {
        auto* item = new TBarCustomItem(nullptr);
        item->SetCaption(caption);
        Root.Add(item);
        Items.emplace_back(item);
        return item;
    }
    void MakeView(bool toolbar) {
        Window->View = nullptr;
        View.reset();
        View = std::make_unique<TBarView>(nullptr, nullptr, &Root, Window, toolbar, false, false);
        Window->View = View.get();
        View->EnsurePositionsValid();
        Window->Invalidate();
        PumpMessages();
    }
    TComPtr<TBarViewAccObject> ViewObject() { return GetViewAccessibleObject(View.get()); }
    TComPtr<TBarItemViewerAccObject> ViewerObject(TBarCustomItem* item) {
        return GetViewerAccessibleObject(View->ViewerOfItem(item));
    }

    TBarRootItem Root{nullptr};
    std::vector<std::unique_ptr<TBarCustomItem>> Items;
    TBarCustomItem *Open = nullptr, *Edit = nullptr, *Plain = nullptr, *Off = nullptr;
    TForm* Form = nullptr;
    Bar* Window = nullptr;
    std::unique_ptr<TBarView> View;
};

}  // namespace

TEST_F(AccTest, ViewObjectDescribesTheView) {
    TComPtr<TBarViewAccObject> view = ViewObject();
    ASSERT_TRUE(view);
    EXPECT_EQ(GetViewAccessibleObject(View.get()).Get(), view.Get());  // one per view

    long count = -1;
    EXPECT_EQ(view->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, 4);
    VARIANT role;
    EXPECT_EQ(view->get_accRole(Self(), &role), S_OK);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_TOOLBAR);
    Text name;
    EXPECT_EQ(view->get_accName(Self(), &name.Value), S_OK);
    EXPECT_EQ(name.Str(), L"標準");
    Text shortcut;
    EXPECT_EQ(view->get_accKeyboardShortcut(Self(), &shortcut.Value), S_FALSE);

    // Child 0 is the object itself; child n the n-th viewer's object.
    TComPtr<IDispatch> child;
    VARIANT index = Self();
    EXPECT_EQ(view->get_accChild(index, child.Put()), S_OK);
    EXPECT_EQ(Identity(child.Get()).Get(), view->Identity());
    index.lVal = 2;
    EXPECT_EQ(view->get_accChild(index, child.Put()), S_OK);
    EXPECT_EQ(Identity(child.Get()).Get(), ViewerObject(Edit)->Identity());
    index.lVal = 5;
    EXPECT_EQ(view->get_accChild(index, child.Put()), E_INVALIDARG);

    VARIANT end;
    EXPECT_EQ(view->accNavigate(NAVDIR_LASTCHILD, Self(), &end), S_OK);
    ASSERT_EQ(end.vt, VT_DISPATCH);
    EXPECT_EQ(Identity(end.pdispVal).Get(), ViewerObject(Off)->Identity());
    end.pdispVal->Release();
    EXPECT_EQ(view->accNavigate(NAVDIR_NEXT, Self(), &end), S_FALSE);

    long l, t, w, h;
    EXPECT_EQ(view->accLocation(&l, &t, &w, &h, Self()), S_OK);
    RECT r;
    GetWindowRect(Window->Handle(), &r);
    EXPECT_EQ(l, r.left);
    EXPECT_EQ(w, r.right - r.left);

    // The hit test finds the viewer under a point, itself elsewhere in the window, and
    // nothing outside.
    const RECT b = View->ViewerOfItem(Plain)->BoundsRect;
    POINT p{(b.left + b.right) / 2, (b.top + b.bottom) / 2};
    ClientToScreen(Window->Handle(), &p);
    VARIANT hit;
    EXPECT_EQ(view->accHitTest(p.x, p.y, &hit), S_OK);
    ASSERT_EQ(hit.vt, VT_DISPATCH);
    EXPECT_EQ(Identity(hit.pdispVal).Get(), ViewerObject(Plain)->Identity());
    hit.pdispVal->Release();
    EXPECT_EQ(view->accHitTest(r.right - 2, r.bottom - 2, &hit), S_OK);
    EXPECT_EQ(hit.vt, VT_I4);
    EXPECT_EQ(view->accHitTest(r.right + 5, r.bottom + 5, &hit), S_FALSE);
    EXPECT_EQ(hit.vt, VT_EMPTY);

    // The view's window answers WM_GETOBJECT for its client only.
    LRESULT result = 0;
    EXPECT_TRUE(HandleViewWMGetObject(View.get(), 0, static_cast<LPARAM>(static_cast<DWORD>(OBJID_CLIENT)), result));
    EXPECT_NE(result, 0);
    TComPtr<IAccessible> fromResult;
    EXPECT_EQ(ObjectFromLresult(result, __uuidof(IAccessible), 0, reinterpret_cast<void**>(fromResult.Put())), S_OK);
    EXPECT_EQ(Identity(fromResult.Get()).Get(), view->Identity());
    EXPECT_FALSE(HandleViewWMGetObject(View.get(), 0, static_cast<LPARAM>(static_cast<DWORD>(OBJID_WINDOW)), result));

    // A menu bar says so and names the Alt key.
    View->SetStyle(View->Style() | tbvstMenuBar);
    EXPECT_EQ(view->get_accRole(Self(), &role), S_OK);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_MENUBAR);
    EXPECT_EQ(view->get_accKeyboardShortcut(Self(), &shortcut.Value), S_OK);
    EXPECT_EQ(shortcut.Str(), LocalisedAltKeyName());
}

TEST_F(AccTest, ViewerNamesShortcutsAndStates) {
    // In a menu the name carries the shortcut after a tab; the accelerator alone is the key.
    MakeView(false);
    TComPtr<TBarItemViewerAccObject> open = ViewerObject(Open);
    ASSERT_TRUE(open);
    Text name, key;
    EXPECT_EQ(open->get_accName(Self(), &name.Value), S_OK);
    EXPECT_EQ(name.Str(), L"Open\t" + Open->GetShortCutText());
    EXPECT_FALSE(Open->GetShortCutText().empty());
    EXPECT_EQ(open->get_accKeyboardShortcut(Self(), &key.Value), S_OK);
    EXPECT_EQ(key.Str(), L"o");
    VARIANT role;
    EXPECT_EQ(open->get_accRole(Self(), &role), S_OK);
    EXPECT_EQ(role.lVal, RoleMenuItem);

    // On a menu bar the key is Alt + the letter; on a toolbar the name has no shortcut.
    MakeView(true);
    View->SetStyle(View->Style() | tbvstMenuBar);
    open = ViewerObject(Open);
    Text barName, barKey;
    EXPECT_EQ(open->get_accKeyboardShortcut(Self(), &barKey.Value), S_OK);
    EXPECT_EQ(barKey.Str(), LocalisedAltKeyName() + L"+o");
    EXPECT_EQ(open->get_accName(Self(), &barName.Value), S_OK);
    EXPECT_EQ(barName.Str(), L"Open");
    Text none;
    EXPECT_EQ(ViewerObject(Plain)->get_accKeyboardShortcut(Self(), &none.Value), S_FALSE);

    const auto state = [&](TBarCustomItem* item) {
        VARIANT v;
        EXPECT_EQ(ViewerObject(item)->get_accState(Self(), &v), S_OK);
        return v.lVal;
    };
    EXPECT_TRUE(state(Plain) & STATE_SYSTEM_CHECKED);
    EXPECT_TRUE(state(Off) & STATE_SYSTEM_UNAVAILABLE);
    EXPECT_FALSE(state(Plain) & STATE_SYSTEM_UNAVAILABLE);
    EXPECT_TRUE(state(Edit) & STATE_SYSTEM_HASPOPUP);
    EXPECT_FALSE(state(Edit) & STATE_SYSTEM_HOTTRACKED);
    View->Select(View->ViewerOfItem(Edit), false);
    EXPECT_TRUE(state(Edit) & STATE_SYSTEM_HOTTRACKED);
    EXPECT_FALSE(state(Edit) & STATE_SYSTEM_FOCUSED);  // not in a menu loop

    Text action;
    EXPECT_EQ(ViewerObject(Edit)->get_accDefaultAction(Self(), &action.Value), S_OK);
    EXPECT_EQ(action.Str(), L"Open");
    Text disabledAction;
    EXPECT_EQ(ViewerObject(Off)->get_accDefaultAction(Self(), &disabledAction.Value), S_FALSE);

    VARIANT next;
    EXPECT_EQ(ViewerObject(Edit)->accNavigate(NAVDIR_NEXT, Self(), &next), S_OK);
    ASSERT_EQ(next.vt, VT_DISPATCH);
    EXPECT_EQ(Identity(next.pdispVal).Get(), ViewerObject(Plain)->Identity());
    next.pdispVal->Release();
    EXPECT_EQ(ViewerObject(Open)->accNavigate(NAVDIR_PREVIOUS, Self(), &next), S_FALSE);
}

TEST_F(AccTest, SelectTakesFocusOnly) {
    TComPtr<TBarItemViewerAccObject> plain = ViewerObject(Plain);
    for (long flags : {long(SELFLAG_TAKESELECTION), long(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION), 0L,
                       long(SELFLAG_ADDSELECTION)})
        EXPECT_EQ(plain->accSelect(flags, Self()), E_INVALIDARG) << flags;
    EXPECT_EQ(View->Selected(), nullptr);
    EXPECT_EQ(plain->accSelect(SELFLAG_TAKEFOCUS, Self()), S_OK);
    EXPECT_EQ(View->Selected(), View->ViewerOfItem(Plain));
    // The view object has nothing to select.
    EXPECT_EQ(ViewObject()->accSelect(SELFLAG_TAKEFOCUS, Self()), DISP_E_MEMBERNOTFOUND);
}

TEST_F(AccTest, BadArgumentsAreRefused) {
    TComPtr<TBarViewAccObject> view = ViewObject();
    TComPtr<TBarItemViewerAccObject> viewer = ViewerObject(Open);
    std::vector<VARIANT> bad(5);
    for (VARIANT& v : bad) VariantInit(&v);
    bad[1].vt = VT_I4;
    bad[1].lVal = 3;
    bad[2].vt = VT_BSTR;
    bad[2].bstrVal = nullptr;
    bad[3].vt = VT_I2;
    bad[3].iVal = 0;
    bad[4].vt = VT_I4;
    bad[4].lVal = -1;
    for (IAccessible* object : std::vector<IAccessible*>{view.Get(), viewer.Get()}) {
        for (const VARIANT& v : bad) {
            BSTR s = nullptr;
            VARIANT out;
            long l, t, w, h;
            EXPECT_EQ(object->get_accName(v, &s), E_INVALIDARG);
            EXPECT_EQ(s, nullptr);
            EXPECT_EQ(object->get_accRole(v, &out), E_INVALIDARG);
            EXPECT_EQ(out.vt, VT_EMPTY);
            EXPECT_EQ(object->get_accState(v, &out), E_INVALIDARG);
            EXPECT_EQ(object->accLocation(&l, &t, &w, &h, v), E_INVALIDARG);
            EXPECT_EQ(object->accDoDefaultAction(v), E_INVALIDARG);
            EXPECT_EQ(object->accSelect(SELFLAG_TAKEFOCUS, v), E_INVALIDARG);
            EXPECT_EQ(object->accNavigate(NAVDIR_NEXT, v, &out), E_INVALIDARG);
        }
        // A child that is not a number at all.
        TComPtr<IDispatch> child;
        EXPECT_EQ(object->get_accChild(bad[2], child.Put()), E_INVALIDARG);
        // Null out pointers.
        EXPECT_EQ(object->get_accName(Self(), nullptr), E_POINTER);
        EXPECT_EQ(object->get_accChildCount(nullptr), E_POINTER);
        EXPECT_EQ(object->accHitTest(0, 0, nullptr), E_POINTER);
        EXPECT_EQ(object->accLocation(nullptr, nullptr, nullptr, nullptr, Self()), E_POINTER);
        // The dispatch part is not offered.
        UINT typeInfos = 7;
        EXPECT_EQ(object->GetTypeInfoCount(&typeInfos), E_NOTIMPL);
        EXPECT_EQ(typeInfos, 0u);
    }
}

TEST_F(AccTest, DetachedObjectsFail) {
    const int before = LiveAccessibleObjectCount();
    TComPtr<TBarItemViewerAccObject> viewer = ViewerObject(Plain);
    TComPtr<TBarViewAccObject> view = ViewObject();
    ASSERT_TRUE(viewer && view);
    // The item goes, and with it its viewer: the object a client still holds fails every call.
    Root.Remove(Plain);
    ASSERT_EQ(viewer->Viewer(), nullptr);
    // The view goes: the same for its object.
    View.reset();
    Window->View = nullptr;
    ASSERT_EQ(view->View(), nullptr);
    for (IAccessible* object : std::vector<IAccessible*>{view.Get(), viewer.Get()}) {
        BSTR s = nullptr;
        VARIANT out;
        long count = 5, l, t, w, h;
        TComPtr<IDispatch> d;
        EXPECT_EQ(object->get_accName(Self(), &s), E_FAIL);
        EXPECT_EQ(object->get_accValue(Self(), &s), E_FAIL);
        EXPECT_EQ(object->get_accDescription(Self(), &s), E_FAIL);
        EXPECT_EQ(object->get_accHelp(Self(), &s), E_FAIL);
        EXPECT_EQ(object->get_accKeyboardShortcut(Self(), &s), E_FAIL);
        EXPECT_EQ(object->get_accDefaultAction(Self(), &s), E_FAIL);
        EXPECT_EQ(object->get_accRole(Self(), &out), E_FAIL);
        EXPECT_EQ(object->get_accState(Self(), &out), E_FAIL);
        EXPECT_EQ(object->get_accFocus(&out), E_FAIL);
        EXPECT_EQ(object->get_accSelection(&out), E_FAIL);
        EXPECT_EQ(object->get_accChildCount(&count), E_FAIL);
        EXPECT_EQ(count, 0);
        EXPECT_EQ(object->get_accParent(d.Put()), E_FAIL);
        EXPECT_EQ(object->get_accChild(Self(), d.Put()), E_FAIL);
        EXPECT_EQ(object->accLocation(&l, &t, &w, &h, Self()), E_FAIL);
        EXPECT_EQ(object->accNavigate(NAVDIR_FIRSTCHILD, Self(), &out), E_FAIL);
        EXPECT_EQ(object->accHitTest(0, 0, &out), E_FAIL);
        EXPECT_EQ(object->accSelect(SELFLAG_TAKEFOCUS, Self()), E_FAIL);
        EXPECT_EQ(object->accDoDefaultAction(Self()), E_FAIL);
        EXPECT_EQ(object->put_accName(Self(), nullptr), E_FAIL);
        EXPECT_EQ(s, nullptr);
    }
    // Released by their last clients they go.
    viewer.Reset();
    view.Reset();
    EXPECT_EQ(LiveAccessibleObjectCount(), before);
    Items.erase(Items.begin() + 2);  // Plain
}
