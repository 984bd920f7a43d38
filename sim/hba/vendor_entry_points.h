// The function table through which a SNIA vendor library registers its calls with the
// common wrapper library (HBA_RegisterLibrary / HBA_RegisterLibraryV2). The first 24
// slots are the version-1 table, in the standard's order; version 2 appends 30 more, which
// this library leaves empty (the wrapper answers "not supported" for an empty slot).
#pragma once

#include "hba/hbaapi_types.h"

extern "C" {

using SansimAnyCall = void (*)();  // a slot this library does not fill

struct SansimEntryPoints {
    HBA_GetVersionFn* GetVersionHandler;
    HBA_LoadLibraryFn* LoadLibraryHandler;
    HBA_FreeLibraryFn* FreeLibraryHandler;
    HBA_GetNumberOfAdaptersFn* GetNumberOfAdaptersHandler;
    HBA_GetAdapterNameFn* GetAdapterNameHandler;
    HBA_OpenAdapterFn* OpenAdapterHandler;
    HBA_CloseAdapterFn* CloseAdapterHandler;
    HBA_GetAdapterAttributesFn* GetAdapterAttributesHandler;
    HBA_GetAdapterPortAttributesFn* GetAdapterPortAttributesHandler;
    SansimAnyCall GetPortStatisticsHandler;
    HBA_GetDiscoveredPortAttributesFn* GetDiscoveredPortAttributesHandler;
    SansimAnyCall GetPortAttributesByWWNHandler;
    HBA_SendCTPassThruFn* SendCTPassThruHandler;
    HBA_RefreshInformationFn* RefreshInformationHandler;
    SansimAnyCall ResetStatisticsHandler;
    SansimAnyCall GetFcpTargetMappingHandler;
    SansimAnyCall GetFcpPersistentBindingHandler;
    SansimAnyCall GetEventBufferHandler;
    SansimAnyCall SetRNIDMgmtInfoHandler;
    SansimAnyCall GetRNIDMgmtInfoHandler;
    HBA_SendRNIDFn* SendRNIDHandler;
    HBA_SendScsiInquiryFn* ScsiInquiryHandler;
    HBA_SendReportLUNsFn* ReportLUNsHandler;
    SansimAnyCall ReadCapacityHandler;
};

struct SansimEntryPointsV2 {
    SansimEntryPoints v1;
    SansimAnyCall rev2[30];  // OpenAdapterByWWNHandler ... SendRLSHandler
};

}  // extern "C"

namespace sansim {
// Fills a version-1 table with this library's calls (other slots null).
void fillEntryPoints(SansimEntryPoints& table);
}
