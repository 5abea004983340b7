#include "page/commands/SaveSelection.h"

#include <commctrl.h>

#include "catalogue/ImageIndex.h"
#include "catalogue/ResourceKinds.h"
#include "catalogue/ResourceSource.h"
#include "common/ErrorReports.h"
#include "common/PageControls.h"
#include "formats/bytes/TextWriter.h"
#include "formats/executables/ResourceRecords.h"
#include "formats/images/GroupDirectory.h"
#include "formats/output/SavedFiles.h"
#include "formats/texts/StringBlock.h"
#include "media/FileSave.h"
#include "page/commands/CommandSubject.h"
#include "page/commands/MessageCommands.h"
#include "page/commands/SaveDialog.h"
#include "page/lists/ItemTexts.h"
#include "page/lists/PictureItems.h"
#include "page/lists/StringListRowId.h"
#include "page/state/TargetIdentity.h"

namespace {

const int kNameCapacity = 200;

// The bytes a save writes, in a block of its own: the target is closed again
// before the user is asked for a name.
struct SavedBytes {
    HGLOBAL block;
    uint32_t size;
    DWORD failure;  // an allocation that failed, or why there is nothing to save
};

class SavedBlock {
public:
    SavedBlock() : bytes_{nullptr, 0, 0} {}
    ~SavedBlock() {
        if (bytes_.block != nullptr)
            GlobalFree(bytes_.block);
    }
    SavedBlock(const SavedBlock&) = delete;
    SavedBlock& operator=(const SavedBlock&) = delete;
    // Room for size bytes; null with the failure noted when there is none.
    uint8_t* Allocate(uint32_t size) {
        bytes_.block = GlobalAlloc(GMEM_FIXED, size != 0 ? size : 1);
        if (bytes_.block == nullptr) {
            bytes_.failure = ERROR_NOT_ENOUGH_MEMORY;
            return nullptr;
        }
        bytes_.size = size;
        return static_cast<uint8_t*>(bytes_.block);
    }
    // Why there is nothing to save, unless a failure or the bytes came first.
    void NoteNothing(DWORD reason) {
        if (bytes_.block == nullptr && bytes_.failure == 0)
            bytes_.failure = reason;
    }
    const SavedBytes& bytes() const { return bytes_; }

private:
    SavedBytes bytes_;
};

const SaveFileType kIconFile = {"アイコン (*.ico)\0*.ico\0", L"アイコン (*.ico)\0*.ico\0", "ico"};
const SaveFileType kCursorFile = {"カーソル (*.cur)\0*.cur\0", L"カーソル (*.cur)\0*.cur\0", "cur"};
const SaveFileType kBitmapFile = {"ビットマップ (*.bmp)\0*.bmp\0", L"ビットマップ (*.bmp)\0*.bmp\0",
                                  "bmp"};
const SaveFileType kClipFile = {"AVI (*.avi)\0*.avi\0", L"AVI (*.avi)\0*.avi\0", "avi"};
const SaveFileType kTextFile = {"テキスト (*.txt)\0*.txt\0", L"テキスト (*.txt)\0*.txt\0", "txt"};

// The group's members as the target stores them, one per directory entry (a
// null data for one that cannot be read), in a fixed block.
bool FindMembers(const ResourceSource& source, bool cursor, const uint8_t* group, uint32_t size,
                 HGLOBAL* block, uint32_t* count) {
    *count = GroupEntryCount(group, size);
    *block = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, sizeof(MemberBytes) * (*count + 1));
    ImageIndex index = {};
    if (*block == nullptr || !BuildImageIndex(source, cursor, &index))
        return false;
    MemberBytes* members = static_cast<MemberBytes*>(*block);
    for (uint32_t i = 0; i < *count; ++i) {
        GroupEntry entry;
        const uint8_t* image = nullptr;
        uint32_t imageSize = 0;
        if (ReadGroupEntry(group, size, i, &entry) &&
            FindGroupImage(source, &index, cursor, entry.imageId, &image, &imageSize)) {
            members[i] = MemberBytes{image, imageSize};
        }
    }
    FreeImageIndex(&index);
    return true;
}

