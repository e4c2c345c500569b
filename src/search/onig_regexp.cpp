#include "search/onig_regexp.h"

#include "classlib/runtime.h"

#include <oniguruma.h>

#include <map>
#include <memory>
#include <mutex>

namespace search {

// The library's entry points, resolved once per library file and kept for the life of the
// process. The module is never unloaded and the library never ended: objects on the main
// thread and the search thread use it at the same time, and ending it under one of them
// would pull the tables from under the other.
struct OnigBinding {
    HMODULE Module = nullptr;
    OnigEncoding Utf16 = nullptr;
    OnigSyntaxType** DefaultSyntax = nullptr;
    decltype(&onig_new) New = nullptr;
    decltype(&onig_free) Free = nullptr;
    decltype(&onig_search) Search = nullptr;
    decltype(&onig_region_new) RegionNew = nullptr;
    decltype(&onig_region_free) RegionFree = nullptr;
};

namespace {

// The matching options: ignore case, "." matches line breaks, no empty matches, "^"/"$"
// at line breaks.
constexpr OnigOptionType kOptions = ONIG_OPTION_IGNORECASE | ONIG_OPTION_MULTILINE |
                                    ONIG_OPTION_FIND_NOT_EMPTY | ONIG_OPTION_NEGATE_SINGLELINE;
static_assert(kOptions == 0x65);

std::mutex& LibraryLock() {
    static std::mutex lock;
    return lock;
}

// Loaded libraries by full path. Guarded by LibraryLock(), which also serialises
// compiling and freeing expressions: the library's shared tables are not safe against two
// compilations at once.
std::map<std::wstring, std::unique_ptr<OnigBinding>>& Libraries() {
    static std::map<std::wstring, std::unique_ptr<OnigBinding>> libraries;
    return libraries;
}

std::wstring ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), classlib::Win32Size<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring ResolveLibraryPath(const std::wstring& dllPath) {
    if (dllPath.find_first_of(L"\\/:") != std::wstring::npos) return dllPath;
    return ProgramFolder() + dllPath;
}

template <typename T>
bool Resolve(HMODULE module, const char* name, T& out) {
    out = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return out != nullptr;
}

// Loads and sets up the library at `fullPath`, or returns the binding made earlier.
// Null when the file is missing or lacks an entry point the class needs.
const OnigBinding* AcquireLibrary(const std::wstring& fullPath) {
    std::lock_guard guard(LibraryLock());
    std::wstring key = fullPath;
    CharLowerBuffW(key.data(), classlib::Win32Size<DWORD>(key.size()));
    auto& libraries = Libraries();
    if (auto it = libraries.find(key); it != libraries.end()) return it->second.get();

    HMODULE module = LoadLibraryExW(fullPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) return nullptr;
    auto binding = std::make_unique<OnigBinding>();
    binding->Module = module;
    decltype(&onig_initialize) initialize = nullptr;
    decltype(&onig_set_retry_limit_in_search) setRetryLimit = nullptr;
    bool ok = Resolve(module, "OnigEncodingUTF16_LE", binding->Utf16) &&
              Resolve(module, "OnigDefaultSyntax", binding->DefaultSyntax) &&
              Resolve(module, "onig_new", binding->New) && Resolve(module, "onig_free", binding->Free) &&
              Resolve(module, "onig_search", binding->Search) &&
              Resolve(module, "onig_region_new", binding->RegionNew) &&
              Resolve(module, "onig_region_free", binding->RegionFree) &&
              Resolve(module, "onig_initialize", initialize);
    if (ok) {
        OnigEncoding encodings[] = {binding->Utf16};
        ok = initialize(encodings, 1) == ONIG_NORMAL;
    }
    if (!ok) {
        FreeLibrary(module);
        return nullptr;
    }
    // Older builds lack the search-wide limit; the per-attempt limit still applies there.
    if (Resolve(module, "onig_set_retry_limit_in_search", setRetryLimit))
        setRetryLimit(kRegexRetryLimitInSearch);
    return libraries.emplace(std::move(key), std::move(binding)).first->second.get();
}

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

std::wstring RegexLibraryPath() { return ProgramFolder() + L"onig.dll"; }

bool RegexLibraryPresent() {
    DWORD attributes = GetFileAttributesW(RegexLibraryPath().c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TVxOnigurumaRegExp::TVxOnigurumaRegExp(const std::wstring& DllPath) {
    if (DllPath.empty()) return;
    try {
        FLibrary = AcquireLibrary(ResolveLibraryPath(DllPath));
        if (FLibrary) {
            FRegion = FLibrary->RegionNew();
            if (!FRegion) FLibrary = nullptr;
        }
    } catch (...) {
        FLibrary = nullptr;
    }
}

TVxOnigurumaRegExp::~TVxOnigurumaRegExp() {
    if (!FLibrary) return;
    if (FRegex) {
        std::lock_guard guard(LibraryLock());
        FLibrary->Free(static_cast<OnigRegex>(FRegex));
    }
    if (FRegion) FLibrary->RegionFree(static_cast<OnigRegion*>(FRegion), 1);
}

void TVxOnigurumaRegExp::SetPattern(const std::wstring& Pattern) {
    if (!FLibrary) return;
    std::lock_guard guard(LibraryLock());
    if (FRegex) {
        FLibrary->Free(static_cast<OnigRegex>(FRegex));
        FRegex = nullptr;
    }
    OnigRegex regex = nullptr;
    OnigErrorInfo info{};
    const auto* begin = reinterpret_cast<const OnigUChar*>(Pattern.data());
    const auto* end = begin + Pattern.size() * sizeof(wchar_t);
    int r = FLibrary->New(&regex, begin, end, kOptions, FLibrary->Utf16, *FLibrary->DefaultSyntax,
                          &info);
    if (r == ONIG_NORMAL && regex) {
        FRegex = regex;
        FPattern = Pattern;
    } else if (regex) {
        FLibrary->Free(regex);
    }
}

void TVxOnigurumaRegExp::PrepareText(std::wstring_view Text) {
    size_t nul = Text.find(L'\0');
    if (nul != std::wstring_view::npos) Text = Text.substr(0, nul);
    // The library reads a surrogate pair as one character; a lone surrogate would make it
    // step over the end of the text or split a character. Replace each with U+FFFD, which
    // keeps the length and every index.
    size_t i = 0;
    for (; i < Text.size(); ++i) {
        wchar_t c = Text[i];
        if (IsHighSurrogate(c) && i + 1 < Text.size() && IsLowSurrogate(Text[i + 1])) {
            ++i;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            break;
        }
    }
    if (i == Text.size()) {
        FText = Text;
        return;
    }
    FScratch.assign(Text);
    for (; i < FScratch.size(); ++i) {
        wchar_t c = FScratch[i];
        if (IsHighSurrogate(c) && i + 1 < FScratch.size() && IsLowSurrogate(FScratch[i + 1])) {
            ++i;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            FScratch[i] = 0xFFFD;
        }
    }
    FText = FScratch;
}

int TVxOnigurumaRegExp::SearchFrom(size_t startUnits) {
    const auto* str = reinterpret_cast<const OnigUChar*>(FText.data());
    const auto* end = str + FText.size() * sizeof(wchar_t);
    const auto* start = str + startUnits * sizeof(wchar_t);
    // Any negative result is no (further) match: the mismatch code, and also the errors,
    // among them the backtracking limit that ends a pathological pattern.
    return FLibrary->Search(static_cast<OnigRegex>(FRegex), str, end, start, end,
                            static_cast<OnigRegion*>(FRegion), ONIG_OPTION_NONE);
}

TVxRegSubMatchObject TVxOnigurumaRegExp::Register(std::wstring_view text, int beg, int end) {
    TVxRegSubMatchObject m;
    m.FirstIndex = beg / 2 + 1;
    m.Length = end / 2 + 1 - m.FirstIndex;
    if (beg >= 0 && m.Length > 0) m.Value.assign(text.substr(m.FirstIndex - 1, m.Length));
    return m;
}

bool TVxOnigurumaRegExp::FirstMatch(std::wstring_view Text, int& FirstIndex, int& Length) {
    if (!FLibrary) return false;
    FirstIndex = -1;
    Length = -1;
    if (!FRegex) return false;
    PrepareText(Text);
    auto* region = static_cast<OnigRegion*>(FRegion);
    if (SearchFrom(0) < 0 || region->num_regs < 1) return false;
    FirstIndex = region->beg[0] / 2 + 1;
    Length = region->end[0] / 2 + 1 - FirstIndex;
    return true;
}

bool TVxOnigurumaRegExp::Test(std::wstring_view Text) {
    int index = -1, length = -1;
    return FirstMatch(Text, index, length);
}

void TVxOnigurumaRegExp::Execute(std::wstring_view Text, TVxRegMatchList& Matches) {
    ClearMatches(Matches);
    if (!FLibrary || !FRegex) return;
    PrepareText(Text);
    // Values are copied from the caller's text, so a replaced lone surrogate comes back
    // as it was.
    std::wstring_view source = Text.substr(0, FText.size());
    auto* region = static_cast<OnigRegion*>(FRegion);
    size_t start = 0;
    while (start <= FText.size() && SearchFrom(start) >= 0) {
        if (region->num_regs < 1) break;
        TVxRegMatchObject match;
        static_cast<TVxRegSubMatchObject&>(match) = Register(source, region->beg[0], region->end[0]);
        for (int i = 1; i < region->num_regs; ++i)
            match.SubMatches.push_back(Register(source, region->beg[i], region->end[i]));
        size_t next = static_cast<size_t>(region->end[0]) / sizeof(wchar_t);
        Matches.push_back(std::move(match));
        // Matches are never empty, so the start always moves on; guard it all the same.
        start = next > start ? next : start + 1;
    }
}

void TVxOnigurumaRegExp::Replace(std::wstring_view Text, std::wstring_view Template,
                                 std::wstring& ResultText) {
    TVxRegMatchList matches;
    Execute(Text, matches);
    if (matches.empty()) {
        ResultText.assign(Text);
        return;
    }
    std::wstring out;
    out.reserve(Text.size());
    size_t copied = 0;  // code units of Text already copied or replaced
    for (const auto& m : matches) {
        size_t at = static_cast<size_t>(m.FirstIndex - 1);
        out.append(Text.substr(copied, at - copied));
        for (size_t i = 0; i < Template.size(); ++i) {
            wchar_t c = Template[i];
            if (c != L'\\' || i + 1 == Template.size()) {
                out.push_back(c);
                continue;
            }
            wchar_t next = Template[++i];
            if (next == L'\\') {
                out.push_back(L'\\');
            } else if (next == L'0') {
                out += m.Value;
            } else if (next >= L'1' && next <= L'9') {
                size_t group = static_cast<size_t>(next - L'1');
                if (group < m.SubMatches.size()) out += m.SubMatches[group].Value;
            } else {
                out.push_back(L'\\');
                out.push_back(next);
            }
        }
        copied = at + static_cast<size_t>(m.Length);
    }
    out.append(Text.substr(copied));
    ResultText = std::move(out);
}

}  // namespace search
