#include "module/ClassFactory.h"

#include <new>

#include "common/ModuleState.h"
#include "module/ShellExtension.h"

ClassFactory::ClassFactory() : referenceCount(0) {
    InterlockedIncrement(&theModule.objectCount);
}

ClassFactory::~ClassFactory() {
    InterlockedDecrement(&theModule.objectCount);
}

HRESULT STDMETHODCALLTYPE ClassFactory::QueryInterface(REFIID iid, void** out) {
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) {
        return E_NOINTERFACE;
    }
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE ClassFactory::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&referenceCount));
}

ULONG STDMETHODCALLTYPE ClassFactory::Release() {
    LONG count = InterlockedDecrement(&referenceCount);
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

HRESULT STDMETHODCALLTYPE ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    if (outer != nullptr)
        return CLASS_E_NOAGGREGATION;
    ShellExtension* object = new (std::nothrow) ShellExtension();
    if (object == nullptr)
        return E_OUTOFMEMORY;
    // A temporary reference, so that an interface the object lacks destroys it
    // again and the module object count returns to where it was.
    object->AddRef();
    HRESULT result = object->QueryInterface(iid, out);
    object->Release();
    return result;
}

HRESULT STDMETHODCALLTYPE ClassFactory::LockServer(BOOL /*lock*/) {
    return S_OK;
}
