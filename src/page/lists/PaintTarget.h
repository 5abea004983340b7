// One opening of the target per paint of a list: every picture made and every
// row text read while one list paints comes from the same opening, made when
// the first of them needs it and closed before the paint returns.
#pragma once

#include <windows.h>

#include "catalogue/ResourceSource.h"
#include "page/state/PageState.h"

// Around the list's own WM_PAINT handling. A paint that begins looks at the
// file's size and write time; a change it finds is noticed (the page stops
// reading the file and rebuilds its lists after the paint).
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
// of its own, closed when it goes. Nothing opens once the file is known to
// have changed, and an opening of its own first compares the file's markers.
class TargetForNow {
public:
    explicit TargetForNow(PageState* page);
    ~TargetForNow();
    TargetForNow(const TargetForNow&) = delete;
    TargetForNow& operator=(const TargetForNow&) = delete;
    bool opened() const { return shared_ != nullptr || ownOpened_; }
    const ResourceSource& source() const { return shared_ != nullptr ? *shared_ : own_; }

private:
    const ResourceSource* shared_;
    ResourceSource own_;
    bool ownOpened_;
};
