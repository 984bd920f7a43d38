// The disk survey: the host's physical disks with their registry identification,
// capacity from the drive geometry, SCSI address and a hash that names them; and the
// physical volumes built from them, named after the SAN logical unit at the same SCSI
// address when there is one.
#pragma once

#include <string>
#include <vector>

#include "document/records.h"

namespace inv {

// Capacities of the disk record's texts, terminator included.
inline constexpr std::size_t kDiskNameCapacity = 260;
inline constexpr std::size_t kDiskHashCapacity = 40;
inline constexpr std::size_t kProductIdCapacity = 200;
inline constexpr std::size_t kVendorCapacity = 100;
// A capacity of a million megabytes or more needs eleven bytes or more; the largest
// product of four 32-bit geometry numbers needs 37.
inline constexpr std::size_t kDiskCapacityTextCapacity = 64;
// The working buffers the identifier and its first word are read into.
inline constexpr std::size_t kIdentifierBuffer = 1024;
inline constexpr std::size_t kVendorBuffer = 128;
// Disk numbers tried: 0 up to this bound, exclusive.
inline constexpr int kMaxDiskNumber = 1000;
// The physical-volume key holds a logical-unit id or a hash.
inline constexpr std::size_t kPhysicalVolumeKeyCapacity = 64;

struct DiskRecord {
    std::string name;       // "Disk0"
    std::string hash;       // 32 lower-case hexadecimal digits
    std::string type;       // always "HardDrive"
    std::string productId;  // the registry identifier, quotes and backslashes escaped
    std::string vendor;     // its first word, escaped the same way
    std::string capacity;   // megabytes, "%.2f"
    doc::DiskAddress address;
};
using DiskList = std::vector<DiskRecord>;

// The hash text of a disk: the identifier, then the low 32 bits of the cylinder count,
// the tracks per cylinder, sectors per track, bytes per sector and the disk number, all
// signed decimal without separators.
std::string diskHashText(const std::string& identifier, int64_t cylinders, uint32_t tracksPerCylinder,
                         uint32_t sectorsPerTrack, uint32_t bytesPerSector, int diskNumber);

// Cylinders x tracks x sectors x bytes per sector (each as unsigned 32-bit, multiplied in
// floating point) in megabytes, "%.2f".
std::string diskCapacityText(int64_t cylinders, uint32_t tracksPerCylinder, uint32_t sectorsPerTrack,
                             uint32_t bytesPerSector);

// Surveys \\.\PHYSICALDRIVE0, 1, ... up to the first number that does not open. The
// registry keys whose value "TYPE" is "DiskPeripheral", in search order, identify the
// disks in number order; a disk without a readable identifier repeats the previous
// disk's texts. Disks that refuse the geometry query are left out.
DiskList collectDiskList();

// One physical volume per disk: id "<system id>:<key>", where the key is the id of the
// first logical unit at the disk's SCSI address, or else the disk's hash.
std::vector<doc::PhysicalVolumeRecord> getPhysicalVolumeInfo(const doc::OperatingSystemRecord& os,
                                                             const doc::SystemRecord& system,
                                                             const std::vector<doc::LogicalUnitRecord>& logicalUnits,
                                                             const DiskList& disks);

}  // namespace inv
