// Appending records to the picture stores of a page and freeing what they own.
#pragma once

#include <windows.h>

#include <cstdint>

#include "catalogue/ResName.h"
#include "page/PageState.h"

// The store of one picture kind (icon, bitmap, cursor or AVI).
struct PictureStore {
    uint8_t** block;
    int32_t* used;
    int32_t slack;
    uint32_t fixedPart;
};

// False for the string kind, which has no store.
bool PictureStoreOf(PageState* page, int32_t kind, PictureStore* store);

// Makes the text buffer hold at least bytes bytes (exactly that many when it
// grows; it never shrinks). 0, or -1 with the block and size unchanged.
int GrowTextBuffer(PageState* page, int32_t bytes);

// The first half of appending one record of kind for name: room in the text
// buffer for a quoted text name, room in the store (grown with slack), the fixed
// part zeroed and the name slot written at the store's bytes used. Returns the
// record, valid until the store grows again, with its size in recordSize; null
// with the thread's last error set when memory ran out (store unchanged).
uint8_t* BeginRecord(PageState* page, int32_t kind, ResName name, uint32_t* recordSize);

// The second half: adds the record's item value to list and counts the record.
// 0, or -1 with ERROR_NOT_ENOUGH_MEMORY when the list refused the item; the
// record is then not counted and the picture it held is destroyed.
int AddRecordToList(PageState* page, int32_t kind, HWND list, uint32_t recordSize);

// Destroys the picture of every record that list's items reference (DestroyIcon
// for icons and cursors, DeleteObject for bitmaps and clips) and clears the
// fields. The store and its count are left to the caller.
void FreeListPictures(PageState* page, int32_t kind, HWND list);

// Frees every member's image copy and sets the member count to 0; the member
// array block stays.
void FreeGroupMembers(PageState* page);
