#include "page/access/EntrySpeech.h"

#include "catalogue/ResourceKinds.h"
#include "common/ModuleState.h"
#include "common/PageControls.h"
#include "formats/bytes/TextWriter.h"
#include "formats/texts/SpokenCaption.h"
#include "page/lists/IdDisplay.h"
#include "page/lists/ItemTexts.h"
#include "page/lists/PictureItems.h"

namespace {

bool ItemValue(HWND list, int index, uintptr_t* value) {
    if (index < 0)
        return false;
    LRESULT data = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    if (data == LB_ERR)
        return false;
    *value = static_cast<uintptr_t>(data);
    return true;
}

const GroupMember* MemberAt(HWND list, const PageState* page, int index) {
    uintptr_t value = 0;
    return ItemValue(list, index, &value) ? MemberOfItem(page, value) : nullptr;
}

uint8_t* RecordAt(HWND list, PageState* page, int index, PictureStore* store) {
    uintptr_t value = 0;
    return ItemValue(list, index, &value)
               ? PictureRecordOfItem(page, GetDlgCtrlID(list), value, store)
               : nullptr;
}

// Two drawn texts as one spoken one; either may be empty.
void JoinTexts(const char* first, const char* second, char* buffer, size_t size) {
    TextWriter text = StartText(buffer, size);
    AppendString(&text, first);
    if (first[0] != '\0' && second[0] != '\0')
        AppendString(&text, ", ");
    AppendString(&text, second);
}

bool MemberColumnsAt(HWND list, const PageState* page, int index, MemberColumns* columns) {
    const GroupMember* member = MemberAt(list, page, index);
    if (member == nullptr)
        return false;
    ReadMemberColumns(*member, page->currentKind == kKindCursor, theModule.legacyShellMode,
                      columns);
    return true;
}

}  // namespace

bool EntryName(HWND list, PageState* page, int index, char* buffer, size_t size) {
    if (page == nullptr || size == 0)
        return false;
    if (GetDlgCtrlID(list) == kMemberList) {
        MemberColumns columns;
        if (!MemberColumnsAt(list, page, index, &columns))
            return false;
        JoinTexts(columns.size, columns.depth, buffer, size);
        return true;
    }
    PictureStore store;
    BoundedName name;
    const uint8_t* record = RecordAt(list, page, index, &store);
    if (record == nullptr || !ReadRecordName(store, record, &name))
        return false;
    // An empty text name is spoken as drawn, a pair of quotes: a name that
    // says nothing would leave the entry unnamed.
    if (name.isText && name.length == 0)
        FormatRecordName(name, buffer, size);
    else
        FormatBareRecordName(name, buffer, size);
    return true;
}

bool EntryDescription(HWND list, PageState* page, int index, char* buffer, size_t size) {
    if (page == nullptr || size == 0)
        return false;
    buffer[0] = '\0';
    if (GetDlgCtrlID(list) == kMemberList) {
        MemberColumns columns;
        if (!MemberColumnsAt(list, page, index, &columns))
            return false;
        if (columns.hotSpot[0] == '\0')
            return true;
        // The column's caption says what the pair is; the row alone does not.
        char caption[64] = {};
        GetWindowTextA(GetDlgItem(GetParent(list), kHotSpotCaption), caption, sizeof(caption));
        TextWriter text = StartText(buffer, size);
        AppendString(&text, caption);
        if (caption[0] != '\0')
            AppendString(&text, " ");
        AppendString(&text, columns.hotSpot);
        return true;
    }
    PictureStore store;
    const uint8_t* record = RecordAt(list, page, index, &store);
    if (record == nullptr)
        return false;
    if (store.kind == kKindBitmap || store.kind == kKindAvi) {
        PictureLines lines;
        ReadPictureLines(store.kind, record, theModule.legacyShellMode, &lines);
        JoinTexts(lines.size, lines.second, buffer, size);
    }
    return true;
}

const char* PlayButtonName(const PageState* page) {
    return page->playingIndex >= 0 ? "停止" : "再生";
}

bool ControlName(HWND control, PageState* page, char* buffer, size_t size) {
    if (size == 0)
        return false;
    const int controlId = GetDlgCtrlID(control);
    char caption[64] = {};
    if (controlId == kIdDisplay) {
        ShownIdText(page, control, buffer, static_cast<int>(size > 4096 ? 4096 : size));
        return true;
    }
    if (controlId == kMemberList || controlId == kLanguageDropDown) {
        const int label = controlId == kMemberList ? kMemberCaption : kLanguageLabel;
        GetWindowTextA(GetDlgItem(GetParent(control), label), caption, sizeof(caption));
    } else {
        const int kind = ResourceKindOfList(controlId);
        if (!IsResourceKind(kind))
            return false;
        // The caption the page shows above the list while its kind is shown.
        TextWriter text = StartText(caption, sizeof(caption));
        AppendString(&text, ResourceKindName(kind, theModule.legacyShellMode));
        AppendString(&text, "一覧(&L):");
    }
    SpokenCaption(caption, buffer, size);
    return true;
}

const char* EntryDefaultAction(HWND list, const PageState* page, int index) {
    if (page == nullptr || GetDlgCtrlID(list) != kAviList || index < 0)
        return nullptr;
    return page->playingIndex == index ? "停止" : "再生";
}
