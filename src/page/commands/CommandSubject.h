// What a command is about, noted before it goes through a modal loop (the
// context menu, the save dialog). Such a loop handles every message the page
// gets, a rebuild for a changed file among them, so that when it ends the
// selection may name another entry, or an entry of another file: the command
// then acts on nothing.
#pragma once

#include <windows.h>

#include <cstdint>

#include "page/state/PageState.h"

// The shown kind and its selection: the picture list's entry by name, a
// group's member by image ID, the string rows by ID; and the filling of the
// lists they belong to. Owns its copies of a text name and of the row IDs.
struct CommandSubject {
    int32_t kind;
    uint32_t generation;
    bool hasEntry;
    bool entryIsId;
    uint16_t entryId;
    char* entryText;  // GMEM_FIXED
    bool hasMember;
    uint16_t memberId;
    uint16_t* rowIds;  // GMEM_FIXED
    int32_t rowCount;

    CommandSubject()
        : kind(-1),
          generation(0),
          hasEntry(false),
          entryIsId(false),
          entryId(0),
          entryText(nullptr),
          hasMember(false),
          memberId(0),
          rowIds(nullptr),
          rowCount(0) {}
    ~CommandSubject();
    CommandSubject(const CommandSubject&) = delete;
    CommandSubject& operator=(const CommandSubject&) = delete;
};

// Notes the page's selection now; false when memory ran out (the command
// then has nothing to compare with, and does not act).
bool NoteCommandSubject(HWND dialog, PageState* page, CommandSubject* subject);

// After a modal loop: true when the command may go on, the page's selection
// being still what subject noted, in the same filling of the lists;
// otherwise nothing is done and the change is reported here, once (a page
// that went during the loop is left alone).
bool CommandSubjectStands(HWND dialog, const CommandSubject& subject);
