#include "page/dialog/LateFill.h"

#include "catalogue/ResourceKinds.h"
#include "catalogue/ResourceSource.h"
#include "common/PageControls.h"
#include "page/dialog/ListRebuild.h"
#include "page/dialog/PageStart.h"
#include "page/state/TargetIdentity.h"

namespace {

// Opens the file and fills the kind where it is still the one the lists were
// filled from; false, with *changed, when it is not, or when it does not open.
bool FillFromSameFile(HWND dialog, PageState* page, int32_t kind, bool* changed) {
    *changed = false;
    OpenedTarget target(page->target);
    TargetIdentity now = {};
    if (!target.opened() || !ReadTargetIdentity(page->target, &now))
        return false;
    if (!SameTargetIdentity(now, page->identity)) {
        *changed = true;
        return false;
    }
    // A report box of the fill runs messages: a refill among them waits.
    page->rebuilding = 1;
    FillKinds(dialog, page, target.source(), KindBit(kind));
    page->rebuilding = 0;
    return true;
}

}  // namespace

LateFillResult FillKindLate(HWND dialog, PageState* page, int32_t kind) {
    if (page == nullptr || !IsResourceKind(kind) || (page->filledKinds & KindBit(kind)) != 0 ||
        !page->started || page->rebuilding)
        return kLateFillNone;
    // A refill that waits fills the shown kind; this one is added to it.
    if (!page->targetChanged && !page->drawingRefillWanted) {
        bool changed = false;
        if (FillFromSameFile(dialog, page, kind, &changed))
            return kLateFillList;
        if (!changed)
            return kLateFillNone;
        NoticeTargetChange(page);
    }
    const int32_t filled = page->filledKinds;
    page->filledKinds |= KindBit(kind);
    RebuildForChangedTarget(dialog, page);
    // A refill that found the file closed leaves every list as it was.
    if (page->targetChanged || page->drawingRefillWanted) {
        page->filledKinds = filled;
        return kLateFillNone;
    }
    return kLateFillRefilled;
}

namespace {

// The shown group is chosen again, as if clicked, which lists its members.
void ListMembersLate(HWND dialog, PageState* page) {
    const int32_t kind = page->currentKind;
    if (!page->membersUnlisted || page->rebuilding || (kind != kKindIcon && kind != kKindCursor))
        return;
    page->membersUnlisted = 0;
    page->lastSelection[kind] = -1;
    HWND list = GetDlgItem(dialog, ResourceKindList(kind));
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(ResourceKindList(kind), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

}  // namespace

void FillListLate(HWND list) {
    HWND dialog = GetParent(list);
    PageState* page = FindPageState(dialog);
    if (page != nullptr && GetDlgCtrlID(list) == kMemberList) {
        ListMembersLate(dialog, page);
        return;
    }
    const int kind = ResourceKindOfList(GetDlgCtrlID(list));
    if (page == nullptr || FillKindLate(dialog, page, kind) != kLateFillList ||
        kind != page->currentKind)
        return;
    page->currentKind = -1;
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kKindDropDown, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, kKindDropDown)));
}
