#include "classlib/component.h"
#include "classlib/errors.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace classlib;

namespace {

// A component that logs its notifications and its end into a shared journal, and keeps
// one pointer to a component it does not own (cleared on opRemove).
class Probe : public TComponent {
public:
    Probe(TComponent* owner, std::wstring name, std::vector<std::wstring>& log)
        : TComponent(owner), FLog(log) {
        SetName(name);
    }
    ~Probe() override {
        FLog.push_back(L"~" + Name() + ((ComponentState() & csDestroying) ? L"(destroying)" : L""));
    }

    TComponent* Ref = nullptr;

protected:
    void Notification(TComponent* component, TOperation operation) override {
        if (operation == opRemove) {
            FLog.push_back(Name() + L"<-remove");
            if (component == Ref)
                Ref = nullptr;
        } else {
            FLog.push_back(Name() + L"<-insert");
        }
        TComponent::Notification(component, operation);
    }

private:
    std::vector<std::wstring>& FLog;
};

}  // namespace

TEST(Component, OwnerDestroysChildrenLastCreatedFirst) {
    std::vector<std::wstring> log;
    auto* owner = new Probe(nullptr, L"Owner", log);
    auto* a = new Probe(owner, L"A", log);
    new Probe(a, L"A1", log);
    new Probe(owner, L"B", log);
    new Probe(owner, L"C", log);
    ASSERT_EQ(owner->ComponentCount(), 3);
    EXPECT_EQ(owner->Components(0), a);
    EXPECT_EQ(a->ComponentIndex(), 0);
    EXPECT_EQ(a->Owner(), owner);
    EXPECT_THROW(owner->Components(3), EListError);
    log.clear();
    delete owner;
    // The owner's own derived destructor runs first; children then see csDestroying in
    // theirs; grandchildren go with their own owner; nobody hears of siblings that nobody
    // asked about.
    std::vector<std::wstring> expected = {L"~Owner", L"~C(destroying)", L"~B(destroying)",
                                          L"~A(destroying)", L"~A1(destroying)"};
    EXPECT_EQ(log, expected);
}

TEST(Component, EarlyDeleteLeavesOwnerAndTellsSiblings) {
    std::vector<std::wstring> log;
    Probe owner(nullptr, L"Owner", log);
    auto* a = new Probe(&owner, L"A", log);
    auto* b = new Probe(&owner, L"B", log);
    a->Ref = b;
    a->FreeNotification(b);
    log.clear();
    delete b;
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(a->Ref, nullptr);
    EXPECT_EQ(owner.FindComponent(L"B"), nullptr);
    // The one who asked hears first, then the owner; nobody else.
    std::vector<std::wstring> expected = {L"~B", L"A<-remove", L"Owner<-remove"};
    EXPECT_EQ(log, expected);
}

TEST(Component, SiblingMarkedForFreeNotificationIsAnnouncedWhenOwnerEnds) {
    std::vector<std::wstring> log;
    auto* owner = new Probe(nullptr, L"Owner", log);
    auto* holder = new Probe(owner, L"Holder", log);  // created first, destroyed last
    auto* target = new Probe(owner, L"Target", log);
    new Probe(owner, L"Bystander", log);               // destroyed first, unannounced
    holder->Ref = target;
    holder->FreeNotification(target);
    log.clear();
    delete owner;
    std::vector<std::wstring> expected = {L"~Owner", L"~Bystander(destroying)", L"Holder<-remove",
                                          L"~Target(destroying)", L"~Holder(destroying)"};
    EXPECT_EQ(log, expected);
}

TEST(Component, FreeNotificationAcrossOwnersBothWays) {
    std::vector<std::wstring> log;
    auto* form1 = new Probe(nullptr, L"Form1", log);
    auto* form2 = new Probe(nullptr, L"Form2", log);
    auto* target = new Probe(form2, L"Target", log);
    auto* first = new Probe(form1, L"First", log);
    auto* second = new Probe(nullptr, L"Second", log);
    first->Ref = target;
    first->FreeNotification(target);
    second->Ref = target;
    second->FreeNotification(target);
    second->FreeNotification(target);  // twice is once

    // A listener destroyed first no longer hears anything.
    auto* gone = new Probe(nullptr, L"Gone", log);
    gone->FreeNotification(target);
    delete gone;

    log.clear();
    delete target;
    EXPECT_EQ(first->Ref, nullptr);
    EXPECT_EQ(second->Ref, nullptr);
    // Listeners hear last-registered first, then the owner (and only it).
    std::vector<std::wstring> expected = {L"~Target", L"Second<-remove", L"First<-remove",
                                          L"Form2<-remove"};
    EXPECT_EQ(log, expected);

    // RemoveFreeNotification withdraws the interest.
    auto* other = new Probe(nullptr, L"Other", log);
    second->Ref = other;
    second->FreeNotification(other);
    second->RemoveFreeNotification(other);
    delete other;
    EXPECT_EQ(second->Ref, other);  // not told

    delete second;
    delete form1;
    delete form2;
}

