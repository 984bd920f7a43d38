// The host's storage as the inventory reads it: logical drives and their volumes, device
// handles with the SCSI-address and drive-geometry queries, the "subst" command, and the
// registry's hardware map. Part of the host-services seam: the Windows build answers with
// the real Win32 calls, the POSIX build from the simulated world (SANSIM_WORLD); without
// a world the POSIX build has no drives, no devices and an empty registry.
//
// Every query reports failure by an empty result and never throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// --- Logical drives -------------------------------------------------------------------

// Bit mask of the drive letters that exist: bit 0 is A, bit 25 is Z.
uint32_t logicalDriveMask();

// Everything the command "subst" prints on its standard output, line ends as "\n"; empty
// when the command cannot be run.
std::optional<std::string> substCommandOutput();

// Drive-type codes of a root path.
inline constexpr uint32_t kDriveUnknown = 0;
inline constexpr uint32_t kDriveNoRootDir = 1;
inline constexpr uint32_t kDriveRemovable = 2;
inline constexpr uint32_t kDriveFixed = 3;
inline constexpr uint32_t kDriveRemote = 4;
inline constexpr uint32_t kDriveCdRom = 5;
inline constexpr uint32_t kDriveRamDisk = 6;

// The drive-type code of a root path such as "C:\".
uint32_t driveType(const std::string& rootPath);

// Label and file-system name of the volume at a root path, read into buffers of 260 and
// 80 bytes, so the texts hold at most 259 and 79 characters.
inline constexpr std::size_t kVolumeLabelBuffer = 260;
inline constexpr std::size_t kFileSystemNameBuffer = 80;
struct VolumeInformation {
    std::string label;
    std::string fileSystem;
};
std::optional<VolumeInformation> volumeInformation(const std::string& rootPath);

// Sizes of the volume at a root path, in bytes.
struct FreeSpace {
    uint64_t freeBytesAvailable = 0;  // free bytes the caller may use (quotas)
    uint64_t totalBytes = 0;
    uint64_t totalFreeBytes = 0;
};
std::optional<FreeSpace> diskFreeSpace(const std::string& rootPath);

// --- Devices --------------------------------------------------------------------------

// The SCSI address a device reports: port number, path (bus) id, target id, lun.
struct ScsiAddress {
    uint8_t portNumber = 0;
    uint8_t pathId = 0;
    uint8_t targetId = 0;
    uint8_t lun = 0;
};

// A drive's geometry: cylinders, media type, tracks per cylinder, sectors per track and
// bytes per sector.
struct DriveGeometry {
    int64_t cylinders = 0;
    uint32_t mediaType = 0;
    uint32_t tracksPerCylinder = 0;
    uint32_t sectorsPerTrack = 0;
    uint32_t bytesPerSector = 0;
};

enum class DeviceAccess {
    ReadSharedReadWrite,  // read access, others may read and write (volume paths "\\.\c:")
    QueryOnlySharedRead,  // no data access, others may read (disks "\\.\PHYSICALDRIVE0")
};

// An open device path; closed when destroyed.
class Device {
public:
    // Opens an existing device path; empty when it cannot be opened.
    static std::optional<Device> open(const std::string& path, DeviceAccess access);

    // The SCSI-address query (control code 0x41018); empty when the device refuses it.
    std::optional<ScsiAddress> scsiAddress() const;
    // The drive-geometry query (control code 0x70000); empty when the device refuses it.
    std::optional<DriveGeometry> driveGeometry() const;

    Device(Device&&) noexcept;
    Device& operator=(Device&&) noexcept;
    ~Device();

    struct Impl;  // each backend's own handle

private:
    // The backend's own answers; the public calls above pass them to the host observer.
    static std::optional<Device> openBackend(const std::string& path, DeviceAccess access);
    std::optional<ScsiAddress> backendScsiAddress() const;
    std::optional<DriveGeometry> backendDriveGeometry() const;

    explicit Device(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
    std::string path_;  // as opened, so that an observer knows which device answered
};

// --- Registry -------------------------------------------------------------------------

// The key names of a backslash-separated path below HKEY_LOCAL_MACHINE, in order; empty
// names (doubled, leading or trailing backslashes) are passed over, as the registry does.
std::vector<std::string_view> registryKeyNames(std::string_view path);

// Registry value types.
inline constexpr uint32_t kRegNone = 0;
inline constexpr uint32_t kRegString = 1;
inline constexpr uint32_t kRegExpandString = 2;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;
inline constexpr uint32_t kRegDwordBigEndian = 5;
inline constexpr uint32_t kRegMultiString = 7;

struct RegistryValue {
    std::string name;
    uint32_t type = kRegNone;
    std::vector<uint8_t> data;  // as stored, string terminators included
};

struct RegistryKeyInfo {
    uint32_t subkeyCount = 0;
    uint32_t valueCount = 0;
};

enum class RegistryEnum {
    Ok,
    DoesNotFit,   // the name or the data is larger than the buffers given
    NoMoreItems,  // the index is past the last item
    Failed,
};

// A key under HKEY_LOCAL_MACHINE, open for reading; closed when destroyed.
class RegistryKey {
public:
    // Opens HKEY_LOCAL_MACHINE\path ("HARDWARE\DEVICEMAP"); empty when it cannot be opened.
    static std::optional<RegistryKey> openLocalMachine(const std::string& path);

    // Number of subkeys and values; empty when the query fails.
    std::optional<RegistryKeyInfo> queryInfo() const;
    // Name of the subkey at an index, read into a buffer of nameBuffer bytes.
    RegistryEnum subkeyName(uint32_t index, std::size_t nameBuffer, std::string& name) const;
    // The value at an index, its name read into nameBuffer bytes and its data into
    // dataBuffer bytes.
    RegistryEnum valueAt(uint32_t index, std::size_t nameBuffer, std::size_t dataBuffer,
                         RegistryValue& value) const;
    // The value of that name, whole; empty when it does not exist or cannot be read.
    std::optional<RegistryValue> queryValue(const std::string& name) const;

    RegistryKey(RegistryKey&&) noexcept;
    RegistryKey& operator=(RegistryKey&&) noexcept;
    ~RegistryKey();

    struct Impl;

private:
    // The backend's own answers; the public calls above pass them to the host observer.
    static std::optional<RegistryKey> openBackend(const std::string& path);
    std::optional<RegistryKeyInfo> backendQueryInfo() const;
    RegistryEnum backendSubkeyName(uint32_t index, std::size_t nameBuffer, std::string& name) const;
    RegistryEnum backendValueAt(uint32_t index, std::size_t nameBuffer, std::size_t dataBuffer,
                                RegistryValue& value) const;
    std::optional<RegistryValue> backendQueryValue(const std::string& name) const;

    explicit RegistryKey(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
    std::string path_;  // as opened
};

}  // namespace platform
