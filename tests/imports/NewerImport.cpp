// Stands for a change that calls a function of a newer system (Vista): the
// import check must refuse the DLL it makes.
#include <windows.h>

extern "C" __declspec(dllexport) ULONGLONG NewerImport() {
    return GetTickCount64();
}
