// A screen reader's side of the page's accessible objects: asking a control
// for its object, holding it, naming a child and reading BSTR answers as the
// page's code page spells them. Inline, so that only the programs that use it
// link the accessibility libraries.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <oleacc.h>

#include <string>

#include "support/ResourcePage.h"

// The object a screen reader gets for control, or null.
inline IAccessible* AskFor(HWND control) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                          IID_IAccessible, reinterpret_cast<void**>(&object))))
        return nullptr;
    return object;
}

struct Held {
    IAccessible* object;
    ~Held() {
        if (object != nullptr)
            object->Release();
    }
};

inline VARIANT Child(LONG id) {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

// A BSTR as the page's code page spells it; freed.
inline std::string Narrow(BSTR text) {
    if (text == nullptr)
        return "";
    char narrow[1024] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof(narrow), nullptr, nullptr);
    SysFreeString(text);
    return narrow;
}

inline std::string NameOf(IAccessible* object, LONG child) {
    BSTR name = nullptr;
    object->get_accName(Child(child), &name);
    return Narrow(name);
}

// Handles this thread's messages until done says so or about ten seconds passed.
template <typename Done>
bool PumpUntil(Done done) {
    for (int i = 0; i < 500 && !done(); ++i) {
        PumpThreadMessages();
        Sleep(20);
    }
    return done();
}

// A page opened in a test whose thread is in an apartment, as the shell's
// sheet threads are: the objects' hand-over needs one.
class AccessiblePageTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override {
        if (open.server.library != nullptr)
            CloseResourcePage(&open);
        CoUninitialize();
    }
    ResourcePage open = {};
};
