// The replacement without a replacing move, over a folder held in memory: at
// every failing step the user keeps the old file or gets the new one, never
// neither, and the failure's own code is what is reported.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "formats/output/FileReplace.h"

namespace {

// Names to contents; failAt names the one step that fails (with code 5).
// Every step is logged, and a step asked to move a file that is not there is a
// fault of the caller, never a quiet failure.
struct Folder {
    std::map<std::string, std::string> files;
    std::string failAt;
    std::string steps;
};

void Log(Folder* folder, const char* step, const std::string& needed) {
    folder->steps += (folder->steps.empty() ? "" : " ") + std::string(step);
    EXPECT_EQ(1u, folder->files.count(needed)) << step << " without " << needed;
}

uint32_t Move(Folder* folder, const char* step, const std::string& from, const std::string& to) {
    Log(folder, step, from);
    if (folder->failAt == step || folder->files.count(from) == 0 || folder->files.count(to) != 0)
        return 5;
    folder->files[to] = folder->files[from];
    folder->files.erase(from);
    return 0;
}

uint32_t SetAside(void* context) {
    Folder* folder = static_cast<Folder*>(context);
    if (folder->files.count("chosen") == 0)
        return kNothingToSetAside;
    return Move(folder, "aside", "chosen", "spare");
}

uint32_t MoveIn(void* context) {
    return Move(static_cast<Folder*>(context), "in", "temporary", "chosen");
}

uint32_t PutBack(void* context) {
    return Move(static_cast<Folder*>(context), "back", "spare", "chosen");
}

uint32_t DeleteSpare(void* context) {
    Folder* folder = static_cast<Folder*>(context);
    Log(folder, "delete", "spare");
    if (folder->failAt == "delete")
        return 5;
    folder->files.erase("spare");
    return 0;
}

TEST(FileReplace, TheOldFileStaysUntilTheNewOneHasItsName) {
    struct Case {
        bool oldFile;
        const char* failAt;
        uint32_t result;
        std::string chosen;  // what the chosen name holds afterwards
        bool spareLeft;
        const char* steps;
    };
    const Case cases[] = {
        {true, "", 0, "new", false, "aside in delete"},
        {false, "", 0, "new", false, "in"},
        {true, "aside", 5, "old", false, "aside"},
        {true, "in", 5, "old", false, "aside in back"},
        {false, "in", 5, "", false, "in"},
        {true, "delete", 0, "new", true, "aside in delete"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.failAt) + (c.oldFile ? " over an old file" : ""));
        Folder folder = {{{"temporary", "new"}}, c.failAt, ""};
        if (c.oldFile)
            folder.files["chosen"] = "old";
        const ReplaceSteps steps = {&folder, SetAside, MoveIn, PutBack, DeleteSpare};
        EXPECT_EQ(c.result, ReplaceStepByStep(steps));
        EXPECT_EQ(c.chosen, folder.files.count("chosen") != 0 ? folder.files["chosen"] : "");
        EXPECT_EQ(c.spareLeft, folder.files.count("spare") != 0);
        EXPECT_EQ(c.steps, folder.steps);
        // The caller removes the temporary file after a failure; it is never lost
        // before that.
        EXPECT_EQ(c.result != 0, folder.files.count("temporary") != 0);
    }
}

}  // namespace
