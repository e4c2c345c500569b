#include "tools/uicustomize_files.h"

#include "classlib/actions.h"
#include "classlib/compstream.h"
#include "classlib/errors.h"
#include "classlib/scopeguard.h"
#include "classlib/streams.h"
#include "controls/toolbar/tbdock.h"
#include "controls/toolbar/ui/uitoolbar.h"
#include "controls/wide/widefiles.h"
#include "controls/wide/widestrings.h"
#include "controls/wide/wideutils.h"
#include "settings/inifile.h"

#include <algorithm>
#include <array>
#include <optional>
#include <set>

namespace tools {

using classlib::TStreamComponent;
using classlib::TStreamValue;

namespace {

constexpr const wchar_t* kToolbarClass = L"TUiToolbar";
constexpr const wchar_t* kItemClass = L"TUiItem";
constexpr const wchar_t* kSubmenuClass = L"TUiSubmenuItem";
constexpr const wchar_t* kSeparatorClass = L"TUiSeparatorItem";
constexpr const wchar_t* kCaptionKey = L"Caption";

// Ranges numbers from a file are brought into: a dock row far out would make the dock walk
// every row up to it.
constexpr int kMaxDockRow = 255;
constexpr int kMaxDockPos = 65535;
constexpr int kMaxImageIndex = 65535;
// The input box's limit, which a toolbar caption keeps.
constexpr std::size_t kMaxToolbarCaption = 255;

struct TOptionName {
    toolbar::TBarItemOptions Bit;
    const wchar_t* Name;
};
constexpr std::array<TOptionName, 10> kOptionNames{{
    {toolbar::tboDefault, L"tboDefault"},
    {toolbar::tboDropdownArrow, L"tboDropdownArrow"},
    {toolbar::tboImageAboveCaption, L"tboImageAboveCaption"},
    {toolbar::tboLongHintInMenuOnly, L"tboLongHintInMenuOnly"},
    {toolbar::tboNoAutoHint, L"tboNoAutoHint"},
    {toolbar::tboNoRotation, L"tboNoRotation"},
    {toolbar::tboSameWidth, L"tboSameWidth"},
    {toolbar::tboShowHint, L"tboShowHint"},
    {toolbar::tboToolbarStyle, L"tboToolbarStyle"},
    {toolbar::tboToolbarSize, L"tboToolbarSize"},
}};

wchar_t AsciiUpper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c; }

std::wstring AsciiUpper(std::wstring text) {
    for (wchar_t& c : text) c = AsciiUpper(c);
    return text;
}

bool SameText(const std::wstring& a, const std::wstring& b) { return AsciiUpper(a) == AsciiUpper(b); }

// A toolbar caption as the index file and the input box can hold it.
std::wstring ToolbarCaptionText(std::wstring caption) {
    std::erase_if(caption, [](wchar_t c) { return c == L'\r' || c == L'\n' || c == L'\0'; });
    if (caption.size() > kMaxToolbarCaption) caption.resize(kMaxToolbarCaption);
    return caption;
}

[[noreturn]] void Damaged(const std::wstring& what) {
    throw classlib::EReadError(L"ツールバーファイルが正しくありません（" + what + L"）");
}

// --- writing ----------------------------------------------------------------------------------

void AddProperty(TStreamComponent& component, const wchar_t* name, TStreamValue value) {
    component.Properties.push_back({name, std::move(value)});
}

std::optional<TStreamComponent> DescribeItem(toolbar::TBarCustomItem* item, const TToolbarReferences& references) {
    TStreamComponent c;
    if (dynamic_cast<ui::TUiSeparatorItem*>(item)) {
        c.ClassName = kSeparatorClass;
        return c;
    }
    auto* uiItem = dynamic_cast<ui::TUiItem*>(item);
    if (!uiItem) return std::nullopt;  // kinds a user toolbar never holds
    const bool submenu = dynamic_cast<ui::TUiSubmenuItem*>(item) != nullptr;
    c.ClassName = submenu ? kSubmenuClass : kItemClass;
    const std::wstring action = references.NameOf(item->Action());
    if (!action.empty()) {
        AddProperty(c, L"Action", TStreamValue::Ident(action));
    } else {
        if (!item->Caption().empty()) AddProperty(c, L"Caption", TStreamValue::String(item->Caption()));
        if (item->ImageIndex() != -1) AddProperty(c, L"ImageIndex", TStreamValue::Int(item->ImageIndex()));
    }
    if (submenu)
        if (const std::wstring link = references.NameOf(item->LinkSubitems()); !link.empty())
            AddProperty(c, L"LinkSubitems", TStreamValue::Ident(link));
    if (item->Options() != 0) {
        std::vector<std::wstring> names;
        for (const TOptionName& option : kOptionNames)
            if (item->Options() & option.Bit) names.push_back(option.Name);
        AddProperty(c, L"Options", TStreamValue::Set(std::move(names)));
    }
    if (submenu)
        for (int i = 0; i < item->Count(); ++i)
            if (std::optional<TStreamComponent> child = DescribeItem(item->Items(i), references))
                c.Children.push_back(std::move(*child));
    return c;
}

// --- reading: the plan made from a sound stream before anything changes ----------------------

enum class TItemKind { Item, Submenu, Separator };

struct TItemPlan {
    TItemKind Kind = TItemKind::Item;
    classlib::TBasicAction* Action = nullptr;
    toolbar::TBarCustomItem* Link = nullptr;
    std::optional<std::wstring> Caption;
    std::optional<int> ImageIndex;
    toolbar::TBarItemOptions Options = 0;
    std::vector<TItemPlan> Children;
};

struct TToolbarPlan {
    std::optional<std::wstring> Caption;
    std::optional<int> DockRow, DockPos;
    std::optional<bool> Visible;
    std::vector<TItemPlan> Items;
};

int IntegerIn(const TStreamValue& value, const std::wstring& name, int low, int high) {
    if (!value.IsInteger()) Damaged(name + L" が整数ではありません");
    return static_cast<int>(std::clamp<std::int64_t>(value.Integer, low, high));
}

std::wstring TextOf(const TStreamValue& value, const std::wstring& name) {
    if (!value.IsString()) Damaged(name + L" が文字列ではありません");
    return value.Text;
}

bool BooleanOf(const TStreamValue& value, const std::wstring& name) {
    if (!value.IsBoolean()) Damaged(name + L" が真偽値ではありません");
    return value.Type == classlib::vaTrue;
}

// The component a reference property names; null for vaNil.
classlib::TComponent* Referenced(const TStreamValue& value, const std::wstring& name,
                                 const TToolbarReferences& references, bool& dangling) {
    if (value.Type == classlib::vaNil) return nullptr;
    if (value.Type != classlib::vaIdent) Damaged(name + L" が参照ではありません");
    classlib::TComponent* target = references.Find(value.Text);
    if (!target) dangling = true;
    return target;
}

// The plan of one item; nullopt for a class the program does not make or an item whose
// command or submenu is not there.
std::optional<TItemPlan> PlanItem(const TStreamComponent& c, const TToolbarReferences& references) {
    TItemPlan plan;
    if (c.ClassName == kSeparatorClass) {
        plan.Kind = TItemKind::Separator;
        return plan;
    }
    if (c.ClassName == kSubmenuClass)
        plan.Kind = TItemKind::Submenu;
    else if (c.ClassName != kItemClass)
        return std::nullopt;
    bool dangling = false;
    for (const classlib::TStreamProperty& p : c.Properties) {
        if (p.Name == L"Action") {
            classlib::TComponent* target = Referenced(p.Value, p.Name, references, dangling);
            plan.Action = dynamic_cast<classlib::TBasicAction*>(target);
            if (target && !plan.Action) dangling = true;
        } else if (p.Name == L"LinkSubitems" && plan.Kind == TItemKind::Submenu) {
            classlib::TComponent* target = Referenced(p.Value, p.Name, references, dangling);
            plan.Link = dynamic_cast<toolbar::TBarCustomItem*>(target);
            if (target && !plan.Link) dangling = true;
        } else if (p.Name == L"Caption") {
            plan.Caption = TextOf(p.Value, p.Name);
        } else if (p.Name == L"ImageIndex") {
            plan.ImageIndex = IntegerIn(p.Value, p.Name, -1, kMaxImageIndex);
        } else if (p.Name == L"Options") {
            if (p.Value.Type != classlib::vaSet) Damaged(p.Name + L" が集合ではありません");
            for (const std::wstring& name : p.Value.Names)
                for (const TOptionName& option : kOptionNames)
                    if (name == option.Name) plan.Options |= option.Bit;
        }
    }
    if (dangling) return std::nullopt;
    if (plan.Kind == TItemKind::Submenu)
        for (const TStreamComponent& child : c.Children)
            if (std::optional<TItemPlan> item = PlanItem(child, references)) plan.Children.push_back(std::move(*item));
    return plan;
}

TToolbarPlan PlanToolbar(std::span<const std::uint8_t> bytes, const TToolbarReferences& references) {
    const TStreamComponent root = classlib::ReadComponentStream(bytes);
    if (root.ClassName != kToolbarClass) Damaged(L"ツールバーではなく " + root.ClassName + L" です");
    TToolbarPlan plan;
    for (const classlib::TStreamProperty& p : root.Properties) {
        if (p.Name == L"Caption")
            plan.Caption = ToolbarCaptionText(TextOf(p.Value, p.Name));
        else if (p.Name == L"DockRow")
            plan.DockRow = IntegerIn(p.Value, p.Name, 0, kMaxDockRow);
        else if (p.Name == L"DockPos")
            plan.DockPos = IntegerIn(p.Value, p.Name, -1, kMaxDockPos);
        else if (p.Name == L"Visible")
            plan.Visible = BooleanOf(p.Value, p.Name);
    }
    for (const TStreamComponent& child : root.Children)
        if (std::optional<TItemPlan> item = PlanItem(child, references)) plan.Items.push_back(std::move(*item));
    return plan;
}

void MakeItems(const std::vector<TItemPlan>& plans, toolbar::TBarCustomItem& parent, classlib::TComponent* owner) {
    for (const TItemPlan& plan : plans) {
        toolbar::TBarCustomItem* item = nullptr;
        switch (plan.Kind) {
        case TItemKind::Separator: item = new ui::TUiSeparatorItem(owner); break;
        case TItemKind::Item: item = new ui::TUiItem(owner); break;
        case TItemKind::Submenu: item = new ui::TUiSubmenuItem(owner); break;
        }
        if (plan.Action) {
            if (auto* action = dynamic_cast<classlib::TCustomAction*>(plan.Action)) item->SetImageIndex(action->ImageIndex());
            item->SetAction(plan.Action);
        }
        if (plan.Caption) item->SetCaption(*plan.Caption);
        if (plan.ImageIndex) item->SetImageIndex(*plan.ImageIndex);
        if (plan.Options) item->SetOptions(plan.Options);
        if (plan.Link) item->SetLinkSubitems(plan.Link);
        parent.Add(item);
        MakeItems(plan.Children, *item, owner);
    }
}

void ApplyPlan(const TToolbarPlan& plan, ui::TUiToolbar& toolbar) {
    // Loading, as a toolbar read from a stream is: the items' notifications and the toolbar's
    // arranging wait for the end, when it is laid out once.
    toolbar.BeginLoading();
    toolbar.BeginUpdate();
    const auto end = classlib::ScopeExit([&toolbar] {
        toolbar.EndUpdate();
        toolbar.Loaded();
    });
    toolbar::TBarCustomItem& root = *toolbar.Items();
    for (int i = root.Count() - 1; i >= 0; --i) delete root.Items(i);
    if (plan.Caption) toolbar.SetCaption(*plan.Caption);
    if (plan.DockRow) toolbar.SetDockRow(*plan.DockRow);
    if (plan.DockPos) toolbar.SetDockPos(*plan.DockPos);
    MakeItems(plan.Items, root, &toolbar);
    if (plan.Visible) toolbar.SetVisible(*plan.Visible);
}

// The whole of a toolbar file, refused unread above the limit.
std::vector<std::uint8_t> ReadToolbarFile(const std::wstring& fileName) {
    classlib::TFileStream file(fileName, classlib::fmOpenRead | classlib::fmShareDenyWrite);
    const std::int64_t size = file.Size();
    if (size < 0 || static_cast<std::uint64_t>(size) > MaxToolbarFileSize)
        throw classlib::EReadError(L"ファイル \"" + fileName + L"\" は大きすぎます（1 MiB まで）");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    file.ReadBuffer(bytes.data(), bytes.size());
    return bytes;
}

}  // namespace

