// FC-GS requests and answers as they travel through common-transport pass-through: the
// CT_IU preamble, and the payloads of the name-server and configuration-server answers
// the scanner reads. Bounded decoders (bytes past the answer read as zeros, lists end
// with the answer) and the encoders the simulated fabric answers with.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "wire/values.h"

namespace wire {

using Bytes = std::vector<uint8_t>;

// --- CT_IU preamble --------------------------------------------------------------------
// Byte 0 revision, 1-3 IN_ID, 4 GS_TYPE, 5 GS_SUBTYPE, 6 options, 7 reserved,
// 8-9 command/response code, 10-11 maximum/residual size (in words), 12 reserved,
// 13 reason code, 14 reason explanation, 15 vendor unique.
inline constexpr std::size_t kCtPreambleSize = 16;
inline constexpr uint8_t kCtRevision = 0x01;
inline constexpr uint16_t kCtAccept = 0x8002;
inline constexpr uint16_t kCtReject = 0x8001;

struct CtPreamble {
    uint8_t revision = kCtRevision;
    std::array<uint8_t, 3> inId{};
    uint8_t gsType = 0;
    uint8_t gsSubtype = 0;
    uint8_t options = 0;
    uint16_t code = 0;
    uint16_t size = 0;
    uint8_t reason = 0;
    uint8_t explanation = 0;
    uint8_t vendorUnique = 0;
    friend bool operator==(const CtPreamble&, const CtPreamble&) = default;
};
CtPreamble decodeCtPreamble(std::span<const uint8_t> iu);
// The preamble followed by the payload.
Bytes encodeCtIu(const CtPreamble& preamble, std::span<const uint8_t> payload);
// What follows the preamble (empty when the answer is shorter).
std::span<const uint8_t> ctPayload(std::span<const uint8_t> iu);

// --- Length-prefixed name blocks -------------------------------------------------------
// Platform names, management addresses and symbolic names: a length byte and that many
// bytes in a 256-byte block, zeros after.
inline constexpr std::size_t kNameBlockSize = 256;
using NameBlock = std::array<uint8_t, kNameBlockSize>;
NameBlock encodeNameBlock(std::span<const uint8_t> name);  // cut to 255 bytes
NameBlock encodeNameBlock(std::string_view name);
// The name of a block: the length byte's count, never past the block's end.
std::span<const uint8_t> nameOfBlock(std::span<const uint8_t> block);

// --- Counted lists (configuration server) ----------------------------------------------
// A 32-bit count, then entries of a fixed size.
inline constexpr std::size_t kCountedListHeaderSize = 4;
struct CountedList {
    uint32_t count = 0;
    // The whole entries the payload holds: at most count, and never more than fit.
    std::vector<std::span<const uint8_t>> entries;
};
CountedList decodeCountedList(std::span<const uint8_t> payload, std::size_t entrySize);
Bytes encodeCountedList(uint32_t count, std::span<const std::span<const uint8_t>> entries);

// --- Name-server port object (GA_NXT) --------------------------------------------------
//   0 port type, 1-3 port id, 4-11 port name, 12 symbolic port name length, 13-267 the
//   name, 268-275 node name, 276 symbolic node name length, 277-531 the name, 532-539
//   initial process associator, 540-555 node IP address, 556-559 class of service,
//   560-591 FC-4 types, 592-607 port IP address, 608-615 fabric port name, 616 reserved,
//   617-619 hard address.
inline constexpr std::size_t kPortObjectSize = 620;
struct NameServerPortObject {
    uint8_t portType = 0;
    PortId portId{};
    Wwn portName{};
    Bytes symbolicPortName;  // at most 255 bytes
    Wwn nodeName{};
    Bytes symbolicNodeName;
    std::array<uint8_t, 8> initialProcessAssociator{};
    std::array<uint8_t, 16> nodeIpAddress{};
    uint32_t classOfService = 0;
    std::array<uint8_t, 32> fc4Types{};
    std::array<uint8_t, 16> portIpAddress{};
    Wwn fabricPortName{};
    uint32_t hardAddress = 0;  // 24 bits
    friend bool operator==(const NameServerPortObject&, const NameServerPortObject&) = default;
};
NameServerPortObject decodePortObject(std::span<const uint8_t> payload);
Bytes encodePortObject(const NameServerPortObject& object);

// --- Ports of a node name ---------------------------------------------------------------
// 16-byte entries: control byte (0x80 on the last), port id, 4 reserved, port name.
inline constexpr std::size_t kPortEntrySize = 16;
inline constexpr uint8_t kLastPortEntry = 0x80;
struct PortEntry {
    PortId portId{};
    Wwn portName{};
    friend bool operator==(const PortEntry&, const PortEntry&) = default;
};
// Entries up to the one marked last; without the mark, every whole entry the payload holds.
std::vector<PortEntry> decodePortEntries(std::span<const uint8_t> payload);
Bytes encodePortEntries(std::span<const PortEntry> entries);

// --- Single values ----------------------------------------------------------------------
// A port id answer (GID_PN, and the payload of requests by address): reserved, port id.
PortId decodePortIdPayload(std::span<const uint8_t> payload);
std::array<uint8_t, 4> encodePortIdPayload(const PortId& id);
// A platform type answer: a 32-bit type.
uint32_t decodePlatformType(std::span<const uint8_t> payload);
std::array<uint8_t, 4> encodePlatformType(uint32_t type);

}  // namespace wire
