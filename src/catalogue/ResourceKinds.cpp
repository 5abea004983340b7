#include "catalogue/ResourceKinds.h"

#include "common/PageControls.h"

namespace {

struct ResourceKindInfo {
    int listId;
    uint16_t typeId;         // an integer type, or 0
    const char* typeText;    // the type's text when typeId is 0
    const char* name;        // Shift-JIS
    const char* legacyName;  // Shift-JIS, half-width where the full name has katakana
};

// Constant data only: the library runs no static initialisers.
const ResourceKindInfo kResourceKinds[kKindCount] = {
    {kIconList, 14, nullptr, "アイコン", "ｱｲｺﾝ"},
    {kBitmapList, 2, nullptr, "ビットマップ", "ﾋﾞｯﾄﾏｯﾌﾟ"},
    {kCursorList, 12, nullptr, "カーソル", "ｶｰｿﾙ"},
    {kStringList, 6, nullptr, "文字列", "文字列"},
    // The trailing blank belongs to the name.
    {kAviList, 0, "AVI", "AVI ", "AVI "},
    {kMessageList, 11, nullptr, "メッセージ", "ﾒｯｾｰｼﾞ"},
};

}  // namespace

int ResourceKindList(int kind) {
    return IsResourceKind(kind) ? kResourceKinds[kind].listId : 0;
}

int ResourceKindOfList(int listId) {
    for (int kind = 0; kind < kKindCount; ++kind) {
        if (kResourceKinds[kind].listId == listId)
            return kind;
    }
    return -1;
}

ResName ResourceKindType(int kind) {
    if (!IsResourceKind(kind))
        return nullptr;
    const ResourceKindInfo& info = kResourceKinds[kind];
    return info.typeId != 0 ? MakeIntResName(info.typeId) : info.typeText;
}

const char* ResourceKindName(int kind, bool legacyShellMode) {
    if (!IsResourceKind(kind))
        return nullptr;
    return legacyShellMode ? kResourceKinds[kind].legacyName : kResourceKinds[kind].name;
}
