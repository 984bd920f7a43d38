// The drive survey: the host's logical drives with their type, sizes, label, file system
// and SCSI address, in drive-letter order. Drives made with "subst" are left out; drives
// the documents do not describe (removable, network, ...) stay in the list marked
// "Invalid Drive".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "document/records.h"

namespace inv {

// Capacities of the drive record's texts, terminator included.
inline constexpr std::size_t kDriveLetterFieldCapacity = 5;
inline constexpr std::size_t kDriveTypeCapacity = 30;
inline constexpr std::size_t kVolumeLabelCapacity = 256;
// Wide enough for every name the volume query can return (its buffer is 80 bytes):
// a ten-byte field would cut names of ten characters or more.
inline constexpr std::size_t kFileSystemCapacity = 80;

inline constexpr const char* kHardDriveType = "HardDrive";
inline constexpr const char* kCdRomType = "CDROM";
inline constexpr const char* kInvalidDriveType = "Invalid Drive";

struct DriveRecord {
    std::string letter;      // lower case, "c"
    std::string type;        // kHardDriveType, kCdRomType or kInvalidDriveType
    std::string totalBytes;  // decimal; "0" when not measured
    std::string freeBytes;   // total free bytes, decimal; "0" when not measured
    std::string label;
    std::string fileSystem;  // as the volume reports it, "NTFS"; empty without a volume
    doc::DiskAddress address;  // zero when the device refuses the SCSI-address query
};
using DriveList = std::vector<DriveRecord>;

// The type text of a drive-type code.
std::string driveTypeText(uint32_t driveTypeCode);

// A decimal byte count as binary megabytes with two decimals ("%.2f").
std::string megabytesText(std::string_view byteText);

// Surveys the drives A to Z. Writes no trace and reports nothing: a query that fails
// leaves the fields it would have filled empty, "0" or zero.
DriveList collectDriveList();

}  // namespace inv
