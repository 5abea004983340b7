#include "page/access/PageThreadCall.h"

#include <cstdint>

namespace {

struct CarriedCall {
    PageThreadWork work;
    void* context;
    HRESULT result;
};

// The calls under way, one per waiting caller. A slot holds the caller's
// record while it waits, marked while the page's thread runs it and once it
// has run, so that a message from elsewhere or one that arrives after its
// caller gave up never touches a record, and a caller never leaves while its
// record is being written.
const int kCallSlots = 16;
void* volatile callSlots[kCallSlots];
const uintptr_t kRunning = 1;
const uintptr_t kDone = 2;

// How long a caller waits for a page's thread that handles no messages.
const UINT kCallTimeoutMs = 10000;

volatile LONG callMessage = 0;  // registered at the first carried call

UINT CallMessage() {
    LONG message = InterlockedCompareExchange(&callMessage, 0, 0);
    if (message == 0) {
        message = static_cast<LONG>(RegisterWindowMessageA("Kelvard_Drosvelin_Vantrel_Call"));
        InterlockedExchange(&callMessage, message);
    }
    return static_cast<UINT>(message);
}

void* Marked(CarriedCall* call, uintptr_t mark) {
    return reinterpret_cast<void*>(reinterpret_cast<uintptr_t>(call) | mark);
}

}  // namespace

HRESULT RunOnPageThread(HWND control, PageThreadWork work, void* context) {
    const DWORD thread = GetWindowThreadProcessId(control, nullptr);
    if (thread == 0)
        return RPC_E_DISCONNECTED;
    if (thread == GetCurrentThreadId())
        return work(context);
    const UINT message = CallMessage();
    if (message == 0)
        return E_FAIL;
    CarriedCall call = {work, context, RPC_E_DISCONNECTED};
    int slot = -1;
    for (int i = 0; i < kCallSlots && slot < 0; ++i) {
        if (InterlockedCompareExchangePointer(&callSlots[i], &call, nullptr) == nullptr)
            slot = i;
    }
    if (slot < 0)
        return E_FAIL;
    DWORD_PTR answered = 0;
    const bool delivered = SendMessageTimeoutA(control, message, static_cast<WPARAM>(slot),
                                               reinterpret_cast<LPARAM>(&call), SMTO_ABORTIFHUNG,
                                               kCallTimeoutMs, &answered) != 0;
    for (;;) {
        void* now = InterlockedCompareExchangePointer(&callSlots[slot], nullptr, &call);
        if (now == &call) {
            // Never run: the control is gone or no longer hooked, or the
            // thread did not take the call in time.
            return delivered || !IsWindow(control) ? RPC_E_DISCONNECTED : E_FAIL;
        }
        if (now == Marked(&call, kDone)) {
            InterlockedExchangePointer(&callSlots[slot], nullptr);
            return call.result;
        }
        // Taken just as the wait ended: it writes into this frame.
        Sleep(1);
    }
}

bool RunCarriedCall(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const LONG expected = InterlockedCompareExchange(&callMessage, 0, 0);
    if (expected == 0 || message != static_cast<UINT>(expected))
        return false;
    *result = 0;
    CarriedCall* call = reinterpret_cast<CarriedCall*>(lParam);
    if (wParam >= static_cast<WPARAM>(kCallSlots) || call == nullptr ||
        InterlockedCompareExchangePointer(&callSlots[wParam], Marked(call, kRunning), call) !=
            call) {
        return true;
    }
    call->result = call->work(call->context);
    InterlockedExchangePointer(&callSlots[wParam], Marked(call, kDone));
    *result = 1;
    return true;
}
