// Where the Windows-side tests find the built library and the generated files.
#pragma once

#include <string>

#include "common/TargetPath.h"

// A Unix path as Wine's drive Z: sees it.
std::string WindowsPath(const std::string& unixPath);

// VANTREL.DLL of this build, as a Windows path.
std::string LibraryPath();

// A file made by the host build's generators, as a Windows path.
std::string FixturePath(const std::string& name);

// A file of Wine's own installation, e.g. "shell32.dll" in the system folder.
std::string SystemFilePath(const std::string& name);

// A narrow path as the library's opens take it; it points into path, which must
// outlive it (a temporary lives to the end of the call it is made in).
inline TargetPath NarrowTarget(const std::string& path) {
    return TargetPath{path.c_str(), nullptr};
}
