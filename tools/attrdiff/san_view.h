// The SAN as people picture it, derived from an attribute document: the host, its
// adapters, the target ports they reach, the storage systems behind those ports, and the
// logical units of each system with the paths they are seen through and the local disks
// and volumes that sit on them. Ids are the documents' UniqueId texts, so that a view can
// be matched against another document's view and against a difference.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "tools/attrdiff/scan_document.h"

namespace scandoc {

struct AdapterView {
    const Entity* controller = nullptr;
    std::string port;  // "FcPortXml:<WWN>" of the adapter's own port, or empty
    std::string name;  // its "Name" parameter, else the id
};

struct TargetPortView {
    std::string id;                     // "FcPortXml:<WWN>"
    const Entity* port = nullptr;       // null when only a unit's path names it
    std::string storage;                // "PlatformXml:<id>" of its storage system, or empty
    std::vector<std::string> adapters;  // controller ids of the adapters that reach it
};

struct UnitView {
    std::string key, label;               // see unitIdentity
    std::string storage;                  // "PlatformXml:<id>", or empty
    std::vector<const Entity*> paths;     // its LogicalUnitXml entities, in document order
    std::vector<std::string> adapterPorts, targetPorts;  // "FcPortXml:<WWN>", sorted, distinct
    std::vector<const Entity*> disks;     // PhysicalVolumeXml on it
    std::vector<const Entity*> volumes;   // LogicalVolumeXml on those disks
    bool multipath() const { return adapterPorts.size() >= 2; }
};

struct StorageView {
    std::string id;                       // "PlatformXml:<id>"
    const Entity* entity = nullptr;       // null when only units refer to it
    std::vector<std::string> targetPorts; // ids, in document order
    std::vector<std::size_t> units;       // indexes into SanView::units
    std::string name;                     // for people
};

struct SanView {
    const Entity* system = nullptr;
    std::vector<AdapterView> adapters;
    std::vector<TargetPortView> targetPorts;
    std::vector<StorageView> storage;
    std::vector<UnitView> units;
    std::vector<const Entity*> localDisks;  // physical volumes on no logical unit
    std::unordered_map<EntityKey, const Entity*, EntityKeyHash> byId;

    const Entity* find(const std::string& element, const std::string& id) const;
    // The volumes (LogicalVolumeXml) on a physical volume.
    std::vector<const Entity*> volumesOf(const Entity& disk) const;
};

SanView buildSanView(const Document& doc);

// A name for people: an adapter's or volume's "Name", a file system's mount point, a
// storage system's "Serial Number", else the id without its prefix.
std::string displayName(const Entity& e);

}  // namespace scandoc
