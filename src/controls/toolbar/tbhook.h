// Window events of one thread for any number of listeners, through at most three system
// hooks per thread that exist only while some listener needs them.
//
// A listener is a callback procedure and a user (any pointer, usually the registering
// window). Listeners with the same callback share one entry: the callback is called once
// per event, whoever registered it; the users only count who still needs it. The kinds an
// entry hears are the ones given when its callback was first registered.
//
// - Hooks and listeners belong to the thread that registered them (thread-local state); a
//   listener registered on one thread never hears of another thread's windows.
// - A callback may register and unregister listeners (itself included) while it is called:
//   the event still reaches the other entries that were listed when it began.
// - An exception raised by a callback never leaves the hook: it is reported through the
//   exception funnel after the event (deferred, as from painting) and the other callbacks
//   still run.
// - A hook the system refuses stays missing; the next registration that needs it tries
//   again. The hooks of a thread are removed when its last listener goes and when the
//   thread ends.
#pragma once

#include <windows.h>

namespace toolbar {

// The events a listener can ask for.
enum TBarHookKind {
    hkActivate,          // WM_ACTIVATE is sent to a window of the thread (wnd = the window)
    hkActivateApp,       // WM_ACTIVATEAPP is sent
    hkWindowPosChanged,  // WM_WINDOWPOSCHANGED is sent
    hkDestroying,        // a window of the thread is about to be destroyed (wParam, lParam 0)
    hkMessageRetrieved,  // a message was taken from the queue (wnd 0, wParam = remove flag,
                         // lParam = the MSG*, which the callback may change)
};
// A set of kinds: bit n = kind n.
using TBarHookKinds = unsigned;
constexpr TBarHookKinds HookKindBit(TBarHookKind kind) { return 1u << kind; }

// The system hooks, in this order: 0 WH_CALLWNDPROC, 1 WH_CBT, 2 WH_GETMESSAGE. A set is a
// bit set (bit n = hook n).
using TBarHookSet = unsigned;
constexpr int TBarHookCount = 3;

using TBarHookProc = void (*)(TBarHookKind kind, HWND wnd, WPARAM wParam, LPARAM lParam);

// Registers `user` as a listener of `callback` for `kinds` and installs the hooks they need.
// Registering the same user again only adds the hooks the new kinds need.
void RegisterHookCallback(void* user, TBarHookProc callback, TBarHookKinds kinds);
// Withdraws `user` from `callback`; the hooks it held go when nobody else needs them.
// Unknown callbacks and users are ignored.
void UnregisterHookCallback(void* user, TBarHookProc callback);

// The system hooks that `kinds` need.
TBarHookSet HooksNeededForKinds(TBarHookKinds kinds);
// One more reference on each hook of `needed` not yet in `held` (which gains them); then
// every hook of `held` that is not installed is installed for the current thread.
void AddHookReferences(TBarHookSet needed, TBarHookSet& held);
// One reference less on each hook of `hooks` (none with `force`); each installed hook of
// `hooks` left without references (every one of them with `force`) is removed.
void ReleaseHookReferences(TBarHookSet hooks, bool force);

// State of this thread's hook `hook` (0..2): whether it is installed, and its references.
bool HookInstalled(int hook);
int HookReferenceCount(int hook);

}  // namespace toolbar