TEST(Component, NamesInsertAndRemove) {
    std::vector<std::wstring> log;
    Probe owner(nullptr, L"Owner", log);
    auto* a = new Probe(&owner, L"Edit1", log);
    EXPECT_EQ(owner.FindComponent(L"EDIT1"), a);
    EXPECT_EQ(owner.FindComponent(L""), nullptr);
    EXPECT_THROW(Probe(&owner, L"edit1", log), EComponentError);
    EXPECT_EQ(owner.ComponentCount(), 1);  // the refused one left no trace
    for (const wchar_t* bad : {L"1abc", L"a b", L"名前", L"a-b"})
        EXPECT_THROW(a->SetName(bad), EComponentError) << testing::PrintToString(std::wstring(bad));
    a->SetName(L"_Ok9");
    auto* u1 = new Probe(&owner, L"", log);
    auto* u2 = new Probe(&owner, L"", log);  // empty names never clash
    EXPECT_EQ(owner.ComponentCount(), 3);
    u1->SetTag(-5);
    EXPECT_EQ(u1->Tag(), -5);

    // Moving a component to another owner takes it out of the first one.
    Probe other(nullptr, L"Other", log);
    log.clear();
    other.InsertComponent(u2);
    EXPECT_EQ(u2->Owner(), &other);
    EXPECT_EQ(owner.ComponentCount(), 2);
    EXPECT_EQ(other.ComponentCount(), 1);
    // Only the two owners hear; the components left behind in the first owner do not.
    std::vector<std::wstring> expected = {L"Owner<-remove", L"Other<-insert"};
    EXPECT_EQ(log, expected);

    // Removing without freeing hands the lifetime back to the caller.
    other.RemoveComponent(u2);
    EXPECT_EQ(u2->Owner(), nullptr);
    EXPECT_EQ(other.ComponentCount(), 0);
    delete u2;
}

TEST(Component, LoadedClearsLoading) {
    TComponent c(nullptr);
    EXPECT_EQ(c.ComponentState() & csLoading, 0u);
    c.BeginLoading();
    EXPECT_NE(c.ComponentState() & csLoading, 0u);
    c.Loaded();
    EXPECT_EQ(c.ComponentState() & csLoading, 0u);
}

// --- typed references ------------------------------------------------------------------

namespace {

// Holds references to components it does not own and counts their OnFree calls.
class Holder : public TComponent {
public:
    explicit Holder(TComponent* owner) : TComponent(owner) {}
    TComponentRef<TComponent> First{[this] { ++FirstFreed; }};
    TComponentRef<TComponent> Second{[this] { ++SecondFreed; }};
    int FirstFreed = 0, SecondFreed = 0;
};

}  // namespace

TEST(ComponentRef, ClearedWhenItsTargetIsDestroyedByAnyPath) {
    Holder holder(nullptr);
    // Deleted directly.
    auto* direct = new TComponent(nullptr);
    holder.First = direct;
    EXPECT_EQ(holder.First.Get(), direct);
    delete direct;
    EXPECT_EQ(holder.First.Get(), nullptr);
    EXPECT_EQ(holder.FirstFreed, 1);

    // Destroyed with its owner: heard while the target is still whole.
    std::vector<std::wstring> log;
    auto* owner = new TComponent(nullptr);
    auto* owned = new Probe(owner, L"Owned", log);
    TComponentRef<Probe> typed;
    std::wstring nameAtFree;
    typed.OnFree = [&] { nameAtFree = L"cleared:" + std::to_wstring(typed.Get() == nullptr); };
    typed = owned;
    holder.Second = owned;
    delete owner;
    EXPECT_EQ(typed.Get(), nullptr);
    EXPECT_EQ(holder.Second.Get(), nullptr);
    EXPECT_EQ(nameAtFree, L"cleared:1");  // cleared before its callback runs
    EXPECT_EQ(holder.SecondFreed, 1);
}

