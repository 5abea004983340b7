// The one instance of the module-wide values.
#include "common/ModuleState.h"

ModuleState theModule;

void ReadSystemPictureSizes() {
    theModule.iconWidth = GetSystemMetrics(SM_CXICON);
    theModule.iconHeight = GetSystemMetrics(SM_CYICON);
    theModule.cursorWidth = GetSystemMetrics(SM_CXCURSOR);
    theModule.cursorHeight = GetSystemMetrics(SM_CYCURSOR);
}
