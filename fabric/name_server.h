// The name-server queries: the entries one after another (for the RNID walk), the ports
// of a node name, the address of a port name, and the symbolic node and port names.
// Each sends one request through the adapter and returns a status (0: the answer was
// used); what a failed query would have filled stays cleared.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "hba/discovered.h"
#include "hba/hba_library.h"
#include "wire/ct.h"

namespace fabric {

// One name-server entry: the port object of a next-entry (GA_NXT) answer.
using NameServerPortObject = wire::NameServerPortObject;

// The entry after FC address `after` (000000 gives the first). Returns 0 and fills entry
// when the server accepted the request; the library's status, or 2 for a rejected
// request, otherwise (entry untouched).
int getNextNameServerEntry(const hba::HbaApi& api, HBA_HANDLE handle, const hba::PortId& after,
                           NameServerPortObject& entry);

// The port names of a node, in the server's order: up to the entry marked last, and never
// more than the 256 entries the answer holds. Returns 0, the library's status, or 2 for a
// rejected request (ports then empty).
int getPortListOfNodeName(const hba::HbaApi& api, HBA_HANDLE handle, const hba::Wwn& nodeName,
                          std::vector<hba::Wwn>& portNames);

// The FC address of a port name (GID_PN). Returns the library's status; portId is set
// only on 0.
int getPortIdOfPortName(const hba::HbaApi& api, HBA_HANDLE handle, const hba::Wwn& portName,
                        hba::PortId& portId);

// The symbolic node name of a node name (GSNN_NN) and the symbolic port name of an FC
// address (GSPN_ID). Return 0, or 1 with an empty name when the request failed.
int getSymbolicNodeName(const hba::HbaApi& api, HBA_HANDLE handle, const hba::Wwn& nodeName,
                        hba::ShortBytes& name);
int getSymbolicPortName(const hba::HbaApi& api, HBA_HANDLE handle, const hba::PortId& portId,
                        hba::ShortBytes& name);

}  // namespace fabric
