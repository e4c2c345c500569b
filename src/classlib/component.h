// TComponent: ownership, names and free notification.
//
// Lifetime contract:
// - A component created with an owner (or inserted into one) is destroyed by the owner's
//   destructor, last-created first. Ownership is the only implicit freeing: create owned
//   components with `new` and never delete them through a smart pointer as well.
// - A component deleted before its owner removes itself from the owner, which then receives
//   Notification(component, opRemove). The owner hears of its own components only; the
//   notification is not passed on to the other components it owns.
// - A pointer to a component one does not own is a TComponentRef<T>: it registers with its
//   target and is cleared (and its OnFree callback run) when the target is destroyed.
// - FreeNotification(other) asks for Notification(other, opRemove) when `other` is
//   destroyed; only the components that asked hear of it. Both sides keep a list, and each
//   removes itself from the other's list when destroyed first.
// - Deleting a component (by its owner, delete or a smart pointer) clears the references
//   to it first, while the whole object still exists and before BeforeDestruction takes it
//   apart: nothing reaches a component through a reference once its teardown has begun.
//   Its listeners hear before its destructors run when its owner destroys it, and from
//   TComponent's destructor, after its derived parts are gone, when it is deleted directly.
//   A component destroyed without delete tells both from TComponent's destructor.
// - Notification and OnFree callbacks run from destructors: they must not throw, must not
//   delete components, and should only compare the pointer they receive (its derived parts
//   may already be destroyed). The owner's Notification(opInsert) is called from the new
//   component's constructor, before its derived parts exist.
// - Deleting a component (delete, an owner, a smart pointer) first runs BeforeDestruction
//   on the whole object, so virtual calls made there reach the most-derived class; only
//   then do the destructors run. A component destroyed without delete (a local variable
//   or a member) skips BeforeDestruction: its destructors then take the base classes'
//   steps only. Create components with new.
// Components belong to the main thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <new>
#include <string>
#include <vector>

namespace classlib {

class TComponent;
class TComponentRefBase;

// The shape of every "something happened" event: the sender, nothing else.
using TNotifyEvent = std::function<void(TComponent* sender)>;

enum TOperation { opInsert, opRemove };

// A letter or '_' first, then letters, digits and '_' (ASCII): what a component name may be.
bool IsValidIdent(const std::wstring& name);

// Component states (bit flags).
using TComponentState = unsigned;
constexpr TComponentState csLoading = 0x0001;           // being built; Loaded() clears it
constexpr TComponentState csDestroying = 0x0008;        // its destructor has begun
constexpr TComponentState csFreeNotification = 0x0100;  // someone asked to hear of its end

class TComponent {
public:
    explicit TComponent(TComponent* owner);
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;
    virtual ~TComponent();
    // `delete component`: BeforeDestruction on the whole object, then the destructors.
    // Exceptions from BeforeDestruction go to the exception funnel; the deletion goes on.
    void operator delete(TComponent* component, std::destroying_delete_t);
    // The allocation that pairs with it; the plain delete frees a component whose
    // constructor threw.
    static void* operator new(std::size_t size);
    static void operator delete(void* memory) noexcept;

    TComponent* Owner() const { return FOwner; }

    // Names are empty or identifiers (letter or '_' first, then letters, digits, '_'),
    // unique among the owner's components ignoring ASCII case; otherwise EComponentError.
    const std::wstring& Name() const { return FName; }
    virtual void SetName(const std::wstring& name);

    intptr_t Tag() const { return FTag; }
    void SetTag(intptr_t tag) { FTag = tag; }

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int index) const;
    // Position in the owner's list, or -1 without an owner.
    int ComponentIndex() const;
    // The owned component of that name (ignoring ASCII case); null for "" or none.
    TComponent* FindComponent(const std::wstring& name) const;

    // Takes `component` into this owner's list (from its old owner if it had one) and sends
    // Notification(component, opInsert). The name must be unique here.
    void InsertComponent(TComponent* component);
    // Sends Notification(component, opRemove) and drops it from the list without freeing it.
    void RemoveComponent(TComponent* component);
    // Destroys every owned component, last-created first.
    void DestroyComponents();

