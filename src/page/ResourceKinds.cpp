#include "page/ResourceKinds.h"
#include "common/PageControls.h"

const ResourceKindInfo kResourceKinds[kKindCount] = {
    {kIconList, "アイコン", "ｱｲｺﾝ"},
    {kBitmapList, "ビットマップ", "ﾋﾞｯﾄﾏｯﾌﾟ"},
    {kCursorList, "カーソル", "ｶｰｿﾙ"},
    {kStringList, "文字列", "文字列"},
    // The trailing blank belongs to the name.
    {kAviList, "AVI ", "AVI "},
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
