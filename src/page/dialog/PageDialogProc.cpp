#include "page/dialog/PageDialogProc.h"

#include <mmsystem.h>

#include "common/ModuleState.h"
#include "common/PageControls.h"
#include "page/commands/ContextMenu.h"
#include "page/commands/PagePlayback.h"
#include "page/dialog/KindSelection.h"
#include "page/dialog/ListRebuild.h"
#include "page/dialog/PageStart.h"
#include "page/dialog/SheetEvents.h"
#include "page/lists/MessageListView.h"
#include "page/lists/PageDrawing.h"
#include "page/lists/StringListView.h"
#include "page/state/DialogResult.h"

namespace {

// WM_DPICHANGED_AFTERPARENT, which older headers lack.
const UINT kDpiChangedAfterParent = 0x02E3;

}  // namespace

INT_PTR CALLBACK PageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            StartPage(dialog, lParam);
            return TRUE;
        case WM_DESTROY:
            EndPage(dialog);
            return FALSE;
        case WM_COMMAND:
            OnPageCommand(dialog, LOWORD(wParam), static_cast<short>(HIWORD(wParam)),
                          reinterpret_cast<HWND>(lParam));
            return FALSE;
        case WM_MEASUREITEM:
            MeasurePageItem(dialog, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
            return Answer(dialog, 1);
        case WM_DRAWITEM:
            DrawPageItem(dialog, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return Answer(dialog, 1);
        case WM_COMPAREITEM:
            return ComparePageItems(dialog, reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam));
        case WM_CHARTOITEM:
            // No typed-character selection: the list box does its default.
            return -1;
        case WM_NOTIFY: {
            const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header == nullptr)
                return FALSE;
            if (header->idFrom == kStringList)
                return StringListNotify(dialog, header);
            if (header->idFrom == kMessageList)
                return MessageListNotify(dialog, header);
            return OnSheetNotify(dialog, header);
        }
        case WM_NOTIFYFORMAT:
            // The lists' texts in their own letters where the system has them.
            return lParam == NF_QUERY ? Answer(dialog, theModule.wideRows ? NFR_UNICODE : NFR_ANSI)
                                      : FALSE;
        case WM_CONTEXTMENU:
            ShowCopyMenu(dialog, reinterpret_cast<HWND>(wParam), lParam);
            return FALSE;
        case WM_SETTINGCHANGE:
            OnSystemChange(dialog, false);
            return FALSE;
        case WM_DISPLAYCHANGE:
        case kDpiChangedAfterParent:
            // Moved to a screen of another density (Windows 10 1703 and later):
            // pictures and rows are made again for it.
            OnSystemChange(dialog, true);
            return FALSE;
        case WM_THEMECHANGED:
            OnThemeChanged(dialog);
            return FALSE;
        case MM_MCINOTIFY:
            return EndClipPlayback(dialog, wParam, lParam);
        case kRebuildForChangedTarget:
            RebuildForChangedTarget(dialog, FindPageState(dialog));
            return FALSE;
        default:
            return FALSE;
    }
}
