// The target opened for reading its resources: a data-only module for a PE
// image, else the read-only NE mapping. Each user opens its own for one
// operation (or for the life of a playing clip) and closes it again.
#pragma once

#include <windows.h>

#include <cstdint>

#include "common/TargetPath.h"
#include "formats/executables/NeResources.h"

struct ResourceSource {
    HMODULE module;       // data-only module, or null
    int32_t isNeImage;    // non-zero when image is mapped
    MappedNeImage image;  // valid only when isNeImage
    uint32_t language;    // as TargetPath's: 0, or the one language read
};

// The target as a data file (LoadTargetAsData), else MapNeImage. False when
// neither opens the file; then nothing is open and the caller lists nothing.
bool OpenResourceSource(const TargetPath& path, ResourceSource* source);

// FreeLibrary or UnmapNeImage; every address obtained through the source
// becomes invalid. Harmless on a source that holds nothing.
void CloseResourceSource(ResourceSource* source);

// The target opened for one operation and closed when the owner goes, unless
// the source was handed on (a playing clip keeps it until its end).
class OpenedTarget {
public:
    explicit OpenedTarget(const TargetPath& path) : opened_(OpenResourceSource(path, &source_)) {}
    ~OpenedTarget() {
        if (opened_)
            CloseResourceSource(&source_);
    }
    OpenedTarget(const OpenedTarget&) = delete;
    OpenedTarget& operator=(const OpenedTarget&) = delete;
    // False when neither way opened the file: the operation finds nothing.
    bool opened() const { return opened_; }
    const ResourceSource& source() const { return source_; }
    // Reads in another language from now on (0: as the platform picks).
    void chooseLanguage(uint32_t language) { source_.language = language; }
    ResourceSource release() {
        opened_ = false;
        return source_;
    }

private:
    ResourceSource source_;
    bool opened_;
};

// The bytes of one resource, by type and name, through either kind of source,
// in the source's language when it has one (else as the platform picks).
// False when it is absent (the outputs are then untouched).
bool FindResourceBytes(const ResourceSource& source, ResName type, ResName name,
                       const uint8_t** data, uint32_t* size);

// The same in one language, language as TargetPath's (0: the platform's
// pick), whatever the source's.
bool FindResourceBytesIn(const ResourceSource& source, ResName type, ResName name,
                         uint32_t language, const uint8_t** data, uint32_t* size);

// True when length bytes from data can be read: the test a list builder makes
// over the length it is about to read before it reads it.
bool ResourceBytesReadable(const void* data, size_t length);
