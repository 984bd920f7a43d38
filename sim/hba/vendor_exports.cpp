// The vendor-library form: the wrapper library loads this module by the path in its
// hba.conf and asks it to fill the function table.
#include <cstring>

#include "sim/hba/hba_calls.h"
#include "sim/hba/vendor_entry_points.h"

// SANSIM_EXPORT, the platform's export mark, comes from the build (sim/hba/CMakeLists.txt).

namespace sansim {

void fillEntryPoints(SansimEntryPoints& t) {
    std::memset(&t, 0, sizeof t);
    t.GetVersionHandler = api::HBA_GetVersion;
    t.LoadLibraryHandler = api::HBA_LoadLibrary;
    t.FreeLibraryHandler = api::HBA_FreeLibrary;
    t.GetNumberOfAdaptersHandler = api::HBA_GetNumberOfAdapters;
    t.GetAdapterNameHandler = api::HBA_GetAdapterName;
    t.OpenAdapterHandler = api::HBA_OpenAdapter;
    t.CloseAdapterHandler = api::HBA_CloseAdapter;
    t.GetAdapterAttributesHandler = api::HBA_GetAdapterAttributes;
    t.GetAdapterPortAttributesHandler = api::HBA_GetAdapterPortAttributes;
    t.GetDiscoveredPortAttributesHandler = api::HBA_GetDiscoveredPortAttributes;
    t.SendCTPassThruHandler = api::HBA_SendCTPassThru;
    t.RefreshInformationHandler = api::HBA_RefreshInformation;
    t.SendRNIDHandler = api::HBA_SendRNID;
    t.ScsiInquiryHandler = api::HBA_SendScsiInquiry;
    t.ReportLUNsHandler = api::HBA_SendReportLUNs;
}

}  // namespace sansim

extern "C" {

SANSIM_EXPORT HBA_STATUS HBA_RegisterLibrary(SansimEntryPoints* table) {
    if (!table) return HBA_STATUS_ERROR_ARG;
    sansim::fillEntryPoints(*table);
    return HBA_STATUS_OK;
}

SANSIM_EXPORT HBA_STATUS HBA_RegisterLibraryV2(SansimEntryPointsV2* table) {
    if (!table) return HBA_STATUS_ERROR_ARG;
    std::memset(table, 0, sizeof *table);
    sansim::fillEntryPoints(table->v1);
    return HBA_STATUS_OK;
}

}  // extern "C"
