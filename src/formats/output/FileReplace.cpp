#include "formats/output/FileReplace.h"

uint32_t ReplaceStepByStep(const ReplaceSteps& steps) {
    const uint32_t aside = steps.setChosenAside(steps.files);
    if (aside != 0 && aside != kNothingToSetAside)
        return aside;
    const uint32_t moved = steps.moveTemporaryIn(steps.files);
    if (moved != 0) {
        if (aside == 0)
            steps.putChosenBack(steps.files);
        return moved;
    }
    if (aside == 0)
        steps.deleteSetAside(steps.files);
    return 0;
}
