// RNID accepts of the simulated ports.
#pragma once

#include "sim/hba/json_fields.h"
#include "sim/hba/san_model.h"

namespace sansim {

// The RNID accept built from a world entry (or its recorded bytes):
//   bytes 0-3   LS_ACC (0x02 0 0 0)
//   byte 4      node identification data format ("format", default 0xDF: general topology)
//   byte 5      common identification data length ("commonLength", default 16)
//   byte 7      specific identification data length ("specificLength", default 52 for
//               format 0xDF, else 0)
//   then the common data (port name, node name; cut or zero-padded to its length) and the
//   specific data, which for general topology is: vendor unique (16 bytes), associated
//   type (4), physical port number (4), number of attached nodes (4), node management (1),
//   IP version (1), UDP/TCP port (2), IP address (16; an IPv4 address in the last 4),
//   reserved (2), vendor specific (2); cut or zero-padded to its length.
// nodeNameFallback fills the common data when the entry names no node.
Answer rnidAnswer(const Json& entry, const Wwn& nodeNameFallback);

}  // namespace sansim
