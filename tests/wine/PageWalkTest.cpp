// A random walk through the real page: a user's, a screen reader's, the
// system's and the world's steps drawn with weights from a seeded generator,
// each run as a message posted to a window on the page's thread, so that a step
// may land inside whatever menu, box or save dialog that thread is in. What a
// file holds comes from the manifest its generator wrote beside it, never from
// the page. After every step: no crash, no hang (a watchdog), every copy and
// save either the bytes the chosen entry of the file as it is now must give or
// nothing changed with exactly one report; at a random "settle" the lists must
// show what the file holds now; at the end nothing is left held.
//
// VANTREL_WALK_SEED=S (one seed) and VANTREL_WALK_STEPS=N (steps per seed)
// replace the fixed seeds and steps of the test command.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/AccessibleClient.h"
#include "support/ClipboardContent.h"
#include "support/MappedFiles.h"
#include "support/ResourcePage.h"
#include "support/TempFiles.h"
#include "support/TestPaths.h"

namespace {

// ---- The pool and what each file holds ----

const int kKinds = 6;
const char* const kKindNames[kKinds] = {"icon", "bitmap", "cursor", "string", "avi", "message"};
const int kLists[kKinds] = {1004, 1005, 1006, 1007, 1008, 1014};
const int kMembers = 1010;
const int kLanguages = 1016;

bool Rows(int kind) {
    return kind == 3 || kind == 5;
}

struct Holding {
    std::map<std::string, std::vector<std::string>> entries;  // kind -> names
    std::map<std::string, std::string> rows[2];  // strings, messages: ID as shown -> text
    std::map<std::string, std::string> blobs;    // "save bitmap 113", "member-copy icon 3 32"
    std::map<std::string, int> members;          // "icon 3" -> count
};

struct PoolFile {
    const char* file;
    const char* manifest;
    std::vector<int> languages;
    std::map<int, Holding> held;  // by language; 0: the platform's choice
    std::vector<uint8_t> bytes;
};

PoolFile pool[] = {{"walk-base.dll", "walk-base.manifest", {}, {}, {}},
                   {"walk-samesize.dll", "walk-samesize.manifest", {}, {}, {}},
                   {"walk-renumbered.dll", "walk-renumbered.manifest", {}, {}, {}},
                   {"walk-shifted.dll", "walk-base.manifest", {}, {}, {}},
                   {"walk-shifted-samesize.dll", "walk-samesize.manifest", {}, {}, {}},
                   {"strings-10000.dll", "strings-10000.manifest", {}, {}, {}},
                   {"walk-languages.dll", "walk-languages.manifest", {}, {}, {}},
                   {"walk-languages-samesize.dll", "walk-languages-samesize.manifest", {}, {}, {}}};
const int kPoolSize = 8;

std::string Unhex(const std::string& hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

// A language's content; a file's only language is its platform's choice.
Holding& HoldingOf(int content, int language) {
    std::map<int, Holding>& held = pool[content].held;
    return held.count(language) ? held[language] : held[0];
}

bool Holds(int content, int language) {
    const std::vector<int>& all = pool[content].languages;
    return language == 0 || std::find(all.begin(), all.end(), language) != all.end();
}

bool ReadManifest(PoolFile* file) {
    const std::vector<uint8_t> raw = ReadWholeFile(FixturePath(file->manifest));
    std::istringstream text(std::string(raw.begin(), raw.end()));
    Holding* h = &file->held[0];
    for (std::string line; std::getline(text, line);) {
        std::istringstream words(line);
        std::string what, kind, rest;
        std::getline(words >> what >> kind >> std::ws, rest);
        if (what == "languages") {
            std::istringstream numbers(kind + " " + rest);
            for (int number; numbers >> std::hex >> number;)
                file->languages.push_back(number);
        } else if (what == "in") {
            h = &file->held[std::stoi(kind, nullptr, 16)];
        } else if (what == "entry") {
            h->entries[kind].push_back(rest);
        } else if (what == "string" || what == "message") {
            h->rows[what == "message"][kind] = what == "string" ? rest : Unhex(rest);
        } else if (what == "members") {
            const size_t c = rest.find(' ');
            h->members[kind + " " + rest.substr(0, c)] = std::stoi(rest.substr(c + 1));
        } else {
            const size_t c = line.rfind(' ');
            h->blobs[line.substr(0, c)] = Unhex(line.substr(c + 1));
        }
    }
    return !raw.empty() && !file->languages.empty();
}

// ---- The walk's state ----

// splitmix64: the same numbers on every compiler and library.
struct Random {
    uint64_t state;
    uint64_t Next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Below(int n) { return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<uint64_t>(n)); }
};

// The steps: the user's, a screen reader's, the system's, the world's, and
// the ends of modal loops, each with its weight at the top and inside a menu,
// box or dialog. Inside one only the world, the system and a repaint step run,
// so that short runs of them inside modal loops are common.
// clang-format off
enum Step { kKind, kEntry, kMember, kRows, kScroll, kRepaint, kCopyKey, kCopyButton, kSaveKey,
            kMenu, kPlay, kLanguage, kReopen, kSettle, kReader, kDisplay, kSettings, kDensity, kReplace,
            kDelete, kLock, kRelease, kTruncate, kFolder, kEndMenu, kAnswerSave, kCloseBox,
            kStepCount };
const struct {
    const char* name;
    int top, inner;
} kSteps[kStepCount] = {
    {"kind", 5, 0}, {"entry", 10, 0}, {"member", 5, 0}, {"rows", 5, 0}, {"scroll", 2, 1},
    {"repaint", 4, 4}, {"ctrl+c", 8, 0}, {"copy-button", 4, 0}, {"ctrl+s", 7, 0}, {"menu", 8, 0},
    {"play", 4, 0}, {"language", 8, 0}, {"reopen", 2, 0}, {"settle", 8, 0},
    {"reader", 7, 0}, {"display", 2, 2}, {"settings", 2, 2}, {"density", 1, 1},
    {"replace", 8, 6}, {"delete", 1, 1}, {"lock", 3, 3}, {"release", 3, 2}, {"truncate", 1, 1},
    {"folder", 1, 1},
    {"end-menu", 0, 0}, {"answer-save", 0, 0}, {"close-box", 0, 0}};
// clang-format on

enum Content { kGone = -1, kTruncated = -2, kFolder_ = -3 };

// A copy or save under way: what the user chose when the command began.
struct Command {
    bool active, save, member, cancel, enabled;
    int kind, width, boxesBefore;   // width: the member's
    std::string name, path;         // name: the entry's (or group's)
    std::vector<std::string> rows;  // IDs as shown
};

struct ReaderCall {
    IAccessible* object;
    HWND rows;
    int action, repeat;  // repeat: calls on the children from child on, as readers repeat them
    LONG child, count;
    volatile LONG busy;
    volatile DWORD started;
    std::string name;  // of the child, asked first
    HRESULT named, done;
};

struct Walk {
    uint64_t seed;
    Random random;
    int steps, limit, content, menuShown, menus, boxes, saves;
    std::string log, path, lastBox;
    HANDLE lock, readerWake, readerThread;
    ResourcePage open;
    bool shown, menuCall, saveCall;
    HWND window;
    std::string chosen[kKinds];
    int language;           // the chosen one, 0 for the platform's choice
    bool languageMayReset;  // a file without it came since the page last showed it
    Command command;
    std::map<HWND, std::pair<DWORD, DWORD>> openBoxes;  // opened at, lifetime
    ReaderCall reader;
    volatile DWORD progress;
    volatile LONG finished;
};
Walk* walk = nullptr;

std::string ReplayCommand() {
    return "VANTREL_WALK_SEED=" + std::to_string(walk->seed) +
           " VANTREL_WALK_STEPS=" + std::to_string(walk->limit) +
           " ctest --preset win32 -R 'PageWalkTest$' --output-on-failure";
}

// The first fault ends the program: the page may be in any state, a modal
// loop or a blocked call deep, and the seed and steps are what matter.
void Fail(const std::string& what, bool hang = false) {
    // VANTREL_WALK_IGNORE="text;text" lets a walk go past faults already known
    // (never past a hang).
    const char* ignore = hang ? nullptr : getenv("VANTREL_WALK_IGNORE");
    for (std::string known = ignore != nullptr ? ignore : ""; !known.empty();) {
        const size_t end = known.find(';');
        if (what.find(known.substr(0, end)) != std::string::npos) {
            walk->log += "\n  (known: " + what + ")";
            std::fprintf(stderr, "seed %llu step %d: %s\n",
                         static_cast<unsigned long long>(walk->seed), walk->steps, what.c_str());
            return;
        }
        known = end == std::string::npos ? "" : known.substr(end + 1);
    }
    std::fprintf(stderr, "\nWALK FAULT at step %d of seed %llu: %s\nsteps:%s\nreplay: %s\n",
                 walk->steps, static_cast<unsigned long long>(walk->seed), what.c_str(),
                 walk->log.c_str(), ReplayCommand().c_str());
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 1);
}

