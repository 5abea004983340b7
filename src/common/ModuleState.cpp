// The one instance of the module-wide values.
#include "common/ModuleState.h"

ModuleState theModule;
