#include "catalogue/StringList.h"

int FillStringList(HWND, const TextBuffer&, const ResourceSource&, HWND* header) {
    *header = nullptr;
    return 0;
}
