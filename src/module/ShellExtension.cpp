#include "module/ShellExtension.h"

#include <shellapi.h>

#include <new>

#include "common/ModuleState.h"

ShellExtension::ShellExtension()
    : referenceCount(0),
      medium(),
      fileName(nullptr),
      target(),
      patchedTemplate(nullptr),
      pageHoldsReference(0),
      pageState() {
    InterlockedIncrement(&theModule.objectCount);
}

ShellExtension::~ShellExtension() {
    if (medium.tymed != TYMED_NULL)
        ReleaseStgMedium(&medium);
    InterlockedDecrement(&theModule.objectCount);
}

HRESULT STDMETHODCALLTYPE ShellExtension::QueryInterface(REFIID iid, void** out) {
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IShellExtInit)) {
        *out = static_cast<IShellExtInit*>(this);
    } else if (IsEqualIID(iid, IID_IShellPropSheetExt)) {
        *out = static_cast<IShellPropSheetExt*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE ShellExtension::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&referenceCount));
}

ULONG STDMETHODCALLTYPE ShellExtension::Release() {
    LONG count = InterlockedDecrement(&referenceCount);
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

HRESULT STDMETHODCALLTYPE ShellExtension::Initialize(PCIDLIST_ABSOLUTE /*folder*/,
                                                     IDataObject* data, HKEY /*programKey*/) {
    if (medium.tymed != TYMED_NULL)
        ReleaseStgMedium(&medium);
    medium = STGMEDIUM();
    if (data == nullptr)
        return E_FAIL;

    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    HRESULT result = data->GetData(&format, &medium);
    if (result == S_OK)
        return S_OK;
    // A success code other than S_OK still handed over a medium; a failure
    // handed over nothing. Either way the selection counts as absent.
    if (SUCCEEDED(result) && medium.tymed != TYMED_NULL)
        ReleaseStgMedium(&medium);
    medium = STGMEDIUM();
    return result == E_OUTOFMEMORY ? E_OUTOFMEMORY : E_FAIL;
}

LPARAM PageParameterOf(ShellExtension* object) {
    return reinterpret_cast<LPARAM>(static_cast<IShellExtInit*>(object));
}

ShellExtension* ExtensionFromPageParameter(LPARAM parameter) {
    return static_cast<ShellExtension*>(reinterpret_cast<IShellExtInit*>(parameter));
}

void ForgetTarget(ShellExtension* object) {
    if (object->fileName != nullptr)
        HeapFree(GetProcessHeap(), 0, object->fileName);
    object->fileName = nullptr;
    object->target = TargetPath();
}

void DropPageReference(ShellExtension* object) {
    if (InterlockedExchange(&object->pageHoldsReference, 0) == 0)
        return;
    if (object->patchedTemplate != nullptr) {
        GlobalFree(object->patchedTemplate);
        object->patchedTemplate = nullptr;
    }
    ForgetTarget(object);
    object->Release();
}
