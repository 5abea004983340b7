#include "module/ShellExtension.h"

#include <shellapi.h>

#include <new>

#include "common/ModuleState.h"
#include "module/PageCreation.h"
#include "module/SelectedPath.h"
#include "module/TargetHasResources.h"

namespace {

// Frees the selected file's name; nothing opens the target afterwards.
void ForgetTarget(ShellExtension* object) {
    if (object->fileName != nullptr)
        HeapFree(GetProcessHeap(), 0, object->fileName);
    object->fileName = nullptr;
    object->target = TargetPath();
}

}  // namespace

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

HRESULT STDMETHODCALLTYPE ShellExtension::AddPages(LPFNSVADDPROPSHEETPAGE addPage, LPARAM addData) {
    if (medium.tymed != TYMED_HGLOBAL || medium.hGlobal == nullptr)
        return S_OK;
    // The page state is this object's tail: it can serve one page only.
    if (pageHoldsReference != 0)
        return S_OK;
    HDROP drop = static_cast<HDROP>(medium.hGlobal);
    if (DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0) != 1)
        return S_OK;

    if (!ReadSelectedPath(drop, &fileName, &target))
        return E_OUTOFMEMORY;
    if (!TargetHasResources(target)) {
        ForgetTarget(this);
        return S_OK;
    }

    PROPSHEETPAGEA description;
    FillPageDescription(this, &description);
    AddRef();
    InterlockedExchange(&pageHoldsReference, 1);
    HPROPSHEETPAGE page = CreatePropertySheetPageA(&description);
    if (page == nullptr) {
        DropPageReference(this);
        return S_OK;
    }
    if (addPage != nullptr && addPage(page, addData))
        return S_OK;
    // The platform may run the page's release callback itself while destroying
    // the page; the hold ends only once either way.
    DestroyPropertySheetPage(page);
    DropPageReference(this);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ShellExtension::ReplacePage(EXPPS /*pageId*/,
                                                      LPFNSVADDPROPSHEETPAGE /*replaceWith*/,
                                                      LPARAM /*replaceData*/) {
    return E_FAIL;
}

LPARAM PageParameterOf(ShellExtension* object) {
    return reinterpret_cast<LPARAM>(static_cast<IShellExtInit*>(object));
}

ShellExtension* ExtensionFromPageParameter(LPARAM parameter) {
    return static_cast<ShellExtension*>(reinterpret_cast<IShellExtInit*>(parameter));
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
