#include "editors/stringeditors.h"

#include "controls/wide/widestrings.h"
#include "registry/wideregistry.h"

#include <algorithm>

namespace editors {

std::wstring FileChoiceText(const std::wstring& path, bool quote, bool appendParameter) {
    std::wstring text = quote ? L"\"" + path + L"\"" : path;
    if (appendParameter) text += L" \"%1\"";
    return text;
}

std::wstring FolderChoiceText(const std::wstring& folder, bool quote) {
    return quote ? L"\"" + folder + L"\"" : folder;
}

namespace {

bool ContainsItem(const std::vector<TEnvironmentVariable>& list, const std::wstring& item) {
    return std::any_of(list.begin(), list.end(), [&](const TEnvironmentVariable& v) {
        return CompareStringOrdinal(v.Item.c_str(), static_cast<int>(v.Item.size()), item.c_str(),
                                    static_cast<int>(item.size()), TRUE) == CSTR_EQUAL;
    });
}

}  // namespace

void AppendEnvironmentVariables(std::vector<TEnvironmentVariable>& list, HKEY root, const std::wstring& path) {
    registry::TWideRegistry reader;
    reader.SetRootKey(root);
    if (!reader.OpenKeyReadOnly(path)) return;
    wide::TWideStringList names;
    reader.GetValueNames(names);
    for (int i = 0; i < names.GetCount(); ++i) {
        const std::wstring name = names.Get(i);
        if (name.empty()) continue;
        const std::wstring item = L"%" + name + L"%";
        if (ContainsItem(list, item)) continue;
        try {
            list.push_back({item, reader.ReadString(name)});
        } catch (const registry::ERegistryException&) {
            // Not a string, or unreadable: not offered.
        }
    }
}

std::vector<TEnvironmentVariable> ListEnvironmentVariables() {
    std::vector<TEnvironmentVariable> list;
    AppendEnvironmentVariables(list, HKEY_LOCAL_MACHINE,
                               L"\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment");
    AppendEnvironmentVariables(list, HKEY_CURRENT_USER, L"\\Environment");
    return list;
}

std::wstring ExpandEnvironmentPreview(const std::wstring& text) {
    std::wstring buffer(std::max<size_t>(text.size() * 2, 256), L'\0');
    for (int attempt = 0; attempt < 8; ++attempt) {
        const DWORD needed =
            ExpandEnvironmentStringsW(text.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (needed == 0) return text;
        if (needed <= buffer.size()) {
            buffer.resize(wcsnlen(buffer.c_str(), buffer.size()));
            return buffer;
        }
        buffer.assign(needed, L'\0');
    }
    return text;
}

}  // namespace editors
