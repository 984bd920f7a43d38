#include "inventory/disk_survey.h"

#include <cstdio>
#include <unordered_map>

#include "common/scan_trace.h"
#include "base/text.h"
#include "inventory/disk_text.h"
#include "inventory/drive_survey.h"
#include "inventory/registry_search.h"
#include "inventory/volume_entities.h"
#include "platform/host_storage.h"

namespace inv {

using scan::kSourceSurveyXml;
using scan::trace;

std::string diskHashText(const std::string& identifier, int64_t cylinders, uint32_t tracksPerCylinder,
                         uint32_t sectorsPerTrack, uint32_t bytesPerSector, int diskNumber) {
    auto signedText = [](uint32_t n) { return std::to_string(static_cast<int32_t>(n)); };
    return identifier + signedText(static_cast<uint32_t>(cylinders)) + signedText(tracksPerCylinder) +
           signedText(sectorsPerTrack) + signedText(bytesPerSector) + std::to_string(diskNumber);
}

std::string diskCapacityText(int64_t cylinders, uint32_t tracksPerCylinder, uint32_t sectorsPerTrack,
                             uint32_t bytesPerSector) {
    const double bytes = static_cast<double>(static_cast<uint32_t>(cylinders)) * tracksPerCylinder *
                         sectorsPerTrack * bytesPerSector;
    char text[kDiskCapacityTextCapacity];
    std::snprintf(text, sizeof text, "%.2f", bytes / 1048576.0);
    return text;
}

namespace {

// The first blank-separated word, as the vendor buffer holds it.
std::string firstWord(const std::string& text) {
    return scan::boundedText(std::string_view(text).substr(0, text.find(' ')), kVendorBuffer);
}

}  // namespace

DiskList collectDiskList() {
    // Kept from disk to disk: a disk whose identifier cannot be read shows the previous one.
    std::string identifier;
    std::string vendor;

    std::vector<std::string> keys;
    findRegistryKeys("HARDWARE", std::nullopt, "TYPE", "DiskPeripheral", keys, true);

    DiskList disks;
    for (int i = 0; i < kMaxDiskNumber; ++i) {
        char path[32];
        std::snprintf(path, sizeof path, "\\\\.\\PHYSICALDRIVE%d", i);
        auto device = platform::Device::open(path, platform::DeviceAccess::QueryOnlySharedRead);
        if (!device) break;
        const auto geometry = device->driveGeometry();
        if (!geometry) continue;

        if (static_cast<std::size_t>(i) < keys.size()) {
            if (auto key = platform::RegistryKey::openLocalMachine(keys[static_cast<std::size_t>(i)])) {
                readRegistryValueText(*key, "Identifier", identifier, kIdentifierBuffer, false);
                if (!identifier.empty()) vendor = firstWord(identifier);
            }
        }

        const std::string hashText =
            diskHashText(identifier, geometry->cylinders, geometry->tracksPerCylinder, geometry->sectorsPerTrack,
                         geometry->bytesPerSector, i);

        DiskRecord& disk = disks.emplace_back();
        if (const auto a = device->scsiAddress()) disk.address = {a->portNumber, a->pathId, a->targetId, a->lun};
        disk.name = scan::boundedText("Disk" + std::to_string(i), kDiskNameCapacity);
        disk.hash = scan::boundedText(md5HexDigest(hashText).value_or(""), kDiskHashCapacity);
        disk.vendor = escapeQuotes(vendor, kVendorCapacity);
        disk.productId = escapeQuotes(identifier, kProductIdCapacity);
        disk.capacity = diskCapacityText(geometry->cylinders, geometry->tracksPerCylinder, geometry->sectorsPerTrack,
                                         geometry->bytesPerSector);
        disk.type = kHardDriveType;
    }
    return disks;
}

std::vector<doc::PhysicalVolumeRecord> getPhysicalVolumeInfo(const doc::OperatingSystemRecord& os,
                                                             const doc::SystemRecord& system,
                                                             const std::vector<doc::LogicalUnitRecord>& logicalUnits,
                                                             const DiskList& disks) {
    trace(kSourceSurveyXml, "getPhysicalVolumeInfo", 1935, "Entering getPhysicalVolumeInfo function");
    const std::string owner = scan::boundedText(system.id + ":" + operatingSystemNameOf(os), doc::kIdCapacity);

    // The first logical unit (in list order) at each SCSI address.
    std::unordered_map<uint32_t, const doc::LogicalUnitRecord*> unitAt;
    for (const auto& lu : logicalUnits) unitAt.try_emplace(lu.address.key(), &lu);

    std::vector<doc::PhysicalVolumeRecord> volumes;
    for (const DiskRecord& disk : disks) {
        if (disk.type == kInvalidDriveType) continue;
        const auto unit = unitAt.find(disk.address.key());
        const std::string key =
            scan::boundedText(unit != unitAt.end() ? unit->second->id : disk.hash, kPhysicalVolumeKeyCapacity);

        doc::PhysicalVolumeRecord& pv = volumes.emplace_back();
        pv.address = disk.address;
        pv.id = scan::boundedText(system.id + ":" + key, doc::kIdCapacity);
        pv.owner = owner;
        pv.parameters.append("Name", disk.name);
        pv.parameters.append("ID", key);
        pv.parameters.append("Type", disk.type);
        pv.parameters.append("Vendor", disk.vendor);
        pv.parameters.append("Product ID", disk.productId);
        pv.parameters.append("Total Space", disk.capacity);
    }

    trace(kSourceSurveyXml, "getPhysicalVolumeInfo", 2039, "Exiting getPhysicalVolumeInfo function");
    return volumes;
}

}  // namespace inv