// --- references -------------------------------------------------------------------------------

TToolbarReferences::TToolbarReferences(std::wstring rootName, std::vector<const classlib::TComponent*> scopes)
    : FRootName(std::move(rootName)), FScopes(std::move(scopes)) {}

std::wstring TToolbarReferences::NameOf(const classlib::TComponent* component) const {
    if (!component || component->Name().empty()) return {};
    const std::wstring reference = FRootName + L"." + component->Name();
    return Find(reference) == component ? reference : std::wstring();
}

classlib::TComponent* TToolbarReferences::Find(const std::wstring& reference) const {
    const std::size_t dot = reference.find(L'.');
    if (dot == std::wstring::npos || !SameText(reference.substr(0, dot), FRootName)) return nullptr;
    const std::wstring name = reference.substr(dot + 1);
    if (!classlib::IsValidIdent(name)) return nullptr;
    for (const classlib::TComponent* scope : FScopes)
        if (classlib::TComponent* found = scope->FindComponent(name)) return found;
    return nullptr;
}

// --- names and new toolbars ----------------------------------------------------------------

bool IsToolbarFileName(const std::wstring& name) {
    if (!classlib::IsValidIdent(name) || name.size() > 64) return false;
    const std::wstring upper = AsciiUpper(name);
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CLOCK"})
        if (upper == device) return false;
    const bool numbered = upper.size() == 4 && (upper.starts_with(L"COM") || upper.starts_with(L"LPT")) &&
                          upper[3] >= L'0' && upper[3] <= L'9';
    return !numbered;
}

