// SCSI answers of the simulated targets, built as SPC defines them from the structured
// members of a world file, or taken as recorded ("raw").
#pragma once

#include <cstdint>
#include <vector>

#include "sim/hba/json_fields.h"
#include "sim/hba/san_model.h"

namespace sansim {

// Standard INQUIRY data.
//   byte 0      peripheral qualifier (bits 7-5) and device type (bits 4-0)
//   byte 1      bit 7 removable medium
//   byte 2      version; byte 3 response data format (and flags)
//   byte 4      additional length: total length - 5
//   bytes 5-7   flags (default 00 00 02: command queueing)
//   bytes 8-15  vendor, 16-31 product, 32-35 revision: text padded with blanks
//   bytes 36-55 vendor specific (text padded with blanks, or hexadecimal bytes)
// Total length "length" (default 96), at least 5 and at most 255.
Answer inquiryAnswer(const Json& given);

// Unit serial number page (0x80): peripheral byte, 0x80, 16-bit page length, the serial.
Answer page80Answer(const Json& given, uint8_t peripheral);

// Device identification page (0x83): peripheral byte, 0x83, 16-bit page length, then per
// designator: protocol identifier (bits 7-4) and code set (3-0); PIV (bit 7), association
// (bits 5-4) and designator type (3-0); reserved; length; the designator.
Answer page83Answer(const Json& given, uint8_t peripheral);

// REPORT LUNS parameter data: 32-bit list length (8 per entry), 4 reserved bytes, then the
// 8-byte LUNs. given may be null: then the list names the target's units in order.
Answer reportLunsAnswer(const Json* given, const std::vector<Unit>& units);

// The 8-byte FCP LUN of a world "lun" member: a number (single-level LUN: peripheral
// addressing below 256, flat addressing up to 16383) or 16 hexadecimal digits.
Wwn lunIdOf(const Json& lun);

// Answer for a logical unit that does not exist: standard INQUIRY says "no device here"
// (peripheral qualifier 3, type 0x1F); vital product data pages are refused with
// CHECK CONDITION, ILLEGAL REQUEST, LOGICAL UNIT NOT SUPPORTED.
Answer absentUnitInquiry();
Answer absentUnitPage();
// A page that the unit does not have: CHECK CONDITION, ILLEGAL REQUEST, INVALID FIELD IN CDB.
Answer missingPage();

}  // namespace sansim
