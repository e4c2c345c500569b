#include "controls/toolbar/themed/thmmultidock.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "classlib/errors.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/tbdockable.h"
#include "controls/toolbar/themed/thmdockpanel.h"

namespace themed {

using namespace classlib;
using namespace toolbar;

namespace {

// num / den rounded to the nearest integer, halves to the even one (den > 0).
std::int64_t RoundHalfEven(std::int64_t num, std::int64_t den) {
    std::int64_t q = num / den, r = num % den;
    if (r < 0) {
        --q;
        r += den;
    }
    if (2 * r > den || (2 * r == den && (q & 1))) ++q;
    return q;
}

int Clamp(int value, const TThmDockLength& limits) { return std::clamp(value, limits.Min, limits.Max); }

// The class name of a control without its namespace ("TButton").
std::wstring ClassNameOf(const TControl& control) {
    const char* mangled = typeid(control).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
    std::string name = status == 0 && demangled ? demangled.get() : mangled;
    if (const auto colons = name.rfind("::"); colons != std::string::npos) name.erase(0, colons + 2);
    return std::wstring(name.begin(), name.end());
}

}  // namespace

// --- lengths --------------------------------------------------------------------------------------

TThmDockLength MakeDockLength(int size, int minLength, int maxLength, int available) {
    TThmDockLength d;
    d.Min = minLength;
    d.Max = maxLength;
    if (d.Max < d.Min) {
        d.Max = available;
        if (d.Max < d.Min) d.Max = d.Min;
    }
    d.Size = Clamp(size, d);
    return d;
}

void DistributeDockLength(std::vector<TThmDockLength>& panels, int length) {
    std::int64_t sum = 0, minSum = 0, maxSum = 0;
    for (const TThmDockLength& p : panels) {
        sum += p.Size;
        minSum += p.Min;
        maxSum += p.Max;
    }
    if (panels.empty() || sum == length) return;
    if (minSum >= length) {
        for (TThmDockLength& p : panels) p.Size = p.Min;
        return;
    }
    if (maxSum <= length) {
        for (TThmDockLength& p : panels) p.Size = p.Max;
        return;
    }
    const bool growing = sum < length;
    std::vector<bool> changeable(panels.size());
    for (size_t i = 0; i < panels.size(); ++i)
        changeable[i] = growing ? panels[i].Size < panels[i].Max : panels[i].Size > panels[i].Min;
    std::int64_t difference = length - sum;
    // Each round either spreads the whole difference or takes at least one panel to its
    // limit, so there are at most as many rounds as panels.
    for (size_t round = 0; round <= panels.size() && difference != 0; ++round) {
        const auto count = static_cast<std::int64_t>(std::count(changeable.begin(), changeable.end(), true));
        if (count == 0) break;
        std::int64_t k = 0, previous = 0;
        for (size_t i = 0; i < panels.size(); ++i) {
            if (!changeable[i]) continue;
            const std::int64_t total = RoundHalfEven(++k * difference, count);
            panels[i].Size += static_cast<int>(total - previous);
            previous = total;
        }
        sum = 0;
        for (size_t i = 0; i < panels.size(); ++i) {
            TThmDockLength& p = panels[i];
            if (changeable[i] && (growing ? p.Size >= p.Max : p.Size <= p.Min)) {
                p.Size = growing ? p.Max : p.Min;
                changeable[i] = false;
            }
            sum += p.Size;
        }
        difference = length - sum;
    }
}

std::vector<int> SplitDockLengths(const std::vector<TThmDockLength>& panels, int splitter, int movement) {
    std::vector<int> sizes;
    for (const TThmDockLength& p : panels) sizes.push_back(p.Size);
    const int count = static_cast<int>(panels.size());
    if (splitter < 0 || splitter + 1 >= count || movement == 0) return sizes;
    // The panels up to the splitter take `amount`, nearest first; answers what they took.
    auto growFirstSide = [&](int amount) {
        for (int i = 0; i <= splitter; ++i) sizes[i] = panels[i].Size;
        int rest = amount;
        for (int i = splitter; i >= 0 && rest != 0; --i) {
            const int next = Clamp(sizes[i] + rest, panels[i]);
            rest -= next - sizes[i];
            sizes[i] = next;
        }
        return amount - rest;
    };
    int moved = growFirstSide(movement);
    int rest = moved;
    for (int i = splitter + 1; i < count && rest != 0; ++i) {
        const int next = Clamp(sizes[i] - rest, panels[i]);
        rest -= sizes[i] - next;
        sizes[i] = next;
    }
    if (rest != 0) growFirstSide(moved - rest);
    return sizes;
}

// --- the dock -------------------------------------------------------------------------------------

TThmMultiDock::TThmMultiDock(TComponent* owner) : TBarDock(owner) {}

bool TThmMultiDock::AcceptsWindow(TBarCustomDockableWindow* window) {
    return dynamic_cast<TThmDockablePanel*>(window) != nullptr;
}

void TThmMultiDock::InsertControl(TControl* control) {
    if (!dynamic_cast<TThmDockablePanel*>(control))
        throw EInvalidOperation(L"Cannot insert " + ClassNameOf(*control) + L" into TThmMultiDock");
    TBarDock::InsertControl(control);
}

std::vector<TThmCustomDockablePanel*> TThmMultiDock::PanelsByPosition() const {
    std::vector<TThmCustomDockablePanel*> panels;
    for (int i = 0; i < GetVisibleWindowCount(); ++i)
        if (auto* p = dynamic_cast<TThmCustomDockablePanel*>(GetVisibleWindow(i))) panels.push_back(p);
    std::stable_sort(panels.begin(), panels.end(),
                     [](TThmCustomDockablePanel* a, TThmCustomDockablePanel* b) { return a->ArrangedPos() < b->ArrangedPos(); });
    return panels;
}

namespace {

// Sorts by DockPos, keeping the order of equal places; while a window is being loaded a
// negative place counts as the last.
void SortByDockPos(std::vector<TBarCustomDockableWindow*>& list) {
    auto key = [](const TBarCustomDockableWindow* w) {
        const int pos = w->DockPos();
        return pos < 0 && (w->ComponentState() & csLoading) ? INT32_MAX : pos;
    };
    SortDockWindows(list, [&key](const TBarCustomDockableWindow* a, const TBarCustomDockableWindow* b) {
        return key(a) < key(b);
    });
}

// One shown panel of an arrangement.
struct TArrangeEntry {
    TThmCustomDockablePanel* Panel;
    TThmDockLength Length;
    int Pos = 0;
};

}  // namespace

void TThmMultiDock::ArrangeWindows() {
    if (DeferArrangement()) return;
    BeginUpdate();
    auto done = ScopeExit([this] {
        ArrangementDone();
        EndUpdate();
    });
    DropDestroyedWindows();
    const bool vertical = Vertical();
    if (!HasVisibleWindows()) {
        const int thickness = FixAlign() ? 1 : 0;
        if (vertical)
            ResizeFromAlignedEdge(thickness, Height());
        else
            ResizeFromAlignedEdge(Width(), thickness);
        return;
    }
    const int available = AvailableLength();
    for (TBarCustomDockableWindow* w : WindowList())
        if (w->DockRow() != 0) w->SetDockRow(0);

    std::vector<TBarCustomDockableWindow*> sorted = WindowList();
    SortByDockPos(sorted);
    SortByDockPos(ShownList());

    std::vector<TArrangeEntry> entries;
    int dragged = -1;
    for (TBarCustomDockableWindow* w : sorted) {
        auto* panel = dynamic_cast<TThmCustomDockablePanel*>(w);
        if (!panel || !IsShownOnDock(w)) continue;
        int minWidth = 0, minHeight = 0, maxWidth = 0, maxHeight = 0;
        panel->ConstrainedResize(minWidth, minHeight, maxWidth, maxHeight);
        const int size = vertical ? panel->SplitHeight() : panel->SplitWidth();
        if (panel->Dragging()) dragged = static_cast<int>(entries.size());
        entries.push_back({panel, vertical ? MakeDockLength(size, minHeight, maxHeight, available)
                                           : MakeDockLength(size, minWidth, maxWidth, available)});
    }
    std::vector<TThmDockLength> lengths;
    for (const TArrangeEntry& e : entries) lengths.push_back(e.Length);
    DistributeDockLength(lengths, available);
    int pos = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        entries[i].Length = lengths[i];
        entries[i].Pos = pos;
        pos += lengths[i].Size;
        entries[i].Panel->SetArranged(0, entries[i].Pos);
    }
    if (CommitRequested()) {
        CommitPositions();
        WindowList() = sorted;
    }