ui::TUiToolbar* NewUserToolbar(const TUserToolbarPlace& place, const std::wstring& name, const std::wstring& caption) {
    auto* toolbar = new ui::TUiToolbar(place.Owner);
    toolbar->SetName(name);
    toolbar->SetCaption(ToolbarCaptionText(caption));
    toolbar->SetStretch(true);
    toolbar->SetSmoothDrag(false);
    toolbar->SetPopupMenu(place.PopupMenu);
    toolbar->SetImages(place.Images);
    // Docking makes the dock its parent; without a dock it floats over the owner.
    if (place.Dock)
        toolbar->SetCurrentDock(place.Dock);
    else
        toolbar->SetParent(place.Owner);
    return toolbar;
}

std::wstring NewToolbarName(const classlib::TComponent& owner, const SYSTEMTIME& now) {
    std::wstring name = L"ToolBar";
    for (WORD part : {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds})
        name += std::to_wstring(part);
    if (!owner.FindComponent(name)) return name;
    for (int n = 2;; ++n)
        if (const std::wstring numbered = name + L"_" + std::to_wstring(n); !owner.FindComponent(numbered))
            return numbered;
}

std::vector<ui::TUiToolbar*> OwnedToolbars(const classlib::TComponent& owner,
                                           const std::vector<const ui::TUiToolbar*>& excluded) {
    std::vector<ui::TUiToolbar*> toolbars;
    for (int i = 0; i < owner.ComponentCount(); ++i)
        if (auto* toolbar = dynamic_cast<ui::TUiToolbar*>(owner.Components(i)))
            if (std::find(excluded.begin(), excluded.end(), toolbar) == excluded.end()) toolbars.push_back(toolbar);
    return toolbars;
}

