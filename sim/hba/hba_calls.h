// The simulated HBA library's calls, answering from the world file of SANSIM_WORLD. Both
// forms of the library (drop-in exports and vendor entry-point table) call these.
//
// Behaviour beyond the world's answers:
// - HBA_LoadLibrary (re)reads the world, so a process can switch worlds between a
//   HBA_FreeLibrary and the next HBA_LoadLibrary; a call made before any load reads it
//   then. No world, or no "hba" member: no adapters. A world the simulation cannot use is
//   reported on standard error once and counts as no adapters.
// - Handles are 1, 2, 3, ... in the order of successful opens (below 65536, as vendor
//   libraries must keep them); a closed or unknown handle gives
//   HBA_STATUS_ERROR_INVALID_HANDLE.
// - Only port 0 exists; another port index gives HBA_STATUS_ERROR_ILLEGAL_INDEX, as does a
//   discovered-port or adapter index beyond the world's lists.
// - SCSI commands go to the discovered port with that port WWN
//   (HBA_STATUS_ERROR_ILLEGAL_WWN when none; HBA_STATUS_ERROR_NOT_A_TARGET when the port
//   has no target). A logical unit is found by its 8 LUN bytes as they stand in fcLUN's
//   memory, else by its plain number, else the target's "anyUnit" answers.
// - Answers are cut to the caller's buffers; bytes beyond an answer are left as they were.
// - No call throws; an unexpected failure inside returns HBA_STATUS_ERROR.
#pragma once

#include "hba/hbaapi_types.h"

namespace sansim::api {

HBA_GetVersionFn HBA_GetVersion;
HBA_LoadLibraryFn HBA_LoadLibrary;
HBA_FreeLibraryFn HBA_FreeLibrary;
HBA_GetNumberOfAdaptersFn HBA_GetNumberOfAdapters;
HBA_GetAdapterNameFn HBA_GetAdapterName;
HBA_OpenAdapterFn HBA_OpenAdapter;
HBA_CloseAdapterFn HBA_CloseAdapter;
HBA_RefreshInformationFn HBA_RefreshInformation;
HBA_GetAdapterAttributesFn HBA_GetAdapterAttributes;
HBA_GetAdapterPortAttributesFn HBA_GetAdapterPortAttributes;
HBA_GetDiscoveredPortAttributesFn HBA_GetDiscoveredPortAttributes;
HBA_SendReportLUNsFn HBA_SendReportLUNs;
HBA_SendScsiInquiryFn HBA_SendScsiInquiry;
HBA_SendRNIDFn HBA_SendRNID;
HBA_SendCTPassThruFn HBA_SendCTPassThru;

}  // namespace sansim::api
