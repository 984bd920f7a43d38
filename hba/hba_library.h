// The HBA library seam: the SNIA Common HBA API library is opened at run time by the
// platform's normal search ("hbaapi.dll" on Windows: beside the program, then the system
// folders and PATH; "libHBAAPI.so.2" elsewhere: LD_LIBRARY_PATH, the cache, the default
// folders), and each call the scanner makes is reached through a table of pointers.
//
// Contracts:
// - Every pointer of HbaApi is always callable. A library that cannot be opened, or that
//   lacks a call, leaves a stand-in in its place:
//     GetVersion 0, LoadLibrary and FreeLibrary HBA_STATUS_ERROR_NOT_SUPPORTED,
//     GetNumberOfAdapters 0, GetAdapterName HBA_STATUS_ERROR_ILLEGAL_INDEX (name untouched),
//     OpenAdapter HBA_HANDLE_INVALID, CloseAdapter and RefreshInformation nothing,
//     every other call HBA_STATUS_ERROR_NOT_SUPPORTED without touching its buffers.
//   So no library means no adapters and an ordinary, empty scan.
// - Nothing here throws, prints or traces; why a load failed is kept in loadError() for
//   the caller to trace if it wishes.
// - The library stays loaded as long as its HbaLibrary object lives; the process-wide one
//   (hbaApi()) lives until the process ends. HBA_LoadLibrary and HBA_FreeLibrary are the
//   API's own calls and are the caller's to make; they do not load or unload the module.
#pragma once

#include <memory>
#include <string>

#include "hba/hbaapi_types.h"

namespace zur {
class SharedLibrary;
}

namespace hba {

// File name of the library, searched for by the platform's loader. The build names it:
// "hbaapi.dll" on Windows, "libHBAAPI.so.2" elsewhere.
extern const char* const kHbaLibraryFileName;

// The calls the scanner makes, named as the API exports them.
struct HbaApi {
    HBA_GetVersionFn* HBA_GetVersion;
    HBA_LoadLibraryFn* HBA_LoadLibrary;
    HBA_FreeLibraryFn* HBA_FreeLibrary;
    HBA_GetNumberOfAdaptersFn* HBA_GetNumberOfAdapters;
    HBA_GetAdapterNameFn* HBA_GetAdapterName;
    HBA_OpenAdapterFn* HBA_OpenAdapter;
    HBA_CloseAdapterFn* HBA_CloseAdapter;
    HBA_RefreshInformationFn* HBA_RefreshInformation;
    HBA_GetAdapterAttributesFn* HBA_GetAdapterAttributes;
    HBA_GetAdapterPortAttributesFn* HBA_GetAdapterPortAttributes;
    HBA_GetDiscoveredPortAttributesFn* HBA_GetDiscoveredPortAttributes;
    HBA_SendReportLUNsFn* HBA_SendReportLUNs;
    HBA_SendScsiInquiryFn* HBA_SendScsiInquiry;
    HBA_SendRNIDFn* HBA_SendRNID;
    HBA_SendCTPassThruFn* HBA_SendCTPassThru;
};

// One loaded HBA library. Not copyable; unloads the module when destroyed, so the table
// must not be used after that.
class HbaLibrary {
public:
    // Opens fileName (by default kHbaLibraryFileName) and resolves every call. Never fails:
    // see the stand-ins above.
    explicit HbaLibrary(const char* fileName = kHbaLibraryFileName);
    ~HbaLibrary();
    HbaLibrary(const HbaLibrary&) = delete;
    HbaLibrary& operator=(const HbaLibrary&) = delete;

    // True when the module was opened (some calls may still be stand-ins).
    bool loaded() const { return library_ != nullptr; }
    // Number of calls the module lacked (0 when all were found or nothing was loaded).
    int missingCalls() const { return missing_; }
    // Empty when loaded; otherwise the platform's reason ("libHBAAPI.so.2: cannot open ...").
    const std::string& loadError() const { return error_; }
    const HbaApi& api() const { return api_; }

private:
    std::unique_ptr<zur::SharedLibrary> library_;
    int missing_ = 0;
    std::string error_;
    HbaApi api_;
};

// The process-wide library, opened on first use and kept until the process ends.
const HbaLibrary& processHbaLibrary();

// Shorthand for processHbaLibrary().api().
inline const HbaApi& hbaApi() { return processHbaLibrary().api(); }

}  // namespace hba