// The group, or its member *memberId alone, as an .ico or .cur file.
void GroupFile(const ResourceSource& source, bool cursor, ResName name, const uint16_t* memberId,
               SavedBlock* out) {
    const uint8_t* group = nullptr;
    uint32_t size = 0;
    if (!FindResourceBytes(source, ResourceKindType(cursor ? kKindCursor : kKindIcon), name, &group,
                           &size) ||
        !ResourceBytesReadable(group, size)) {
        return;
    }
    HGLOBAL block = nullptr;
    uint32_t count = 0;
    if (FindMembers(source, cursor, group, size, &block, &count)) {
        const MemberBytes* members = static_cast<const MemberBytes*>(block);
        const SavedIconGroup directory = {group, size, cursor, source.isNeImage != 0};
        IconFilePlan plan = {};
        bool planned = memberId == nullptr && PlanGroupFile(directory, members, count, &plan);
        for (uint32_t i = 0; memberId != nullptr && i < count; ++i) {
            GroupEntry entry;
            if (ReadGroupEntry(group, size, i, &entry) && entry.imageId == *memberId) {
                // The one-image file is written from that member alone.
                members += i;
                planned = PlanMemberFile(directory, i, members, &plan);
                break;
            }
        }
        uint8_t* bytes = planned ? out->Allocate(plan.fileBytes) : nullptr;
        if (bytes != nullptr)
            WriteIconFile(directory, members, plan, bytes);
    }
    if (block != nullptr)
        GlobalFree(block);
}

void BitmapFile(const ResourceSource& source, ResName name, SavedBlock* out) {
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    BmpFilePlan plan;
    // Saved whether or not the page can draw it: the file holds what the
    // resource holds.
    if (FindResourceBytes(source, ResourceKindType(kKindBitmap), name, &data, &size) &&
        ResourceBytesReadable(data, size) &&
        PlanBmpFile(data, size, source.isNeImage != 0, &plan)) {
        uint8_t* bytes = out->Allocate(plan.fileBytes);
        if (bytes != nullptr)
            WriteBmpFile(data, plan, bytes);
    }
}

void ClipFile(const ResourceSource& source, ResName name, SavedBlock* out) {
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    if (FindResourceBytes(source, ResourceKindType(kKindAvi), name, &data, &size) &&
        ResourceBytesReadable(data, size)) {
        const uint32_t clipBytes = ClipFileBytes(data, size, source.isNeImage != 0);
        uint8_t* bytes = out->Allocate(clipBytes);
        if (bytes != nullptr)
            memcpy(bytes, data, clipBytes);
    }
}

// The stored text of string id, in the target's own form.
bool FindString(const ResourceSource& source, uint16_t id, StringRow* row) {
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    if (!FindResourceBytes(source, ResourceKindType(kKindString),
                           MakeIntResName(static_cast<uint16_t>(id / kStringsPerBlock + 1)), &data,
                           &size) ||
        !ResourceBytesReadable(data, size)) {
        return false;
    }
    StoredString strings[kStringsPerBlock];
    uint32_t read = source.isNeImage ? ReadNeStringBlock(data, size, strings)
                                     : ReadPeStringBlock(data, size, strings);
    const uint32_t slot = id % kStringsPerBlock;
    if (slot >= read || strings[slot].length == 0)
        return false;
    *row = StringRow{id, data + strings[slot].offset, strings[slot].length};
    return true;
}

// The selected rows, "id<TAB>text" each with CR LF, planned in a first pass and
// written in a second.
void StringFile(HWND dialog, const PageState* page, const ResourceSource& source, SavedBlock* out) {
    HWND list = GetDlgItem(dialog, kStringList);
    const bool ne = source.isNeImage != 0;
    uint32_t fileBytes = StringTextStartBytes(ne);
    uint8_t* bytes = nullptr;
    size_t at = 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (LRESULT row =
                 SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
             row >= 0;
             row = SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED)) {
            uint16_t id = 0;
            StringRow text;
            // A row the file no longer has fails the save: part of the
            // selection is never passed off as the whole.
            if (!ListStringRowId(page, list, row, &id) || !FindString(source, id, &text)) {
                out->NoteNothing(ERROR_FILE_INVALID);
                return;
            }
            if (pass == 0 && !PlanStringRow(ne, text, &fileBytes))
                return;
            if (pass == 1)
                at = WriteStringRow(ne, text, bytes, at);
        }
        if (pass == 0) {
            if (fileBytes == StringTextStartBytes(ne) ||
                (bytes = out->Allocate(fileBytes)) == nullptr)
                return;
            at = WriteStringTextStart(ne, bytes);
        }
    }
}

