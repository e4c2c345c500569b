#include "controls/toolbar/tbhook.h"

#include "classlib/errors.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace toolbar {

namespace {

LRESULT CALLBACK CallWndProcHook(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam);

const int HookIds[TBarHookCount] = {WH_CALLWNDPROC, WH_CBT, WH_GETMESSAGE};
const HOOKPROC HookProcs[TBarHookCount] = {CallWndProcHook, CbtHook, GetMessageHook};

struct TUserNode {
    void* User;
    TBarHookSet Held;  // the hooks this user holds a reference on
};

struct TCallbackEntry {
    TBarHookProc Callback;
    TBarHookKinds Kinds;            // as given when the entry was made
    std::vector<TUserNode> Users;   // newest first
};

// Everything of one thread. Its end removes the hooks the thread still has.
struct THookThreadState {
    HHOOK Handles[TBarHookCount]{};
    int RefCounts[TBarHookCount]{};
    std::vector<std::unique_ptr<TCallbackEntry>> Entries;

    ~THookThreadState() {
        for (HHOOK& h : Handles)
            if (h) {
                UnhookWindowsHookEx(h);
                h = nullptr;
            }
    }
};

thread_local THookThreadState tHooks;

TCallbackEntry* FindEntry(TBarHookProc callback, size_t* index = nullptr) {
    auto& entries = tHooks.Entries;
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i]->Callback == callback) {
            if (index) *index = i;
            return entries[i].get();
        }
    return nullptr;
}

// Calls every entry that listens for `kind`: those listed when the event began and still
// listed when their turn comes (a callback may register and unregister meanwhile).
void Dispatch(TBarHookKind kind, HWND wnd, WPARAM wParam, LPARAM lParam) noexcept {
    // Inside a hook no message box may open: reports wait for the loop.
    try {
        std::vector<TBarHookProc> callbacks;
        for (const auto& e : tHooks.Entries)
            if (e->Kinds & HookKindBit(kind)) callbacks.push_back(e->Callback);
        for (TBarHookProc callback : callbacks) {
            if (!FindEntry(callback)) continue;
            try {
                callback(kind, wnd, wParam, lParam);
            } catch (...) {
                classlib::TDeferExceptionReports defer;
                classlib::HandleCurrentException(nullptr);
            }
        }
    } catch (...) {
        classlib::TDeferExceptionReports defer;
        classlib::HandleCurrentException(nullptr);
    }
}

LRESULT CALLBACK CallWndProcHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* msg = reinterpret_cast<const CWPSTRUCT*>(lParam);
        switch (msg->message) {
        case WM_ACTIVATE:
            Dispatch(hkActivate, msg->hwnd, msg->wParam, msg->lParam);
            break;
        case WM_ACTIVATEAPP:
            Dispatch(hkActivateApp, msg->hwnd, msg->wParam, msg->lParam);
            break;
        case WM_WINDOWPOSCHANGED:
            Dispatch(hkWindowPosChanged, msg->hwnd, msg->wParam, msg->lParam);
            break;
        default:
            break;
        }
    }
    return CallNextHookEx(tHooks.Handles[0], code, wParam, lParam);
}

LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_DESTROYWND) Dispatch(hkDestroying, reinterpret_cast<HWND>(wParam), 0, 0);
    return CallNextHookEx(tHooks.Handles[1], code, wParam, lParam);
}

LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) Dispatch(hkMessageRetrieved, nullptr, wParam, lParam);
    return CallNextHookEx(tHooks.Handles[2], code, wParam, lParam);
}

}  // namespace

TBarHookSet HooksNeededForKinds(TBarHookKinds kinds) {
    TBarHookSet hooks = 0;
    if (kinds & (HookKindBit(hkActivate) | HookKindBit(hkActivateApp) | HookKindBit(hkWindowPosChanged)))
        hooks |= 1u << 0;
    if (kinds & HookKindBit(hkDestroying)) hooks |= 1u << 1;
    if (kinds & HookKindBit(hkMessageRetrieved)) hooks |= 1u << 2;
    return hooks;
}

void AddHookReferences(TBarHookSet needed, TBarHookSet& held) {
    for (int i = 0; i < TBarHookCount; ++i) {
        const TBarHookSet bit = 1u << i;
        if ((needed & bit) && !(held & bit)) {
            ++tHooks.RefCounts[i];
            held |= bit;
        }
    }
    for (int i = 0; i < TBarHookCount; ++i)
        if ((held & (1u << i)) && !tHooks.Handles[i])
            tHooks.Handles[i] = SetWindowsHookExW(HookIds[i], HookProcs[i], nullptr, GetCurrentThreadId());
}

void ReleaseHookReferences(TBarHookSet hooks, bool force) {
    for (int i = 0; i < TBarHookCount; ++i) {
        if (!(hooks & (1u << i))) continue;
        if (!force && tHooks.RefCounts[i] > 0) --tHooks.RefCounts[i];
        if (tHooks.Handles[i] && (force || tHooks.RefCounts[i] == 0)) {
            UnhookWindowsHookEx(tHooks.Handles[i]);
            tHooks.Handles[i] = nullptr;
        }
    }
}

void RegisterHookCallback(void* user, TBarHookProc callback, TBarHookKinds kinds) {
    if (!callback) return;
    TCallbackEntry* entry = FindEntry(callback);
    TUserNode* node = nullptr;
    if (entry) {
        auto it = std::find_if(entry->Users.begin(), entry->Users.end(),
                               [user](const TUserNode& n) { return n.User == user; });
        if (it == entry->Users.end()) it = entry->Users.insert(entry->Users.begin(), TUserNode{user, 0});
        node = &*it;
    } else {
        auto made = std::make_unique<TCallbackEntry>();
        made->Callback = callback;
        made->Kinds = kinds;
        made->Users.push_back(TUserNode{user, 0});
        tHooks.Entries.push_back(std::move(made));
        node = &tHooks.Entries.back()->Users.front();
    }
    AddHookReferences(HooksNeededForKinds(kinds), node->Held);
}

void UnregisterHookCallback(void* user, TBarHookProc callback) {
    size_t index = 0;
    TCallbackEntry* entry = FindEntry(callback, &index);
    if (!entry) return;
    auto it = std::find_if(entry->Users.begin(), entry->Users.end(),
                           [user](const TUserNode& n) { return n.User == user; });
    if (it == entry->Users.end()) return;
    const TBarHookSet held = it->Held;
    entry->Users.erase(it);
    if (entry->Users.empty()) tHooks.Entries.erase(tHooks.Entries.begin() + static_cast<std::ptrdiff_t>(index));
    ReleaseHookReferences(held, false);
}

bool HookInstalled(int hook) { return hook >= 0 && hook < TBarHookCount && tHooks.Handles[hook] != nullptr; }

int HookReferenceCount(int hook) { return hook >= 0 && hook < TBarHookCount ? tHooks.RefCounts[hook] : 0; }

}  // namespace toolbar
