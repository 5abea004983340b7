// GoogleTest's own customisation point, found before the one it ships.
//
// The Windows-side programs are built with the win32 thread model, like the
// DLL; its standard library has no std::mutex, which GoogleTest needs only
// for this one class (a gate for the threads of its own tests). A
// manual-reset event is the same gate.
#ifndef VANTREL_GTEST_CUSTOM_PORT_H
#define VANTREL_GTEST_CUSTOM_PORT_H

#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
public:
    Notification() : event(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(event); }
    void WaitForNotification() { WaitForSingleObject(event, INFINITE); }

private:
    HANDLE event;
};

}  // namespace internal
}  // namespace testing

#endif