    // Asks for Notification(component, opRemove) when `component` is destroyed (and tells
    // `component` of this one's end as well). Asking twice is asking once.
    void FreeNotification(TComponent* component);
    // Withdraws FreeNotification in both directions.
    void RemoveFreeNotification(TComponent* component);

    TComponentState ComponentState() const { return FComponentState; }
    // Marks this component as being built (csLoading) until Loaded() runs.
    void BeginLoading() { FComponentState |= csLoading; }
    // Ends loading: clears csLoading. Overrides call the base and then react to the
    // properties set while loading.
    virtual void Loaded();
    // Sets csDestroying here and on every owned component. Called by the destructor; a
    // derived destructor that does real work may call it first.
    void Destroying();
    // True once the deletion of this component has run BeforeDestruction: destructors then
    // skip the steps it took.
    bool BeforeDestructionDone() const { return FBeforeDestructionDone; }

protected:
    // Told about components inserted into or removed from this owner, and about the end of
    // components it asked to hear about (FreeNotification). The base drops `component` from
    // the free-notification lists; overrides react and call the base.
    virtual void Notification(TComponent* component, TOperation operation);
    // The first step of a deletion, with the whole object still there. Overrides take
    // apart what depends on their class and then call the base; they must not delete this
    // component. The base does nothing (csDestroying comes with the destructor); controls
    // set csDestroying first and take themselves apart in TearDown.
    virtual void BeforeDestruction() {}

private:
    friend class TComponentRefBase;
    void ValidateRename(TComponent* component, const std::wstring& newName) const;
    void RemoveNotify(TComponent* component);
    // Clears the references to this component and tells the components that asked: this
    // one is being destroyed. Runs once; later calls find the lists empty.
    void NotifyFree();
    // The first half of NotifyFree: the references only.
    void ClearReferences();

    TComponent* FOwner = nullptr;
    std::wstring FName;
    intptr_t FTag = 0;
    TComponentState FComponentState = 0;
    bool FBeforeDestructionDone = false;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    std::vector<TComponentRefBase*> FReferences;  // the references that point here
};

// The untyped part of TComponentRef: the registration with the target.
class TComponentRefBase {
public:
    TComponentRefBase(const TComponentRefBase&) = delete;
    TComponentRefBase& operator=(const TComponentRefBase&) = delete;

    TComponent* Component() const { return FTarget; }

    // Runs after the reference was cleared because its target is being destroyed (not when
    // the reference is set to something else). See the rules for Notification above.
    std::function<void()> OnFree;

protected:
    TComponentRefBase() = default;
    explicit TComponentRefBase(std::function<void()> onFree) : OnFree(std::move(onFree)) {}
    ~TComponentRefBase() { Attach(nullptr); }

    // Moves the registration from the old target to `target`.
    void Attach(TComponent* target);
    // The typed pointer of the derived reference is cleared.
    virtual void Detached() = 0;

private:
    friend class TComponent;
    TComponent* FTarget = nullptr;
};

// A pointer to a component that this object does not own: it reads as a T*, and becomes
// null when the target is destroyed (then OnFree runs). Setting it to another component or
// null, or destroying the reference, withdraws it from the old target. Typically a member
// of the component that holds the pointer:
//     TComponentRef<TPopupMenu> FPopupMenu;
//     TComponentRef<TImageList> FImages{[this] { ImagesFreed(); }};
// Main thread only, like components.
template <class T>
class TComponentRef : public TComponentRefBase {
public:
    TComponentRef() = default;
    explicit TComponentRef(std::function<void()> onFree) : TComponentRefBase(std::move(onFree)) {}
    ~TComponentRef() = default;

    T* Get() const { return FTyped; }
    operator T*() const { return FTyped; }
    T* operator->() const { return FTyped; }

    void Set(T* target) {
        if (target == FTyped) return;
        Attach(target);
        FTyped = target;
    }
    TComponentRef& operator=(T* target) {
        Set(target);
        return *this;
    }

private:
    void Detached() override { FTyped = nullptr; }

    T* FTyped = nullptr;
};

}  // namespace classlib
