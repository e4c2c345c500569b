#include "classlib/component.h"

#include "classlib/errors.h"

#include <algorithm>

namespace classlib {

namespace {

bool IsIdentStart(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_';
}

}  // namespace

bool IsValidIdent(const std::wstring& name) {
    if (name.empty() || !IsIdentStart(name[0]))
        return false;
    return std::all_of(name.begin() + 1, name.end(),
                       [](wchar_t c) { return IsIdentStart(c) || (c >= L'0' && c <= L'9'); });
}

namespace {

wchar_t AsciiUpper(wchar_t c) {
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c;
}

bool SameName(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](wchar_t x, wchar_t y) { return AsciiUpper(x) == AsciiUpper(y); });
}

void Erase(std::vector<TComponent*>& list, TComponent* item) {
    auto it = std::find(list.begin(), list.end(), item);
    if (it != list.end())
        list.erase(it);
}

}  // namespace

TComponent::TComponent(TComponent* owner) {
    if (owner)
        owner->InsertComponent(this);
}

void* TComponent::operator new(std::size_t size) { return ::operator new(size); }

void TComponent::operator delete(void* memory) noexcept { ::operator delete(memory); }

void TComponent::operator delete(TComponent* component, std::destroying_delete_t) {
    // No report box while a component goes: reports wait for the message loop.
    TDeferExceptionReports defer;
    void* memory = dynamic_cast<void*>(component);  // the whole object, before it goes
    if (!component->FBeforeDestructionDone) {
        component->FBeforeDestructionDone = true;
        // Nothing reaches it through a reference once it is being taken apart.
        try {
            component->ClearReferences();
        } catch (...) {
            HandleCurrentException(nullptr);
        }
        try {
            component->BeforeDestruction();
        } catch (...) {
            HandleCurrentException(nullptr);
        }
    }
    component->~TComponent();
    ::operator delete(memory);
}

TComponent::~TComponent() {
    Destroying();
    NotifyFree();
    DestroyComponents();
    if (FOwner)
        FOwner->RemoveComponent(this);
}

void TComponent::NotifyFree() {
    ClearReferences();
    // Then those who asked, last first. Each is dropped from both lists before it hears,
    // so an override that forgets to call the base cannot leave a dangling entry.
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        Erase(other->FFreeNotifies, this);
        other->Notification(this, opRemove);
    }
}

void TComponent::ClearReferences() {
    // Last registered first. Each leaves the list and is cleared before its callback runs,
    // so a callback may drop other references (or its own holder's).
    while (!FReferences.empty()) {
        TComponentRefBase* ref = FReferences.back();
        FReferences.pop_back();
        ref->FTarget = nullptr;
        ref->Detached();
        if (ref->OnFree) {
            // A copy: the callback may destroy the reference that holds it.
            std::function<void()> onFree = ref->OnFree;
            onFree();
        }
    }
}

void TComponentRefBase::Attach(TComponent* target) {
    if (target == FTarget) return;
    if (FTarget) {
        auto& list = FTarget->FReferences;
        // The newest references are the likeliest to go first.
        auto it = std::find(list.rbegin(), list.rend(), this);
        if (it != list.rend()) list.erase(std::next(it).base());
    }
    FTarget = target;
    if (target) target->FReferences.push_back(this);
}

TComponent* TComponent::Components(int index) const {
    if (index < 0 || index >= ComponentCount())
        throw EListError(L"リストのインデックスが範囲を超えています (" + std::to_wstring(index) + L")");
    return FComponents[static_cast<size_t>(index)];
}

int TComponent::ComponentIndex() const {
    if (!FOwner)
        return -1;
    auto& list = FOwner->FComponents;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(const std::wstring& name) const {
    if (name.empty())
        return nullptr;
    for (TComponent* c : FComponents)
        if (SameName(c->FName, name))
            return c;
    return nullptr;
}

void TComponent::ValidateRename(TComponent* component, const std::wstring& newName) const {
    if (newName.empty())
        return;
    TComponent* existing = FindComponent(newName);
    if (existing && existing != component)
        throw EComponentError(L"コンポーネント名 " + newName + L" はすでに存在します");
}

void TComponent::SetName(const std::wstring& name) {
    if (name == FName)
        return;
    if (!name.empty() && !IsValidIdent(name))
        throw EComponentError(L"'" + name + L"' はコンポーネント名として正しくありません");
    if (FOwner)
        FOwner->ValidateRename(this, name);
    FName = name;
}

void TComponent::InsertComponent(TComponent* component) {
    if (!component || component == this || component->FOwner == this)
        return;
    ValidateRename(component, component->FName);
    if (component->FOwner)
        component->FOwner->RemoveComponent(component);
    FComponents.push_back(component);
    component->FOwner = this;
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
    if (!component || component->FOwner != this)
        return;
    Notification(component, opRemove);
    Erase(FComponents, component);
    component->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* child = FComponents.back();
        FComponents.pop_back();
        child->FOwner = nullptr;
        // Those who point at it hear while it is still whole.
        child->NotifyFree();
        delete child;
    }
}

void TComponent::FreeNotification(TComponent* component) {
    if (!component || component == this)
        return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component) == FFreeNotifies.end())
        FFreeNotifies.push_back(component);
    if (std::find(component->FFreeNotifies.begin(), component->FFreeNotifies.end(), this) ==
        component->FFreeNotifies.end())
        component->FFreeNotifies.push_back(this);
    component->FComponentState |= csFreeNotification;
}

void TComponent::RemoveNotify(TComponent* component) {
    Erase(FFreeNotifies, component);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    if (!component)
        return;
    RemoveNotify(component);
    component->RemoveNotify(this);
}

void TComponent::Loaded() {
    FComponentState &= ~csLoading;
}

void TComponent::Destroying() {
    if (FComponentState & csDestroying)
        return;
    FComponentState |= csDestroying;
    for (TComponent* c : FComponents)
        c->Destroying();
}

void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation == opRemove && component)
        RemoveFreeNotification(component);
}

}  // namespace classlib
