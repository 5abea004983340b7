#include "page/lists/PaintTarget.h"

#include "page/state/ControlHooks.h"

void BeginListPaint(PageState* page) {
    if (page != nullptr)
        ++page->paintDepth;
}

void EndListPaint(PageState* page) {
    if (page == nullptr || page->paintDepth <= 0 || --page->paintDepth > 0)
        return;
    if (page->paintSourceOpen)
        CloseResourceSource(&page->paintSource);
    page->paintSourceOpen = 0;
}

const ResourceSource* PaintSource(PageState* page) {
    if (page->paintDepth <= 0)
        return nullptr;
    if (!page->paintSourceOpen) {
        if (!OpenResourceSource(page->target, &page->paintSource))
            return nullptr;
        page->paintSourceOpen = 1;
    }
    return &page->paintSource;
}

LRESULT PaintWithOneOpening(HWND list, WPARAM wParam, LPARAM lParam) {
    PageState* page = FindPageState(GetParent(list));
    BeginListPaint(page);
    const LRESULT result = CallPreviousProc(list, WM_PAINT, wParam, lParam);
    EndListPaint(page);
    return result;
}
