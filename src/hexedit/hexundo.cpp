#include "hexedit/hexundo.h"

#include <windows.h>

#include <algorithm>

#include "classlib/scopeguard.h"
#include "hexedit/hexeditor.h"

namespace hexedit {

const wchar_t* UndoKindDescription(int kind) {
    static const wchar_t* texts[] = {L"Change byte(s)", L"Remove data", L"Insert buffer", L"Replace",
                                     L"Append buffer", L"Insert nibble", L"Delete nibble", L"Convert",
                                     L"Cursor movement", L"Multiple modification", L"All data saved"};
    return kind >= 0 && kind <= 10 ? texts[kind] : L"";
}

namespace {
// Length of a description as the history stores it: bytes in the system code page.
uint32_t AnsiLength(const std::wstring& text) {
    if (text.empty()) return 0;
    int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    return n > 0 ? static_cast<uint32_t>(n) : static_cast<uint32_t>(text.size());
}
}  // namespace

int THexUndoStep::Kind() const {
    for (int k = 0; k <= 10; ++k)
        if (Flags & (1u << k)) return k;
    return -1;
}

uint32_t THexUndoStep::RecordSize() const {
    uint32_t size = 29 + DataSize + 4;
    if (Flags & ufDescription) size += DescriptionBytes + 4;
    if (Flags & ufSelection) size += 12;
    return size;
}

THexUndoStorage::THexUndoStorage(TCustomHexEditor& editor) : FEditor(editor) {}

void THexUndoStorage::Reset(bool dropRedoToo) {
    FSteps.clear();
    FSize = 0;
    FUpdateLevel = 0;
    FTopDescription.clear();
    if (dropRedoToo) DropRedo();
}

void THexUndoStorage::DropRedo() {
    FRedo.reset();
    FPoppedStep.reset();
    FPoppedDescription.clear();
}

void THexUndoStorage::DropOldest() {
    FSize -= FSteps.front().RecordSize();
    FSteps.pop_front();
    if (FSteps.empty()) FSize = 0;
}

void THexUndoStorage::AddStep(int kind, int pos, int count, int replCount, const std::wstring& description) {
    if (FUpdateLevel >= 1) return;
    DropRedo();
    TCustomHexEditor& e = FEditor;

    THexUndoStep step;
    step.Flags = 1u << kind;
    step.CaretPos = e.CaretPos();
    const bool charField = e.CaretInCharField();
    if (charField) {
        step.Flags |= ufCharField;
    } else {
        int firstCol, row;
        e.FLayout.GetCursorAtPos(step.CaretPos, false, firstCol, row);
        if (e.FCol != firstCol) step.Flags |= ufSecondDigit;
    }
    if (e.FInsertMode) step.Flags |= ufInsertMode;
    step.Pos = pos;
    step.Count = count;
    step.ReplCount = replCount;
    step.Translation = e.FTranslation;
    if (e.UnicodeChars()) step.Flags |= ufUnicode;
    if (e.FUnicodeBigEndian) step.Flags |= ufBigEndian;
    step.BytesPerUnit = e.FBytesPerUnit;
    if (e.FModified) step.Flags |= ufModified;
    if (e.FSelAnchor != -1) step.Flags |= ufSelection;
    if (!description.empty()) {
        step.Flags |= ufDescription;
        step.Description = description;
        step.DescriptionBytes = AnsiLength(description);
    }
    switch (kind) {
        case ukChangeBytes:
            step.Data.resize(count);
            e.ReadBuffer(step.Data.data(), pos, count);
            step.DataSize = count;
            if (e.HasChanged(pos)) step.Flags |= ufChanged1;
            if (count == 2 && e.HasChanged(pos + 1)) step.Flags |= ufChanged2;
            break;
        case ukRemove:
            step.Data.resize(count);
            e.ReadBuffer(step.Data.data(), pos, count);
            step.DataSize = count;
            break;
        case ukReplace:
            step.Data.resize(replCount);
            e.ReadBuffer(step.Data.data(), pos, replCount);
            step.DataSize = replCount;
            break;
        case ukMultiple: {
            uint32_t n = std::min<uint32_t>(255, AnsiLength(description));
            step.DataSize = 1 + n;
            break;
        }
        default:
            step.DataSize = 1;
            break;
    }
    step.SelStart = e.FSelStart;
    step.SelEnd = e.FSelEnd;
    step.SelAnchor = e.FSelAnchor;

    // The budget is checked before the new step is added, so the history may pass MaxUndo
    // by the newest step.
    const int maxUndo = e.FMaxUndo;
    while (maxUndo > 0 && !FSteps.empty() && FSize > maxUndo) DropOldest();

    FTopDescription = description.empty() ? UndoKindDescription(kind) : description;
    FSize += step.RecordSize();
    FSteps.push_back(std::move(step));

    // Bookmarks follow the edit that is about to happen.
    if (kind == ukRemove)
        e.ShiftBookmarks(pos + count, -count);
    else if (kind == ukInsert)
        e.ShiftBookmarks(pos, count);
    else if (kind == ukReplace)
        e.ShiftBookmarks(pos + count, count - replCount);
}

void THexUndoStorage::SetStepSelection(int start, int count) {
    if (!CanUndo()) return;
    THexUndoStep& step = FSteps.back();
    if (!(step.Flags & ufSelection)) {
        step.Flags |= ufSelection;
        FSize += 12;
    }
    step.CaretPos = start;
    step.SelStart = start;
    step.SelEnd = count ? start + count - 1 : -1;
    step.SelAnchor = start;
}

void THexUndoStorage::UpdateTopDescription() {
    FTopDescription.clear();
    if (FSteps.empty()) return;
    const THexUndoStep& top = FSteps.back();
    if (top.Flags & ufDescription) FTopDescription = top.Description;
    if (FTopDescription.empty()) FTopDescription = UndoKindDescription(top.Kind());
}

std::unique_ptr<THexUndoStep> THexUndoStorage::PopStep() {
    auto step = std::make_unique<THexUndoStep>(std::move(FSteps.back()));
    FSteps.pop_back();
    FSize -= step->RecordSize();
    if (FSteps.empty()) FSize = 0;
    UpdateTopDescription();
    return step;
}

void THexUndoStorage::BuildRedo(const THexUndoStep& step) {
    DropRedo();
    const int kind = step.Kind();
    if (kind == ukMultiple) return;
    TCustomHexEditor& e = FEditor;
    auto redo = std::make_unique<TRedoBlock>();
    THexUndoStep& r = redo->Step;
    r.Flags = 1u << kind;
    r.Pos = step.Pos;
    r.Count = step.Count;
    r.ReplCount = step.ReplCount;
    switch (kind) {
        case ukChangeBytes:
        case ukInsert:
        case ukReplace:
            r.Data.resize(step.Count);
            e.ReadBuffer(r.Data.data(), step.Pos, step.Count);
            break;
        case ukAppend:
            r.Data.resize(e.GetDataSize() - step.Pos);
            e.ReadBuffer(r.Data.data(), step.Pos, static_cast<int>(r.Data.size()));
            break;
        default: break;
    }
    if (kind == ukChangeBytes) {
        if (e.HasChanged(step.Pos)) r.Flags |= ufChanged1;
        if (step.Count == 2 && e.HasChanged(step.Pos + 1)) r.Flags |= ufChanged2;
    }
    r.CaretPos = e.CaretPos();
    if (e.FModified) r.Flags |= ufModified;
    if (e.CaretInCharField()) {
        r.Flags |= ufCharField;
    } else {
        int firstCol, row;
        e.FLayout.GetCursorAtPos(r.CaretPos, false, firstCol, row);
        if (e.FCol != firstCol) r.Flags |= ufSecondDigit;
    }
    if (e.FInsertMode) r.Flags |= ufInsertMode;
    if (e.UnicodeChars()) r.Flags |= ufUnicode;
    if (e.FUnicodeBigEndian) r.Flags |= ufBigEndian;
    r.Translation = e.FTranslation;
    r.BytesPerUnit = e.FBytesPerUnit;
    redo->Bookmarks = e.FBookmarks;
    redo->SelStart = e.FSelStart;
    redo->SelEnd = e.FSelEnd;
    redo->SelAnchor = e.FSelAnchor;
    FRedo = std::move(redo);
}

void THexUndoStorage::Apply(const THexUndoStep& step) {
    TCustomHexEditor& e = FEditor;
    const uint8_t* data = step.Data.empty() ? nullptr : step.Data.data();
    switch (step.Kind()) {
        case ukChangeBytes:
            e.WriteBuffer(data, step.Pos, step.Count);
            e.SetChanged(step.Pos, step.Flags & ufChanged1);
            if (step.Count == 2) e.SetChanged(step.Pos + 1, step.Flags & ufChanged2);
            e.RestoreViewState(step, true);
            break;
        case ukRemove:
            e.InternalInsertBuffer(data, step.Count, step.Pos);
            e.RestoreViewState(step, true);
            e.ShiftBookmarks(step.Pos, step.Count);
            e.TruncateMarks(step.Pos);
            break;
        case ukInsert:
            e.InternalDelete(step.Pos, step.Pos + step.Count, -1, -1);
            e.RestoreViewState(step, true);
            e.ShiftBookmarks(step.Pos, -step.Count);
            e.TruncateMarks(step.Pos);
            break;
        case ukReplace:
            e.InternalDelete(step.Pos, step.Pos + step.Count, -1, -1);
            e.InternalInsertBuffer(data, step.ReplCount, step.Pos);
            e.RestoreViewState(step, true);
            e.ShiftBookmarks(step.Pos + step.ReplCount, step.ReplCount - step.Count);
            e.TruncateMarks(step.Pos > 0 ? step.Pos - 1 : 0);
            break;
        case ukAppend:
            e.FCol = 2;
            e.FData.SetSize(step.Pos);
            e.CalcSizes();
            e.TruncateMarks(step.Pos);
            e.RestoreViewState(step, true);
            break;
        default:
            // Kinds no operation records: nothing to reverse.
            break;
    }
    e.Redraw();
}

void THexUndoStorage::UndoCombined(int count) {
    // A combined step needs all the steps it combines. When the budget dropped some of
    // them, reversing the rest would leave half an edit (a move would keep both copies):
    // the history is cleared instead and nothing is reversed.
    if (StepCount() < count) {
        Reset(true);
        return;
    }
    for (int i = 0; i < count && !FSteps.empty(); ++i) {
        std::unique_ptr<THexUndoStep> step = PopStep();
        if (step->Kind() == ukMultiple)
            UndoCombined(step->Count);
        else
            Apply(*step);
    }
}

void THexUndoStorage::Undo() {
    if (!CanUndo()) {
        Reset(false);
        return;
    }
    // The step leaves the history before it is applied, so a failure half-way can never
    // make a later Undo apply it a second time.
    const std::wstring description = FTopDescription;
    std::unique_ptr<THexUndoStep> step = PopStep();
    auto dropRedo = classlib::ScopeFail([&] { DropRedo(); });
    BuildRedo(*step);
    if (step->Kind() == ukMultiple) {
        UndoCombined(step->Count);
        DropRedo();
    } else {
        Apply(*step);
        FPoppedStep = std::move(step);
        FPoppedDescription = description;
    }
}

bool THexUndoStorage::Redo() {
    if (!FRedo) return false;
    TCustomHexEditor& e = FEditor;
    std::unique_ptr<TRedoBlock> block = std::move(FRedo);
    const THexUndoStep& r = block->Step;
    const uint8_t* data = r.Data.empty() ? nullptr : r.Data.data();
    switch (r.Kind()) {
        case ukChangeBytes: e.WriteBuffer(data, r.Pos, r.Count); break;
        case ukRemove: e.InternalDelete(r.Pos, r.Pos + r.Count, -1, -1); break;
        case ukInsert: e.InternalInsertBuffer(data, r.Count, r.Pos); break;
        case ukReplace:
            e.InternalDelete(r.Pos, r.Pos + r.ReplCount, -1, -1);
            e.InternalInsertBuffer(data, r.Count, r.Pos);
            break;
        case ukAppend: e.InternalAppendBuffer(data, static_cast<int>(r.Data.size())); break;
        default: break;
    }
    e.FBookmarks = block->Bookmarks;
    e.RestoreViewState(r, false);
    e.SetSelectionRange(block->SelAnchor, block->SelStart, block->SelEnd);
    e.SetChanged(r.Pos, r.Flags & ufChanged1);
    if (r.Kind() == ukChangeBytes && r.Count == 2) e.SetChanged(r.Pos + 1, r.Flags & ufChanged2);
    if (FPoppedStep) {
        FSize += FPoppedStep->RecordSize();
        FSteps.push_back(std::move(*FPoppedStep));
        FPoppedStep.reset();
        FTopDescription = FPoppedDescription;
    }
    e.Redraw();
    e.BookmarkChanged();
    DropRedo();
    e.Changed();
    return true;
}

}  // namespace hexedit
