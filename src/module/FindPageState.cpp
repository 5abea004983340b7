#include <windows.h>
#include <commctrl.h>

#include "module/ShellExtension.h"
#include "page/state/PageState.h"

namespace {

// The page keeps the description the sheet gave it at WM_INITDIALOG; its
// lParam is the object whose tail is the page's state.
ShellExtension* FindExtension(HWND dialog) {
    const PROPSHEETPAGEA* description =
        reinterpret_cast<const PROPSHEETPAGEA*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (description == nullptr || description->lParam == 0)
        return nullptr;
    return ExtensionFromPageParameter(description->lParam);
}

}  // namespace

PageState* FindPageState(HWND dialog) {
    ShellExtension* object = FindExtension(dialog);
    return object != nullptr ? &object->pageState : nullptr;
}

TargetPath FindTargetPath(HWND dialog) {
    ShellExtension* object = FindExtension(dialog);
    return object != nullptr ? object->target : TargetPath();
}
