#include "support/ExtensionServer.h"

#include <vector>

#include "support/DropDataObject.h"
#include "support/TestPaths.h"

const CLSID kServedClassId = {
    0x65C61BDC, 0xAED2, 0x48D8, {0x8E, 0xEB, 0x65, 0xCB, 0x2F, 0x6E, 0xDE, 0x68}};

namespace {

template <typename Function>
Function Bind(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace

bool LoadExtensionServer(ExtensionServer* server) {
    *server = ExtensionServer();
    server->library = LoadLibraryA(LibraryPath().c_str());
    if (server->library == nullptr)
        return false;
    server->getClassObject = Bind<GetClassObjectFunction>(server->library, "DllGetClassObject");
    server->canUnloadNow = Bind<CanUnloadNowFunction>(server->library, "DllCanUnloadNow");
    return server->getClassObject != nullptr && server->canUnloadNow != nullptr;
}

void UnloadExtensionServer(ExtensionServer* server) {
    if (server->library != nullptr)
        FreeLibrary(server->library);
    *server = ExtensionServer();
}

IShellExtInit* CreateExtension(const ExtensionServer& server) {
    IClassFactory* factory = nullptr;
    if (server.getClassObject(kServedClassId, IID_IClassFactory,
                              reinterpret_cast<void**>(&factory)) != S_OK) {
        return nullptr;
    }
    IShellExtInit* extension = nullptr;
    factory->CreateInstance(nullptr, IID_IShellExtInit, reinterpret_cast<void**>(&extension));
    factory->Release();
    return extension;
}

namespace {

// Takes over the caller's reference on data.
IShellExtInit* InitialisedWith(const ExtensionServer& server, IDataObject* data) {
    IShellExtInit* extension = CreateExtension(server);
    if (extension == nullptr) {
        data->Release();
        return nullptr;
    }
    HRESULT result = extension->Initialize(nullptr, data, nullptr);
    data->Release();
    if (result != S_OK) {
        extension->Release();
        return nullptr;
    }
    return extension;
}

}  // namespace

IShellExtInit* InitialisedExtension(const ExtensionServer& server, const std::string& path,
                                    DropDataCounts* counts) {
    return InitialisedWith(server, NewDropDataObject(std::vector<std::string>{path}, true, counts));
}

IShellExtInit* InitialisedExtension(const ExtensionServer& server, const std::wstring& path,
                                    DropDataCounts* counts) {
    return InitialisedWith(server, NewWideDropDataObject(std::vector<std::wstring>{path}, counts));
}
