// Sizes and field offsets of the HBA API records, gathered once from our declarations and
// once from the system's header, in separate translation units (the two cannot meet).
#pragma once

#include <cstddef>
#include <map>
#include <string>

namespace hba_abi {

using LayoutFacts = std::map<std::string, std::size_t>;

LayoutFacts ourLayout();
LayoutFacts systemLayout();

}  // namespace hba_abi

// Lists the facts compared, for a record type R and its field F; the same list serves
// both translation units.
#define HBA_ABI_FACTS(SIZE, FIELD)                              \
    SIZE(HBA_UINT8) SIZE(HBA_UINT16) SIZE(HBA_UINT32)           \
    SIZE(HBA_UINT64) SIZE(HBA_INT64) SIZE(HBA_HANDLE)           \
    SIZE(HBA_STATUS) SIZE(HBA_WWNTYPE) SIZE(HBA_WWN)            \
    SIZE(HBA_FC4TYPES) SIZE(HBA_PORTTYPE) SIZE(HBA_PORTSTATE)   \
    SIZE(HBA_PORTSPEED) SIZE(HBA_COS)                           \
    SIZE(HBA_ADAPTERATTRIBUTES)                                 \
    FIELD(HBA_ADAPTERATTRIBUTES, Manufacturer)                  \
    FIELD(HBA_ADAPTERATTRIBUTES, SerialNumber)                  \
    FIELD(HBA_ADAPTERATTRIBUTES, Model)                         \
    FIELD(HBA_ADAPTERATTRIBUTES, ModelDescription)              \
    FIELD(HBA_ADAPTERATTRIBUTES, NodeWWN)                       \
    FIELD(HBA_ADAPTERATTRIBUTES, NodeSymbolicName)              \
    FIELD(HBA_ADAPTERATTRIBUTES, HardwareVersion)               \
    FIELD(HBA_ADAPTERATTRIBUTES, DriverVersion)                 \
    FIELD(HBA_ADAPTERATTRIBUTES, OptionROMVersion)              \
    FIELD(HBA_ADAPTERATTRIBUTES, FirmwareVersion)               \
    FIELD(HBA_ADAPTERATTRIBUTES, VendorSpecificID)              \
    FIELD(HBA_ADAPTERATTRIBUTES, NumberOfPorts)                 \
    FIELD(HBA_ADAPTERATTRIBUTES, DriverName)                    \
    SIZE(HBA_PORTATTRIBUTES)                                    \
    FIELD(HBA_PORTATTRIBUTES, NodeWWN)                          \
    FIELD(HBA_PORTATTRIBUTES, PortWWN)                          \
    FIELD(HBA_PORTATTRIBUTES, PortFcId)                         \
    FIELD(HBA_PORTATTRIBUTES, PortType)                         \
    FIELD(HBA_PORTATTRIBUTES, PortState)                        \
    FIELD(HBA_PORTATTRIBUTES, PortSupportedClassofService)      \
    FIELD(HBA_PORTATTRIBUTES, PortSupportedFc4Types)            \
    FIELD(HBA_PORTATTRIBUTES, PortActiveFc4Types)               \
    FIELD(HBA_PORTATTRIBUTES, PortSymbolicName)                 \
    FIELD(HBA_PORTATTRIBUTES, OSDeviceName)                     \
    FIELD(HBA_PORTATTRIBUTES, PortSupportedSpeed)               \
    FIELD(HBA_PORTATTRIBUTES, PortSpeed)                        \
    FIELD(HBA_PORTATTRIBUTES, PortMaxFrameSize)                 \
    FIELD(HBA_PORTATTRIBUTES, FabricName)                       \
    FIELD(HBA_PORTATTRIBUTES, NumberofDiscoveredPorts)

#define HBA_ABI_SIZE_FACT(T) facts[#T] = sizeof(T);
#define HBA_ABI_FIELD_FACT(T, F) facts[#T "." #F] = offsetof(T, F);

// The vendor function table: every handler slot the simulated library fills, by offset.
#define HBA_ABI_ENTRY_POINT_SLOTS(SLOT)                                                   \
    SLOT(GetVersionHandler) SLOT(LoadLibraryHandler) SLOT(FreeLibraryHandler)           \
    SLOT(GetNumberOfAdaptersHandler) SLOT(GetAdapterNameHandler) SLOT(OpenAdapterHandler) \
    SLOT(CloseAdapterHandler) SLOT(GetAdapterAttributesHandler)                          \
    SLOT(GetAdapterPortAttributesHandler) SLOT(GetDiscoveredPortAttributesHandler)       \
    SLOT(SendCTPassThruHandler) SLOT(RefreshInformationHandler) SLOT(SendRNIDHandler)    \
    SLOT(ScsiInquiryHandler) SLOT(ReportLUNsHandler) SLOT(ReadCapacityHandler)

// The constants both declarations must agree on.
#define HBA_ABI_CONSTANT_FACTS                                                       \
    facts["status.NOT_SUPPORTED"] = HBA_STATUS_ERROR_NOT_SUPPORTED;                  \
    facts["status.ILLEGAL_INDEX"] = HBA_STATUS_ERROR_ILLEGAL_INDEX;                  \
    facts["status.SCSI_CHECK_CONDITION"] = HBA_STATUS_SCSI_CHECK_CONDITION;          \
    facts["status.ELS_REJECT"] = HBA_STATUS_ERROR_ELS_REJECT;                        \
    facts["status.TARGET_BUSY"] = HBA_STATUS_ERROR_TARGET_BUSY;                      \
    facts["porttype.NPORT"] = HBA_PORTTYPE_NPORT;                                    \
    facts["porttype.PTP"] = HBA_PORTTYPE_PTP;                                        \
    facts["portstate.ONLINE"] = HBA_PORTSTATE_ONLINE;                                \
    facts["wwntype.PORT_WWN"] = PORT_WWN;
