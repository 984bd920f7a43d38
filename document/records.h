// The entity records that the host inventory and the entity builders produce and the
// document writers print. Every entity has an id, references to other entities' ids
// (compared by exact, case-sensitive equality) and a list of name/value parameters in
// the order its producer appended them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "wire/values.h"

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
    std::vector<ParameterNode>& nodes() { return nodes_; }
    bool empty() const { return nodes_.empty(); }
    // The value of the first parameter of that name, or null.
    const std::string* find(std::string_view name) const;
    std::string* find(std::string_view name);

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
};

struct PeripheralEntityRecord {
    std::string id;
    std::string serialText;    // hexadecimal of the node's serial number
    std::string nodeWwnText;   // hexadecimal of the node WWN
    std::string unitPrefix;    // node port WWN and adapter port WWN, hexadecimal
    int unitCount = 0;
    bool page83Valid = false;
    ParameterList parameters;
};

struct LogicalUnitRecord {
    std::string id;
    std::string peripheralEntityRef;
    std::string systemRef;
    std::string adapterText;     // working value, not printed
    std::string rawStandardText; // working value
    std::string rawPage83Text;   // working value
    DiskAddress address;
    // The first parameter is the working "Serial Number", never printed.
    ParameterList parameters;
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
