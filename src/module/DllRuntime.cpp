// The little of a C and C++ runtime the DLL uses.
//
// The DLL links no runtime and no start-up code: the compiler's would add TLS
// callbacks, a thread library and functions that only newer systems export,
// and the C runtime DLL is not part of every system the page supports. The
// code is compiled without exceptions and RTTI, so what it reaches is the
// allocation of its two COM objects (on the process heap), the abstract base
// classes' slot for a pure call, and the memory and string functions the
// compiler itself emits calls to. This file is compiled so that the compiler
// does not turn these loops back into calls to themselves.
#include <windows.h>

#include <cstddef>
#include <new>

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return HeapAlloc(GetProcessHeap(), 0, size != 0 ? size : 1);
}

void operator delete(void* block) noexcept {
    if (block != nullptr)
        HeapFree(GetProcessHeap(), 0, block);
}

void operator delete(void* block, std::size_t) noexcept {
    operator delete(block);
}

// A call through an abstract slot cannot happen in working code; ending the
// process here is what the compiler's runtime would do, without its message.
extern "C" void __cxa_pure_virtual() {
    RaiseException(static_cast<DWORD>(STATUS_NONCONTINUABLE_EXCEPTION), EXCEPTION_NONCONTINUABLE, 0,
                   nullptr);
}

extern "C" {

void* memcpy(void* destination, const void* source, size_t count) {
    unsigned char* to = static_cast<unsigned char*>(destination);
    const unsigned char* from = static_cast<const unsigned char*>(source);
    for (size_t i = 0; i < count; ++i)
        to[i] = from[i];
    return destination;
}

void* memmove(void* destination, const void* source, size_t count) {
    unsigned char* to = static_cast<unsigned char*>(destination);
    const unsigned char* from = static_cast<const unsigned char*>(source);
    if (to < from) {
        for (size_t i = 0; i < count; ++i)
            to[i] = from[i];
    } else {
        for (size_t i = count; i > 0; --i)
            to[i - 1] = from[i - 1];
    }
    return destination;
}

void* memset(void* destination, int value, size_t count) {
    unsigned char* to = static_cast<unsigned char*>(destination);
    for (size_t i = 0; i < count; ++i)
        to[i] = static_cast<unsigned char>(value);
    return destination;
}

void* memchr(const void* block, int value, size_t count) {
    const unsigned char* bytes = static_cast<const unsigned char*>(block);
    for (size_t i = 0; i < count; ++i) {
        if (bytes[i] == static_cast<unsigned char>(value))
            return const_cast<unsigned char*>(bytes + i);
    }
    return nullptr;
}

int strcmp(const char* first, const char* second) {
    const unsigned char* a = reinterpret_cast<const unsigned char*>(first);
    const unsigned char* b = reinterpret_cast<const unsigned char*>(second);
    while (*a != 0 && *a == *b) {
        ++a;
        ++b;
    }
    return *a - *b;
}

size_t strlen(const char* text) {
    size_t length = 0;
    while (text[length] != '\0')
        ++length;
    return length;
}

}  // extern "C"
