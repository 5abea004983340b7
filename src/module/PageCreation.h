// The page's creation and release: the object's AddPages and ReplacePage, the
// page's description for the common controls, the legacy-mode template patch
// and the page callback.
#pragma once

#include <windows.h>
#include <commctrl.h>

class ShellExtension;

// Page description sizes: without and with the activation context, as the
// header's record versions give them for this build (48 and 52 bytes in the
// 32-bit build, 88 and 96 in the 64-bit one). The common controls tell the
// versions apart by these sizes alone.
constexpr DWORD kPageDescriptionSize = sizeof(PROPSHEETPAGEA_V2);
constexpr DWORD kPageDescriptionSizeWithContext = sizeof(PROPSHEETPAGEA_V3);

// Fills the description of object's page; in legacy shell mode also makes the
// patched template and stores it in the object.
void FillPageDescription(ShellExtension* object, PROPSHEETPAGEA* description);

// A GMEM_FIXED copy of module's dialog 101 with the legacy typeface, or null
// when the resource is missing, of another shape, or memory runs out.
HGLOBAL MakePatchedTemplate(HMODULE module);

// PSPCB_CREATE reads the system picture sizes; PSPCB_RELEASE ends the page's
// hold on its object. Returns 1 for every message.
UINT CALLBACK PageCallback(HWND window, UINT message, PROPSHEETPAGEA* description);