void Note(const std::string& text) {
    walk->log += "\n  " + std::to_string(walk->steps) + " " + text;
}

DWORD WINAPI Watchdog(void*) {
    while (!walk->finished) {
        Sleep(250);
        if (GetTickCount() - walk->progress > 10000 && !walk->finished)
            Fail("no step finished for 10 s: the page's thread hangs", true);
    }
    return 0;
}

// ---- What the page shows, read as a screen reader or the user reads it ----

HWND Control(int id) {
    return GetDlgItem(walk->open.page, id);
}

int KindCount() {
    return static_cast<int>(SendMessageA(Control(1000), CB_GETCOUNT, 0, 0));
}

int ShownKind() {
    return static_cast<int>(SendMessageA(Control(1000), CB_GETCURSEL, 0, 0));
}

std::string AccName(HWND list, LONG child) {
    Held held = {AskFor(list)};
    return held.object != nullptr ? NameOf(held.object, child) : std::string();
}

std::vector<std::string> AccNames(HWND list) {
    std::vector<std::string> names;
    Held held = {AskFor(list)};
    long count = 0;
    if (held.object != nullptr && SUCCEEDED(held.object->get_accChildCount(&count))) {
        for (LONG child = 1; child <= count; ++child)
            names.push_back(NameOf(held.object, child));
    }
    return names;
}

std::string SelectedName(int kind) {
    HWND list = Control(kLists[kind]);
    const LRESULT at = SendMessageA(list, LB_GETCURSEL, 0, 0);
    return at < 0 ? std::string() : AccName(list, static_cast<LONG>(at + 1));
}

// A member is known by its width, the first number of its name.
int SelectedMemberWidth() {
    HWND list = Control(kMembers);
    const LRESULT at = SendMessageA(list, LB_GETCURSEL, 0, 0);
    return at < 0 ? 0 : atoi(AccName(list, static_cast<LONG>(at + 1)).c_str());
}

std::string RowCell(HWND list, int row, int column) {
    std::vector<char> text(70000, '\0');
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text.data();
}

std::vector<std::string> SelectedRows(int kind) {
    std::vector<std::string> ids;
    HWND list = Control(kLists[kind]);
    for (LRESULT row = SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
         row >= 0 && ids.size() < 20000;
         row = SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED))
        ids.push_back(RowCell(list, static_cast<int>(row), 0));
    return ids;
}

// The language of a drop-down item, told by the system's name for it.
int ItemLanguage(LRESULT item) {
    char text[160] = {}, name[128] = {};
    SendMessageA(Control(kLanguages), CB_GETLBTEXT, static_cast<WPARAM>(item),
                 reinterpret_cast<LPARAM>(text));
    for (int number : {0x0407, 0x0409, 0x0411, 0x0412}) {
        GetLocaleInfoA(MAKELCID(number, SORT_DEFAULT), LOCALE_SLANGUAGE, name, sizeof(name));
        if (item > 0 && (std::string(text) + " (").rfind(std::string(name) + " (", 0) == 0)
            return number;
    }
    return item > 0 ? -1 : 0;
}

int ShownLanguage() {
    return ItemLanguage(SendMessageA(Control(kLanguages), CB_GETCURSEL, 0, 0));
}

// The language whose content the page shows of content: the chosen one while
// the file holds it; where the page may have gone back already, what it shows.
int Language(int content) {
    if (content < 0 || !Holds(content, walk->language))
        return 0;
    return walk->languageMayReset && ShownLanguage() == 0 ? 0 : walk->language;
}