    // The thickness: the thickest panel's, or while a panel is resized at its edge, that
    // panel's within everyone's limits across.
    TThmCustomDockablePanel* resizing = nullptr;
    for (const TArrangeEntry& e : entries)
        if (e.Panel->ResizedAtEdge()) resizing = e.Panel;
    int thickness = 0;
    if (!resizing) {
        for (size_t i = 0; i < entries.size(); ++i) {
            TThmCustomDockablePanel* panel = entries[i].Panel;
            panel->SetShrunkLength(entries[i].Length.Size);
            if (static_cast<int>(i) == dragged && entries.size() > 1 && FLastThickness > 0) continue;
            SIZE content{};
            panel->GetContentSize(content);
            int ncWidth = 0, ncHeight = 0;
            panel->GetDockedNCAreaSize(ncWidth, ncHeight);
            thickness = std::max<int>(thickness, vertical ? content.cx + ncWidth : content.cy + ncHeight);
        }
    } else {
        thickness = vertical ? resizing->Width() : resizing->Height();
        int minAcross = 0, maxAcross = -1;
        for (const TArrangeEntry& e : entries) {
            int minWidth = 0, minHeight = 0, maxWidth = 0, maxHeight = 0;
            e.Panel->ConstrainedResize(minWidth, minHeight, maxWidth, maxHeight);
            const int low = vertical ? minWidth : minHeight, high = vertical ? maxWidth : maxHeight;
            minAcross = std::max(minAcross, low);
            if (high >= low && (maxAcross < 0 || high < maxAcross)) maxAcross = high;
        }
        if (maxAcross >= 0 && maxAcross > minAcross && maxAcross < thickness) thickness = maxAcross;
        thickness = std::max(thickness, minAcross);
    }
    if (thickness > 0) FLastThickness = thickness;

    for (const TArrangeEntry& e : entries) {
        if (vertical)
            e.Panel->SetBounds(0, e.Pos, thickness, e.Length.Size);
        else
            e.Panel->SetBounds(e.Pos, 0, e.Length.Size, thickness);
    }
    if (vertical)
        ResizeFromAlignedEdge(NonClientWidth() + thickness, Height());
    else
        ResizeFromAlignedEdge(Width(), NonClientHeight() + thickness);
}

}  // namespace themed
