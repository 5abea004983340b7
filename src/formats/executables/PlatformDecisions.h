// The decisions taken once at load from version numbers. Pure functions, so that
// every row of the version tables can be checked without a Windows to ask.
#pragma once

#include <cstdint>

// Windows 95 (4.0 on the Windows platform) and Windows NT 4.x: half-width labels
// and the replacement dialog typeface.
bool IsLegacyShellMode(uint32_t platformId, uint32_t major, uint32_t minor);

// Windows XP and later: activation context and visual styles.
bool IsThemedPlatform(uint32_t platformId, uint32_t major, uint32_t minor);

// NT-family systems: the lists ask for their rows' texts in UTF-16
// (WM_NOTIFYFORMAT answered NFR_UNICODE), so that a text shows its own letters
// whatever the ANSI code page; Windows 95, 98 and Me keep ANSI rows.
bool ServesWideRows(uint32_t platformId);

// Common controls 4.70 or later: the list view answers LVM_GETHEADER.
// getVersionResult is the HRESULT of DllGetVersion, as a signed 32-bit value.
bool HasModernCommonControls(int32_t getVersionResult, uint32_t major, uint32_t minor);
