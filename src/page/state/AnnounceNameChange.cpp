#include "page/state/AnnounceNameChange.h"

#include "common/AccessApi.h"

void AnnounceNameChange(HWND control, const PageState* page) {
    if (page->accessLink == nullptr)
        return;
    const AccessApi* api = BoundAccessApi();
    if (api != nullptr && api->notifyWinEvent != nullptr)
        api->notifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
}