// --- streams ----------------------------------------------------------------------------------

std::vector<std::uint8_t> WriteToolbarStream(ui::TUiToolbar& toolbar, const TToolbarReferences& references) {
    TStreamComponent root;
    root.ClassName = kToolbarClass;
    root.Name = toolbar.Name();
    AddProperty(root, L"Caption", TStreamValue::String(ToolbarCaptionText(toolbar.Caption())));
    AddProperty(root, L"DockPos", TStreamValue::Int(toolbar.DockPos()));
    AddProperty(root, L"DockRow", TStreamValue::Int(toolbar.DockRow()));
    AddProperty(root, L"Visible", TStreamValue::Boolean(toolbar.Visible()));
    toolbar::TBarCustomItem& items = *toolbar.Items();
    for (int i = 0; i < items.Count(); ++i)
        if (std::optional<TStreamComponent> item = DescribeItem(items.Items(i), references))
            root.Children.push_back(std::move(*item));
    return classlib::WriteComponentStream(root);
}

void ReadToolbarStream(std::span<const std::uint8_t> bytes, ui::TUiToolbar& toolbar,
                       const TToolbarReferences& references) {
    ApplyPlan(PlanToolbar(bytes, references), toolbar);
}

// --- the folder -------------------------------------------------------------------------------

