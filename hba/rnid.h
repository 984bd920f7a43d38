// RNID identification: what kind of node sits behind a port and where its management
// interface is. Sent only when the scan's RNID switch is on, either to each discovered
// target after its probe (name server not answering) or to every port the name server
// lists (the name-server walk, fabric/name_server_walk.h).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "hba/adapter_table.h"
#include "hba/discovered.h"
#include "hba/hba_library.h"

namespace hba {

// The answer buffer offered to the library for every RNID request.
inline constexpr uint32_t kRnidAnswerSize = 76;
using RnidAnswer = std::array<uint8_t, kRnidAnswerSize>;

// The node type of an RNID associated type (0 to 18; 0 when no known type or bit).
uint32_t rnidTypeOfAssociatedType(uint32_t associatedType);

// Decodes a good answer of `size` bytes (the size the library reported; bytes beyond it
// count as zero) into id's rnidType and management address. The general topology format
// (0xDF) is required for both; the address is made when the node offers a web management
// interface: "http://a.b.c.d:port" in id.mgmtAddress, with mgmtAddressCount 1. The
// caller sets the WWNs, port id and name.
void decodeRnidAnswer(std::span<const uint8_t> answer, uint32_t size, NodeIdentification& id);

// Sends RNID to the target's port; a good answer comes back as the identification to
// merge into the adapter's list (addRNIDToList), named by the target's node WWN.
std::optional<NodeIdentification> requestTargetRnid(const HbaApi& api, const AdapterEntry& adapter,
                                                    const TargetEntry& target);

// Sends RNID to a port the name server lists (the request carries the node name and the
// port's address) and decodes a good answer into id: WWNs, port id, node type and
// management address; the caller names the node. False when the request failed.
bool identifyListedPort(const HbaApi& api, HBA_HANDLE handle, const Wwn& nodeName, const PortId& portId,
                        const Wwn& portName, NodeIdentification& id);

}  // namespace hba
