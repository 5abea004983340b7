// The property-sheet extension object: one per Properties sheet. It keeps the
// selection, the selected file's name, the patched page template and, as its
// tail, the page's state.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include "common/TargetPath.h"
#include "page/state/PageState.h"

// The class the installer registers as the property-sheet handler.
inline const CLSID kExtensionClassId = {
    0x65C61BDC, 0xAED2, 0x48D8, {0x8E, 0xEB, 0x65, 0xCB, 0x2F, 0x6E, 0xDE, 0x68}};

class ShellExtension final : public IShellExtInit, public IShellPropSheetExt {
public:
    // Counts itself in the module object count.
    ShellExtension();

    // One identity and one count for both interfaces: each operation below
    // overrides the slot of both tables.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data,
                                         HKEY programKey) override;
    HRESULT STDMETHODCALLTYPE AddPages(LPFNSVADDPROPSHEETPAGE addPage, LPARAM addData) override;
    HRESULT STDMETHODCALLTYPE ReplacePage(EXPPS pageId, LPFNSVADDPROPSHEETPAGE replaceWith,
                                          LPARAM replaceData) override;

    volatile LONG referenceCount;
    STGMEDIUM medium;
    void* fileName;           // process heap; owned by the page once one exists
    TargetPath target;        // points into fileName
    HGLOBAL patchedTemplate;  // legacy shell mode only; owned by the page
    // 1 while the page holds its reference on this object. Whoever clears it
    // drops that reference, so it is dropped once however the page ends.
    volatile LONG pageHoldsReference;
    PageState pageState;

private:
    ~ShellExtension();
};

// The page's parameter (lParam of its description) and back: the object's
// IShellExtInit address.
LPARAM PageParameterOf(ShellExtension* object);
ShellExtension* ExtensionFromPageParameter(LPARAM parameter);

// Frees the selected file's name; nothing opens the target afterwards.
void ForgetTarget(ShellExtension* object);

// Ends the page's hold on the object: frees the file name and the patched
// template and drops the page's reference. Does nothing when the hold has
// already ended.
void DropPageReference(ShellExtension* object);