void Repaint() {
    RedrawWindow(walk->open.page, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// ---- Modal loops: posted steps, timers, boxes ----

void Post(int step, LPARAM detail = 0) {
    PostMessageA(walk->window, WM_APP, static_cast<WPARAM>(step), detail);
}

void Later(int step, LPARAM detail, UINT ms) {
    static UINT_PTR next = 1;
    static std::map<UINT_PTR, std::pair<int, LPARAM>> pending;
    if (step < 0) {  // a timer fired
        auto found = pending.find(static_cast<UINT_PTR>(detail));
        if (found == pending.end())
            return;
        KillTimer(walk->window, found->first);
        const auto [again, what] = found->second;
        pending.erase(found);
        Post(again, what);
        return;
    }
    pending[next] = {step, detail};
    SetTimer(walk->window, next++, ms, nullptr);
}

int Draw(bool inner) {
    int total = 0;
    for (const auto& step : kSteps)
        total += inner ? step.inner : step.top;
    int pick = walk->random.Below(total);
    for (int i = 0; i < kStepCount; ++i) {
        if ((pick -= inner ? kSteps[i].inner : kSteps[i].top) < 0)
            return i;
    }
    return kRepaint;
}

// Zero to three steps of the world or the system to run inside the loop a
// step is about to open.
void PostInner() {
    for (int n = walk->random.Below(4); n > 0; --n)
        Post(Draw(true));
}

bool IsBox(HWND window) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof(name));
    return lstrcmpA(name, "#32770") == 0 && !(GetWindowLongA(window, GWL_STYLE) & WS_CHILD) &&
           GetDlgItem(window, 0xFFFF) != nullptr && GetDlgItem(window, 0x47C) == nullptr;
}

LRESULT CALLBACK WatchWindows(int code, WPARAM wParam, LPARAM lParam) {
    const CWPRETSTRUCT* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && walk != nullptr) {
        if (call->message == WM_INITMENUPOPUP) {
            walk->menuShown = 1;
            ++walk->menus;
        } else if (call->message == WM_INITDIALOG && IsBox(call->hwnd)) {
            char text[512] = {};
            GetDlgItemTextA(call->hwnd, 0xFFFF, text, sizeof(text));
            ++walk->boxes;
            walk->lastBox = text;
            Note(std::string("box: ") + text);
            // Some boxes stay for seconds; one that a screen reader's call may
            // have caused stays until that call has had every chance to return.
            const DWORD lives[] = {0, 100, 400, 1500};
            DWORD life = lives[walk->random.Below(4)];
            if (walk->reader.busy)
                life = 3000;
            walk->openBoxes[call->hwnd] = {GetTickCount(), life};
            PostInner();
            Post(kCloseBox, reinterpret_cast<LPARAM>(call->hwnd));
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CloseBox(HWND box) {
    auto found = walk->openBoxes.find(box);
    if (found == walk->openBoxes.end())
        return;
    if (!IsWindow(box)) {
        walk->openBoxes.erase(found);
        return;
    }
    const DWORD opened = found->second.first;
    if (GetTickCount() - opened < found->second.second) {
        Later(kCloseBox, reinterpret_cast<LPARAM>(box), 50);
        return;
    }
    if (walk->reader.busy && static_cast<LONG>(walk->reader.started - opened) <= 0)
        Fail("a screen reader's call still waits while the box it caused is open: " +
             walk->lastBox);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    Later(kCloseBox, reinterpret_cast<LPARAM>(box), 200);
}

// ---- The world ----

bool WriteTarget(const std::vector<uint8_t>& bytes, bool keepTime) {
    HANDLE file = CreateFileA(walk->path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                              nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        Note("  (refused)");
        return false;
    }
    FILETIME written = {};
    GetFileTime(file, nullptr, nullptr, &written);
    DWORD done = 0;
    // A write the system refuses half way leaves a file the pool does not hold.
    if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) ||
        done != bytes.size() || !SetEndOfFile(file)) {
        Note("  (written in part)");
        walk->content = kTruncated;
        CloseHandle(file);
        return false;
    }
    if (!keepTime) {  // a time of its own, so that even the same bytes are a change
        SYSTEMTIME now = {};
        GetSystemTime(&now);
        SystemTimeToFileTime(&now, &written);
        ULARGE_INTEGER later = {{written.dwLowDateTime, written.dwHighDateTime}};
        later.QuadPart += 10000000ull * static_cast<unsigned>(walk->steps);
        written = FILETIME{later.LowPart, later.HighPart};
    }
    SetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
    return true;
}

// The user's chosen entries that the new content lacks are no longer kept.
void ForgetVanished() {
    const int content = walk->content;
    if (content >= 0 && !Holds(content, walk->language))
        walk->languageMayReset = true;
    for (int kind = 0; kind < kKinds; ++kind) {
        bool kept = content >= 0;
        for (int language : {Language(content), walk->languageMayReset ? 0 : Language(content)}) {
            const auto& names = kept ? HoldingOf(content, language).entries[kKindNames[kind]]
                                     : std::vector<std::string>();
            kept = std::find(names.begin(), names.end(), walk->chosen[kind]) != names.end();
        }
        if (!kept)
            walk->chosen[kind].clear();
    }
}

