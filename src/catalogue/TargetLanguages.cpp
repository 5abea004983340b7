#include "catalogue/TargetLanguages.h"

#include "catalogue/ResourceKinds.h"
#include "formats/executables/ResourceDirectory.h"
#include "formats/texts/LanguageNames.h"
#include "formats/texts/MessageTable.h"
#include "formats/texts/StringBlock.h"

namespace {

// The whole file in a read-only view, closed when the owner goes.
class FileView {
public:
    explicit FileView(const TargetPath& path) {
        file_ = OpenTargetFile(path);
        if (file_ == INVALID_HANDLE_VALUE)
            return;
        DWORD high = 0;
        SetLastError(NO_ERROR);
        const DWORD low = GetFileSize(file_, &high);
        const uint64_t size = (static_cast<uint64_t>(high) << 32) | low;
        if ((low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || size == 0 ||
            size > SIZE_MAX)
            return;
        mapping_ = CreateFileMappingA(file_, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (mapping_ != nullptr)
            view_ = static_cast<const uint8_t*>(MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0));
        size_ = view_ != nullptr ? static_cast<size_t>(size) : 0;
    }
    ~FileView() {
        if (view_ != nullptr)
            UnmapViewOfFile(view_);
        if (mapping_ != nullptr)
            CloseHandle(mapping_);
        if (file_ != INVALID_HANDLE_VALUE)
            CloseHandle(file_);
    }
    FileView(const FileView&) = delete;
    FileView& operator=(const FileView&) = delete;
    // The resource section, false when there is none to read.
    bool Locate(PeResourceSection* section) const {
        return view_ != nullptr && LocatePeResources(view_, size_, section);
    }

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    HANDLE mapping_ = nullptr;
    const uint8_t* view_ = nullptr;
    size_t size_ = 0;
};

struct EntryCount {
    int kind;
    ResName type;
    const uint16_t* languages;
    uint32_t count;
    uint32_t* counts;
    const PeResourceSection* section;
    // Message-table bytes the count may still read. A sound file's tables
    // never share bytes, so together they are smaller than the file; a
    // hostile directory can point a quarter of a million leaves at one large
    // table, or at ranges of it, and reading it for each would hold the shell
    // for minutes. Past twice the file's size, the tables left count nothing.
    uint64_t messageBytesLeft;
    // The last table read: languages that share one table, as tools that
    // store identical tables once make them, read it once.
    uint64_t lastOffset;
    uint32_t lastSize;
    uint32_t lastRows;
};

uint32_t EntriesOfLeaf(EntryCount& walk, const ResourceLeaf& leaf) {
    if (walk.kind != kKindString && walk.kind != kKindMessage)
        return 1;
    if (!leaf.dataInFile || leaf.fileOffset > walk.section->size ||
        leaf.size > walk.section->size - leaf.fileOffset)
        return 0;
    const uint8_t* data = walk.section->base + leaf.fileOffset;
    if (walk.kind == kKindMessage) {
        if (leaf.fileOffset == walk.lastOffset && leaf.size == walk.lastSize)
            return walk.lastRows;
        if (leaf.size > walk.messageBytesLeft)
            return 0;
        walk.messageBytesLeft -= leaf.size;
        const uint32_t bound = MessageRowsBound(leaf.size);
        HGLOBAL rows = bound != 0 && bound <= SIZE_MAX / sizeof(MessageRow)
                           ? GlobalAlloc(GMEM_FIXED, bound * sizeof(MessageRow))
                           : nullptr;
        uint32_t found = 0;
        if (rows != nullptr && ReadMessageTable(data, leaf.size, 0, static_cast<MessageRow*>(rows),
                                                bound, &found) != 0)
            found = 0;
        if (rows != nullptr)
            GlobalFree(rows);
        walk.lastOffset = leaf.fileOffset;
        walk.lastSize = leaf.size;
        walk.lastRows = found;
        return found;
    }
    // Blocks the list reads: numbers 1 to 4096.
    uint16_t first = 0;
    if (leaf.name.text != nullptr || !StringBlockFirstId(MakeIntResName(leaf.name.id), &first))
        return 0;
    StoredString strings[kStringsPerBlock];
    const uint32_t read = ReadPeStringBlock(data, leaf.size, strings);
    uint32_t found = 0;
    for (uint32_t i = 0; i < read; ++i)
        found += strings[i].length != 0 ? 1 : 0;
    return found;
}

int CountLeaf(const ResourceLeaf& leaf, void* user) {
    EntryCount& walk = *static_cast<EntryCount*>(user);
    if (!ResourceKeyMatches(leaf.type, walk.type))
        return 1;
    for (uint32_t i = 0; i < walk.count; ++i) {
        if (walk.languages[i] == leaf.language)
            walk.counts[i] += EntriesOfLeaf(walk, leaf);
    }
    return 1;
}

}  // namespace

int FindTargetLanguages(const TargetPath& path, uint16_t* languages, uint32_t capacity,
                        uint32_t* count) {
    *count = 0;
    FileView view(path);
    PeResourceSection section;
    if (!view.Locate(&section))
        return -1;
    ResName types[kKindCount];
    for (int kind = 0; kind < kKindCount; ++kind)
        types[kind] = ResourceKindType(kind);
    // Room for every pair the walk can give at once would be large: the
    // pairs come in a block of their own.
    const uint32_t room = 4 * kMaxListedLanguages;
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, room * sizeof(TypeLanguage));
    if (block == nullptr)
        return -1;
    TypeLanguage* pairs = static_cast<TypeLanguage*>(block);
    uint32_t found = 0;
    CountTypeLanguages(section, types, kKindCount, pairs, room, &found);
    *count = DistinctLanguages(pairs, found, languages, capacity);
    GlobalFree(block);
    return 0;
}

bool CountKindEntries(const TargetPath& path, int kind, const uint16_t* languages, uint32_t count,
                      uint32_t* counts) {
    for (uint32_t i = 0; i < count; ++i)
        counts[i] = 0;
    FileView view(path);
    PeResourceSection section;
    if (!IsResourceKind(kind) || !view.Locate(&section))
        return false;
    EntryCount walk = {};
    walk.kind = kind;
    walk.type = ResourceKindType(kind);
    walk.languages = languages;
    walk.count = count;
    walk.counts = counts;
    walk.section = &section;
    walk.messageBytesLeft = 2 * static_cast<uint64_t>(section.size);
    return WalkPeResources(section, CountLeaf, &walk) != -1;
}
