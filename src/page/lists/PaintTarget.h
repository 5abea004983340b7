// One opening of the target per paint of a list: every picture made and every
// row text read while one list paints comes from the same opening, made when
// the first of them needs it and closed before the paint returns.
#pragma once

#include <windows.h>

#include "catalogue/ResourceSource.h"
#include "page/state/PageState.h"

// Around the list's own WM_PAINT handling.
void BeginListPaint(PageState* page);
void EndListPaint(PageState* page);

// WM_PAINT of a hooked list of the page: the list's own handling between the
// two above.
LRESULT PaintWithOneOpening(HWND list, WPARAM wParam, LPARAM lParam);

// The source to read from: inside a paint, the paint's own, opened now if it
// is not yet; outside one, or when the file does not open, null (the caller
// opens the target for its own operation).
const ResourceSource* PaintSource(PageState* page);

// The target for one operation: the paint's opening inside a paint, else one
// of its own, closed when it goes.
class TargetForNow {
public:
    explicit TargetForNow(PageState* page)
        : shared_(page != nullptr ? PaintSource(page) : nullptr), own_(OwnPath(page, shared_)) {}
    bool opened() const { return shared_ != nullptr || own_.opened(); }
    const ResourceSource& source() const { return shared_ != nullptr ? *shared_ : own_.source(); }

private:
    // Nothing opens an empty path: with the paint's source at hand, or no page,
    // no second opening is made.
    static TargetPath OwnPath(PageState* page, const ResourceSource* shared) {
        return page != nullptr && shared == nullptr ? page->target : TargetPath{};
    }
    const ResourceSource* shared_;
    OpenedTarget own_;
};
