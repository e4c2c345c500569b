// COM objects made by the program and references to COM objects.
//
// TComObject<I1, I2, ...> (and TComExternalObject, below) is the one implementation of
// IUnknown for every COM object the program hands out (data objects, format enumerators,
// drop sources and targets, the security-information object, accessibility objects):
// - QueryInterface answers IID_IUnknown and the IID of each listed interface, then whatever
//   QueryOtherInterface adds (base interfaces of a listed one, tear-offs); anything else is
//   E_NOINTERFACE with the out pointer cleared, a null out pointer E_POINTER. IUnknown
//   always answers the same pointer (through I1): the object's COM identity.
// - The IID of each listed interface is __uuidof(I). An interface whose header declares no
//   uuid gets one with __CRT_UUID_DECL at global scope beside the class that uses it.
// - AddRef/Release count with interlocked operations, so references may be released on
//   any thread.
// - Lifetime: a TComObject is made with `new`, starts with one reference owned by its
//   creator and deletes itself when the last reference is released. A TComExternalObject
//   (same interface table) starts at zero and Release never frees it: its creator keeps it
//   (as a local or a member) and must outlive every reference handed out.
// - No exception may leave a COM method: the derived class catches and answers with an
//   HRESULT.
//
// TComOwnedObject<Owner, I...> serves an owner (a control) that may go away while the
// system still holds references (a registered drop target, a data object on the
// clipboard): the owner keeps the first reference and calls Detach() when it goes; from
// then on OwnerObject() is null and the object's methods answer "owner gone" (E_FAIL
// through WithOwner) until the last reference is released.
//
// TComPtr<T> holds one reference to a COM object and releases it when it goes.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <utility>

namespace classlib {

namespace comobject_detail {

// The IUnknown of both kinds; `Counted` decides whether the last Release deletes.
template <bool Counted, class First, class... Rest>
class TComObjectImpl : public First, public Rest... {
public:
    TComObjectImpl(const TComObjectImpl&) = delete;
    TComObjectImpl& operator=(const TComObjectImpl&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        void* found = nullptr;
        if (IsEqualIID(riid, IID_IUnknown)) {
            found = Identity();
        } else if (IsEqualIID(riid, __uuidof(First))) {
            found = static_cast<First*>(this);
        } else {
            ((found = found ? found : (IsEqualIID(riid, __uuidof(Rest)) ? static_cast<Rest*>(this) : nullptr)), ...);
        }
        if (!found) found = QueryOtherInterface(riid);
        if (!found) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        *object = found;
        return S_OK;
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&FRefCount)); }

    ULONG STDMETHODCALLTYPE Release() override {
        const LONG count = InterlockedDecrement(&FRefCount);
        if constexpr (Counted) {
            if (count == 0) delete this;
        }
        return static_cast<ULONG>(count);
    }

    // The number of references held now (for tests and diagnosis).
    LONG RefCount() const { return FRefCount; }
    // The object's IUnknown: the pointer QueryInterface(IID_IUnknown) gives.
    IUnknown* Identity() { return static_cast<First*>(this); }

protected:
    TComObjectImpl() = default;
    virtual ~TComObjectImpl() = default;

    // Further interfaces (a base interface of a listed one, a tear-off): the pointer to
    // answer for `riid`, or null. Called after the listed interfaces; the base adds the
    // reference.
    virtual void* QueryOtherInterface(REFIID) { return nullptr; }

private:
    volatile LONG FRefCount = Counted ? 1 : 0;
};

}  // namespace comobject_detail

// A COM object freed by its last Release; made with `new`, holding its creator's reference.
template <class First, class... Rest>
class TComObject : public comobject_detail::TComObjectImpl<true, First, Rest...> {
protected:
    TComObject() = default;
};

// A COM object kept by its creator: starts without references, never freed by Release.
template <class First, class... Rest>
class TComExternalObject : public comobject_detail::TComObjectImpl<false, First, Rest...> {
protected:
    TComExternalObject() = default;
    ~TComExternalObject() override = default;
};

template <class Owner, class... Interfaces>
class TComOwnedObject : public TComObject<Interfaces...> {
public:
    // The owner, or null once it has detached.
    Owner* OwnerObject() const { return FOwner; }

    // The owner is going away: OwnerGone runs while OwnerObject() still answers the owner
    // (to revoke registrations), then the owner is forgotten and its reference released,
    // which frees the object when nobody else holds one. Only the first call acts. The
    // object must not be used by the owner afterwards.
    void Detach() noexcept {
        if (!FOwner) return;
        OwnerGone();
        FOwner = nullptr;
        this->Release();
    }

protected:
    explicit TComOwnedObject(Owner* owner) : FOwner(owner) {}

    // Undoes what ties the object to its owner (registrations with the system). Must not
    // throw.
    virtual void OwnerGone() noexcept {}

    // The body of a COM method that needs the owner: `body(owner)` gives the HRESULT;
    // `gone` answers when the owner has detached, and an exception from the body answers
    // E_UNEXPECTED.
    template <class F>
    HRESULT WithOwner(F&& body, HRESULT gone = E_FAIL) noexcept {
        if (!FOwner) return gone;
        try {
            return body(*FOwner);
        } catch (...) {
            return E_UNEXPECTED;
        }
    }

private:
    Owner* FOwner;
};

template <class T>
class TComPtr {
public:
    TComPtr() = default;
    TComPtr(std::nullptr_t) {}
    // Takes over a reference the caller owns (a new object's first reference, one returned
    // through an out parameter) without adding one.
    static TComPtr Adopt(T* pointer) {
        TComPtr p;
        p.FPointer = pointer;
        return p;
    }
    TComPtr(const TComPtr& other) : FPointer(other.FPointer) {
        if (FPointer) FPointer->AddRef();
    }
    TComPtr(TComPtr&& other) noexcept : FPointer(std::exchange(other.FPointer, nullptr)) {}
    TComPtr& operator=(TComPtr other) noexcept {
        std::swap(FPointer, other.FPointer);
        return *this;
    }
    ~TComPtr() { Reset(); }

    T* Get() const { return FPointer; }
    T* operator->() const { return FPointer; }
    explicit operator bool() const { return FPointer != nullptr; }

    // Releases the reference held (if any).
    void Reset() {
        if (T* p = std::exchange(FPointer, nullptr)) p->Release();
    }
    // Releases the reference held and gives the address an out parameter fills in.
    T** Put() {
        Reset();
        return &FPointer;
    }
    // Gives the reference to the caller without releasing it.
    T* Detach() { return std::exchange(FPointer, nullptr); }

private:
    T* FPointer = nullptr;
};

}  // namespace classlib
