#include "catalogue/MessageRows.h"

#include <cstring>

#include "catalogue/PickedLanguage.h"
#include "catalogue/ResourceKinds.h"

namespace {

struct TableWalk {
    HMODULE module;
    MessageRowArray out;
    int32_t rowRoom;
    int32_t failed;
    uint32_t choice;  // as TargetPath's language
    HRSRC found;      // the platform's pick, whose language is sought
    uint16_t language;
    uint32_t bytesLeft;  // of tables that may still be read
    bool full;           // a table was left out for the list's size
};

// Room in *block, which holds used records of size bytes, for count more.
// The blocks grow geometrically, so that a list of many small tables is not
// copied whole for each table.
bool Grow(uint8_t** block, int32_t used, int32_t count, SIZE_T size) {
    const SIZE_T wanted = static_cast<SIZE_T>(used) + static_cast<SIZE_T>(count);
    if (*block != nullptr && GlobalSize(*block) / size >= wanted)
        return true;
    const SIZE_T room = wanted < 32 ? 64 : wanted * 2;
    HGLOBAL grown = *block == nullptr ? GlobalAlloc(GMEM_FIXED, room * size)
                                      : GlobalReAlloc(*block, room * size, GMEM_MOVEABLE);
    if (grown == nullptr)
        return false;
    *block = static_cast<uint8_t*>(grown);
    return true;
}

// The ANSI code page of a language's locale; the system's where the locale
// names none (neutral numbers on older systems).
uint32_t LanguageCodePage(uint16_t language) {
    char digits[8] = "";
    if (language == 0 || GetLocaleInfoA(MAKELCID(language, SORT_DEFAULT),
                                        LOCALE_IDEFAULTANSICODEPAGE, digits, sizeof(digits)) <= 0)
        return CP_ACP;
    uint32_t codePage = 0;
    for (const char* c = digits; *c >= '0' && *c <= '9'; ++c)
        codePage = codePage * 10 + static_cast<uint32_t>(*c - '0');
    return codePage != 0 ? codePage : CP_ACP;
}

bool AddTable(TableWalk* walk, LPSTR name, const uint8_t* data, uint32_t size) {
    const int32_t table = *walk->out.tableCount;
    MessageTableRef ref = {};
    if (IS_INTRESOURCE(name)) {
        ref.id = static_cast<uint16_t>(reinterpret_cast<uintptr_t>(name));
    } else {
        const int length = lstrlenA(name);
        if (length <= 0 || length >= kMessageTableNameBytes)
            return true;
        memcpy(ref.text, name, static_cast<size_t>(length) + 1);
    }
    ref.language = walk->language;
    ref.codePage = LanguageCodePage(walk->language);
    const uint32_t bound = MessageRowsBound(size);
    // The reader's working room would not fit a 32-bit size: no table so
    // large is read.
    if (bound == 0 || bound > SIZE_MAX / sizeof(MessageRow))
        return true;
    HGLOBAL scratch = GlobalAlloc(GMEM_FIXED, static_cast<SIZE_T>(bound) * sizeof(MessageRow));
    if (scratch == nullptr)
        return false;
    MessageRow* read = static_cast<MessageRow*>(scratch);
    uint32_t count = 0;
    bool kept = true;
    const int32_t used = *walk->out.rowCount;
    if (ReadMessageTable(data, size, static_cast<uint32_t>(table), read, bound, &count) != 0)
        count = 0;
    if (count > static_cast<uint32_t>(kMaxMessageRows - used)) {
        walk->full = true;
    } else if (count != 0) {
        kept = Grow(walk->out.rows, used, static_cast<int32_t>(count), sizeof(MessageRow)) &&
               Grow(walk->out.tables, table, 1, sizeof(MessageTableRef));
        if (kept) {
            memcpy(*walk->out.rows + static_cast<SIZE_T>(used) * sizeof(MessageRow), read,
                   count * sizeof(MessageRow));
            memcpy(*walk->out.tables + static_cast<SIZE_T>(table) * sizeof(MessageTableRef), &ref,
                   sizeof(ref));
            *walk->out.rowCount = used + static_cast<int32_t>(count);
            *walk->out.tableCount = table + 1;
        }
    }
    GlobalFree(scratch);
    return kept;
}

BOOL CALLBACK AddNamedTable(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR user) {
    TableWalk* walk = reinterpret_cast<TableWalk*>(user);
    if (*walk->out.tableCount >= kMaxMessageTables || walk->full)
        return FALSE;
    // The platform picks the language, as for every other kind, unless one
    // was chosen.
    walk->found = walk->choice != 0 ? FindResourceExA(module, type, name,
                                                      static_cast<WORD>(walk->choice & 0xFFFF))
                                    : FindResourceA(module, name, type);
    HGLOBAL loaded = walk->found != nullptr ? LoadResource(module, walk->found) : nullptr;
    const uint8_t* data = static_cast<const uint8_t*>(LockResource(loaded));
    const uint32_t size = walk->found != nullptr ? SizeofResource(module, walk->found) : 0;
    if (data == nullptr || size == 0 || !ResourceBytesReadable(data, size))
        return TRUE;
    if (size > walk->bytesLeft)
        return FALSE;
    walk->bytesLeft -= size;
    walk->language = static_cast<uint16_t>(walk->choice & 0xFFFF);
    if (walk->choice == 0)
        PickedLanguage(module, type, name, walk->found, &walk->language);
    if (!AddTable(walk, name, data, size)) {
        walk->failed = 1;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK StopAtFirstTable(HMODULE, LPCSTR, LPSTR, LONG_PTR user) {
    *reinterpret_cast<bool*>(user) = true;
    return FALSE;
}

const MessageTableRef* TableOf(const MessageRowArray& rows, const MessageRow& row) {
    if (*rows.tables == nullptr || row.table >= static_cast<uint32_t>(*rows.tableCount))
        return nullptr;
    return reinterpret_cast<const MessageTableRef*>(*rows.tables) + row.table;
}

}  // namespace

void FreeMessageRows(const MessageRowArray& rows) {
    if (*rows.rows != nullptr)
        GlobalFree(*rows.rows);
    if (*rows.tables != nullptr)
        GlobalFree(*rows.tables);
    *rows.rows = nullptr;
    *rows.tables = nullptr;
    *rows.rowCount = 0;
    *rows.tableCount = 0;
}

int ReadMessageRows(const ResourceSource& source, const MessageRowArray& rows) {
    FreeMessageRows(rows);
    if (source.module == nullptr)
        return 0;
    TableWalk walk = {};
    walk.module = source.module;
    walk.out = rows;
    walk.choice = source.language;
    walk.bytesLeft = kMaxMessageTableBytes;
    EnumResourceNamesA(source.module, ResourceKindType(kKindMessage), AddNamedTable,
                       reinterpret_cast<LONG_PTR>(&walk));
    if (walk.failed) {
        FreeMessageRows(rows);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return -1;
    }
    if (*rows.rowCount > 1)
        SortMessageRows(reinterpret_cast<MessageRow*>(*rows.rows),
                        static_cast<uint32_t>(*rows.rowCount));
    return 0;
}

bool HoldsMessageTables(const ResourceSource& source) {
    bool found = false;
    if (source.module != nullptr)
        EnumResourceNamesA(source.module, ResourceKindType(kKindMessage), StopAtFirstTable,
                           reinterpret_cast<LONG_PTR>(&found));
    return found;
}

const MessageRow* MessageRowAt(const MessageRowArray& rows, int32_t row) {
    if (*rows.rows == nullptr || row < 0 || row >= *rows.rowCount)
        return nullptr;
    return reinterpret_cast<const MessageRow*>(*rows.rows) + row;
}

const wchar_t* ReadMessageRowText(const ResourceSource& source, const MessageRowArray& rows,
                                  int32_t row, bool withBreak, const TextBuffer& text,
                                  int32_t* units) {
    const MessageRow* message = MessageRowAt(rows, row);
    const MessageTableRef* table = message != nullptr ? TableOf(rows, *message) : nullptr;
    if (table == nullptr || source.module == nullptr)
        return nullptr;
    const LPCSTR name =
        table->text[0] != '\0' ? table->text : MAKEINTRESOURCEA(static_cast<WORD>(table->id));
    HRSRC found =
        FindResourceExA(source.module, ResourceKindType(kKindMessage), name, table->language);
    HGLOBAL loaded = found != nullptr ? LoadResource(source.module, found) : nullptr;
    const uint8_t* data = static_cast<const uint8_t*>(LockResource(loaded));
    const uint32_t size = found != nullptr ? SizeofResource(source.module, found) : 0;
    // The table may have changed since the rows were read: its bytes are
    // checked again.
    if (data == nullptr || message->textBytes > size ||
        message->textOffset > size - message->textBytes || !ResourceBytesReadable(data, size))
        return nullptr;
    const uint8_t* bytes = data + message->textOffset;
    const uint32_t length =
        withBreak ? message->textBytes
                  : MessageTextWithoutBreak(bytes, message->textBytes, message->encoding);
    int32_t wanted = 0;
    UINT codePage = CP_ACP;
    if (message->encoding == kMessageUnicode) {
        wanted = static_cast<int32_t>(length / 2);
    } else {
        codePage = message->encoding == kMessageUtf8 ? CP_UTF8 : table->codePage;
        wanted = length == 0
                     ? 0
                     : MultiByteToWideChar(codePage, 0, reinterpret_cast<const char*>(bytes),
                                           static_cast<int>(length), nullptr, 0);
        if (wanted <= 0 && length != 0)
            codePage = CP_ACP,
            wanted = MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(bytes),
                                         static_cast<int>(length), nullptr, 0);
    }
    if (wanted < 0 || wanted > INT32_MAX / 2 - 1 ||
        GrowTextBuffer(text, (wanted + 1) * static_cast<int32_t>(sizeof(wchar_t))) != 0)
        return nullptr;
    wchar_t* out = reinterpret_cast<wchar_t*>(*text.block);
    if (message->encoding == kMessageUnicode) {
        memcpy(out, bytes, static_cast<size_t>(wanted) * sizeof(wchar_t));
    } else if (wanted > 0) {
        wanted = MultiByteToWideChar(codePage, 0, reinterpret_cast<const char*>(bytes),
                                     static_cast<int>(length), out, wanted);
    }
    out[wanted > 0 ? wanted : 0] = L'\0';
    *units = wanted > 0 ? wanted : 0;
    return out;
}
