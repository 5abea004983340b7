#include "support/ShellSheetVisit.h"

#include <objbase.h>

#include "support/PropertiesSheet.h"

namespace {

DWORD WINAPI RunPropertiesVerb(void* parameter) {
    ShellSheetVisit* visit = static_cast<ShellSheetVisit*>(parameter);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    visit->invoked = visit->widePath.empty() ? InvokePropertiesVerb(visit->paths)
                                             : InvokePropertiesVerb(visit->widePath);
    CoUninitialize();
    return 0;
}

}  // namespace

bool OpenShellSheet(ShellSheetVisit* visit, DWORD timeoutMs) {
    visit->invoked = false;
    visit->sheet = nullptr;
    visit->thread = CreateThread(nullptr, 0, RunPropertiesVerb, visit, 0, nullptr);
    if (visit->thread == nullptr)
        return false;
    visit->sheet = WaitForPropertiesSheet(timeoutMs);
    return visit->sheet != nullptr;
}

bool CloseShellSheet(ShellSheetVisit* visit, DWORD timeoutMs) {
    bool closed = visit->sheet == nullptr || CloseSheet(visit->sheet, timeoutMs);
    if (visit->thread == nullptr)
        return false;
    bool joined = WaitForSingleObject(visit->thread, timeoutMs) == WAIT_OBJECT_0;
    CloseHandle(visit->thread);
    visit->thread = nullptr;
    return closed && joined && visit->invoked;
}
