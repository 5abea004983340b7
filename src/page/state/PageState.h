// Every per-page field. The state is the tail of the page's ShellExtension
// object and is reached from the page's window by FindPageState.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>

#include "catalogue/ResourceKinds.h"
#include "catalogue/ResourceSource.h"
#include "common/TargetPath.h"
#include "formats/executables/ImageMarkers.h"
#include "formats/executables/NeResources.h"

struct AccessLink;

// At most this many entry pictures are alive on a page at once: a few times
// what the four lists and the member list show together (each list is one row
// of at most a few dozen entries, even on a large display), far below the
// process's 10,000 GDI objects that the shell shares with everything it shows.
const int32_t kMaxLivePictures = 128;

// An entry picture that is alive: its record, by kind and offset in the kind's
// store, and when it was last drawn.
struct LivePicture {
    int32_t kind;
    uint32_t offset;
    uint32_t lastDrawn;
};

// The file as the lists were filled from it: what the file system says of it
// without opening it, and the markers its own headers carry.
struct TargetIdentity {
    uint64_t size;
    uint64_t writeTime;
    ImageMarkers markers;
};

// Texts of a window of string or message rows, read with one opening (a
// GMEM_FIXED block: per row a place and a state, then the texts), so that rows
// read through messages one by one do not open the file once each.
struct RowTextCache {
    uint8_t* block;
    int32_t first;
    int32_t count;
};

// Posted by the page to itself when the file is no longer the one its lists
// were filled from: the lists are filled again from the file as it is now.
const UINT kRebuildForChangedTarget = WM_APP + 0x127;

struct PageState {
    // The selected file, as the page's object keeps it; every operation opens
    // it by this path.
    TargetPath target;
    int32_t currentKind;
    int32_t lastSelection[kKindCount];
    int32_t memberSelIcon;
    int32_t memberSelCursor;
    // The shown group's members could not be listed: its file did not open.
    int32_t membersUnlisted;
    // Record stores of lists 1004, 1005, 1006 and 1008: GMEM_FIXED blocks that the
    // builders may move with GlobalReAlloc, so read the pointer again after a build.
    uint8_t* iconStore;
    int32_t iconStoreUsed;
    uint8_t* bitmapStore;
    int32_t bitmapStoreUsed;
    uint8_t* cursorStore;
    int32_t cursorStoreUsed;
    uint8_t* aviStore;
    int32_t aviStoreUsed;
    HBITMAP playBitmap;
    HBITMAP stopBitmap;
    int32_t themedPlayButton;
    HWND mciHost;
    HMODULE playModule;
    MappedNeImage playImage;
    const uint8_t* playData;
    uint32_t playSize;
    int32_t playingIndex;
    MCIDEVICEID mciDevice;
    // The window the playing device notifies: a hidden child of the page that
    // lives exactly as long as one playback.
    HWND playNotice;
    uint8_t* members;  // GroupMember records of list 1010
    int32_t memberCount;
    HWND stringHeader;
    // The string list's identifiers in row order (GMEM_FIXED, uint16_t each)
    // while the list is virtual and keeps no rows of its own; 0 rows when it
    // keeps them itself.
    uint8_t* stringRows;
    int32_t stringRowCount;
    // The widest text column a drawn row has asked for so far.
    int32_t stringColumnWanted;
    // The message list's rows (MessageRow each, sorted by ID) and the tables
    // they come from (MessageTableRef each), GMEM_FIXED blocks; null when the
    // file holds no message table.
    uint8_t* messageRows;
    int32_t messageRowCount;
    uint8_t* messageTables;
    int32_t messageTableCount;
    int32_t messageColumnWanted;
    // The languages of the file's resources (GMEM_FIXED, uint16_t each,
    // ascending), as the language drop-down lists them after its first item;
    // the chosen one is target.language.
    uint8_t* languages;
    int32_t languageCount;
    // LanguageName each, in the same order; null until a name is first
    // needed (LanguageNaming.h).
    uint8_t* languageNames;
    // 1 once the drop-down holds every language: until then it holds "既定"
    // alone, and is filled when first opened, focused or asked about.
    int32_t languageItemsListed;
    // The selected entry's language (as a path takes it), whose name the ID
    // display draws after the entry's name and a screen reader hears there
    // (the display's text stays the name); 0 while none is named.
    uint32_t entryLanguage;
    char* textBuffer;
    int32_t textBufferSize;
    // 1 from the start of the page's initialisation to its end, during a
    // rebuild and during a group's member listing: no rebuild runs inside
    // another fill (a fill's report box runs messages).
    int32_t rebuilding;
    LivePicture livePictures[kMaxLivePictures];
    int32_t livePictureCount;
    uint32_t drawClock;  // counts the drawings of entry pictures
    // The target opened for the paint of a list under way: opened by the first
    // picture or row that needs it, closed when the paint returns, so that the
    // pictures of one paint share one opening and nothing of the file is held
    // between messages. paintDepth counts the paints under way.
    ResourceSource paintSource;
    int32_t paintSourceOpen;
    int32_t paintDepth;
    // 1 once the initialisation ran to its end; a page whose start stopped
    // early has no stores to rebuild and only tears down.
    int32_t started;
    // The page's dialog window, to which a change of the file is posted.
    HWND window;
    TargetIdentity identity;
    // Counts the fillings of the lists from a file whose identity was read
    // anew: a command or action noted under one count acts only under the
    // same, so that it never falls on an entry of another file.
    uint32_t fillGeneration;
    // 1 from the moment a change of the file is noticed until the lists are
    // filled again: nothing more is read from the file, and paints show the
    // entries' names only.
    int32_t targetChanged;
    // 1 when the paint under way found the file closed to it: its other
    // pictures and rows do not try again, the next paint does.
    int32_t paintSourceFailed;
    // 1 once the paint under way compared the markers: rows it draws from
    // kept texts are confirmed once per paint, as the stamp is.
    int32_t paintMarkersChecked;
    // 1 while a refill is posted and not yet handled: one at a time.
    int32_t rebuildPosted;
    // 1 when the lists are to be made again for the display's sizes (a
    // display, settings or density change that could not refill yet).
    int32_t drawingRefillWanted;
    // 1 after a refill found the file closed to it: the lists keep their
    // entries and were drawn once without the file's texts and pictures; the
    // next paint or command tries again, quietly.
    int32_t refillFailed;
    // 1 once the string list has its columns and its header's hook, which a
    // page that started without its file gets at its first refill.
    int32_t stringListReady;
    // One bit per kind (1 << kind) whose list holds the current filling: the
    // opening fills only the kind it shows, the others are filled when first
    // shown or asked for by a screen reader. A refill fills these again.
    int32_t filledKinds;
    RowTextCache rowTexts;
    RowTextCache messageTexts;  // UTF-16 texts of message rows
    // When a row text read through a message last looked at the file
    // (GetTickCount).
    uint32_t stampCheckedAt;
    // Shared with the accessible objects handed out to screen readers, made
    // at the first question and cut at the page's end.
    AccessLink* accessLink;
    // 1 once the page's end has cut that link: no live link is made again.
    int32_t accessLinkCut;
};

// The page's state, from the page dialog's window. Looked up once per message,
// by the handler the dialog procedure or a control hook hands it to; every
// function below takes the state from its caller.
PageState* FindPageState(HWND dialog);

// The selected file's path, from the page dialog's window; empty (nothing
// opens it) when the window has no page. Read once, when the page starts.
TargetPath FindTargetPath(HWND dialog);
