// The library's two exports: the class object and the unload question.
#include <windows.h>
#include <objbase.h>

#include <new>

#include "common/AccessApi.h"
#include "common/ModuleState.h"
#include "module/ClassFactory.h"
#include "module/ShellExtension.h"

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID iid, LPVOID* out) {
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(classId, kExtensionClassId))
        return CLASS_E_CLASSNOTAVAILABLE;
    ClassFactory* factory = new (std::nothrow) ClassFactory();
    if (factory == nullptr)
        return E_OUTOFMEMORY;
    // A temporary reference, so that a refused interface destroys the new
    // factory again.
    factory->AddRef();
    HRESULT result = factory->QueryInterface(iid, out);
    factory->Release();
    return result == S_OK ? S_OK : E_NOINTERFACE;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    if (InterlockedCompareExchange(&theModule.objectCount, 0, 0) != 0)
        return S_FALSE;
    // The accessibility libraries are let go here, outside the loader's lock,
    // and never from DllMain: with no object left no page or screen reader's
    // object uses them. A library that is unloaded without this question
    // keeps them until the process ends.
    ReleaseAccessApi();
    return S_OK;
}