void WorldStep(int step) {
    const char* path = walk->path.c_str();
    if (step == kLock || step == kRelease) {
        if (step == kLock && walk->lock == nullptr) {
            HANDLE lock = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            walk->lock = lock == INVALID_HANDLE_VALUE ? nullptr : lock;
        } else if (step == kRelease && walk->lock != nullptr) {
            CloseHandle(walk->lock);
            walk->lock = nullptr;
        }
        return;
    }
    if (walk->lock != nullptr)
        return Note("  (locked: nothing changes)");
    if (walk->content == kFolder_)
        RemoveDirectoryA(path);
    if (step == kReplace) {
        // A partner of the same size half of the time, written in place with
        // the old write time kept half of the time.
        const int odds[kPoolSize] = {2, 2, 2, 1, 1, 1, 6, 5};
        int next = 0;
        for (int pick = walk->random.Below(20); (pick -= odds[next]) >= 0;)
            ++next;
        const int partner[] = {1, 0, 2, 4, 3, 5, 7, 6};
        if (walk->content >= 0 && walk->random.Below(2) == 0)
            next = partner[walk->content];
        const bool keepTime = walk->random.Below(2) == 0;
        Note(std::string("  ") + pool[next].file + (keepTime ? " keeping size and time" : ""));
        if (WriteTarget(pool[next].bytes, keepTime))
            walk->content = next;
    } else if (step == kTruncate && walk->content != kFolder_) {
        std::vector<uint8_t> bytes = ReadWholeFile(path);
        bytes.resize(bytes.size() / (2 + walk->random.Below(6)));
        if (WriteTarget(bytes, walk->random.Below(2) == 0))
            walk->content = kTruncated;
    } else if (step == kDelete || step == kFolder) {
        if (DeleteFileA(path) || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
            walk->content = kGone;
        if (step == kFolder && walk->content == kGone && CreateDirectoryA(path, nullptr))
            walk->content = kFolder_;
    }
    ForgetVanished();
}

// ---- Copies and saves ----

std::string Expected(const Command& c, int content, bool* known) {
    *known = true;
    if (content < 0)
        return std::string();
    Holding& h = HoldingOf(content, Language(content));
    const std::string kind = kKindNames[c.kind];
    if (Rows(c.kind)) {
        // A message's own closing break is not doubled.
        std::string text = c.save ? std::string("\xFF\xFE") : std::string();
        for (const std::string& id : c.rows) {
            if (!h.rows[c.kind == 5].count(id))
                return std::string();
            std::string row = h.rows[c.kind == 5][id];
            row = (c.save ? id + "\t" : "") + row +
                  (c.kind == 5 && !row.empty() && row.back() == '\n' ? "" : "\r\n");
            for (char ch : row)
                text += c.save ? std::string{ch, '\0'} : std::string{ch};
        }
        return c.rows.empty() ? std::string() : c.save ? text : text + '\0';
    }
    const auto& names = h.entries[kind];
    if (std::find(names.begin(), names.end(), c.name) == names.end())
        return std::string();
    const std::string member = kind + " " + c.name + " " + std::to_string(c.width);
    if (c.member && !h.blobs.count("member-save " + member))
        return std::string();
    auto found = h.blobs.find(c.member ? (c.save ? "member-save " : "member-copy ") + member
                                       : (c.save ? "save " : "copy ") + kind + " " + c.name);
    if (found != h.blobs.end())
        return found->second;
    // A member drawn over a palette, a clip's decoded frame: any bytes.
    *known = false;
    return (c.member || c.kind == 4) && !c.save ? "any" : "";
}

void BeginCommand(bool save, bool member, bool cancel) {
    Command& c = walk->command;
    c = Command{};
    c.active = true;
    c.save = save;
    c.kind = ShownKind();
    c.member = member && (c.kind == 0 || c.kind == 2);
    c.name = Rows(c.kind) ? std::string() : SelectedName(c.kind);
    c.width = c.member ? SelectedMemberWidth() : 0;
    c.rows = Rows(c.kind) ? SelectedRows(c.kind) : std::vector<std::string>();
    c.enabled = save ? (Rows(c.kind) ? !c.rows.empty() : !c.name.empty() && (!c.member || c.width))
                     : IsWindowEnabled(Control(1013)) != FALSE;
    c.cancel = cancel;
    c.boxesBefore = walk->boxes;
    const char* ext[] = {".ico", ".bmp", ".cur", ".txt", ".avi", ".txt"};
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    c.path = std::string(folder) + "vantrel-walk-" + std::to_string(++walk->saves) + ext[c.kind];
    DeleteFileA(c.path.c_str());
    if (!save)
        SeedClipboard();
    Note("  " + std::string(kKindNames[c.kind]) + " '" + c.name + "'" +
         (c.member ? " member " + std::to_string(c.width) : "") +
         (c.rows.empty() ? "" : " rows " + std::to_string(c.rows.size())) +
         (c.cancel ? " cancelled" : "") + (c.enabled ? "" : " (not offered)"));
}

void EndCommand() {
    Command& c = walk->command;
    if (!c.active)
        return;
    c.active = false;
    const int boxes = walk->boxes - c.boxesBefore;
    std::string got;
    bool changed;
    if (c.save) {
        std::vector<uint8_t> bytes = ReadWholeFile(c.path);
        changed = GetFileAttributesA(c.path.c_str()) != INVALID_FILE_ATTRIBUTES;
        got.assign(bytes.begin(), bytes.end());
        DeleteFileA(c.path.c_str());
    } else {
        std::vector<uint8_t> text = ClipboardBytes(CF_TEXT);
        changed = std::string(text.begin(), text.end()).c_str() != std::string(kSentinel);
        std::vector<uint8_t> bytes = ClipboardBytes(Rows(c.kind) ? CF_TEXT : CF_DIB);
        got.assign(bytes.begin(), bytes.end());
    }
    const std::string what = std::string(c.save ? "save" : "copy") + " of " + kKindNames[c.kind] +
                             " '" + c.name + "'" +
                             (c.member ? " member " + std::to_string(c.width) : "");
    if (!changed) {
        if (boxes > 1 || (boxes == 0 && c.enabled && !c.cancel))
            Fail(what + " changed nothing with " + std::to_string(boxes) + " reports");
        return;
    }
    if (boxes != 0)
        Fail(what + " gave something and " + std::to_string(boxes) + " reports: " + walk->lastBox);
    if (c.cancel)
        Fail(what + " wrote a file although the dialog was cancelled");
    // The file as it is now. While it cannot be read, a member the page holds
    // may come from any content the page may have read before.
    bool known = true;
    std::string expected = Expected(c, walk->content, &known);
    if (c.member && (walk->lock != nullptr || walk->content == kGone)) {
        for (int other = 0; other < kPoolSize; ++other) {
            bool exact = true;
            const std::string held = Expected(c, other, &exact);
            if (!held.empty() && (!exact || got.compare(0, held.size(), held) == 0)) {
                expected = held;
                known = exact;
            }
        }
    }
    if (expected.empty())
        Fail(what + ": the file as it is now holds no such entry, yet " +
             std::to_string(got.size()) + " bytes came out");
    if (!known)
        return;
    if (Rows(c.kind) && !c.save)
        got = got.substr(0, got.find('\0')) + '\0';
    // The clipboard's blocks may be rounded up.
    if (got.size() < expected.size() || got.compare(0, expected.size(), expected) != 0 ||
        (c.save && got.size() != expected.size()))
        Fail(what + ": " + std::to_string(got.size()) + " bytes differ from the " +
             std::to_string(expected.size()) + " that the file as it is now gives");
}

// ---- The screen reader ----

DWORD WINAPI ReaderThread(void*) {
    ReaderCall& call = walk->reader;
    while (WaitForSingleObject(walk->readerWake, INFINITE) == WAIT_OBJECT_0 && !walk->finished) {
        call.done = S_OK;
        if (call.rows != nullptr) {
            call.name = RowCell(call.rows, call.child, 1);
        } else {
            for (int n = 0; n < call.repeat; ++n) {
                const VARIANT next = Child(1 + (call.child - 1 + n) % call.count);
                BSTR text = nullptr;
                const HRESULT named = call.object->get_accName(next, &text);
                const std::string name = Narrow(text);
                HRESULT done = S_OK;
                if (call.action == 1)
                    done = call.object->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, next);
                else if (call.action >= 2)
                    done = call.object->accDoDefaultAction(next);
                if (n == 0 || named != S_OK || name.empty() || done != S_OK) {
                    call.named = named;
                    call.name = name;
                    call.done = done;
                }
            }
            call.object->Release();
        }
        InterlockedExchange(&call.busy, 0);
    }
    return 0;
}

