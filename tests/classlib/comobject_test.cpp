#include "classlib/comobject.h"

#include <gtest/gtest.h>

#include <ole2.h>

#include <stdexcept>
#include <thread>
#include <vector>

using namespace classlib;

namespace {

// An object with two interfaces that reports its end.
class TwoFaces : public TComObject<IDropSource, IDropTarget> {
public:
    explicit TwoFaces(bool* freed) : FFreed(freed) {}
    ~TwoFaces() override {
        if (FFreed) *FFreed = true;
    }
    // A further interface answered through the hook.
    bool AnswerNotify = false;

    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD*) override { return S_OK; }

protected:
    void* QueryOtherInterface(REFIID riid) override {
        return AnswerNotify && IsEqualIID(riid, IID_IDropSourceNotify) ? static_cast<IDropSource*>(this) : nullptr;
    }

private:
    bool* FFreed;
};

// An object its creator keeps.
class KeptSource : public TComExternalObject<IDropSource> {
public:
    explicit KeptSource(bool* freed) : FFreed(freed) {}
    ~KeptSource() override { *FFreed = true; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return S_OK; }

private:
    bool* FFreed;
};

// The owner side of a detachable object.
struct Owner {
    int Calls = 0;
};

class OwnedTarget : public TComOwnedObject<Owner, IDropTarget> {
public:
    explicit OwnedTarget(Owner* owner, int* gone) : TComOwnedObject(owner), FGone(gone) {}
    bool Throw = false;

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD*) override {
        return WithOwner([&](Owner& o) {
            if (Throw) throw std::runtime_error("owner failed");
            ++o.Calls;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD*) override { return S_OK; }

protected:
    void OwnerGone() noexcept override { ++*FGone; }

private:
    int* FGone;
};

}  // namespace

TEST(ComObject, QueryInterfaceAnswersEachListedInterfaceWithOneIdentity) {
    bool freed = false;
    auto* object = new TwoFaces(&freed);
    EXPECT_EQ(object->RefCount(), 1);  // the creator's reference

    IDropSource* source = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_IDropSource, reinterpret_cast<void**>(&source)), S_OK);
    EXPECT_EQ(source, static_cast<IDropSource*>(object));
    IDropTarget* target = nullptr;
    ASSERT_EQ(source->QueryInterface(IID_IDropTarget, reinterpret_cast<void**>(&target)), S_OK);
    EXPECT_EQ(target, static_cast<IDropTarget*>(object));
    EXPECT_NE(static_cast<void*>(target), static_cast<void*>(source));  // two interface pointers
    EXPECT_EQ(object->RefCount(), 3);

    // IUnknown is the same pointer whichever interface is asked.
    IUnknown* fromSource = nullptr;
    IUnknown* fromTarget = nullptr;
    ASSERT_EQ(source->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromSource)), S_OK);
    ASSERT_EQ(target->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromTarget)), S_OK);
    EXPECT_EQ(fromSource, fromTarget);
    EXPECT_EQ(fromSource, object->Identity());

    // Anything else: E_NOINTERFACE with the pointer cleared, and no reference taken.
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(object->QueryInterface(IID_IDataObject, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(object->QueryInterface(IID_IDropSourceNotify, &other), E_NOINTERFACE);
    object->AnswerNotify = true;  // the hook adds it
    EXPECT_EQ(object->QueryInterface(IID_IDropSourceNotify, &other), S_OK);
    EXPECT_EQ(other, static_cast<IDropSource*>(object));
    EXPECT_EQ(object->QueryInterface(IID_IDropTarget, nullptr), E_POINTER);
    EXPECT_EQ(object->RefCount(), 6);

    for (IUnknown* p : {static_cast<IUnknown*>(source), static_cast<IUnknown*>(target), fromSource, fromTarget,
                        static_cast<IUnknown*>(static_cast<IDropSource*>(other))})
        p->Release();
    EXPECT_FALSE(freed);
    EXPECT_EQ(object->Release(), 0u);  // the last reference frees it
    EXPECT_TRUE(freed);
}

TEST(ComObject, ExternalObjectsAreNeverFreedByRelease) {
    bool freed = false;
    {
        KeptSource object(&freed);
        EXPECT_EQ(object.RefCount(), 0);
        void* unknown = nullptr;
        ASSERT_EQ(object.QueryInterface(IID_IUnknown, &unknown), S_OK);
        EXPECT_EQ(object.RefCount(), 1);
        EXPECT_EQ(object.Release(), 0u);
        EXPECT_EQ(object.AddRef(), 1u);
        EXPECT_EQ(object.Release(), 0u);
        EXPECT_FALSE(freed);
    }
    EXPECT_TRUE(freed);  // by its own end
}

TEST(ComObject, CountsFromManyThreads) {
    bool freed = false;
    auto* object = new TwoFaces(&freed);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([object] {
            for (int i = 0; i < 10000; ++i) {
                object->AddRef();
                object->Release();
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(object->RefCount(), 1);
    object->Release();
    EXPECT_TRUE(freed);
}

TEST(ComObject, DetachedObjectAnswersFailureUntilItsLastReference) {
    Owner owner;
    int gone = 0;
    auto* target = new OwnedTarget(&owner, &gone);  // the owner's reference
    DWORD effect = 0;
    EXPECT_EQ(target->DragEnter(nullptr, 0, POINTL{}, &effect), S_OK);
    EXPECT_EQ(owner.Calls, 1);
    target->Throw = true;
    EXPECT_EQ(target->DragEnter(nullptr, 0, POINTL{}, &effect), E_UNEXPECTED);  // nothing escapes
    target->Throw = false;

    target->AddRef();  // the system still holds one
    target->Detach();
    target->Detach();  // only the first acts
    EXPECT_EQ(gone, 1);
    EXPECT_EQ(target->OwnerObject(), nullptr);
    EXPECT_EQ(target->RefCount(), 1);
    EXPECT_EQ(target->DragEnter(nullptr, 0, POINTL{}, &effect), E_FAIL);
    EXPECT_EQ(owner.Calls, 1);
    target->Release();
}

TEST(ComPtr, HoldsOneReference) {
    bool freed = false;
    {
        auto first = TComPtr<TwoFaces>::Adopt(new TwoFaces(&freed));
        EXPECT_EQ(first->RefCount(), 1);  // adopted, not added
        TComPtr<TwoFaces> second = first;
        EXPECT_EQ(first->RefCount(), 2);
        TComPtr<TwoFaces> third = std::move(second);
        EXPECT_FALSE(second);
        EXPECT_EQ(first->RefCount(), 2);

        TComPtr<IDropTarget> target;
        ASSERT_EQ(first->QueryInterface(IID_IDropTarget, reinterpret_cast<void**>(target.Put())), S_OK);
        EXPECT_EQ(first->RefCount(), 3);
        target.Put();  // releases before it is filled again
        EXPECT_EQ(first->RefCount(), 2);
        third.Reset();
        EXPECT_FALSE(freed);
    }
    EXPECT_TRUE(freed);
}
