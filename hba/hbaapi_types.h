// The types, values and call signatures of the SNIA Common HBA API (version 2), declared
// here from the published standard so that the scanner needs no vendor header. The
// library itself is never linked: hba/hba_library.h loads it at run time and reaches every
// call through a table of pointers of the types below.
//
// Layouts are the standard's C layouts; a Linux test compares sizes and field offsets
// with the system's own hbaapi.h.
#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "wire/values.h"

extern "C" {

typedef unsigned char HBA_UINT8;
typedef char HBA_INT8;
typedef unsigned short HBA_UINT16;
typedef short HBA_INT16;
typedef unsigned int HBA_UINT32;
typedef int HBA_INT32;
typedef unsigned long long HBA_UINT64;
typedef long long HBA_INT64;

static_assert(sizeof(HBA_UINT16) == 2 && sizeof(HBA_UINT32) == 4 && sizeof(HBA_UINT64) == 8,
              "the HBA API's integer widths are fixed");

// An open adapter; 0 is never a valid handle.
typedef HBA_UINT32 HBA_HANDLE;
#define HBA_HANDLE_INVALID 0u

// Result of most calls.
typedef HBA_UINT32 HBA_STATUS;
#define HBA_STATUS_OK 0u
#define HBA_STATUS_ERROR 1u
#define HBA_STATUS_ERROR_NOT_SUPPORTED 2u
#define HBA_STATUS_ERROR_INVALID_HANDLE 3u
#define HBA_STATUS_ERROR_ARG 4u
#define HBA_STATUS_ERROR_ILLEGAL_WWN 5u
#define HBA_STATUS_ERROR_ILLEGAL_INDEX 6u
#define HBA_STATUS_ERROR_MORE_DATA 7u
#define HBA_STATUS_ERROR_STALE_DATA 8u
#define HBA_STATUS_SCSI_CHECK_CONDITION 9u
#define HBA_STATUS_ERROR_BUSY 10u
#define HBA_STATUS_ERROR_TRY_AGAIN 11u
#define HBA_STATUS_ERROR_UNAVAILABLE 12u
#define HBA_STATUS_ERROR_ELS_REJECT 13u
#define HBA_STATUS_ERROR_INVALID_LUN 14u
#define HBA_STATUS_ERROR_INCOMPATIBLE 15u
#define HBA_STATUS_ERROR_AMBIGUOUS_WWN 16u
#define HBA_STATUS_ERROR_LOCAL_BUS 17u
#define HBA_STATUS_ERROR_LOCAL_TARGET 18u
#define HBA_STATUS_ERROR_LOCAL_LUN 19u
#define HBA_STATUS_ERROR_LOCAL_SCSIID_BOUND 20u
#define HBA_STATUS_ERROR_TARGET_FCID 21u
#define HBA_STATUS_ERROR_TARGET_NODE_WWN 22u
#define HBA_STATUS_ERROR_TARGET_PORT_WWN 23u
#define HBA_STATUS_ERROR_TARGET_LUN 24u
#define HBA_STATUS_ERROR_TARGET_LUID 25u
#define HBA_STATUS_ERROR_NO_SUCH_BINDING 26u
#define HBA_STATUS_ERROR_NOT_A_TARGET 27u
#define HBA_STATUS_ERROR_UNSUPPORTED_FC4 28u
#define HBA_STATUS_ERROR_INCAPABLE 29u
#define HBA_STATUS_ERROR_TARGET_BUSY 30u

// Port operating modes.
typedef HBA_UINT32 HBA_PORTTYPE;
#define HBA_PORTTYPE_UNKNOWN 1u
#define HBA_PORTTYPE_OTHER 2u
#define HBA_PORTTYPE_NOTPRESENT 3u
#define HBA_PORTTYPE_NPORT 5u
#define HBA_PORTTYPE_NLPORT 6u
#define HBA_PORTTYPE_FLPORT 7u
#define HBA_PORTTYPE_FPORT 8u
#define HBA_PORTTYPE_LPORT 20u
#define HBA_PORTTYPE_PTP 21u

typedef HBA_UINT32 HBA_PORTSTATE;
#define HBA_PORTSTATE_UNKNOWN 1u
#define HBA_PORTSTATE_ONLINE 2u
#define HBA_PORTSTATE_OFFLINE 3u
#define HBA_PORTSTATE_BYPASSED 4u
#define HBA_PORTSTATE_DIAGNOSTICS 5u
#define HBA_PORTSTATE_LINKDOWN 6u
#define HBA_PORTSTATE_ERROR 7u
#define HBA_PORTSTATE_LOOPBACK 8u

typedef HBA_UINT32 HBA_PORTSPEED;
#define HBA_PORTSPEED_UNKNOWN 0u
#define HBA_PORTSPEED_1GBIT 1u
#define HBA_PORTSPEED_2GBIT 2u
#define HBA_PORTSPEED_10GBIT 4u
#define HBA_PORTSPEED_NOT_NEGOTIATED 5u

// Class-of-service bit mask as in FC-GS.
typedef HBA_UINT32 HBA_COS;

// FC-4 type bit map (256 bits) as in FC-GS.
typedef struct HBA_fc4types {
    HBA_UINT8 bits[32];
} HBA_FC4TYPES;

// A world-wide name: 8 bytes, most significant first, exactly as the adapter reports it.
typedef struct HBA_wwn {
    HBA_UINT8 wwn[8];
} HBA_WWN;

// How the WWN given to HBA_SendRNID is to be read.
typedef enum HBA_wwntype { NODE_WWN = 0, PORT_WWN = 1 } HBA_WWNTYPE;

// Adapter attributes. Texts are NUL-terminated within their arrays when shorter.
typedef struct hba_AdapterAttributes {
    char Manufacturer[64];
    char SerialNumber[64];
    char Model[256];
    char ModelDescription[256];
    HBA_WWN NodeWWN;
    char NodeSymbolicName[256];
    char HardwareVersion[256];
    char DriverVersion[256];
    char OptionROMVersion[256];
    char FirmwareVersion[256];
    HBA_UINT32 VendorSpecificID;
    HBA_UINT32 NumberOfPorts;
    char DriverName[256];
} HBA_ADAPTERATTRIBUTES;

// Attributes of an adapter port or of a port that it has discovered. PortFcId holds the
// 24-bit Fibre Channel address in its low three bytes.
typedef struct HBA_PortAttributes {
    HBA_WWN NodeWWN;
    HBA_WWN PortWWN;
    HBA_UINT32 PortFcId;
    HBA_PORTTYPE PortType;
    HBA_PORTSTATE PortState;
    HBA_COS PortSupportedClassofService;
    HBA_FC4TYPES PortSupportedFc4Types;
    HBA_FC4TYPES PortActiveFc4Types;
    char PortSymbolicName[256];
    char OSDeviceName[256];
    HBA_PORTSPEED PortSupportedSpeed;
    HBA_PORTSPEED PortSpeed;
    HBA_UINT32 PortMaxFrameSize;
    HBA_WWN FabricName;
    HBA_UINT32 NumberofDiscoveredPorts;
} HBA_PORTATTRIBUTES;

// The calls, as function types (the library exports functions of these types under the
// names without the trailing "Fn"). The scanner holds pointers to them.
typedef HBA_UINT32 HBA_GetVersionFn(void);
typedef HBA_STATUS HBA_LoadLibraryFn(void);
typedef HBA_STATUS HBA_FreeLibraryFn(void);
typedef HBA_UINT32 HBA_GetNumberOfAdaptersFn(void);
// adaptername: a buffer of at least 256 characters; the name is NUL-terminated.
typedef HBA_STATUS HBA_GetAdapterNameFn(HBA_UINT32 adapterindex, char* adaptername);
// Returns HBA_HANDLE_INVALID when the adapter cannot be opened.
typedef HBA_HANDLE HBA_OpenAdapterFn(char* adaptername);
typedef void HBA_CloseAdapterFn(HBA_HANDLE handle);
typedef void HBA_RefreshInformationFn(HBA_HANDLE handle);
typedef HBA_STATUS HBA_GetAdapterAttributesFn(HBA_HANDLE handle, HBA_ADAPTERATTRIBUTES* hbaattributes);
typedef HBA_STATUS HBA_GetAdapterPortAttributesFn(HBA_HANDLE handle, HBA_UINT32 portindex,
                                                  HBA_PORTATTRIBUTES* portattributes);
typedef HBA_STATUS HBA_GetDiscoveredPortAttributesFn(HBA_HANDLE handle, HBA_UINT32 portindex,
                                                     HBA_UINT32 discoveredportindex,
                                                     HBA_PORTATTRIBUTES* portattributes);
// REPORT LUNS to the target port portWWN. The answer is truncated to RspBufferSize; sense
// data, if any, to SenseBufferSize.
typedef HBA_STATUS HBA_SendReportLUNsFn(HBA_HANDLE handle, HBA_WWN portWWN, void* pRspBuffer,
                                        HBA_UINT32 RspBufferSize, void* pSenseBuffer,
                                        HBA_UINT32 SenseBufferSize);
// INQUIRY to logical unit fcLUN behind PortWWN. fcLUN carries the eight bytes of the FCP
// LUN as they stand in memory (a REPORT LUNS entry copied unchanged).
typedef HBA_STATUS HBA_SendScsiInquiryFn(HBA_HANDLE handle, HBA_WWN PortWWN, HBA_UINT64 fcLUN,
                                         HBA_UINT8 EVPD, HBA_UINT32 PageCode, void* pRspBuffer,
                                         HBA_UINT32 RspBufferSize, void* pSenseBuffer,
                                         HBA_UINT32 SenseBufferSize);
// RNID to the port (wwntype PORT_WWN) or node (NODE_WWN) wwn. *pRspBufferSize gives the
// room on entry and the length of the accept on return.
typedef HBA_STATUS HBA_SendRNIDFn(HBA_HANDLE handle, HBA_WWN wwn, HBA_WWNTYPE wwntype, void* pRspBuffer,
                                  HBA_UINT32* pRspBufferSize);
// One FC-GS request (CT_IU) to the fabric; the answer is truncated to RspBufferSize.
typedef HBA_STATUS HBA_SendCTPassThruFn(HBA_HANDLE handle, void* pReqBuffer, HBA_UINT32 ReqBufferSize,
                                        void* pRspBuffer, HBA_UINT32 RspBufferSize);

}  // extern "C"

// A WWN of the API and the scanner's own WWN hold the same 8 bytes in the same order.
inline wire::Wwn wwnOf(const HBA_WWN& w) {
    wire::Wwn out;
    std::copy(std::begin(w.wwn), std::end(w.wwn), out.begin());
    return out;
}
inline HBA_WWN hbaWwnOf(const wire::Wwn& w) {
    HBA_WWN out;
    std::copy(w.begin(), w.end(), std::begin(out.wwn));
    return out;
}
