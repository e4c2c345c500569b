// A small registry reader that returns value names and string data as UTF-16: open a key
// of a root, list its value names, read string values. Main thread use, one object per
// reader; the open key is closed by CloseKey or the destructor.
#pragma once

#include "registry/regrecords.h"

#include "classlib/errors.h"
#include "controls/wide/widestrings.h"

#include <string>

namespace registry {

// Raised by TWideRegistry::ReadString for a value of the wrong type or a failing read.
class ERegistryException : public classlib::Exception {
public:
    using classlib::Exception::Exception;
};

class TWideRegistry {
public:
    TWideRegistry() = default;  // RootKey HKEY_CURRENT_USER, no current key
    TWideRegistry(const TWideRegistry&) = delete;
    TWideRegistry& operator=(const TWideRegistry&) = delete;

    HKEY RootKey() const { return FRootKey; }
    // Changing the root closes the current key.
    void SetRootKey(HKEY Root);
    HKEY CurrentKey() const { return FCurrentKey.Get(); }
    const std::wstring& CurrentPath() const { return FCurrentPath; }

    // Opens Key below the root (a leading "\" is ignored), creating it when CanCreate;
    // True on success, when it becomes the current key (the old one is closed).
    bool OpenKey(const std::wstring& Key, bool CanCreate);
    bool OpenKeyReadOnly(const std::wstring& Key);
    void CloseKey();

    // Replaces Strings by the names of all values of the current key, in the registry's
    // order; empty when there is no current key or it cannot be queried.
    void GetValueNames(wide::TWideStrings& Strings);
    // String data of value Name: empty when the value does not exist; the text up to the
    // first NUL. Raises ERegistryException for a type other than REG_SZ / REG_EXPAND_SZ
    // ("'%s' のデータ型が不正です") or when the data cannot be read ("'%s' の取得に失敗しました").
    // REG_EXPAND_SZ data is returned as stored.
    std::wstring ReadString(const std::wstring& Name);

private:
    HKEY FRootKey = HKEY_CURRENT_USER;
    TRegKey FCurrentKey;
    std::wstring FCurrentPath;
};

}  // namespace registry
