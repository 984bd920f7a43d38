// The RNID accept (Request Node Identification Data):
//   bytes 0-3   LS_ACC (0x02 0 0 0)
//   byte 4      node identification data format (0xDF: general topology)
//   byte 5      common identification data length; byte 7 specific data length
//   then the common data (port name, node name: 16 bytes) and the specific data, which
//   for general topology is: vendor unique (16 bytes), associated type (4), physical port
//   number (4), number of attached nodes (4), node management (1), IP version (1),
//   UDP/TCP port (2), IP address (16; an IPv4 address in the last 4), reserved (2),
//   vendor specific (2).
// The specific data follow 16 bytes of common data whenever the common length is not 0,
// since the general topology format's common data are always 16 bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "wire/values.h"

namespace wire {

inline constexpr uint8_t kRnidAcceptCommand = 0x02;
inline constexpr uint8_t kGeneralTopologyFormat = 0xDF;
inline constexpr std::size_t kRnidHeaderSize = 8;
inline constexpr std::size_t kRnidCommonSize = 16;
inline constexpr uint8_t kGeneralTopologySpecificLength = 52;
inline constexpr uint8_t kWebManagement = 2;  // node management: a web interface

struct RnidAccept {
    uint8_t format = kGeneralTopologyFormat;
    uint8_t commonLength = kRnidCommonSize;
    uint8_t specificLength = kGeneralTopologySpecificLength;
    Wwn portName{};
    Wwn nodeName{};
    std::array<uint8_t, 16> vendorUnique{};
    uint32_t associatedType = 0;
    uint32_t physicalPortNumber = 0;
    uint32_t attachedNodes = 0;
    uint8_t nodeManagement = 0;
    uint8_t ipVersion = 0;
    uint16_t tcpPort = 0;
    std::array<uint8_t, 16> ipAddress{};
    uint16_t vendorSpecific = 0;

    // The IPv4 address held in the last four address bytes.
    std::array<uint8_t, 4> ipv4() const { return {ipAddress[12], ipAddress[13], ipAddress[14], ipAddress[15]}; }
    friend bool operator==(const RnidAccept&, const RnidAccept&) = default;
};

// Bytes past the answer read as zeros.
RnidAccept decodeRnidAccept(std::span<const uint8_t> answer);
// The common data are cut or zero-padded to commonLength bytes, the specific data to
// specificLength.
std::vector<uint8_t> encodeRnidAccept(const RnidAccept& accept);

}  // namespace wire
