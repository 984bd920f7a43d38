// Drives, devices and the registry from the real Win32 services.
#include <windows.h>
#include <winioctl.h>

#include <cstdio>

#include "platform/host_storage.h"
#include "platform/process.h"

namespace platform {

namespace {

// The answer of the SCSI-address query: length, then the four address bytes.
struct ScsiAddressAnswer {
    ULONG length;
    UCHAR portNumber;
    UCHAR pathId;
    UCHAR targetId;
    UCHAR lun;
};
static_assert(sizeof(ScsiAddressAnswer) == 8);
static_assert(sizeof(DISK_GEOMETRY) == 24);

// A drive without a medium (floppy, card reader, empty CD-ROM) would make Windows ask the
// user to insert one in a message box, which nobody answers in an unattended scan: the
// queries fail instead while this guard lives.
class NoCriticalErrorBoxes {
public:
    NoCriticalErrorBoxes() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
    ~NoCriticalErrorBoxes() { SetErrorMode(previous_); }
    NoCriticalErrorBoxes(const NoCriticalErrorBoxes&) = delete;
    NoCriticalErrorBoxes& operator=(const NoCriticalErrorBoxes&) = delete;

private:
    UINT previous_;
};

constexpr DWORD kScsiGetAddress = 0x41018;
constexpr DWORD kDiskGetDriveGeometry = 0x70000;

}  // namespace

// --- Logical drives -------------------------------------------------------------------

uint32_t logicalDriveMask() { return GetLogicalDrives(); }

std::optional<std::string> substCommandOutput() {
    FILE* pipe = _popen("subst", "r");
    if (!pipe) return std::nullopt;
    std::string out;
    char buffer[512];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    _pclose(pipe);
    return out;
}

uint32_t driveType(const std::string& rootPath) {
    NoCriticalErrorBoxes guard;
    return GetDriveTypeA(rootPath.c_str());
}

std::optional<VolumeInformation> volumeInformation(const std::string& rootPath) {
    NoCriticalErrorBoxes guard;
    char label[kVolumeLabelBuffer] = {};
    char fileSystem[kFileSystemNameBuffer] = {};
    if (!GetVolumeInformationA(rootPath.c_str(), label, sizeof label, nullptr, nullptr, nullptr, fileSystem,
                               sizeof fileSystem))
        return std::nullopt;
    label[sizeof label - 1] = '\0';
    fileSystem[sizeof fileSystem - 1] = '\0';
    return VolumeInformation{hostText(label), hostText(fileSystem)};
}

std::optional<FreeSpace> diskFreeSpace(const std::string& rootPath) {
    NoCriticalErrorBoxes guard;
    ULARGE_INTEGER available{}, total{}, totalFree{};
    if (!GetDiskFreeSpaceExA(rootPath.c_str(), &available, &total, &totalFree)) return std::nullopt;
    return FreeSpace{available.QuadPart, total.QuadPart, totalFree.QuadPart};
}

// --- Devices --------------------------------------------------------------------------

struct Device::Impl {
    HANDLE handle = INVALID_HANDLE_VALUE;
    ~Impl() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};

Device::Device(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Device::Device(Device&&) noexcept = default;
Device& Device::operator=(Device&&) noexcept = default;
Device::~Device() = default;

std::optional<Device> Device::open(const std::string& path, DeviceAccess access) {
    NoCriticalErrorBoxes guard;
    const bool read = access == DeviceAccess::ReadSharedReadWrite;
    HANDLE h = CreateFileA(path.c_str(), read ? GENERIC_READ : 0,
                           read ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    auto impl = std::make_unique<Impl>();
    impl->handle = h;
    return Device(std::move(impl));
}

std::optional<ScsiAddress> Device::scsiAddress() const {
    ScsiAddressAnswer answer{};
    DWORD returned = 0;
    if (!DeviceIoControl(impl_->handle, kScsiGetAddress, nullptr, 0, &answer, sizeof answer, &returned, nullptr))
        return std::nullopt;
    return ScsiAddress{answer.portNumber, answer.pathId, answer.targetId, answer.lun};
}

std::optional<DriveGeometry> Device::driveGeometry() const {
    DISK_GEOMETRY g{};
    DWORD returned = 0;
    if (!DeviceIoControl(impl_->handle, kDiskGetDriveGeometry, nullptr, 0, &g, sizeof g, &returned, nullptr))
        return std::nullopt;
    return DriveGeometry{g.Cylinders.QuadPart, static_cast<uint32_t>(g.MediaType), g.TracksPerCylinder,
                         g.SectorsPerTrack, g.BytesPerSector};
}

// --- Registry -------------------------------------------------------------------------

namespace {

RegistryEnum enumStatus(LONG status) {
    switch (status) {
        case ERROR_SUCCESS: return RegistryEnum::Ok;
        case ERROR_MORE_DATA: return RegistryEnum::DoesNotFit;
        case ERROR_NO_MORE_ITEMS: return RegistryEnum::NoMoreItems;
        default: return RegistryEnum::Failed;
    }
}

}  // namespace

struct RegistryKey::Impl {
    HKEY key = nullptr;
    ~Impl() {
        if (key) RegCloseKey(key);
    }
};

RegistryKey::RegistryKey(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
RegistryKey::RegistryKey(RegistryKey&&) noexcept = default;
RegistryKey& RegistryKey::operator=(RegistryKey&&) noexcept = default;
RegistryKey::~RegistryKey() = default;

std::optional<RegistryKey> RegistryKey::openLocalMachine(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    auto impl = std::make_unique<Impl>();
    impl->key = key;
    return RegistryKey(std::move(impl));
}

std::optional<RegistryKeyInfo> RegistryKey::queryInfo() const {
    DWORD subkeys = 0, values = 0;
    if (RegQueryInfoKeyA(impl_->key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    return RegistryKeyInfo{subkeys, values};
}

RegistryEnum RegistryKey::subkeyName(uint32_t index, std::size_t nameBuffer, std::string& name) const {
    std::string buffer(nameBuffer, '\0');
    DWORD length = static_cast<DWORD>(nameBuffer);
    const RegistryEnum status =
        enumStatus(RegEnumKeyExA(impl_->key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr));
    if (status == RegistryEnum::Ok) name.assign(buffer.data(), std::min<std::size_t>(length, nameBuffer));
    return status;
}

RegistryEnum RegistryKey::valueAt(uint32_t index, std::size_t nameBuffer, std::size_t dataBuffer,
                                  RegistryValue& value) const {
    std::string name(nameBuffer, '\0');
    std::vector<uint8_t> data(dataBuffer);
    DWORD nameLength = static_cast<DWORD>(nameBuffer);
    DWORD dataLength = static_cast<DWORD>(dataBuffer);
    DWORD type = 0;
    const RegistryEnum status = enumStatus(
        RegEnumValueA(impl_->key, index, name.data(), &nameLength, nullptr, &type, data.data(), &dataLength));
    if (status != RegistryEnum::Ok) return status;
    value.name.assign(name.data(), std::min<std::size_t>(nameLength, nameBuffer));
    value.type = type;
    data.resize(std::min<std::size_t>(dataLength, dataBuffer));
    value.data = std::move(data);
    return status;
}

std::optional<RegistryValue> RegistryKey::queryValue(const std::string& name) const {
    RegistryValue value;
    value.name = name;
    // The value may grow between the size query and the read: ask again then.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0, size = 0;
        if (RegQueryValueExA(impl_->key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return std::nullopt;
        value.data.assign(size, 0);
        DWORD got = size;
        const LONG status = RegQueryValueExA(impl_->key, name.c_str(), nullptr, &type,
                                             value.data.empty() ? nullptr : value.data.data(), &got);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) return std::nullopt;
        value.type = type;
        value.data.resize(std::min<DWORD>(got, size));
        if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
            // Terminators convert to terminators, so a multi-string keeps its pieces.
            const std::string text = hostText(std::string_view(reinterpret_cast<const char*>(value.data.data()),
                                                               value.data.size()));
            value.data.assign(text.begin(), text.end());
        }
        return value;
    }
    return std::nullopt;
}

}  // namespace platform
