// What the search dialogs need of the window that opens them (the main window): the
// strings of section "Setting" of "setting.db", its image lists, whether the
// regular-expression library is there, and for bulk replace the undo list, the value
// writers and the option that switches the questions off. The main window implements this
// and passes itself to each dialog; the dialogs keep the reference only while they live.
//
// Main thread only.
#pragma once

#include <string>

#include "search/bulk_ops.h"

namespace classlib {
class TImageList;
}
namespace undo {
class TVxRegClipUndoProvider;
}

namespace searchui {

class IFindDialogHost {
public:
    virtual ~IFindDialogHost() = default;

    // Key `name` of section "Setting" of "setting.db" (`defaultValue` when missing), and
    // writing it (the file is saved at once; raises the file's errors).
    virtual std::wstring ReadSettingString(const std::wstring& name, const std::wstring& defaultValue) = 0;
    virtual void WriteSettingString(const std::wstring& name, const std::wstring& value) = 0;

    // The image lists (null: none). Toolbar images: the search dialog's token button 29,
    // its key-list menu 2 and 31. Component images: the key tree's computer 0/1, root
    // folder 2/3, key folder 4/5 (closed/open). Registry-object images: the bulk replace
    // rows 1 to 3.
    virtual classlib::TImageList* ToolBarImages() = 0;
    virtual classlib::TImageList* ComponentImages() = 0;
    virtual classlib::TImageList* RegistryObjectImages() = 0;

    // The regular-expression library file is in the program's folder.
    virtual bool RegexLibraryPresent() = 0;

    // Bulk replace: the option "SetNoMessage" (no questions), the undo list that records
    // renames, and the writers of string data (which record undo themselves).
    virtual bool SetNoMessage() = 0;
    virtual undo::TVxRegClipUndoProvider& UndoProvider() = 0;
    virtual search::TBulkValueWriters ValueWriters() = 0;
};

}  // namespace searchui
