// Putting a new file in place of an old one where the system's move cannot
// replace (Windows 95, 98 and Me): the old file is moved aside first and
// deleted only once the new one has its name, so that a failure at any step
// leaves the user one of the two. The file operations are the caller's; each
// answers 0 or the code of its failure.
#pragma once

#include <cstdint>

// What setChosenAside answers when there is no old file to keep.
const uint32_t kNothingToSetAside = 0xFFFFFFFF;

struct ReplaceSteps {
    void* files;
    // The chosen file to a spare name beside it.
    uint32_t (*setChosenAside)(void* files);
    // The complete temporary file to the chosen name.
    uint32_t (*moveTemporaryIn)(void* files);
    // The spare back to the chosen name, after a failed move.
    uint32_t (*putChosenBack)(void* files);
    // The spare goes, once the new file is in place.
    uint32_t (*deleteSetAside)(void* files);
};

// 0 when the temporary file has the chosen name; otherwise the code of the
// step that failed, with the old file (if any) under the chosen name again.
// A spare that cannot be deleted stays: the save itself has succeeded.
uint32_t ReplaceStepByStep(const ReplaceSteps& steps);
