// Small owners for handles that must be released on every path: each frees
// what it holds when it goes out of scope.
#pragma once

#include <windows.h>

// A window's device context from GetDC.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_ != nullptr)
            ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// A memory device context from CreateCompatibleDC.
class MemoryDC {
public:
    explicit MemoryDC(HDC like) : dc_(CreateCompatibleDC(like)) {}
    ~MemoryDC() {
        if (dc_ != nullptr)
            DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// An object selected into a context; the previous one goes back at the end.
// Declare it after the owner of the object, so that it is deselected first.
class DCSelection {
public:
    DCSelection(HDC dc, HGDIOBJ object)
        : dc_(dc),
          previous_(dc != nullptr && object != nullptr ? SelectObject(dc, object) : nullptr) {}
    ~DCSelection() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR)
            SelectObject(dc_, previous_);
    }
    DCSelection(const DCSelection&) = delete;
    DCSelection& operator=(const DCSelection&) = delete;
    bool selected() const { return previous_ != nullptr && previous_ != HGDI_ERROR; }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A GDI object (bitmap, pen, brush) deleted at the end unless released.
class GdiObject {
public:
    explicit GdiObject(HGDIOBJ object = nullptr) : object_(object) {}
    ~GdiObject() {
        if (object_ != nullptr)
            DeleteObject(object_);
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    HGDIOBJ get() const { return object_; }
    // Hands the object to a new owner.
    HGDIOBJ release() {
        HGDIOBJ object = object_;
        object_ = nullptr;
        return object;
    }

private:
    HGDIOBJ object_;
};

// An icon or cursor destroyed at the end.
class IconHandle {
public:
    explicit IconHandle(HICON icon) : icon_(icon) {}
    ~IconHandle() {
        if (icon_ != nullptr)
            DestroyIcon(icon_);
    }
    IconHandle(const IconHandle&) = delete;
    IconHandle& operator=(const IconHandle&) = delete;
    HICON get() const { return icon_; }

private:
    HICON icon_;
};

// A file handle, closed at the end unless closed before.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE get() const { return handle_; }
    // Closes now; false when the close failed (the last bytes may be lost).
    bool Close() {
        HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle == INVALID_HANDLE_VALUE || CloseHandle(handle) != FALSE;
    }

private:
    HANDLE handle_;
};

// A global block locked for the scope.
class GlobalLockScope {
public:
    explicit GlobalLockScope(HGLOBAL block)
        : block_(block), data_(block != nullptr ? GlobalLock(block) : nullptr) {}
    ~GlobalLockScope() {
        if (data_ != nullptr)
            GlobalUnlock(block_);
    }
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;
    void* get() const { return data_; }
    SIZE_T size() const { return data_ != nullptr ? GlobalSize(block_) : 0; }

private:
    HGLOBAL block_;
    void* data_;
};
