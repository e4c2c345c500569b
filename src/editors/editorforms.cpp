#include "editors/editorforms.h"

#include "controls/toolbar/ui/uiforms.h"
#include "controls/wide/wideedit.h"

namespace editors {

void ShowExistingValueName(wide::TWideCustomEdit& edit, const std::wstring& name) {
    edit.SetText(name);
    ui::ShowReadOnly(edit);
}

}  // namespace editors
