#include "page/ResourceKinds.h"

const ResourceKindInfo kResourceKinds[kKindCount] = {
    {1004, "アイコン", "ｱｲｺﾝ"},
    {1005, "ビットマップ", "ﾋﾞｯﾄﾏｯﾌﾟ"},
    {1006, "カーソル", "ｶｰｿﾙ"},
    {1007, "文字列", "文字列"},
    // The trailing blank belongs to the name.
    {1008, "AVI ", "AVI "},
};

int ResourceKindList(int kind) {
    if (kind < 0 || kind >= kKindCount)
        return 0;
    return kResourceKinds[kind].listId;
}

const char* ResourceKindName(int kind, bool legacyShellMode) {
    if (kind < 0 || kind >= kKindCount)
        return nullptr;
    return legacyShellMode ? kResourceKinds[kind].legacyName : kResourceKinds[kind].name;
}