void ReaderStep() {
    ReaderCall& call = walk->reader;
    const int kind = ShownKind();
    const int pick = walk->random.Below(4);
    HWND list = Control(pick == 0 ? kMembers : kLists[kind < 0 ? 0 : kind]);
    call.object = nullptr;
    call.rows = nullptr;
    call.action = walk->random.Below(4);  // 2 and 3: the default action
    if (Rows(kind) && pick == 1) {
        call.rows = list;
        call.child = walk->random.Below(ListCount(walk->open.page, kLists[kind]));
    } else {
        call.object = AskFor(list);
        long count = 0;
        if (call.object == nullptr)
            return Note("  no object");
        // Every list answers a name of its own.
        if (NameOf(call.object, CHILDID_SELF).empty())
            Fail("list " + std::to_string(GetDlgCtrlID(list)) + " has no name for a screen reader");
        if (FAILED(call.object->get_accChildCount(&count)) || count == 0) {
            call.object->Release();
            return Note("  no entries");
        }
        call.count = count;
        call.child = 1 + walk->random.Below(static_cast<int>(count));
        call.repeat = 1 + walk->random.Below(4);
    }
    Note("  list " + std::to_string(GetDlgCtrlID(list)) + " child " + std::to_string(call.child) +
         (call.rows          ? " row"
          : call.action == 0 ? " name"
          : call.action == 1 ? " select"
                             : " default action"));
    call.started = GetTickCount();
    InterlockedExchange(&call.busy, 1);
    SetEvent(walk->readerWake);
    // The call's messages come to this thread; it may open a box here.
    for (int i = 0; i < 300 && call.busy; ++i) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        PumpThreadMessages();
        walk->progress = GetTickCount();
    }
    if (call.busy)
        Fail("a screen reader's call did not return within 6 s");
    // An entry of a shown picture or member list always has a name, and the
    // shown list takes a selection, however many calls came before.
    if (call.rows == nullptr && IsWindowVisible(list) && !(pick != 0 && Rows(kind)) &&
        (call.named != S_OK || call.name.empty() || (call.action == 1 && call.done != S_OK)))
        Fail("a screen reader's call on list " + std::to_string(GetDlgCtrlID(list)) +
             " failed: name '" + call.name + "' " + std::to_string(call.named) + ", " +
             std::to_string(call.done));
    for (int kind2 = 0; kind2 < kKinds; ++kind2)
        walk->chosen[kind2] = kind2 == ShownKind() ? std::string() : walk->chosen[kind2];
}

// ---- Settle and check ----