namespace {

// A target that notes, at each step of its end, whether a reference still reaches it.
class Watched : public TComponent {
public:
    Watched(TComponent* owner, const TComponentRef<TComponent>& ref, std::vector<std::wstring>& log)
        : TComponent(owner), FRef(ref), FLog(log) {}
    ~Watched() override { Note(L"destructor"); }

protected:
    void BeforeDestruction() override { Note(L"teardown"); }

private:
    void Note(const wchar_t* step) { FLog.push_back(std::wstring(step) + (FRef.Get() ? L":set" : L":clear")); }
    const TComponentRef<TComponent>& FRef;
    std::vector<std::wstring>& FLog;
};

}  // namespace

TEST(ComponentRef, ClearedBeforeItsTargetIsTakenApart) {
    // Deleted directly or by its owner, the target is unreachable from its first step on;
    // destroyed without delete (no teardown step) it is cleared by TComponent's destructor.
    enum TPath { pDelete, pOwner, pLocal };
    struct Case {
        TPath Path;
        std::vector<std::wstring> Steps;
    };
    const Case cases[] = {
        {pDelete, {L"teardown:clear", L"destructor:clear"}},
        {pOwner, {L"teardown:clear", L"destructor:clear"}},
        {pLocal, {L"destructor:set"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Path));
        std::vector<std::wstring> log;
        TComponentRef<TComponent> ref;
        int freed = 0;
        ref.OnFree = [&] { ++freed; };
        if (c.Path == pDelete) {
            ref = new Watched(nullptr, ref, log);
            delete ref.Get();
        } else if (c.Path == pOwner) {
            auto* owner = new TComponent(nullptr);
            ref = new Watched(owner, ref, log);
            delete owner;
        } else {
            Watched local(nullptr, ref, log);
            ref = &local;
        }
        EXPECT_EQ(log, c.Steps);
        EXPECT_EQ(ref.Get(), nullptr);
        EXPECT_EQ(freed, 1);
    }
}

TEST(ComponentRef, TwoReferencesToOneTargetAreIndependent) {
    // Setting one reference elsewhere must not stop the other from hearing of the end.
    Holder holder(nullptr);
    auto* shared = new TComponent(nullptr);
    TComponent other(nullptr);
    holder.First = shared;
    holder.Second = shared;
    holder.First = &other;
    delete shared;
    EXPECT_EQ(holder.Second.Get(), nullptr);
    EXPECT_EQ(holder.SecondFreed, 1);
    EXPECT_EQ(holder.First.Get(), &other);
    EXPECT_EQ(holder.FirstFreed, 0);  // re-pointing is no free
}

TEST(ComponentRef, AReferenceThatGoesFirstLeavesNothingBehind) {
    auto* target = new TComponent(nullptr);
    {
        Holder holder(nullptr);
        holder.First = target;
        holder.Second = target;
    }
    delete target;  // would reach the gone holder if the references stayed registered

    // A callback may drop the object that holds the reference (and other references).
    auto* doomed = new TComponent(nullptr);
    auto* holder = new Holder(nullptr);
    holder->First = doomed;
    holder->Second = doomed;
    holder->First.OnFree = [&holder] {
        delete holder;
        holder = nullptr;
    };
    delete doomed;
    EXPECT_EQ(holder, nullptr);
}

TEST(Component, RemovalReachesOnlyThoseWhoAsked) {
    std::vector<std::wstring> log;
    Probe owner(nullptr, L"Owner", log);
    auto* listener = new Probe(&owner, L"Listener", log);
    auto* bystander = new Probe(&owner, L"Bystander", log);
    auto* child = new Probe(bystander, L"Child", log);
    auto* target = new Probe(&owner, L"Target", log);
    auto* quiet = new Probe(&owner, L"Quiet", log);
    listener->FreeNotification(target);
    (void)child;
    log.clear();
    delete quiet;  // nobody asked: only its owner hears
    EXPECT_EQ(log, (std::vector<std::wstring>{L"~Quiet", L"Owner<-remove"}));
    log.clear();
    delete target;
    EXPECT_EQ(log, (std::vector<std::wstring>{L"~Target", L"Listener<-remove", L"Owner<-remove"}));
}
