#include "inventory/volume_entities.h"

#include "common/scan_trace.h"
#include "base/text.h"

namespace inv {

using scan::kSourceSurveyXml;
using scan::trace;

std::string operatingSystemNameOf(const doc::OperatingSystemRecord& os) { return os.name; }

std::vector<doc::LogicalVolumeRecord> getLogicalVolumeInfo(const doc::OperatingSystemRecord& os,
                                                           const doc::SystemRecord& system,
                                                           const DriveList& drives) {
    trace(kSourceSurveyXml, "getLogicalVolumeInfo", 1819, "Entering getLogicalVolumeInfo function");
    const std::string owner = scan::boundedText(system.id + ":" + operatingSystemNameOf(os), doc::kIdCapacity);

    std::vector<doc::LogicalVolumeRecord> volumes;
    for (const DriveRecord& d : drives) {
        if (d.type == kInvalidDriveType) continue;
        doc::LogicalVolumeRecord& lv = volumes.emplace_back();
        lv.id = scan::boundedText(system.id + ":" + d.letter, doc::kIdCapacity);
        lv.owner = owner;
        lv.driveLetter = scan::boundedText(d.letter, doc::kDriveLetterCapacity);
        lv.address = d.address;
        lv.parameters.append("Name", d.letter);
        lv.parameters.append("ID", d.letter);
        lv.parameters.append("Type", d.type);
        lv.parameters.append("Size", megabytesText(d.totalBytes));
        lv.parameters.append("Free Space", megabytesText(d.freeBytes));
        lv.parameters.append("Label", d.label);
    }

    trace(kSourceSurveyXml, "getLogicalVolumeInfo", 1906, "Exiting getLogicalVolumeInfo function");
    return volumes;
}

std::vector<doc::HostFileSystemRecord> getHfsInfo(const doc::OperatingSystemRecord& os,
                                                  const doc::SystemRecord& system, const DriveList& drives) {
    trace(kSourceSurveyXml, "getHfsInfo", 1700, "Entering getHfsInfo function");
    const std::string owner = scan::boundedText(system.id + ":" + operatingSystemNameOf(os), doc::kIdCapacity);

    std::vector<doc::HostFileSystemRecord> fileSystems;
    for (const DriveRecord& d : drives) {
        if (d.type == kInvalidDriveType) continue;
        doc::HostFileSystemRecord& hfs = fileSystems.emplace_back();
        hfs.id = scan::boundedText(system.id + ":" + d.fileSystem + ":" + d.letter, doc::kIdCapacity);
        hfs.owner = owner;
        hfs.driveLetter = scan::boundedText(d.letter, doc::kDriveLetterCapacity);
        hfs.parameters.append("Type", d.fileSystem);
        hfs.parameters.append("Name", d.letter);
        hfs.parameters.append("Mount Point", d.letter);
        hfs.parameters.append("Total Space", megabytesText(d.totalBytes));
        hfs.parameters.append("Free Space", megabytesText(d.freeBytes));
    }

    trace(kSourceSurveyXml, "getHfsInfo", 1789, "Exiting getHfsInfo function");
    return fileSystems;
}

}  // namespace inv
