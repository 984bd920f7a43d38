// Everything the attribute document shows, gathered before printing, and the scan
// parameters the driver hands to every document writer.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "document/records.h"

namespace doc {

// Capacities of the scan parameters, terminator included.
inline constexpr std::size_t kAgentAddressCapacity = 50;
inline constexpr std::size_t kScannerNameCapacity = 256;
inline constexpr std::size_t kSystemGuidCapacity = 82;

struct ScanParameters {
    std::string agentAddress;
    std::string scannerName;
    std::string systemGuid;
};

struct AttributeModel {
    SystemRecord system;
    std::optional<OperatingSystemRecord> operatingSystem;
    std::vector<LogicalVolumeRecord> logicalVolumes;
    std::vector<HostFileSystemRecord> hostFileSystems;
    std::vector<PhysicalVolumeRecord> physicalVolumes;
    std::vector<ControllerRecord> controllers;
    std::vector<LogicalUnitRecord> logicalUnits;
    std::deque<PeripheralEntityRecord> peripheralEntities;
    // Deques: the model's completion puts placeholder nodes and ports at the front.
    std::deque<FcNodeRecord> fcNodes;
    std::deque<FcPortRecord> fcPorts;
    std::vector<ConnectivityGroupRecord> connectivityGroups;
};

}  // namespace doc