void Settle() {
    PumpThreadMessages();
    Repaint();
    PumpThreadMessages();
    Sleep(300);  // the page's look-up interval
    PumpThreadMessages();
    Repaint();
    PumpThreadMessages();
    if (walk->content < 0 || walk->lock != nullptr)
        return Note("  (nothing to compare: the file cannot be read)");
    // The chosen language stays while the file holds it; a file without it
    // sends the page back to the platform's choice.
    const int content = walk->content, language = ShownLanguage();
    const bool held = Holds(content, walk->language);
    if (held ? language != walk->language && !(walk->languageMayReset && language == 0)
             : language != 0)
        Fail("the page shows language " + std::to_string(language) + " where the user chose " +
             std::to_string(walk->language) + (held ? ", which" : ", which not") +
             " the file holds");
    walk->language = language;
    walk->languageMayReset = false;
    if ((IsWindowVisible(Control(kLanguages)) != FALSE) != (pool[content].languages.size() > 1))
        Fail("the language drop-down is shown wrongly for " + std::string(pool[content].file));
    Holding& h = HoldingOf(content, language);
    if (KindCount() != 5 + !h.rows[1].empty())
        Fail("the kind drop-down lists " + std::to_string(KindCount()) + " kinds");
    for (int kind : {0, 1, 2, 4}) {
        std::vector<std::string> shown = AccNames(Control(kLists[kind]));
        std::vector<std::string> held = h.entries[kKindNames[kind]];
        std::sort(shown.begin(), shown.end());
        std::sort(held.begin(), held.end());
        if (shown != held) {
            std::string text;
            for (const std::string& name : shown)
                text += " " + name;
            Fail(std::string("the ") + kKindNames[kind] + " list shows [" + text +
                 " ] where the file holds " + std::to_string(held.size()) + " entries");
        }
        const std::string selected = SelectedName(kind);
        if (!walk->chosen[kind].empty() && selected != walk->chosen[kind])
            Fail(std::string("the ") + kKindNames[kind] + " list selects '" + selected +
                 "' where the user chose '" + walk->chosen[kind] + "'");
        walk->chosen[kind] = selected;
    }
    // Rows read by message are openings of their own: a change they find is
    // given its rebuild before the rows are compared.
    std::vector<int> sample[2];
    for (int kind : {3, 5}) {
        // The rows are read as a screen reader reads them, which asks the
        // list for its object first (a list never shown is filled then).
        Held asked = {AskFor(Control(kLists[kind]))};
        const int rows = ListCount(walk->open.page, kLists[kind]);
        if (rows != static_cast<int>(h.rows[kind == 5].size()))
            Fail(std::string("the ") + kKindNames[kind] + " list has " + std::to_string(rows) +
                 " rows, the file " + std::to_string(h.rows[kind == 5].size()));
        for (int i = 0; i < std::min(rows, 24); ++i)
            sample[kind == 5].push_back(rows <= 24 ? i : walk->random.Below(rows));
        for (int row : sample[kind == 5])
            RowCell(Control(kLists[kind]), row, 1);
    }
    PumpThreadMessages();
    Sleep(300);
    PumpThreadMessages();
    for (int kind : {3, 5}) {
        for (int row : sample[kind == 5]) {
            // A row shows its text without the closing line break.
            const std::string id = RowCell(Control(kLists[kind]), row, 0);
            const std::string text = RowCell(Control(kLists[kind]), row, 1);
            auto held = h.rows[kind == 5].find(id);
            std::string want = held == h.rows[kind == 5].end() ? "" : held->second;
            while (kind == 5 && !want.empty() && (want.back() == '\n' || want.back() == '\r'))
                want.pop_back();
            if (held == h.rows[kind == 5].end() || want != text)
                Fail(std::string(kKindNames[kind]) + " row " + id + " reads '" +
                     text.substr(0, 40) + "', the file holds '" + want.substr(0, 40) + "'");
        }
    }
    const int kind = ShownKind();
    if ((kind == 0 || kind == 2) && !walk->chosen[kind].empty()) {
        const int members = h.members[std::string(kKindNames[kind]) + " " + walk->chosen[kind]];
        if (ListCount(walk->open.page, kMembers) != members)
            Fail("group '" + walk->chosen[kind] + "' lists " +
                 std::to_string(ListCount(walk->open.page, kMembers)) + " members, the file " +
                 std::to_string(members));
    }
}

// ---- The user ----

bool OpenPage() {
    for (std::string& chosen : walk->chosen)
        chosen.clear();
    walk->language = 0;  // the choice lasts until the sheet closes
    walk->languageMayReset = false;
    walk->shown = OfferResourcePage(walk->path, &walk->open);
    // Now and then the file is locked between the offer and the page's start.
    if (walk->shown && walk->limit > 0 && walk->lock == nullptr && walk->random.Below(4) == 0) {
        Note("  locked before the page starts");
        WorldStep(kLock);
    }
    walk->shown = walk->shown && ShowOfferedPage(&walk->open);
    if (!walk->shown && walk->open.server.library != nullptr)
        CloseResourcePage(&walk->open);
    return walk->shown;
}

void SelectRows(int kind) {
    HWND list = Control(kLists[kind]);
    const int rows = ListCount(walk->open.page, kLists[kind]);
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    state.state = LVIS_SELECTED;
    if (walk->random.Below(6) == 0) {
        SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(&state));
        return Note("  every row");
    }
    for (int n = 1 + walk->random.Below(4); n > 0 && rows > 0; --n) {
        const int row = walk->random.Below(rows);
        SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&state));
        SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    }
}

// Typing a row's ID finds a row whose ID starts with what was typed.
void TypeRowId(int kind) {
    HWND list = Control(kLists[kind]);
    const int rows = ListCount(walk->open.page, kLists[kind]);
    if (rows == 0)
        return;
    const std::string id = RowCell(list, walk->random.Below(rows), 0);
    Note("  typed " + id);
    Sleep(600);  // a search of its own, not the last one's continuation
    for (char digit : id)
        SendMessageA(list, WM_CHAR, static_cast<WPARAM>(digit), 1);
    const LRESULT found =
        SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED);
    if (found < 0 || RowCell(list, static_cast<int>(found), 0).rfind(id, 0) != 0)
        Fail("typing " + id + " in the " + kKindNames[kind] + " list finds row " +
             std::to_string(found));
}

// The point of the selected entry or row of list, where a user's right click
// lands.
LPARAM MenuPoint(HWND list, int kind) {
    RECT r = {};
    GetClientRect(list, &r);
    const LRESULT at = SendMessageA(list, Rows(kind) ? LVM_GETNEXTITEM : LB_GETCURSEL,
                                    static_cast<WPARAM>(-1), Rows(kind) ? LVNI_SELECTED : 0);
    RECT item = {LVIR_BOUNDS, 0, 0, 0};
    if (at >= 0 && SendMessageA(list, Rows(kind) ? LVM_GETITEMRECT : LB_GETITEMRECT,
                                static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&item)))
        r = item;
    POINT centre = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(list, &centre);
    return MAKELPARAM(centre.x, centre.y);
}

// Every copy and save, by key, button or context menu: what the user chose is
// noted when the command begins, whatever happens while its menu or save
// dialog is open, and the outcome checked when it returns.
void CommandStep(int step) {
    const int kind = std::max(0, ShownKind());
    const bool group = kind == 0 || kind == 2;
    if (step == kCopyButton && !IsWindowEnabled(Control(1013)))
        return;
    // Icons and cursors: a copy is a member's; a save a group's or a member's.
    const int choice = step == kMenu ? walk->random.Below(3) : step == kSaveKey;  // 2: leave
    const bool member = group && (step != kSaveKey || walk->random.Below(2));
    HWND list = Control(member ? kMembers : kLists[kind]);
    if (step == kMenu)
        Note(choice == 0 ? "  copy" : choice == 1 ? "  save" : "  leave");
    if (choice < 2)
        BeginCommand(choice == 1, member, step == kSaveKey && walk->random.Below(4) == 0);
    const int seen = walk->menus;
    if (step == kSaveKey || step == kMenu)
        PostInner();
    if (step == kSaveKey)
        Post(kAnswerSave);
    walk->saveCall = step == kSaveKey;
    walk->menuCall = step == kMenu;
    if (step == kMenu) {
        Post(kEndMenu, choice);
        SendMessageA(walk->open.page, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list),
                     MenuPoint(list, kind));
    } else if (step == kCopyButton) {
        SendMessageA(walk->open.page, WM_COMMAND, MAKEWPARAM(1013, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Control(1013)));
    } else {
        SendMessageA(list, WM_CHAR, step == kSaveKey ? 19 : 3, 0);
    }
    walk->menuCall = walk->saveCall = false;
    // A copy the page no longer offers after the menu's loop may end silently.
    if (step == kMenu) {
        walk->command.enabled &= walk->command.save || IsWindowEnabled(Control(1013));
        if (walk->menus == seen) {
            Note("  no menu came");
            walk->command.active = false;
        }
    }
    EndCommand();
}

