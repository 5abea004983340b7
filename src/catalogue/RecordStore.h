// Appending records to the picture stores and freeing what they own. The
// stores, the member array and the text buffer are the page's; the catalogue
// reaches them through these views and never sees the page itself.
#pragma once

#include <windows.h>

#include <cstdint>

#include "catalogue/ResourceKinds.h"
#include "formats/bytes/ResName.h"

// The store of one picture kind (icon, bitmap, cursor or AVI): its block, bytes
// used, growth slack and the kind's fixed record part.
struct PictureStore {
    int32_t kind;
    uint8_t** block;
    int32_t* used;
    int32_t slack;
    uint32_t fixedPart;
};

// The scratch text buffer and its size in bytes.
struct TextBuffer {
    char** block;
    int32_t* size;
};

// The GroupMember array of the member list and its records used.
struct MemberArray {
    uint8_t** block;
    int32_t* count;
};

// A view of a kind's store over the given fields; false for the string kind.
bool MakePictureStore(int32_t kind, uint8_t** block, int32_t* used, PictureStore* store);

// Makes the text buffer hold at least bytes bytes (exactly that many when it
// grows; it never shrinks). 0, or -1 with the block and size unchanged.
int GrowTextBuffer(const TextBuffer& text, int32_t bytes);

// The first half of appending one record for name: room in the text buffer for
// a quoted text name, room in the store (grown with slack), the fixed part
// zeroed and the name slot written at the store's bytes used. Returns the
// record, valid until the store grows again, with its size in recordSize; null
// with the thread's last error set when memory ran out (store unchanged).
uint8_t* BeginRecord(const PictureStore& store, const TextBuffer& text, ResName name,
                     uint32_t* recordSize);

// The second half: adds the record's item value to list and counts the record.
// 0, or -1 with ERROR_NOT_ENOUGH_MEMORY when the list refused the item; the
// record is then not counted and the picture it held is destroyed.
int AddRecordToList(const PictureStore& store, HWND list, uint32_t recordSize);

// The second half when the list is filled later, in one pass in its final
// order (FillResourceLists): only counts the record. Always 0.
int CountRecord(const PictureStore& store, uint32_t recordSize);

// The size of the counted record at offset, name slot included.
uint32_t RecordSizeAt(const PictureStore& store, uint32_t offset);

// The record behind a list item value, or null when the value does not name a
// counted record of the store.
uint8_t* RecordOfItem(const PictureStore& store, uintptr_t itemValue);

// Destroys the record's picture, when one was made, and marks it not made: it
// is made again when the entry is next drawn.
void FreeRecordPicture(int32_t kind, uint8_t* record);

// Destroys the picture of every record that list's items reference (DestroyIcon
// for icons and cursors, DeleteObject for bitmaps and clips) and clears the
// fields. The store and its count are left to the caller.
void FreeListPictures(const PictureStore& store, HWND list);

// Frees every member's image copy and sets the member count to 0; the member
// array block stays.
void FreeGroupMembers(const MemberArray& members);
