// Where the Windows-side tests find the built library and the generated files.
#pragma once

#include <string>

// A Unix path as Wine's drive Z: sees it.
std::string WindowsPath(const std::string& unixPath);

// VANTREL.DLL of this build, as a Windows path.
std::string LibraryPath();

// A file made by the host build's generators, as a Windows path.
std::string FixturePath(const std::string& name);

// A file of Wine's own installation, e.g. "shell32.dll" in the system folder.
std::string SystemFilePath(const std::string& name);
