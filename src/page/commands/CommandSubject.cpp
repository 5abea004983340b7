#include "page/commands/CommandSubject.h"

#include <commctrl.h>

#include <cstring>

#include "catalogue/ResourceKinds.h"
#include "common/PageControls.h"
#include "formats/executables/ResourceRecords.h"
#include "page/lists/PictureItems.h"
#include "page/lists/StringListRowId.h"
#include "page/state/TargetIdentity.h"

namespace {

bool IsGroupKind(int32_t kind) {
    return kind == kKindIcon || kind == kKindCursor;
}

// The name of the shown picture list's selected entry; false without one.
bool SelectedName(HWND dialog, PageState* page, int32_t kind, ResName* name) {
    PictureStore store;
    const uint8_t* record = SelectedPictureRecord(dialog, page, ResourceKindList(kind), &store);
    if (record == nullptr)
        return false;
    *name = ReadResName(record + store.fixedPart);
    return true;
}

// The IDs of the selected string rows in row order, into a GMEM_FIXED block
// (null when none is selected); false when memory ran out or a row has no ID.
bool SelectedRowIds(HWND dialog, const PageState* page, uint16_t** ids, int32_t* count) {
    *ids = nullptr;
    *count = 0;
    HWND list = GetDlgItem(dialog, kStringList);
    const LRESULT selected = SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0);
    if (selected <= 0)
        return true;
    *ids = static_cast<uint16_t*>(
        GlobalAlloc(GMEM_FIXED, static_cast<SIZE_T>(selected) * sizeof(uint16_t)));
    if (*ids == nullptr)
        return false;
    for (LRESULT row = SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
         row >= 0 && *count < selected;
         row = SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED)) {
        if (!ListStringRowId(page, list, row, &(*ids)[*count]))
            return false;
        ++*count;
    }
    return true;
}

}  // namespace

CommandSubject::~CommandSubject() {
    if (entryText != nullptr)
        GlobalFree(entryText);
    if (rowIds != nullptr)
        GlobalFree(rowIds);
}

bool NoteCommandSubject(HWND dialog, PageState* page, CommandSubject* subject) {
    subject->kind = page->currentKind;
    subject->generation = page->fillGeneration;
    if (subject->kind == kKindString)
        return SelectedRowIds(dialog, page, &subject->rowIds, &subject->rowCount);
    ResName name = nullptr;
    subject->hasEntry =
        IsResourceKind(subject->kind) && SelectedName(dialog, page, subject->kind, &name);
    if (subject->hasEntry) {
        subject->entryIsId = IsIntResName(name);
        if (subject->entryIsId) {
            subject->entryId = ResNameId(name);
        } else {
            const size_t length = static_cast<size_t>(lstrlenA(name)) + 1;
            subject->entryText = static_cast<char*>(GlobalAlloc(GMEM_FIXED, length));
            if (subject->entryText == nullptr)
                return false;
            memcpy(subject->entryText, name, length);
        }
    }
    const GroupMember* member = IsGroupKind(subject->kind) ? SelectedMember(dialog, page) : nullptr;
    subject->hasMember = member != nullptr;
    subject->memberId = member != nullptr ? member->imageId : 0;
    return true;
}

namespace {

bool SameRows(HWND dialog, const PageState* page, const CommandSubject& subject) {
    uint16_t* ids = nullptr;
    int32_t count = 0;
    bool same = SelectedRowIds(dialog, page, &ids, &count) && count == subject.rowCount;
    for (int32_t i = 0; same && i < count; ++i)
        same = ids[i] == subject.rowIds[i];
    if (ids != nullptr)
        GlobalFree(ids);
    return same;
}

bool SameSelection(HWND dialog, PageState* page, const CommandSubject& subject) {
    if (page->currentKind != subject.kind || page->fillGeneration != subject.generation)
        return false;
    if (subject.kind == kKindString)
        return SameRows(dialog, page, subject);
    ResName name = nullptr;
    const bool hasEntry =
        IsResourceKind(subject.kind) && SelectedName(dialog, page, subject.kind, &name);
    if (hasEntry != subject.hasEntry)
        return false;
    if (hasEntry &&
        (subject.entryIsId ? !IsIntResName(name) || ResNameId(name) != subject.entryId
                           : IsIntResName(name) || lstrcmpA(name, subject.entryText) != 0)) {
        return false;
    }
    const GroupMember* member = IsGroupKind(subject.kind) ? SelectedMember(dialog, page) : nullptr;
    return (member != nullptr) == subject.hasMember &&
           (member == nullptr || member->imageId == subject.memberId);
}

}  // namespace

bool CommandSubjectStands(HWND dialog, const CommandSubject& subject) {
    PageState* page = IsWindow(dialog) ? FindPageState(dialog) : nullptr;
    if (page == nullptr)
        return false;
    if (SameSelection(dialog, page, subject))
        return true;
    ReportUnreadableTarget(dialog, ERROR_FILE_INVALID);
    return false;
}
