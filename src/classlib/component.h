// TComponent: ownership, names and free notification.
//
// Lifetime contract:
// - A component created with an owner (or inserted into one) is destroyed by the owner's
//   destructor, last-created first. Ownership is the only implicit freeing: create owned
//   components with `new` and never delete them through a smart pointer as well.
// - A component deleted before its owner removes itself from the owner; the owner (and,
//   through it, every component it owns) then receives Notification(component, opRemove).
// - FreeNotification(other) asks to be told when `other` is destroyed, for pointers to
//   components one does not own. Components with the same owner already hear of each other
//   through the owner, so for them the call only marks `other`; across owners both sides
//   keep a list and each removes itself from the other's list when destroyed first.
// - Notification runs from destructors: overrides must not throw, must not delete
//   components, and should only compare the pointer they receive (its derived parts may
//   already be destroyed). The owner's Notification(opInsert) is called from the new
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

// The shape of every "something happened" event: the sender, nothing else.
using TNotifyEvent = std::function<void(TComponent* sender)>;

enum TOperation { opInsert, opRemove };

// Component states (bit flags).
using TComponentState = unsigned;
constexpr TComponentState csLoading = 0x0001;           // being built; Loaded() clears it
constexpr TComponentState csDestroying = 0x0008;        // its destructor has begun
constexpr TComponentState csDesigning = 0x0010;         // never set by this program
constexpr TComponentState csFreeNotification = 0x0100;  // a sibling asked to hear of its end

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

    void FreeNotification(TComponent* component);
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
    // Told about components inserted into or removed from this owner (and, through the
    // owner, about its siblings), and about the end of components it asked to hear about.
    // The base drops `component` from the free-notification lists and passes the call on
    // to every owned component; overrides clear their pointers and call the base.
    virtual void Notification(TComponent* component, TOperation operation);
    // The first step of a deletion, with the whole object still there. Overrides take
    // apart what depends on their class and then call the base; they must not delete this
    // component. The base does nothing (csDestroying comes with the destructor); controls
    // set csDestroying first and take themselves apart in TearDown.
    virtual void BeforeDestruction() {}

private:
    void ValidateRename(TComponent* component, const std::wstring& newName) const;
    void RemoveNotify(TComponent* component);

    TComponent* FOwner = nullptr;
    std::wstring FName;
    intptr_t FTag = 0;
    TComponentState FComponentState = 0;
    bool FBeforeDestructionDone = false;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
};

}  // namespace classlib