// A step that waits for a menu or dialog: again in 50 ms while the call that
// brings it lasts, at most limit times; true once it is there.
bool Arrived(int step, LPARAM detail, bool there, bool waiting, int limit) {
    static int tries[kStepCount];
    if (!there && waiting && ++tries[step] < limit)
        Later(step, detail, 50);
    else
        tries[step] = 0;
    return there;
}

// Inside the menu's loop: copy, save or leave it.
void FinishMenu(int choice) {
    if (!Arrived(kEndMenu, choice, walk->menuShown != 0, walk->menuCall, 40))
        return;
    walk->menuShown = 0;
    // A menu that went away before the user chose has no command behind it.
    if (!IsWindowVisible(FindWindowA("#32768", nullptr))) {
        Note("  the menu went away");
        walk->command.active = false;
        return;
    }
    if (choice == 2)
        return static_cast<void>(EndMenu());
    // The item is chosen at once; what follows runs inside the save dialog.
    PostMessageA(walk->open.page, WM_CHAR, choice == 0 ? 'c' : 'a', 0);
    if (choice == 1) {
        PostInner();
        Post(kAnswerSave);
        walk->saveCall = true;
    }
}

BOOL CALLBACK FindSaveDialog(HWND window, LPARAM found) {
    if (IsWindowVisible(window) && GetDlgItem(window, 0x47C) != nullptr) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void AnswerSave() {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindSaveDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!Arrived(kAnswerSave, 0, dialog != nullptr, walk->saveCall, 100))
        return;
    if (walk->command.cancel) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    } else {
        SetDlgItemTextA(dialog, 0x47C, walk->command.path.c_str());
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }
}

void UserStep(int step) {
    HWND page = walk->open.page;
    int kind = std::max(0, ShownKind());
    HWND list = Control(kLists[kind < 0 ? 0 : kind]);
    switch (step) {
        case kKind:
            kind = walk->random.Below(KindCount());
            Note(std::string("  ") + kKindNames[kind]);
            return ChooseKind(page, kind);
        case kEntry:
            if (Rows(kind))
                return SelectRows(kind);
            if (ListCount(page, kLists[kind]) > 0) {
                ChooseEntry(page, kLists[kind], walk->random.Below(ListCount(page, kLists[kind])));
                walk->chosen[kind] = SelectedName(kind);
                Note("  '" + walk->chosen[kind] + "'");
            }
            return;
        case kMember:
            if (ListCount(page, kMembers) > 0)
                ChooseEntry(page, kMembers, walk->random.Below(ListCount(page, kMembers)));
            return;
        case kRows:
            // Strings or, where the file holds them, messages.
            if (!Rows(kind))
                ChooseKind(page, walk->random.Below(2) && KindCount() > 5 ? 5 : 3);
            kind = ShownKind();
            Note(std::string("  ") + kKindNames[kind]);
            if (walk->random.Below(2) == 0)
                return TypeRowId(kind);
            return SelectRows(kind);
        case kLanguage: {
            // Items counted now and then, as opening the list does.
            HWND box = Control(kLanguages);
            if (!IsWindowVisible(box))
                return Note("  (one language)");
            if (walk->random.Below(2) == 0)
                SendMessageA(page, WM_COMMAND, MAKEWPARAM(kLanguages, CBN_DROPDOWN),
                             reinterpret_cast<LPARAM>(box));
            const int item =
                walk->random.Below(static_cast<int>(SendMessageA(box, CB_GETCOUNT, 0, 0)));
            walk->language = ItemLanguage(item);
            walk->languageMayReset = false;
            Note("  language " + std::to_string(walk->language));
            SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
            SendMessageA(page, WM_COMMAND, MAKEWPARAM(kLanguages, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(box));
            return ForgetVanished();
        }
        case kScroll:
            if (Rows(kind) && ListCount(page, kLists[kind]) > 0)
                SendMessageA(list, LVM_ENSUREVISIBLE,
                             walk->random.Below(ListCount(page, kLists[kind])), FALSE);
            else
                SendMessageA(list, LB_SETTOPINDEX,
                             walk->random.Below(ListCount(page, kLists[kind]) + 1), 0);
            return;
        case kCopyKey:
        case kSaveKey:
        case kCopyButton:
        case kMenu:
            return CommandStep(step);
        case kPlay:
            if (IsWindowVisible(Control(1012)) && IsWindowEnabled(Control(1012))) {
                PostInner();
                SendMessageA(page, WM_COMMAND, MAKEWPARAM(1012, BN_CLICKED),
                             reinterpret_cast<LPARAM>(Control(1012)));
            }
            return;
        default:
            return;
    }
}

void RunStep(int step, LPARAM detail) {
    walk->progress = GetTickCount();
    if (step < kEndMenu) {
        ++walk->steps;
        Note(kSteps[step].name);
    }
    const bool page = walk->shown;
    if (step == kEndMenu)
        FinishMenu(static_cast<int>(detail));
    else if (step == kAnswerSave)
        AnswerSave();
    else if (step == kCloseBox)
        CloseBox(reinterpret_cast<HWND>(detail));
    else if (step >= kReplace)
        WorldStep(step);
    else if (step == kReopen) {
        if (page)
            CloseResourcePage(&walk->open);
        if (!OpenPage())
            Note("  no page");
    } else if (!page) {
        Note("  (no page)");
    } else if (step == kSettle) {
        Settle();
    } else if (step == kReader) {
        ReaderStep();
    } else if (step == kRepaint) {
        Repaint();
    } else if (step == kDisplay) {
        SendMessageA(walk->open.page, WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
    } else if (step == kSettings) {
        SendMessageA(walk->open.page, WM_SETTINGCHANGE,
                     walk->random.Below(2) ? SPI_SETICONMETRICS : 0, 0);
    } else if (step == kDensity) {
        SendMessageA(walk->open.page, 0x02E3, 0, 0);
    } else {
        UserStep(step);
    }
    walk->progress = GetTickCount();
}

LRESULT CALLBACK WalkWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP)
        RunStep(static_cast<int>(wParam), lParam);
    else if (message == WM_TIMER)
        Later(-1, static_cast<LPARAM>(wParam), 0);
    else
        return DefWindowProcA(window, message, wParam, lParam);
    return 0;
}

