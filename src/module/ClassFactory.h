// The class object that makes ShellExtension objects; a fresh one per request.
#pragma once

#include <windows.h>
#include <unknwn.h>

class ClassFactory final : public IClassFactory {
public:
    // Counts itself in the module object count.
    ClassFactory();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

    volatile LONG referenceCount;

private:
    ~ClassFactory();
};
