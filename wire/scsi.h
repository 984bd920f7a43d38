// SCSI answers the scanner reads from a logical unit: REPORT LUNS parameter data, standard
// INQUIRY data and the vital product data pages 0x80 (unit serial number) and 0x83
// (device identification). Each has a bounded decoder (bytes past the answer read as the
// zeros of a cleared buffer) and the encoder the simulated library builds it with.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "wire/values.h"

namespace wire {

using Bytes = std::vector<uint8_t>;

// --- REPORT LUNS -----------------------------------------------------------------------
// Bytes 0-3 list length (8 per entry), 4-7 reserved, then 8-byte LUNs.
inline constexpr std::size_t kReportLunsHeaderSize = 8;
inline constexpr std::size_t kLunEntrySize = 8;

struct ReportLunsData {
    uint32_t listLength = 0;
    // Every whole entry the answer holds, whatever the list length says: a device may
    // claim more or fewer than it wrote.
    std::vector<LunId> entries;

    uint32_t reportedCount() const { return listLength / static_cast<uint32_t>(kLunEntrySize); }
    // Entry k, or zeros when the answer does not hold it.
    LunId entry(std::size_t k) const { return k < entries.size() ? entries[k] : LunId{}; }
};
ReportLunsData decodeReportLuns(std::span<const uint8_t> answer);
Bytes encodeReportLuns(std::span<const LunId> luns, uint32_t listLength);

// --- Standard INQUIRY ------------------------------------------------------------------
//   byte 0      peripheral qualifier (bits 7-5) and device type (bits 4-0)
//   byte 1      bit 7 removable medium
//   byte 2      version; byte 3 response data format (and flags)
//   byte 4      additional length: total length - 5
//   bytes 5-7   flags
//   bytes 8-15  vendor, 16-31 product, 32-35 revision
//   bytes 36-55 vendor specific
inline constexpr std::size_t kStandardInquiryMinLength = 5;
inline constexpr std::size_t kStandardInquiryMaxLength = 255;

struct StandardInquiry {
    uint8_t peripheral = 0;
    bool removable = false;
    uint8_t version = 0;
    uint8_t responseDataFormat = 0;
    uint8_t additionalLength = 0;
    std::array<uint8_t, 3> flags{};
    std::array<char, 8> vendorId{};
    std::array<char, 16> productId{};
    std::array<char, 4> productRevision{};
    std::array<uint8_t, 20> vendorSpecific{};

    // Additional length + 5: the length of the standard data the device says it has.
    std::size_t standardLength() const { return std::size_t{additionalLength} + 5; }
    // Bytes 8 to 45: vendor, product, revision and the first 10 vendor-specific bytes.
    std::array<uint8_t, 38> identification() const;
    // Bytes 36 to 43: the first 8 vendor-specific bytes.
    std::array<uint8_t, 8> lunSerial() const;

    friend bool operator==(const StandardInquiry&, const StandardInquiry&) = default;
};
StandardInquiry decodeStandardInquiry(std::span<const uint8_t> answer);
// length (cut to 5..255) bytes; the additional length is set from it.
Bytes encodeStandardInquiry(const StandardInquiry& inquiry, std::size_t length);

// --- Vital product data pages ----------------------------------------------------------
// Bytes 0 peripheral, 1 page code, 2-3 page length, then the page.
inline constexpr std::size_t kVpdHeaderSize = 4;
inline constexpr uint8_t kUnitSerialPage = 0x80;
inline constexpr uint8_t kDeviceIdentificationPage = 0x83;

struct VpdHeader {
    uint8_t peripheral = 0;
    uint8_t pageCode = 0;
    uint16_t pageLength = 0;
    // The low byte of the page length. The scanner offers 252-byte answers, which hold no
    // page of 256 bytes or more, and counts a page's length by this byte alone.
    uint8_t lengthByte() const { return static_cast<uint8_t>(pageLength); }
};
VpdHeader decodeVpdHeader(std::span<const uint8_t> answer);

// Page 0x80: the serial is the lengthByte() bytes after the header, as far as the answer
// holds them.
std::span<const uint8_t> unitSerialOf(std::span<const uint8_t> answer);
Bytes encodeUnitSerialPage(uint8_t peripheral, std::span<const uint8_t> serial);  // serial cut to 251 bytes

// Page 0x83 designators: protocol identifier (bits 7-4) and code set (3-0); PIV (bit 7),
// association (bits 5-4) and designator type (3-0); reserved; length; the designator.
struct Designator {
    uint8_t protocolIdentifier = 0;
    uint8_t codeSet = 0;
    bool piv = false;
    uint8_t association = 0;
    uint8_t designatorType = 0;
    Bytes value;  // at most 255 bytes
    friend bool operator==(const Designator&, const Designator&) = default;
};
// The designators within the page length and the answer; one cut short ends the list.
std::vector<Designator> decodeDesignators(std::span<const uint8_t> answer);
// The page length is the designators' bytes, at most 0xFFFF; values are cut to 255 bytes.
Bytes encodeDeviceIdentificationPage(uint8_t peripheral, std::span<const Designator> designators);

}  // namespace wire
