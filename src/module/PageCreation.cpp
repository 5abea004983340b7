#include "module/PageCreation.h"

#include <cstddef>
#include <cstdint>

#include "common/ModuleState.h"
#include "formats/executables/TemplatePatch.h"
#include "module/SelectedPath.h"
#include "module/ShellExtension.h"
#include "module/TargetHasResources.h"
#include "page/dialog/PageDialogProc.h"

// The shorter description is the longer one cut before the activation context,
// with no padding of its own; the 32-bit sizes are those every older system's
// common controls know.
static_assert(offsetof(PROPSHEETPAGEA, hActCtx) == kPageDescriptionSize,
              "the description without the activation context");
static_assert(sizeof(PROPSHEETPAGEA) == kPageDescriptionSizeWithContext,
              "the description with the activation context");
static_assert(sizeof(void*) != 4 ||
                  (kPageDescriptionSize == 48 && kPageDescriptionSizeWithContext == 52),
              "the 32-bit description sizes");

namespace {

constexpr WORD kPageTemplateId = 101;
constexpr DWORD kBaseFlags = PSP_USETITLE | PSP_USEREFPARENT | PSP_USECALLBACK;

}  // namespace

HGLOBAL MakePatchedTemplate(HMODULE module) {
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(kPageTemplateId), RT_DIALOG);
    if (resource == nullptr)
        return nullptr;
    HGLOBAL loaded = LoadResource(module, resource);
    if (loaded == nullptr)
        return nullptr;
    const void* bytes = LockResource(loaded);
    DWORD size = SizeofResource(module, resource);
    if (bytes == nullptr || size == 0)
        return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, size);
    if (block == nullptr)
        return nullptr;
    if (!PatchTemplateTypeface(static_cast<const uint8_t*>(bytes), size,
                               static_cast<uint8_t*>(static_cast<void*>(block)), size)) {
        GlobalFree(block);
        return nullptr;
    }
    return block;
}

void FillPageDescription(ShellExtension* object, PROPSHEETPAGEA* description) {
    *description = PROPSHEETPAGEA();
    description->dwSize = kPageDescriptionSize;
    description->dwFlags = kBaseFlags;
    description->hInstance = theModule.moduleHandle;
    description->pszTemplate = MAKEINTRESOURCEA(kPageTemplateId);
    description->pfnDlgProc = PageDialogProc;
    description->lParam = PageParameterOf(object);
    description->pfnCallback = PageCallback;
    // The platform counts the page in the module object count while it exists.
    description->pcRefParent = reinterpret_cast<UINT*>(const_cast<LONG*>(&theModule.objectCount));

    if (theModule.themedPlatform && theModule.activationContext != INVALID_HANDLE_VALUE) {
        description->dwSize = kPageDescriptionSizeWithContext;
        description->dwFlags = kBaseFlags | PSP_USEFUSIONCONTEXT;
        description->hActCtx = theModule.activationContext;
    }

    if (theModule.legacyShellMode) {
        object->patchedTemplate = MakePatchedTemplate(theModule.moduleHandle);
        if (object->patchedTemplate != nullptr) {
            description->dwFlags = kBaseFlags | PSP_DLGINDIRECT;
            description->pResource =
                static_cast<PROPSHEETPAGE_RESOURCE>(static_cast<void*>(object->patchedTemplate));
        }
        description->pszTitle = "ﾘｿｰｽ";
    } else {
        description->pszTitle = "リソース";
    }
}

UINT CALLBACK PageCallback(HWND /*window*/, UINT message, PROPSHEETPAGEA* description) {
    switch (message) {
        case PSPCB_CREATE:
            // Read afresh for every page: the user may have changed them.
            ReadSystemPictureSizes();
            break;
        case PSPCB_RELEASE:
            if (description != nullptr && description->lParam != 0) {
                DropPageReference(ExtensionFromPageParameter(description->lParam));
            }
            break;
        default:
            break;
    }
    return 1;
}

// The object's side of the property-sheet protocol: its one page.
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
