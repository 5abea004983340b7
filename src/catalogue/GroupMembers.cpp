#include "catalogue/GroupMembers.h"

#include <cstring>

#include "catalogue/ImageIndex.h"
#include "catalogue/ResourceKinds.h"
#include "common/ErrorReports.h"
#include "common/PageControls.h"
#include "formats/bytes/LittleEndian.h"
#include "formats/executables/ResourceRecords.h"
#include "formats/images/DibLayout.h"
#include "formats/images/GroupDirectory.h"
#include "formats/texts/SortedPlaces.h"

namespace {

// Room for one more record: the array grows geometrically, up to the most
// members one group may list.
bool MakeRoomForMember(const MemberArray& members) {
    SIZE_T capacity = GlobalSize(*members.block) / sizeof(GroupMember);
    uint32_t count = static_cast<uint32_t>(*members.count);
    if (count >= kMaxGroupEntries)
        return false;
    if (count < capacity)
        return true;
    SIZE_T grown = capacity < 5 ? 10 : capacity * 2;
    if (grown > kMaxGroupEntries)
        grown = kMaxGroupEntries;
    HGLOBAL block = GlobalReAlloc(*members.block, grown * sizeof(GroupMember), GMEM_MOVEABLE);
    if (block == nullptr)
        return false;
    *members.block = static_cast<uint8_t*>(block);
    return true;
}

// A copy of the image whose header describes the colour image alone (its
// height halved); a PNG stream is copied as it stands. Null with
// outOfMemory set when the allocation ran out of memory.
HGLOBAL CopyMemberImage(const uint8_t* image, uint32_t bytes, bool png, bool* outOfMemory) {
    SetLastError(0);
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (copy == nullptr) {
        *outOfMemory = GetLastError() == ERROR_NOT_ENOUGH_MEMORY;
        return nullptr;
    }
    uint8_t* data = static_cast<uint8_t*>(GlobalLock(copy));
    if (data == nullptr) {
        GlobalFree(copy);
        return nullptr;
    }
    memcpy(data, image, bytes);
    if (!png) {
        int32_t height = static_cast<int32_t>(PeekU32(data + 8));
        PokeU32(data + 8, static_cast<uint32_t>(height >> 1));
    }
    GlobalUnlock(copy);
    return copy;
}

// One member: 0 when counted or skipped, -1 to end the listing.
int AddGroupMember(HWND dialog, const MemberArray& members, uint16_t id, const uint8_t* image,
                   uint32_t bytes, bool cursor) {
    if (!MakeRoomForMember(members))
        return -1;
    GroupMember member = {};
    member.imageId = id;
    if (cursor) {
        if (bytes < 4)
            return 0;
        member.hotSpotX = PeekU16(image);
        member.hotSpotY = PeekU16(image + 2);
        image += 4;
        bytes -= 4;
    }
    MemberImageLayout layout;
    bool usable = ReadMemberImageLayout(image, bytes, true, &layout);
    if (usable) {
        member.width = static_cast<uint16_t>(layout.width);
        member.height = static_cast<uint16_t>(layout.height);
        member.bitsPerPixel = layout.bitCount;
        bool outOfMemory = false;
        // The copy ends with the image: a 16-bit file's alignment bytes stay out.
        member.imageCopy = CopyMemberImage(image, layout.isPng ? bytes : layout.imageBytes,
                                           layout.isPng, &outOfMemory);
        if (outOfMemory) {
            ReportSystemError(dialog, 2);
            return -1;
        }
    } else {
        // Listed with what its header says, without a picture.
        if (bytes < 16)
            return 0;
        member.width = PeekU16(image + 4);
        member.height = static_cast<uint16_t>(static_cast<int32_t>(PeekU32(image + 8)) >> 1);
        member.bitsPerPixel = PeekU16(image + 14);
    }
    int32_t index = *members.count;
    reinterpret_cast<GroupMember*>(*members.block)[index] = member;
    *members.count = index + 1;
    return 0;
}

struct MemberPlaces {
    const GroupMember* members;
    MemberOrder order;
};

int CompareMembers(uint32_t placed, uint32_t added, void* context) {
    const MemberPlaces* place = static_cast<const MemberPlaces*>(context);
    return place->order(place->members[placed], place->members[added]);
}

// The counted members into the list at their final places: the list measures
// each as it takes it, and compares none. A group has at most 65,535 entries.
void PlaceMembers(HWND list, const MemberArray& members, MemberOrder order) {
    const uint32_t count = static_cast<uint32_t>(*members.count);
    if (count == 0)
        return;
    uint32_t* places = static_cast<uint32_t*>(GlobalAlloc(GMEM_FIXED, count * 4u));
    MemberPlaces context = {reinterpret_cast<const GroupMember*>(*members.block), order};
    if (places != nullptr)
        PlaceLikeSortedList(places, count, CompareMembers, &context);
    // One update of the scroll bar and the picture for the whole group, not
    // one for every member.
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (uint32_t i = 0; i < count; ++i) {
        // Without room for the order, the list sorts them itself as they come.
        const uint32_t index = places != nullptr ? places[i] : i;
        const UINT message = places != nullptr ? LB_INSERTSTRING : LB_ADDSTRING;
        const LRESULT result = SendMessageA(list, message, static_cast<WPARAM>(-1),
                                            static_cast<LPARAM>(ItemValueOf(index)));
        if (result == LB_ERRSPACE || result == LB_ERR)
            break;
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, FALSE);
    if (places != nullptr)
        GlobalFree(places);
}

// The row of the member with image imageId, else the first row.
LRESULT RowOfImage(HWND list, const MemberArray& members, int32_t imageId) {
    const GroupMember* listed = reinterpret_cast<const GroupMember*>(*members.block);
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; imageId >= 0 && row < count; ++row) {
        const uint32_t index = ItemOffsetOf(static_cast<uintptr_t>(
            SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(row), 0)));
        if (index < static_cast<uint32_t>(*members.count) && listed[index].imageId == imageId)
            return row;
    }
    return 0;
}

}  // namespace

