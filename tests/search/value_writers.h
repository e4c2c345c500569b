// The value writers as the main window gives them to bulk replace: the old data recorded in
// the undo list first, then the new data written.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "classlib/streams.h"
#include "registry/regops.h"
#include "search/bulk_ops.h"
#include "undo/undoprovider.h"

namespace searchtest {

inline void WriteValueData(const registry::TVxRegKeyClass& key, const std::wstring& name, DWORD type,
                           const BYTE* data, size_t size) {
    classlib::TMemoryStream stream;
    stream.Write(data, static_cast<int64_t>(size));
    registry::WriteRegValueFromStream(key, name, stream, type);
}

// `undo` must outlive the writers.
inline search::TBulkValueWriters RecordingWriters(undo::TVxRegClipUndoProvider& undo) {
    search::TBulkValueWriters writers;
    writers.WriteString = [&undo](const registry::TVxRegKeyClass& key, const std::wstring& name, DWORD type,
                                  const std::wstring& text) {
        undo.RecordValueOverwritten(key, name, type);
        const std::wstring data = text + L'\0';
        WriteValueData(key, name, type, reinterpret_cast<const BYTE*>(data.data()), data.size() * 2);
    };
    writers.WriteData = [&undo](const registry::TVxRegKeyClass& key, const std::wstring& name, DWORD type,
                                const std::vector<BYTE>& data) {
        undo.RecordValueOverwritten(key, name, type);
        WriteValueData(key, name, type, data.data(), data.size());
    };
    return writers;
}

}  // namespace searchtest
