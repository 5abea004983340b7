// Files a Windows-side test writes for itself in the temporary folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes bytes to a new file in the temporary folder and gives its path.
std::string WriteTempFile(const std::vector<uint8_t>& bytes);

// The whole file, or an empty vector when it cannot be read.
std::vector<uint8_t> ReadWholeFile(const std::string& path);

// True when the file can be opened with no sharing at all: nobody else holds it.
bool OpenableExclusively(const std::string& path);

// Writes bytes over the file at path and gives it back its write time: a copy
// that keeps size and time where the sizes are the same.
void OverwriteKeepingWriteTime(const std::string& path, const std::vector<uint8_t>& bytes);
