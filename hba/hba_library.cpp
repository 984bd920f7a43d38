#include "hba/hba_library.h"

#include <cstring>

#include "portability/zur_shared_library.h"

namespace hba {

const char* const kHbaLibraryFileName = ATTRSCAN_HBA_LIBRARY_FILE;

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

// Replaces slot with the module's export of that name when there is one.
template <typename Fn>
void resolve(const zur::SharedLibrary& library, const char* name, Fn*& slot, int& missing) {
    if (void* p = library.symbol(name)) {
        // Object and function pointers share one representation on every platform we build.
        std::memcpy(&slot, &p, sizeof slot);
    } else {
        ++missing;
    }
}

}  // namespace

HbaLibrary::HbaLibrary(const char* fileName) : api_(kStandIns) {
    library_ = zur::SharedLibrary::open(fileName, error_);
    if (!library_) return;
    const zur::SharedLibrary& module = *library_;
    resolve(module, "HBA_GetVersion", api_.HBA_GetVersion, missing_);
    resolve(module, "HBA_LoadLibrary", api_.HBA_LoadLibrary, missing_);
    resolve(module, "HBA_FreeLibrary", api_.HBA_FreeLibrary, missing_);
    resolve(module, "HBA_GetNumberOfAdapters", api_.HBA_GetNumberOfAdapters, missing_);
    resolve(module, "HBA_GetAdapterName", api_.HBA_GetAdapterName, missing_);
    resolve(module, "HBA_OpenAdapter", api_.HBA_OpenAdapter, missing_);
    resolve(module, "HBA_CloseAdapter", api_.HBA_CloseAdapter, missing_);
    resolve(module, "HBA_RefreshInformation", api_.HBA_RefreshInformation, missing_);
    resolve(module, "HBA_GetAdapterAttributes", api_.HBA_GetAdapterAttributes, missing_);
    resolve(module, "HBA_GetAdapterPortAttributes", api_.HBA_GetAdapterPortAttributes, missing_);
    resolve(module, "HBA_GetDiscoveredPortAttributes", api_.HBA_GetDiscoveredPortAttributes, missing_);
    resolve(module, "HBA_SendReportLUNs", api_.HBA_SendReportLUNs, missing_);
    resolve(module, "HBA_SendScsiInquiry", api_.HBA_SendScsiInquiry, missing_);
    resolve(module, "HBA_SendRNID", api_.HBA_SendRNID, missing_);
    resolve(module, "HBA_SendCTPassThru", api_.HBA_SendCTPassThru, missing_);
}

HbaLibrary::~HbaLibrary() = default;

const HbaLibrary& processHbaLibrary() {
    // Deliberately never destroyed: adapters may still be open while static objects of
    // other files are torn down, and unloading a vendor library at exit gains nothing.
    static const HbaLibrary* library = new HbaLibrary();
    return *library;
}

}  // namespace hba
