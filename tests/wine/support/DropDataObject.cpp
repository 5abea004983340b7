#include "support/DropDataObject.h"

#include <shlobj.h>

#include <cstring>
#include <new>

namespace {

// Stands as a medium's pUnkForRelease: ReleaseStgMedium then calls Release
// instead of freeing the block itself, so the release can be counted.
class MediumOwner final : public IUnknown {
public:
    MediumOwner(HGLOBAL block, DropDataCounts* counts) : block_(block), counts_(counts) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown))
            return E_NOINTERFACE;
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG count = InterlockedDecrement(&references_);
        if (count == 0) {
            GlobalFree(block_);
            InterlockedIncrement(&counts_->mediumsReleased);
            delete this;
        }
        return count;
    }

private:
    LONG references_ = 1;
    HGLOBAL block_;
    DropDataCounts* counts_;
};

class DropDataObject final : public IDataObject {
public:
    DropDataObject(const std::vector<std::string>& paths,
                   const std::vector<std::wstring>& widePaths, bool serveDrop,
                   DropDataCounts* counts)
        : paths_(paths), widePaths_(widePaths), serveDrop_(serveDrop), counts_(counts) {
        counts_->references = 1;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDataObject)) {
            return E_NOINTERFACE;
        }
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&counts_->references); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG count = InterlockedDecrement(&counts_->references);
        if (count == 0)
            delete this;
        return count;
    }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        InterlockedIncrement(&counts_->getDataCalls);
        if (!serveDrop_ || format->cfFormat != CF_HDROP || !(format->tymed & TYMED_HGLOBAL)) {
            return DV_E_FORMATETC;
        }
        HGLOBAL block =
            widePaths_.empty() ? BuildDropFiles(paths_) : BuildWideDropFiles(widePaths_);
        if (block == nullptr)
            return E_OUTOFMEMORY;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = block;
        medium->pUnkForRelease = new MediumOwner(block, counts_);
        InterlockedIncrement(&counts_->mediumsHandedOut);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return serveDrop_ && format->cfFormat == CF_HDROP ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC** out) override {
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** out) override {
        *out = nullptr;
        return OLE_E_ADVISENOTSUPPORTED;
    }

private:
    std::vector<std::string> paths_;
    std::vector<std::wstring> widePaths_;  // served instead when not empty
    bool serveDrop_;
    DropDataCounts* counts_;
};

}  // namespace

HGLOBAL BuildDropFiles(const std::vector<std::string>& paths) {
    size_t textBytes = 1;  // the list's closing NUL
    for (const std::string& path : paths)
        textBytes += path.size() + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + textBytes);
    if (block == nullptr)
        return nullptr;
    auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    char* text = reinterpret_cast<char*>(drop) + sizeof(DROPFILES);
    for (const std::string& path : paths) {
        std::memcpy(text, path.c_str(), path.size() + 1);
        text += path.size() + 1;
    }
    GlobalUnlock(block);
    return block;
}

HGLOBAL BuildWideDropFiles(const std::vector<std::wstring>& paths) {
    size_t textChars = 1;
    for (const std::wstring& path : paths)
        textChars += path.size() + 1;
    HGLOBAL block =
        GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + textChars * sizeof(wchar_t));
    if (block == nullptr)
        return nullptr;
    auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    wchar_t* text = reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(drop) + sizeof(DROPFILES));
    for (const std::wstring& path : paths) {
        std::memcpy(text, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
        text += path.size() + 1;
    }
    GlobalUnlock(block);
    return block;
}

IDataObject* NewDropDataObject(const std::vector<std::string>& paths, bool serveDrop,
                               DropDataCounts* counts) {
    *counts = DropDataCounts();
    return new DropDataObject(paths, {}, serveDrop, counts);
}

IDataObject* NewWideDropDataObject(const std::vector<std::wstring>& paths, DropDataCounts* counts) {
    *counts = DropDataCounts();
    return new DropDataObject({}, paths, true, counts);
}
