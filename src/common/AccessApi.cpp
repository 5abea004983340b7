#include "common/AccessApi.h"

#include "common/BindProc.h"

namespace {

// The binding with the references that keep its libraries loaded.
struct BoundLibraries {
    AccessApi api;
    HMODULE oleacc;
    HMODULE oleaut;
};

BoundLibraries* volatile boundLibraries = nullptr;

void FreeBinding(BoundLibraries* bound) {
    if (bound->oleacc != nullptr)
        FreeLibrary(bound->oleacc);
    if (bound->oleaut != nullptr)
        FreeLibrary(bound->oleaut);
    HeapFree(GetProcessHeap(), 0, bound);
}

BoundLibraries* Bind() {
    BoundLibraries* bound = static_cast<BoundLibraries*>(
        HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(BoundLibraries)));
    if (bound == nullptr)
        return nullptr;
    bound->oleacc = LoadLibraryA("OleAcc.dll");
    bound->oleaut = LoadLibraryA("OleAut32.dll");
    AccessApi& api = bound->api;
    if (bound->oleacc != nullptr) {
        BindProc(bound->oleacc, "CreateStdAccessibleObject", &api.createStdAccessibleObject);
        BindProc(bound->oleacc, "LresultFromObject", &api.lresultFromObject);
    }
    if (bound->oleaut != nullptr)
        BindProc(bound->oleaut, "SysAllocStringLen", &api.sysAllocStringLen);
    if (api.createStdAccessibleObject == nullptr || api.lresultFromObject == nullptr ||
        api.sysAllocStringLen == nullptr) {
        FreeBinding(bound);
        return nullptr;
    }
    // User32 is imported statically and outlives this library.
    HMODULE user = GetModuleHandleA("User32.dll");
    if (user != nullptr)
        BindProc(user, "NotifyWinEvent", &api.notifyWinEvent);
    return bound;
}

}  // namespace

const AccessApi* BoundAccessApi() {
    BoundLibraries* bound = static_cast<BoundLibraries*>(InterlockedCompareExchangePointer(
        reinterpret_cast<void* volatile*>(&boundLibraries), nullptr, nullptr));
    if (bound != nullptr)
        return &bound->api;
    // Two sheets may ask at once: each binds, the first to publish wins and
    // the other lets its own binding go. A missing library is looked for
    // again at the next question, which only a screen reader asks.
    BoundLibraries* fresh = Bind();
    if (fresh == nullptr)
        return nullptr;
    BoundLibraries* earlier = static_cast<BoundLibraries*>(InterlockedCompareExchangePointer(
        reinterpret_cast<void* volatile*>(&boundLibraries), fresh, nullptr));
    if (earlier == nullptr)
        return &fresh->api;
    FreeBinding(fresh);
    return &earlier->api;
}

void ReleaseAccessApi() {
    BoundLibraries* bound = static_cast<BoundLibraries*>(
        InterlockedExchangePointer(reinterpret_cast<void* volatile*>(&boundLibraries), nullptr));
    if (bound != nullptr)
        FreeBinding(bound);
}