// The selected messages as UTF-16 text with a byte-order mark, "ID<TAB>text"
// a row. False when it cannot be made (already reported).
bool SaveMessageText(HWND dialog, PageState* page, SavedBlock* out) {
    SIZE_T units = 0;
    HGLOBAL text = SelectedMessagesText(dialog, page, true, &units);
    if (text == nullptr)
        return false;
    const void* wide = GlobalLock(text);
    uint8_t* bytes = wide != nullptr && units < 0x7FFFFFFE / 2
                         ? out->Allocate(static_cast<uint32_t>(units * 2 + 2))
                         : nullptr;
    if (bytes != nullptr) {
        bytes[0] = 0xFF;
        bytes[1] = 0xFE;
        memcpy(bytes + 2, wide, units * 2);
    }
    if (wide != nullptr)
        GlobalUnlock(text);
    GlobalFree(text);
    return true;
}

// The target's name in the system code page without its folder and
// extension: its first byte, and its length in bytes (0 when there is none).
// A narrow path is read where it lies, whatever its length; only a wide
// name's own part is converted, into base, and one that has no form there
// that fits gives none.
size_t TargetFileStem(const TargetPath& target, char* base, const char** stem) {
    base[0] = '\0';
    const char* path = base;
    if (target.narrow != nullptr) {
        path = target.narrow;
    } else if (target.wide != nullptr) {
        const wchar_t* file = target.wide;
        for (const wchar_t* c = target.wide; *c != 0; ++c) {
            if (*c == L'\\' || *c == L'/' || *c == L':')
                file = c + 1;
        }
        // A failed conversion may have written part of the name, unterminated.
        if (WideCharToMultiByte(CP_ACP, 0, file, -1, base, MAX_PATH, nullptr, nullptr) == 0)
            base[0] = '\0';
    }
    const char* file = path;
    const char* dot = nullptr;
    const char* c = path;
    for (; *c != '\0'; c = CharNextA(c)) {
        if (*c == '\\' || *c == '/' || *c == ':')
            file = c + 1, dot = nullptr;
        else if (*c == '.')
            dot = c;
    }
    *stem = file;
    return static_cast<size_t>((dot != nullptr ? dot : c) - file);
}

// "<file>_<entry>.<extension>": the target's name without its extension, cut
// at a whole character where the rest would not fit, and the entry's name as
// its list shows it without quotes; "<entry>.<extension>" when the target's
// name cannot be had.
void DefaultName(const TargetPath& target, const char* entry, const char* extension, char* name) {
    char base[MAX_PATH];
    const char* stem = nullptr;
    const size_t stemLength = TargetFileStem(target, base, &stem);
    TextWriter text = StartText(name, kNameCapacity);
    const size_t suffix = 1 + lstrlenA(entry) + 1 + lstrlenA(extension);
    if (stemLength != 0 && suffix < kNameCapacity) {
        size_t kept = 0;
        for (const char* c = stem; static_cast<size_t>(c - stem) < stemLength;) {
            const char* next = CharNextA(c);
            const size_t length = static_cast<size_t>(next - stem);
            if (length > stemLength || length + suffix >= kNameCapacity)
                break;
            kept = length;
            c = next;
        }
        AppendChars(&text, stem, kept);
        AppendChars(&text, "_", 1);
    }
    AppendString(&text, entry);
    AppendChars(&text, ".", 1);
    AppendString(&text, extension);
}

// The entry's part of the file name: the resource's number or text unquoted,
// a clip's after its type, a member's image number after its group's;
// "strings" for string rows.
void EntryName(int32_t kind, ResName name, const uint16_t* memberId, char* out, size_t capacity) {
    TextWriter text = StartText(out, capacity);
    if (name == nullptr) {
        AppendString(&text, kind == kKindMessage ? "messages" : "strings");
        return;
    }
    if (kind == kKindAvi)
        AppendString(&text, "AVI_");
    if (IsIntResName(name))
        AppendDecimal(&text, ResNameId(name));
    else
        AppendString(&text, name);
    if (memberId != nullptr) {
        AppendChars(&text, "_", 1);
        AppendDecimal(&text, *memberId);
    }
}

const SaveFileType& FileTypeOf(int32_t kind) {
    switch (kind) {
        case kKindIcon:
            return kIconFile;
        case kKindCursor:
            return kCursorFile;
        case kKindBitmap:
            return kBitmapFile;
        case kKindAvi:
            return kClipFile;
        default:
            return kTextFile;
    }
}

