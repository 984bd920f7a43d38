// Target and logical-unit probing. The target database reads port 0 of every enabled
// adapter and the ports that port has discovered; the probe then asks each target for its
// logical units (REPORT LUNS), identifies each unit (standard INQUIRY, pages 0x80 and
// 0x83), builds the target's DeviceNode with its LunRecords and adds them to the adapter's
// discovered record. The scan only reads from the devices.
//
// Every length a device reports (REPORT LUNS list length, INQUIRY additional length, VPD
// page lengths) is bounded by the bytes its answer buffer holds and by the field it is
// copied into: a device that claims more than it returned cannot make the scan read or
// write outside a buffer.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "hba/adapter_table.h"
#include "hba/discovered.h"
#include "hba/hba_library.h"

namespace hba {

// Answer and sense buffer sizes offered to the library.
inline constexpr uint32_t kReportLunsAnswerSize = 2056;  // 8-byte header, 256 entries
inline constexpr uint32_t kInquiryAnswerSize = 252;
inline constexpr uint32_t kSenseSize = 100;
inline constexpr uint32_t kMaxLunsProbed = 256;

// Reads port 0 and the discovered ports of every enabled adapter into the table.
void SDInitializeTargetDatabase(const HbaApi& api, AdapterTable& table);

// The SCSI port number in an operating-system device name: the value of the first run of
// decimal digits, scanning from the start, that reads as a non-zero number ("\\.\Scsi2:"
// gives 2); 0 when there is none. Values beyond 32 bits saturate.
uint32_t hbaOffsetFromDeviceName(std::string_view osDeviceName);

// What probing one target found, held apart from the adapter's list so that targets can
// be probed side by side and merged in target order.
struct TargetFindings {
    bool kept = false;             // false: REPORT LUNS failed, the target is dropped (no RNID)
    DeviceNode node;               // the target's working node as the probe left it
    std::vector<LunRecord> units;  // the units kept, in probe order
    std::optional<NodeIdentification> rnid;  // a good RNID answer of the target's port
};

// Probes target j of the adapter. Reads nothing but the adapter table, so several
// targets may be probed at once.
TargetFindings probeTarget(const HbaApi& api, const AdapterTable& table, const AdapterEntry& adapter,
                           uint32_t j);

// Adds what one target's probe found to record's list, as the sequential probe does: the
// units go to the listed node of the target's WWNs when there is one (else to the target's
// node), the target's node is appended when a unit was kept, then the RNID answer merges.
void mergeTargetFindings(DiscoveredAdapter& record, TargetFindings&& findings);

}  // namespace hba
