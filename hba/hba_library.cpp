#include "hba/hba_library.h"

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace hba {

namespace {

// Stand-ins for calls that no library provides: they say "nothing there" in the way each
// caller expects, and touch no buffer.
HBA_UINT32 noVersion() { return 0; }
HBA_STATUS noLibrary() { return HBA_STATUS_ERROR_NOT_SUPPORTED; }
HBA_UINT32 noAdapters() { return 0; }
HBA_STATUS noAdapterName(HBA_UINT32, char*) { return HBA_STATUS_ERROR_ILLEGAL_INDEX; }
HBA_HANDLE noOpen(char*) { return HBA_HANDLE_INVALID; }
void noHandleCall(HBA_HANDLE) {}
HBA_STATUS noAdapterAttributes(HBA_HANDLE, HBA_ADAPTERATTRIBUTES*) { return HBA_STATUS_ERROR_NOT_SUPPORTED; }
HBA_STATUS noPortAttributes(HBA_HANDLE, HBA_UINT32, HBA_PORTATTRIBUTES*) { return HBA_STATUS_ERROR_NOT_SUPPORTED; }
HBA_STATUS noDiscoveredPortAttributes(HBA_HANDLE, HBA_UINT32, HBA_UINT32, HBA_PORTATTRIBUTES*) {
    return HBA_STATUS_ERROR_NOT_SUPPORTED;
}
HBA_STATUS noReportLuns(HBA_HANDLE, HBA_WWN, void*, HBA_UINT32, void*, HBA_UINT32) {
    return HBA_STATUS_ERROR_NOT_SUPPORTED;
}
HBA_STATUS noInquiry(HBA_HANDLE, HBA_WWN, HBA_UINT64, HBA_UINT8, HBA_UINT32, void*, HBA_UINT32, void*, HBA_UINT32) {
    return HBA_STATUS_ERROR_NOT_SUPPORTED;
}
HBA_STATUS noRnid(HBA_HANDLE, HBA_WWN, HBA_WWNTYPE, void*, HBA_UINT32*) { return HBA_STATUS_ERROR_NOT_SUPPORTED; }
HBA_STATUS noCtPassThru(HBA_HANDLE, void*, HBA_UINT32, void*, HBA_UINT32) { return HBA_STATUS_ERROR_NOT_SUPPORTED; }

constexpr HbaApi kStandIns = {
    noVersion,       noLibrary,           noLibrary,        noAdapters,
    noAdapterName,   noOpen,              noHandleCall,     noHandleCall,
    noAdapterAttributes, noPortAttributes, noDiscoveredPortAttributes,
    noReportLuns,    noInquiry,           noRnid,           noCtPassThru,
};

void* openModule(const char* fileName, std::string& error) {
#ifdef _WIN32
    HMODULE m = ::LoadLibraryA(fileName);
    if (!m) error = std::string(fileName) + ": cannot be loaded (error " + std::to_string(::GetLastError()) + ")";
    return reinterpret_cast<void*>(m);
#else
    void* m = ::dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
    if (!m) {
        const char* why = ::dlerror();
        error = why ? why : std::string(fileName) + ": cannot be loaded";
    }
    return m;
#endif
}

void closeModule(void* module) {
#ifdef _WIN32
    ::FreeLibrary(reinterpret_cast<HMODULE>(module));
#else
    ::dlclose(module);
#endif
}

void* findSymbol(void* module, const char* name) {
#ifdef _WIN32
    return reinterpret_cast<void*>(::GetProcAddress(reinterpret_cast<HMODULE>(module), name));
#else
    return ::dlsym(module, name);
#endif
}

// Replaces slot with the module's export of that name when there is one.
template <typename Fn>
void resolve(void* module, const char* name, Fn*& slot, int& missing) {
    if (void* p = findSymbol(module, name)) {
        // Object and function pointers share one representation on every platform we build.
        std::memcpy(&slot, &p, sizeof slot);
    } else {
        ++missing;
    }
}

}  // namespace

HbaLibrary::HbaLibrary(const char* fileName) : api_(kStandIns) {
    module_ = openModule(fileName, error_);
    if (!module_) return;
    resolve(module_, "HBA_GetVersion", api_.HBA_GetVersion, missing_);
    resolve(module_, "HBA_LoadLibrary", api_.HBA_LoadLibrary, missing_);
    resolve(module_, "HBA_FreeLibrary", api_.HBA_FreeLibrary, missing_);
    resolve(module_, "HBA_GetNumberOfAdapters", api_.HBA_GetNumberOfAdapters, missing_);
    resolve(module_, "HBA_GetAdapterName", api_.HBA_GetAdapterName, missing_);
    resolve(module_, "HBA_OpenAdapter", api_.HBA_OpenAdapter, missing_);
    resolve(module_, "HBA_CloseAdapter", api_.HBA_CloseAdapter, missing_);
    resolve(module_, "HBA_RefreshInformation", api_.HBA_RefreshInformation, missing_);
    resolve(module_, "HBA_GetAdapterAttributes", api_.HBA_GetAdapterAttributes, missing_);
    resolve(module_, "HBA_GetAdapterPortAttributes", api_.HBA_GetAdapterPortAttributes, missing_);
    resolve(module_, "HBA_GetDiscoveredPortAttributes", api_.HBA_GetDiscoveredPortAttributes, missing_);
    resolve(module_, "HBA_SendReportLUNs", api_.HBA_SendReportLUNs, missing_);
    resolve(module_, "HBA_SendScsiInquiry", api_.HBA_SendScsiInquiry, missing_);
    resolve(module_, "HBA_SendRNID", api_.HBA_SendRNID, missing_);
    resolve(module_, "HBA_SendCTPassThru", api_.HBA_SendCTPassThru, missing_);
}

HbaLibrary::~HbaLibrary() {
    if (module_) closeModule(module_);
}

const HbaLibrary& processHbaLibrary() {
    // Deliberately never destroyed: adapters may still be open while static objects of
    // other files are torn down, and unloading a vendor library at exit gains nothing.
    static const HbaLibrary* library = new HbaLibrary();
    return *library;
}

}  // namespace hba