TToolbarLoadReport LoadCustomToolbars(const std::wstring& fileName, const TUserToolbarPlace& place,
                                      const TToolbarReferences& references,
                                      const std::vector<const ui::TUiToolbar*>& excluded) {
    TToolbarLoadReport report;
    wide::TWideStringList sections;
    std::optional<settings::TVxMemIniFile> index;
    try {
        index.emplace(fileName);
        index->ReadSections(sections);
    } catch (const classlib::Exception& e) {
        report.Problems.push_back(e.Message());
        return report;
    }
    const std::wstring folder = wide::WideExtractFilePath(fileName);
    std::set<std::wstring> seen;
    // The dock arranges its toolbars once, after all of them.
    if (place.Dock) place.Dock->BeginUpdate();
    const auto arrange = classlib::ScopeExit([&place] {
        if (place.Dock) place.Dock->EndUpdate();
    });
    for (int i = 0; i < sections.Count(); ++i) {
        const std::wstring name = sections.Get(i);
        if (!IsToolbarFileName(name)) {
            report.Problems.push_back(L"\"" + name + L"\" はツールバーの名前として使えません");
            continue;
        }
        if (!seen.insert(AsciiUpper(name)).second) continue;
        classlib::TComponent* existing = place.Owner->FindComponent(name);
        auto* target = dynamic_cast<ui::TUiToolbar*>(existing);
        if (existing && (!target || std::find(excluded.begin(), excluded.end(), target) != excluded.end())) {
            report.Problems.push_back(L"\"" + name + L"\" は読み込めるツールバーではありません");
            continue;
        }
        const std::wstring file = folder + name;
        const std::wstring caption = index->ReadString(name, kCaptionKey, L"");
        std::optional<TToolbarPlan> plan;
        try {
            plan = PlanToolbar(ReadToolbarFile(file), references);
        } catch (const classlib::EFileStreamError& e) {
            report.Problems.push_back(e.Message());
        } catch (const classlib::Exception& e) {
            report.Problems.push_back(L"\"" + file + L"\": " + e.Message());
        }
        if (!plan) {
            report.Kept.push_back({name, caption});
            continue;
        }
        try {
            if (!target) target = NewUserToolbar(place, name, caption);
            ApplyPlan(*plan, *target);
            ++report.Loaded;
        } catch (const classlib::Exception& e) {
            report.Problems.push_back(L"\"" + name + L"\": " + e.Message());
        }
    }
    return report;
}

void SaveCustomToolbars(const std::wstring& folder, const std::vector<ui::TUiToolbar*>& toolbars,
                        const TToolbarReferences& references, const std::vector<TKeptToolbar>& kept) {
    wide::WideForceDirectories(folder);
    std::vector<ui::TUiToolbar*> saved;
    for (ui::TUiToolbar* toolbar : toolbars) {
        if (!IsToolbarFileName(toolbar->Name())) continue;
        const std::vector<std::uint8_t> bytes = WriteToolbarStream(*toolbar, references);
        classlib::SaveBytesToFileAtomic(folder + L"\\" + toolbar->Name(), bytes.data(), bytes.size());
        saved.push_back(toolbar);
    }
    settings::TVxMemIniFile index(folder + L"\\" + CustomToolbarIndexName);
    index.Clear();
    for (ui::TUiToolbar* toolbar : saved)
        index.WriteString(toolbar->Name(), kCaptionKey, ToolbarCaptionText(toolbar->Caption()));
    for (const TKeptToolbar& section : kept) {
        const bool taken = std::any_of(saved.begin(), saved.end(),
                                       [&](ui::TUiToolbar* toolbar) { return SameText(toolbar->Name(), section.Name); });
        if (!taken && IsToolbarFileName(section.Name))
            index.WriteString(section.Name, kCaptionKey, ToolbarCaptionText(section.Caption));
    }
    index.UpdateFile();
}

}  // namespace tools