bool ListGroupMembers(HWND dialog, const TargetPath& path, const MemberArray& members, ResName name,
                      bool cursor, int32_t imageId, MemberOrder order) {
    HWND list = GetDlgItem(dialog, kMemberList);
    if (list == nullptr || *members.block == nullptr)
        return true;
    OpenedTarget target(path);
    if (!target.opened())
        return false;
    const ResourceSource& source = target.source();
    const uint8_t* group = nullptr;
    uint32_t size = 0;
    ImageIndex index = {};
    if (FindResourceBytes(source, ResourceKindType(cursor ? kKindCursor : kKindIcon), name, &group,
                          &size) &&
        ResourceBytesReadable(group, size) && BuildImageIndex(source, cursor, &index)) {
        uint32_t count = GroupEntryCount(group, size);
        for (uint32_t i = 0; i < count; ++i) {
            GroupEntry entry;
            const uint8_t* image = nullptr;
            uint32_t imageSize = 0;
            if (!ReadGroupEntry(group, size, i, &entry) ||
                !FindGroupImage(source, &index, cursor, entry.imageId, &image, &imageSize)) {
                continue;
            }
            // A data module's image is read no further than its directory entry
            // says; a 16-bit file's directory sizes are not relied on.
            if (source.module != nullptr && entry.imageBytes < imageSize)
                imageSize = entry.imageBytes;
            if (AddGroupMember(dialog, members, entry.imageId, image, imageSize, cursor) != 0)
                break;
        }
    }
    FreeImageIndex(&index);
    PlaceMembers(list, members, order);
    if (*members.count > 0)
        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(RowOfImage(list, members, imageId)),
                     0);
    return true;
}
