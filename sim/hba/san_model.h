// The simulated SAN as the library answers from it: every answer already in the bytes the
// caller will receive. Built once from the world file (san_world.cpp).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "hba/hbaapi_types.h"
#include "sim/hba/bytes.h"

namespace sansim {

// One answer to a command: the status the call returns, the bytes written to the answer
// buffer (none when absent) and the sense bytes written to the sense buffer (none when
// absent). Both are cut to the caller's buffer sizes.
struct Answer {
    HBA_STATUS status = HBA_STATUS_OK;
    std::optional<Bytes> data;
    std::optional<Bytes> sense;
};

// The answers of one logical unit.
struct Unit {
    Wwn lunId{};                         // the 8-byte FCP LUN as REPORT LUNS lists it
    std::optional<uint64_t> lunNumber;   // the plain number, when the unit was given one
    Answer inquiry;
    Answer page80;
    Answer page83;
};

struct Target {
    Answer reportLuns;
    std::optional<Answer> reportLunsRetry;  // the second and every later REPORT LUNS
    std::vector<Unit> units;
    std::optional<Unit> anyUnit;  // answers for every LUN that has no entry of its own
};

struct Port {
    HBA_PORTATTRIBUTES attributes{};
    HBA_STATUS status = HBA_STATUS_OK;
    std::optional<Target> target;  // absent: not a SCSI target
};

// --- Fabric -------------------------------------------------------------------------

// A name-server port object; the fields that the library can be asked for.
struct NameServerPort {
    uint8_t portType = 1;
    uint32_t portId = 0;
    Wwn portName{};
    Wwn nodeName{};
    std::optional<std::string> symbolicPortName;  // absent: not registered
    std::optional<std::string> symbolicNodeName;
    Bytes initialProcessAssociator = Bytes(8);
    Bytes nodeIpAddress = Bytes(16);
    uint32_t classOfService = 0;
    Bytes fc4Types = Bytes(32);
    Bytes portIpAddress = Bytes(16);
    Wwn fabricPortName{};
    uint32_t hardAddress = 0;
};

struct Platform {
    std::string name;
    uint32_t type = 0;
    std::vector<std::string> managementAddresses;
    std::vector<Wwn> nodeNames;
};

// A world-given answer to a CT request, chosen before the built-in services.
struct CtOverride {
    std::optional<uint8_t> gsType, gsSubtype;
    uint16_t code = 0;
    Bytes argument;  // the request payload must start with these bytes
    enum class Kind { Status, Reject, Raw } kind = Kind::Status;
    HBA_STATUS status = HBA_STATUS_OK;
    uint8_t reason = 0, explanation = 0;
    Bytes raw;
};

struct RnidEntry {
    std::optional<Wwn> portName;  // matched by requests naming a port WWN
    std::optional<Wwn> nodeName;  // matched by requests naming a node WWN
    Answer answer;
};

struct Fabric {
    bool hasNameServer = false;
    std::vector<NameServerPort> ports;  // sorted by address: the next-entry ring
    bool hasConfigServer = false;
    std::vector<Platform> platforms;
    std::vector<CtOverride> overrides;
    std::vector<RnidEntry> rnid;
};

// --- Adapters -----------------------------------------------------------------------

struct Adapter {
    std::string name;
    HBA_STATUS nameStatus = HBA_STATUS_OK;
    bool openFails = false;
    HBA_ADAPTERATTRIBUTES attributes{};
    HBA_STATUS attributesStatus = HBA_STATUS_OK;
    Port port;                       // port 0
    std::vector<Port> discovered;    // by discovered-port index
    const Fabric* fabric = nullptr;  // null: no fabric reachable
    std::vector<CtOverride> ctOverrides;  // this adapter's own, tried before the fabric's
};

// How long a kind of call takes on a real SAN: a fixed time (min == max) or one drawn
// evenly from [min, max], in microseconds.
struct Latency {
    uint32_t minMicros = 0;
    uint32_t maxMicros = 0;
};

struct Latencies {
    Latency scsi;        // REPORT LUNS and INQUIRY
    Latency ct;          // CT pass-through
    Latency rnid;        // RNID
    Latency attributes;  // adapter, port and discovered-port attributes
};

struct San {
    Latencies latency;
    HBA_STATUS loadStatus = HBA_STATUS_OK;
    HBA_STATUS freeStatus = HBA_STATUS_OK;
    HBA_UINT32 version = 2;
    HBA_UINT32 adapterCount = 0;
    std::vector<Adapter> adapters;
    std::vector<std::unique_ptr<Fabric>> fabrics;  // owners of what adapters point to
};

}  // namespace sansim
