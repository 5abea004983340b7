#include "page/lists/PaintTarget.h"

#include "page/state/ControlHooks.h"
#include "page/state/TargetIdentity.h"

void BeginListPaint(PageState* page) {
    if (page == nullptr)
        return;
    if (page->paintDepth++ == 0) {
        page->paintSourceFailed = 0;
        page->paintMarkersChecked = 0;
        DWORD error = 0;
        CheckPageTarget(page, false, &error);
    }
}

void EndListPaint(PageState* page) {
    if (page == nullptr || page->paintDepth <= 0 || --page->paintDepth > 0)
        return;
    if (page->paintSourceOpen)
        CloseResourceSource(&page->paintSource);
    page->paintSourceOpen = 0;
}

const ResourceSource* PaintSource(PageState* page) {
    if (page->paintDepth <= 0 || page->targetChanged)
        return nullptr;
    if (!page->paintSourceOpen) {
        DWORD error = 0;
        page->paintMarkersChecked = 1;
        if (page->paintSourceFailed || CheckPageTarget(page, true, &error) != kTargetSame ||
            !OpenResourceSource(page->target, &page->paintSource)) {
            page->paintSourceFailed = 1;
            return nullptr;
        }
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

TargetForNow::TargetForNow(PageState* page) : shared_(nullptr), own_(), ownOpened_(false) {
    if (page == nullptr || page->targetChanged)
        return;
    if (page->paintDepth > 0) {
        shared_ = PaintSource(page);
        return;
    }
    DWORD error = 0;
    if (CheckPageTarget(page, true, &error) == kTargetSame)
        ownOpened_ = OpenResourceSource(page->target, &own_);
}

TargetForNow::~TargetForNow() {
    if (ownOpened_)
        CloseResourceSource(&own_);
}
