#include "inventory/drive_survey.h"

#include <charconv>
#include <cstdio>
#include <set>

#include "base/text.h"
#include "platform/host_storage.h"

namespace inv {

std::string driveTypeText(uint32_t driveTypeCode) {
    switch (driveTypeCode) {
        case platform::kDriveFixed: return kHardDriveType;
        case platform::kDriveCdRom: return kCdRomType;
        default: return kInvalidDriveType;
    }
}

std::string megabytesText(std::string_view byteText) {
    // Byte counts are whole numbers: read as an unsigned 64-bit count, then taken as the
    // nearest double, which is what reading the text as a floating-point number gives.
    uint64_t bytes = 0;
    std::from_chars(byteText.data(), byteText.data() + byteText.size(), bytes);
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(bytes) * (1.0 / 1048576.0));
    return text;
}

namespace {

// The letters "subst" names: the first character of each line it prints. Whole lines
// count, however long: a long mapping target does not wrap into a second line whose
// first character would wrongly hide a real drive.
std::set<char> substitutedLetters() {
    std::set<char> letters;
    const auto output = platform::substCommandOutput();
    if (!output) return letters;
    bool lineStart = true;
    for (char c : *output) {
        if (lineStart) letters.insert(c);
        lineStart = c == '\n';
    }
    return letters;
}

}  // namespace

DriveList collectDriveList() {
    DriveList drives;
    const uint32_t mask = platform::logicalDriveMask();
    const std::set<char> substituted = substitutedLetters();

    for (int index = 0; index < 26; ++index) {
        const char upper = static_cast<char>('A' + index);
        if (!(mask & (1u << index)) || substituted.contains(upper)) continue;
        const char lower = static_cast<char>('a' + index);
        const std::string root = std::string(1, upper) + ":\\";

        DriveRecord& d = drives.emplace_back();
        d.letter = std::string(1, lower);
        d.type = driveTypeText(platform::driveType(root));
        // Whatever is not measured below reads as zero bytes at address 0, 0, 0, 0.
        d.totalBytes = "0";
        d.freeBytes = "0";

        const auto volume = platform::volumeInformation(root);
        if (!volume) continue;
        d.label = scan::boundedText(volume->label, kVolumeLabelCapacity);
        d.fileSystem = scan::boundedText(volume->fileSystem, kFileSystemCapacity);

        if (const auto space = platform::diskFreeSpace(root)) {
            d.totalBytes = std::to_string(space->totalBytes);
            d.freeBytes = std::to_string(space->totalFreeBytes);
        }

        const std::string devicePath = "\\\\.\\" + std::string(1, lower) + ":";
        if (auto device = platform::Device::open(devicePath, platform::DeviceAccess::ReadSharedReadWrite)) {
            if (const auto a = device->scsiAddress()) d.address = {a->portNumber, a->pathId, a->targetId, a->lun};
        }
    }
    return drives;
}

}  // namespace inv
