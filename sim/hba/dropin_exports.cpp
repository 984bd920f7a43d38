// The drop-in form: this module stands in the wrapper library's place under its file name
// and exports the API's calls itself.
#include "sim/hba/hba_calls.h"

// SANSIM_EXPORT, the platform's export mark, comes from the build (sim/hba/CMakeLists.txt).

extern "C" {

SANSIM_EXPORT HBA_UINT32 HBA_GetVersion(void) { return sansim::api::HBA_GetVersion(); }
SANSIM_EXPORT HBA_STATUS HBA_LoadLibrary(void) { return sansim::api::HBA_LoadLibrary(); }
SANSIM_EXPORT HBA_STATUS HBA_FreeLibrary(void) { return sansim::api::HBA_FreeLibrary(); }
SANSIM_EXPORT HBA_UINT32 HBA_GetNumberOfAdapters(void) { return sansim::api::HBA_GetNumberOfAdapters(); }
SANSIM_EXPORT HBA_STATUS HBA_GetAdapterName(HBA_UINT32 index, char* name) {
    return sansim::api::HBA_GetAdapterName(index, name);
}
SANSIM_EXPORT HBA_HANDLE HBA_OpenAdapter(char* name) { return sansim::api::HBA_OpenAdapter(name); }
SANSIM_EXPORT void HBA_CloseAdapter(HBA_HANDLE handle) { sansim::api::HBA_CloseAdapter(handle); }
SANSIM_EXPORT void HBA_RefreshInformation(HBA_HANDLE handle) { sansim::api::HBA_RefreshInformation(handle); }
SANSIM_EXPORT HBA_STATUS HBA_GetAdapterAttributes(HBA_HANDLE handle, HBA_ADAPTERATTRIBUTES* attributes) {
    return sansim::api::HBA_GetAdapterAttributes(handle, attributes);
}
SANSIM_EXPORT HBA_STATUS HBA_GetAdapterPortAttributes(HBA_HANDLE handle, HBA_UINT32 port,
                                                      HBA_PORTATTRIBUTES* attributes) {
    return sansim::api::HBA_GetAdapterPortAttributes(handle, port, attributes);
}
SANSIM_EXPORT HBA_STATUS HBA_GetDiscoveredPortAttributes(HBA_HANDLE handle, HBA_UINT32 port, HBA_UINT32 index,
                                                         HBA_PORTATTRIBUTES* attributes) {
    return sansim::api::HBA_GetDiscoveredPortAttributes(handle, port, index, attributes);
}
SANSIM_EXPORT HBA_STATUS HBA_SendReportLUNs(HBA_HANDLE handle, HBA_WWN wwn, void* rsp, HBA_UINT32 rspSize,
                                            void* sense, HBA_UINT32 senseSize) {
    return sansim::api::HBA_SendReportLUNs(handle, wwn, rsp, rspSize, sense, senseSize);
}
SANSIM_EXPORT HBA_STATUS HBA_SendScsiInquiry(HBA_HANDLE handle, HBA_WWN wwn, HBA_UINT64 lun, HBA_UINT8 evpd,
                                             HBA_UINT32 page, void* rsp, HBA_UINT32 rspSize, void* sense,
                                             HBA_UINT32 senseSize) {
    return sansim::api::HBA_SendScsiInquiry(handle, wwn, lun, evpd, page, rsp, rspSize, sense, senseSize);
}
SANSIM_EXPORT HBA_STATUS HBA_SendRNID(HBA_HANDLE handle, HBA_WWN wwn, HBA_WWNTYPE type, void* rsp,
                                      HBA_UINT32* rspSize) {
    return sansim::api::HBA_SendRNID(handle, wwn, type, rsp, rspSize);
}
SANSIM_EXPORT HBA_STATUS HBA_SendCTPassThru(HBA_HANDLE handle, void* req, HBA_UINT32 reqSize, void* rsp,
                                            HBA_UINT32 rspSize) {
    return sansim::api::HBA_SendCTPassThru(handle, req, reqSize, rsp, rspSize);
}

}  // extern "C"

// Each export has exactly the type the scanner's table expects.
static_assert(sizeof(&HBA_SendScsiInquiry) == sizeof(HBA_SendScsiInquiryFn*));
namespace {
[[maybe_unused]] HBA_GetVersionFn* const kCheckVersion = HBA_GetVersion;
[[maybe_unused]] HBA_LoadLibraryFn* const kCheckLoad = HBA_LoadLibrary;
[[maybe_unused]] HBA_FreeLibraryFn* const kCheckFree = HBA_FreeLibrary;
[[maybe_unused]] HBA_GetNumberOfAdaptersFn* const kCheckCount = HBA_GetNumberOfAdapters;
[[maybe_unused]] HBA_GetAdapterNameFn* const kCheckName = HBA_GetAdapterName;
[[maybe_unused]] HBA_OpenAdapterFn* const kCheckOpen = HBA_OpenAdapter;
[[maybe_unused]] HBA_CloseAdapterFn* const kCheckClose = HBA_CloseAdapter;
[[maybe_unused]] HBA_RefreshInformationFn* const kCheckRefresh = HBA_RefreshInformation;
[[maybe_unused]] HBA_GetAdapterAttributesFn* const kCheckAttributes = HBA_GetAdapterAttributes;
[[maybe_unused]] HBA_GetAdapterPortAttributesFn* const kCheckPort = HBA_GetAdapterPortAttributes;
[[maybe_unused]] HBA_GetDiscoveredPortAttributesFn* const kCheckDiscovered = HBA_GetDiscoveredPortAttributes;
[[maybe_unused]] HBA_SendReportLUNsFn* const kCheckReportLuns = HBA_SendReportLUNs;
[[maybe_unused]] HBA_SendScsiInquiryFn* const kCheckInquiry = HBA_SendScsiInquiry;
[[maybe_unused]] HBA_SendRNIDFn* const kCheckRnid = HBA_SendRNID;
[[maybe_unused]] HBA_SendCTPassThruFn* const kCheckCt = HBA_SendCTPassThru;
}  // namespace
