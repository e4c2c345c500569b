// Actions: one command reachable from menus, buttons and shortcuts, with its caption, hint,
// enabled and checked state kept in one place.
//
// - A TCustomAction informs its linked clients (TActionLink) of a new caption, hint,
//   enabled... BEFORE it stores the new value, so a link can compare the client's current
//   value with the action's old one: a client whose value was changed by hand is no longer
//   linked and keeps its own value.
// - TActionList::IsShortCut runs the first action whose shortcut matches and that is
//   enabled after its update ran; the application calls it before the focused control sees
//   the key. The application runs every action's update while it is idle.
// Actions belong to the main thread.
#pragma once

#include "classlib/component.h"
#include "classlib/control.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace classlib {

class TActionLink;
class TActionList;
class TControl;
class TImageList;

using TShortCut = WORD;

class TBasicAction : public TComponent {
public:
    explicit TBasicAction(TComponent* owner);
    ~TBasicAction() override;

    // Runs OnExecute; returns false when there is none.
    virtual bool Execute();
    // Runs OnUpdate; returns false when there is none.
    virtual bool Update();
    TComponent* ActionComponent = nullptr;  // the client that started the current Execute

    TNotifyEvent OnExecute, OnUpdate;

    void RegisterChanges(TActionLink* link);
    void UnRegisterChanges(TActionLink* link);

protected:
    std::vector<TActionLink*> FClients;
};

class TContainedAction : public TBasicAction {
public:
    // An action owned by an action list joins it.
    explicit TContainedAction(TComponent* owner);
    ~TContainedAction() override;
    TActionList* ActionList() const { return FActionList; }
    void SetActionList(TActionList* list);
    int Index() const;
    std::wstring Category;

    // Runs the list's OnExecute first; the action's own OnExecute when the list did not handle it.
    bool Execute() override;
    bool Update() override;

private:
    TActionList* FActionList = nullptr;
};

class TCustomAction : public TContainedAction {
public:
    explicit TCustomAction(TComponent* owner);

    const std::wstring& Caption() const { return FCaption; }
    virtual void SetCaption(const std::wstring& value);
    const std::wstring& Hint() const { return FHint; }
    virtual void SetHint(const std::wstring& value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut value);
    std::vector<TShortCut> SecondaryShortCuts;
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int value);
    int GroupIndex = 0;
    bool AutoCheck = false;

    // Copies caption, hint, state and shortcut of another action.
    virtual void Assign(const TCustomAction& source);
    bool Execute() override;
    // The list's and the action's update; with neither, an action without OnExecute is
    // disabled (nothing would run).
    bool Update() override;
    // Shortcut handling: Execute when enabled after updating. True when it ran.
    bool HandleShortCut();
    // Asked for the tooltip a client shows for the action: OnHint may change the text and
    // answer false through canShow to show none. Answers canShow (true without a handler).
    virtual bool DoHint(std::wstring& hint);
    std::function<void(std::wstring& hint, bool& canShow)> OnHint;

private:
    std::wstring FCaption, FHint;
    bool FEnabled = true, FChecked = false, FVisible = true;
    TShortCut FShortCut = 0;
    int FImageIndex = -1;
    int FHelpContext = 0;
};

class TAction : public TCustomAction {
public:
    explicit TAction(TComponent* owner) : TCustomAction(owner) {}
};

using TActionEvent = std::function<void(TBasicAction* action, bool& handled)>;

class TActionList : public TComponent {
public:
    explicit TActionList(TComponent* owner);
    ~TActionList() override;

    int ActionCount() const { return static_cast<int>(FActions.size()); }
    TContainedAction* Actions(int index) const { return FActions[index]; }
    TImageList* Images = nullptr;
    TActionEvent OnExecute, OnUpdate;
    TNotifyEvent OnChange;
    bool Enabled = true;

    // Runs the first enabled action with this shortcut. True when one ran.
    virtual bool IsShortCut(WORD key, TShiftState shift);
    bool IsShortCut(TShortCut shortCut);
    // Runs OnUpdate of the list for `action`; true when the list handled it.
    virtual bool UpdateAction(TBasicAction* action);
    virtual bool ExecuteAction(TBasicAction* action);
    // Updates every action (idle processing).
    void UpdateActions();

private:
    friend class TContainedAction;
    std::vector<TContainedAction*> FActions;
};

// The connection between an action and one client.
class TActionLink {
public:
    TActionLink() = default;
    virtual ~TActionLink();
    TActionLink(const TActionLink&) = delete;
    TActionLink& operator=(const TActionLink&) = delete;

    TBasicAction* Action() const { return FAction; }
    virtual void SetAction(TBasicAction* action);
    bool Execute(TComponent* component = nullptr);
    bool Update();

    // Called by the action before it stores a new value.
    virtual bool IsCaptionLinked() { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }
    virtual bool IsHintLinked() { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }
    virtual bool IsEnabledLinked() { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }
    virtual bool IsCheckedLinked() { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }
    virtual bool IsVisibleLinked() { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }
    virtual bool IsImageIndexLinked() { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }
    virtual bool IsShortCutLinked() { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }
    virtual void SetCaption(const std::wstring&) {}
    virtual void SetHint(const std::wstring&) {}
    virtual void SetEnabled(bool) {}
    virtual void SetChecked(bool) {}
    virtual void SetVisible(bool) {}
    virtual void SetImageIndex(int) {}
    virtual void SetShortCut(TShortCut) {}
    // The action went away: the link forgets it, then OnActionFreed runs (its client
    // typically drops the link there; the link is not used after the call).
    void ActionDestroyed();
    std::function<void()> OnActionFreed;

protected:
    TBasicAction* FAction = nullptr;
};

// The link of a control: caption and hint stay linked while the control shows exactly the
// action's value.
class TControlActionLink : public TActionLink {
public:
    explicit TControlActionLink(TControl* client) : FClient(client) {}
    TControl* Client() const { return FClient; }
    bool IsCaptionLinked() override;
    bool IsHintLinked() override;
    bool IsEnabledLinked() override;
    bool IsVisibleLinked() override;
    void SetCaption(const std::wstring& value) override;
    void SetHint(const std::wstring& value) override;
    void SetEnabled(bool value) override;
    void SetVisible(bool value) override;

protected:
    TControl* FClient;
};

}  // namespace classlib