// The bytes of the file for the selection, read from the target and closed
// again before the user is asked for a name. Where there are none, the
// failure says why: the target could not be opened, or it holds nothing of
// the selection that can be saved.
void ReadSavedBytes(HWND dialog, PageState* page, int32_t kind, ResName name,
                    const uint16_t* memberId, SavedBlock* saved) {
    SetLastError(0);
    OpenedTarget target(page->target);
    if (!target.opened()) {
        // A failed opening can leave no code.
        saved->NoteNothing(GetLastError() != 0 ? GetLastError() : ERROR_FILE_INVALID);
        return;
    }
    const ResourceSource& source = target.source();
    switch (kind) {
        case kKindIcon:
        case kKindCursor:
            GroupFile(source, kind == kKindCursor, name, memberId, saved);
            break;
        case kKindBitmap:
            BitmapFile(source, name, saved);
            break;
        case kKindAvi:
            ClipFile(source, name, saved);
            break;
        default:
            StringFile(dialog, page, source, saved);
            break;
    }
    saved->NoteNothing(ERROR_RESOURCE_NAME_NOT_FOUND);
}

}  // namespace

bool SaveAvailable(HWND dialog, int listId) {
    if (listId == kStringList || listId == kMessageList)
        return SendDlgItemMessageA(dialog, listId, LVM_GETSELECTEDCOUNT, 0, 0) > 0;
    return SendDlgItemMessageA(dialog, listId, LB_GETCURSEL, 0, 0) >= 0;
}

void SaveSelection(HWND dialog, PageState* page, int listId) {
    if (page == nullptr || !SaveAvailable(dialog, listId))
        return;
    const bool memberList = listId == kMemberList;
    const int32_t kind = memberList ? page->currentKind : ResourceKindOfList(listId);
    const int groupList = memberList ? ResourceKindList(kind) : listId;
    PictureStore store;
    const uint8_t* record =
        IsRowKind(kind) ? nullptr : SelectedPictureRecord(dialog, page, groupList, &store);
    if (!IsRowKind(kind) && record == nullptr)
        return;
    const ResName name = record != nullptr ? ReadResName(record + store.fixedPart) : nullptr;
    uint16_t memberId = 0;
    if (memberList) {
        const GroupMember* member = SelectedMember(dialog, page);
        if (member == nullptr)
            return;
        memberId = member->imageId;
    }
    if (!TargetReadyForCommand(dialog, page, true))
        return;
    CommandSubject subject;
    if (!NoteCommandSubject(dialog, page, &subject)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        ReportSystemError(dialog, 2);
        return;
    }
    SavedBlock saved;
    if (kind == kKindMessage) {
        if (!SaveMessageText(dialog, page, &saved))
            return;
    } else {
        ReadSavedBytes(dialog, page, kind, name, memberList ? &memberId : nullptr, &saved);
    }
    if (saved.bytes().block == nullptr) {
        SetLastError(saved.bytes().failure);
        ReportSystemError(dialog, 2);
        return;
    }
    const SaveFileType& type = FileTypeOf(kind);
    char entry[kNameCapacity];
    EntryName(kind, name, memberList ? &memberId : nullptr, entry, sizeof(entry));
    char defaultName[kNameCapacity];
    DefaultName(page->target, entry, type.extension, defaultName);
    SavePath path;
    if (!AskSaveName(dialog, page->target, defaultName, type, &path))
        return;
    // The dialog's loop handles the page's messages: the bytes are written
    // only for the entry they were read for, from a file that is still there
    // as it was; one gone, locked or changed meanwhile can no longer vouch
    // for them.
    DWORD error = 0;
    if (!CommandSubjectStands(dialog, subject))
        return;
    const TargetState state = CheckPageTarget(page, true, &error);
    if (state != kTargetSame) {
        ReportUnreadableTarget(dialog, state == kTargetChanged ? ERROR_FILE_INVALID : error);
        return;
    }
    if (IsTargetFile(path, page->target)) {
        ReportRefusedTarget(dialog);
        return;
    }
    DWORD failure = SaveFileBytes(path, saved.bytes().block, saved.bytes().size);
    if (failure != 0) {
        SetLastError(failure);
        ReportSystemError(dialog, 2);
    }
}
