// Logical volumes and host file systems: one of each per drive that the documents
// describe (fixed drives and CD-ROM drives), in drive-letter order.
#pragma once

#include <vector>

#include "document/records.h"
#include "inventory/drive_survey.h"

namespace inv {

// The operating-system name the volume producers put into owner ids.
std::string operatingSystemNameOf(const doc::OperatingSystemRecord& os);

// One logical volume per described drive: id "<system id>:<letter>", owned by the
// operating system, at the drive's SCSI address.
std::vector<doc::LogicalVolumeRecord> getLogicalVolumeInfo(const doc::OperatingSystemRecord& os,
                                                           const doc::SystemRecord& system,
                                                           const DriveList& drives);

// One host file system per described drive: id "<system id>:<file system>:<letter>".
std::vector<doc::HostFileSystemRecord> getHfsInfo(const doc::OperatingSystemRecord& os,
                                                  const doc::SystemRecord& system, const DriveList& drives);

}  // namespace inv
