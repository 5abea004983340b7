#include <windows.h>

#include "common/ModuleState.h"
#include "module/ModuleLifetime.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE moduleHandle, DWORD reason, LPVOID /*reserved*/) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            return AttachModule(moduleHandle);
        case DLL_PROCESS_DETACH:
            DetachModule();
            return TRUE;
        default:
            return TRUE;
    }
}