// ---- What the process holds ----

int GdiObjects() {
    int count = 0;
    for (uintptr_t slot = 1; slot <= 0xFFFF; ++slot) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0)
            ++count;
    }
    return count;
}

int OpenClipDevices() {
    char answer[32] = {};
    if (mciSendStringA("sysinfo all quantity open", answer, sizeof(answer), nullptr) != 0)
        return -1;
    return atoi(answer);
}

uint64_t EnvNumber(const char* name, uint64_t otherwise) {
    const char* value = getenv(name);
    return value != nullptr && *value != '\0' ? strtoull(value, nullptr, 10) : otherwise;
}

void WalkOnce(uint64_t seed, int limit) {
    Walk state = {};
    walk = &state;
    state.seed = seed;
    state.random.state = seed;
    state.limit = limit;
    // Even seeds start on the file of three languages.
    state.content = seed % 2 == 0 && limit > 0 ? 6 : 0;
    state.path = WriteTempFile(pool[state.content].bytes);
    state.progress = GetTickCount();
    state.window = CreateWindowExA(0, "VantrelWalk", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   nullptr, nullptr);
    state.readerWake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    state.readerThread = CreateThread(nullptr, 0, ReaderThread, nullptr, 0, nullptr);
    HANDLE watchdog = CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, WatchWindows, nullptr, GetCurrentThreadId());
    int gdiBefore = GdiObjects();
    const int devicesBefore = OpenClipDevices();

    ASSERT_TRUE(OpenPage()) << "the walk's first page";
    if (limit == 0) {
        // The first save dialog and the first clip leave the platform's caches
        // filled: once, before any count is taken.
        ChooseKind(state.open.page, 1);
        ChooseEntry(state.open.page, 1005, 0);
        BeginCommand(true, false, true);
        state.saveCall = true;
        Post(kAnswerSave);
        SendMessageA(Control(1005), WM_CHAR, 19, 0);
        state.saveCall = false;
        EndCommand();
        ChooseKind(state.open.page, 4);
        ChooseEntry(state.open.page, 1008, 0);
        UserStep(kPlay);
        UserStep(kPlay);
        gdiBefore = 1 << 30;
    }
    while (state.steps < limit) {
        int step = Draw(false);
        if (!state.shown && walk->random.Below(2) == 0)
            step = state.lock != nullptr ? kRelease : kReopen;
        Post(step);
        PumpThreadMessages();
    }
    // The end: a readable file, the page closed, nothing left held.
    PumpThreadMessages();
    WorldStep(kRelease);
    Post(limit > 0 ? kSettle : kRepaint);
    PumpThreadMessages();
    if (state.shown)
        CloseResourcePage(&state.open);
    PumpThreadMessages();
    InterlockedExchange(&state.finished, 1);
    SetEvent(state.readerWake);
    WaitForSingleObject(state.readerThread, 5000);
    WaitForSingleObject(watchdog, 5000);
    UnhookWindowsHookEx(hook);
    DestroyWindow(state.window);
    const int gdiAfter = GdiObjects();
    // A few the platform keeps once shown (a box's icon, a menu's marks).
    EXPECT_LE(gdiAfter, gdiBefore + 48) << "GDI objects, seed " << seed << "\n" << ReplayCommand();
    EXPECT_EQ(OpenClipDevices(), devicesBefore) << "clip devices, seed " << seed;
    EXPECT_FALSE(FileMappedInProcess(state.path)) << "seed " << seed;
    if (state.content >= 0 || state.content == kTruncated) {
        EXPECT_TRUE(OpenableExclusively(state.path)) << "seed " << seed;
    }
    if (getenv("VANTREL_WALK_LOG") != nullptr)
        std::fprintf(stderr, "steps:%s\n", state.log.c_str());
    std::printf("seed %llu: %d steps, %d boxes, %d copies or saves\n",
                static_cast<unsigned long long>(seed), state.steps, state.boxes, state.saves);
    CloseHandle(watchdog);
    CloseHandle(state.readerThread);
    CloseHandle(state.readerWake);
    RemoveDirectoryA(state.path.c_str());
    DeleteFileA(state.path.c_str());
    walk = nullptr;
}

TEST(PageWalk, FixedSeedsHoldEveryStep) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    for (PoolFile& file : pool) {
        file.bytes = ReadWholeFile(FixturePath(file.file));
        ASSERT_FALSE(file.bytes.empty()) << file.file;
        ASSERT_TRUE(ReadManifest(&file)) << file.manifest;
        // Every file of the pool opens as the page opens it.
        HMODULE module =
            LoadLibraryExA(FixturePath(file.file).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << file.file;
        FreeLibrary(module);
    }
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WalkWindowProc;
    windowClass.lpszClassName = "VantrelWalk";
    RegisterClassA(&windowClass);
    const int steps = static_cast<int>(EnvNumber("VANTREL_WALK_STEPS", 150));
    const uint64_t chosen = EnvNumber("VANTREL_WALK_SEED", 0);
    std::vector<uint64_t> seeds = {1, 2, 3, 4, 5, 6};
    if (chosen != 0)
        seeds = {chosen};
    WalkOnce(0, 0);
    for (uint64_t seed : seeds) {
        WalkOnce(seed, steps);
        if (HasFatalFailure())
            break;
    }
    CoUninitialize();
}

}  // namespace
