// The entity records that the host inventory and the entity builders produce and the
// document writers print. Every entity has an id, references to other entities' ids
// (compared by exact, case-sensitive equality) and a list of name/value parameters in
// the order its producer appended them; a logical unit's parameters are rendered from the
// discovered unit it refers to.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "wire/values.h"

namespace hba {
struct LunRecord;
}

namespace doc {

// Capacities of the texts, terminator included; a longer text is cut to capacity - 1.
inline constexpr std::size_t kParameterNameCapacity = 50;
inline constexpr std::size_t kParameterValueCapacity = 1026;
inline constexpr std::size_t kIdCapacity = 256;
inline constexpr std::size_t kShortIdCapacity = 64;
inline constexpr std::size_t kDriveLetterCapacity = 64;

struct ParameterNode {
    std::string name;
    std::string value;
};

// Parameters in append order.
class ParameterList {
public:
    // Appends name and value, each cut to its field's capacity.
    void append(std::string_view name, std::string_view value);
    const std::vector<ParameterNode>& nodes() const { return nodes_; }
    bool empty() const { return nodes_.empty(); }

private:
    std::vector<ParameterNode> nodes_;
};

// The SCSI address a host reports for a drive, a disk or a logical unit.
using DiskAddress = wire::DiskAddress;

struct SystemRecord {
    std::string id;            // IPv4 address text, replaced by the GUID text when given
    std::string architecture;  // processor architecture name
    std::string hostName;      // official host name
    ParameterList parameters;
};

struct OperatingSystemRecord {
    std::string id;       // "<system id>:<name>"
    std::string owner;    // system id
    std::string name;     // operating-system name (at most 39 characters)
    std::string version;  // major version, decimal (at most 11 characters)
    ParameterList parameters;
};

struct LogicalVolumeRecord {
    std::string id;
    std::string owner;  // operating-system id
    std::string driveLetter;
    DiskAddress address;
    ParameterList parameters;
};

struct HostFileSystemRecord {
    std::string id;
    std::string owner;  // operating-system id
    std::string driveLetter;
    ParameterList parameters;
};

struct PhysicalVolumeRecord {
    std::string id;
    std::string owner;  // operating-system id
    DiskAddress address;
    ParameterList parameters;
};

struct ControllerRecord {
    std::string id;
    std::string owner;  // system id
    ParameterList parameters;
    // The FC nodes the controller names, in node-list order. They are taken before
    // duplicate nodes are removed, so a node listed twice is named twice.
    std::vector<std::string> nodeRefs;
};

struct PeripheralEntityRecord {
    std::string id;
    ParameterList parameters;
};

// A logical unit holds no texts of its own beyond its id: its parameters are rendered,
// when printed, from the discovered unit it stands for. The discovered adapters outlive
// every model built from them. There are hundreds of thousands of these records in a
// large SAN, so each one is kept small.
struct LogicalUnitRecord {
    std::string id;
    // The discovered unit, or null when the node the unit was matched with has fewer
    // units than its entity: its texts are then empty and its capacity unknown.
    const hba::LunRecord* unit = nullptr;
    // Index of its peripheral entity in the model's list.
    uint32_t entity = 0;
    DiskAddress address;
    // Whether "raw83data" is among its parameters (its node's page 0x83 was valid).
    bool showsPage83 = false;
};

struct FcNodeRecord {
    std::string id;
    std::string controllerRef;
    std::string peripheralEntityRef;
    ParameterList parameters;
};

struct FcPortRecord {
    std::string id;
    std::string nodeRef;
    ParameterList parameters;
};

struct ConnectivityGroupRecord {
    std::string id;
    std::string portRef;
    std::vector<std::string> members;  // port ids, in member order
};

}  // namespace doc
