// The public host-service calls: each asks its backend and shows the answer to the host
// observer, when one is set.
#include "platform/backend.h"
#include "platform/host_observer.h"
#include "portability/zur_system.h"

namespace platform {

namespace {

HostObserver* g_observer = nullptr;

// Passes an answer to the observer and returns it unchanged.
template <typename T, typename Tell>
T observed(T answer, Tell tell) {
    if (g_observer) tell(*g_observer, answer);
    return answer;
}

}  // namespace

void setHostObserver(HostObserver* observer) { g_observer = observer; }

bool startSockets() { return zur::startSockets(); }

uint32_t currentProcessId() { return static_cast<uint32_t>(zur_getpid()); }

std::optional<std::string> localHostName() {
    return observed(backend::localHostName(), [](HostObserver& o, const auto& a) { o.localHostName(a); });
}

std::optional<HostEntry> lookupHost(const std::string& name) {
    return observed(backend::lookupHost(name), [&](HostObserver& o, const auto& a) { o.lookupHost(name, a); });
}

OsVersion osVersion() {
    return observed(backend::osVersion(), [](HostObserver& o, const auto& a) { o.osVersion(a); });
}

uint16_t processorArchitecture() {
    return observed(backend::processorArchitecture(), [](HostObserver& o, auto a) { o.processorArchitecture(a); });
}

uint32_t logicalDriveMask() {
    return observed(backend::logicalDriveMask(), [](HostObserver& o, auto a) { o.logicalDriveMask(a); });
}

std::optional<std::string> substCommandOutput() {
    return observed(backend::substCommandOutput(), [](HostObserver& o, const auto& a) { o.substCommandOutput(a); });
}

uint32_t driveType(const std::string& rootPath) {
    return observed(backend::driveType(rootPath), [&](HostObserver& o, auto a) { o.driveType(rootPath, a); });
}

std::optional<VolumeInformation> volumeInformation(const std::string& rootPath) {
    return observed(backend::volumeInformation(rootPath),
                    [&](HostObserver& o, const auto& a) { o.volumeInformation(rootPath, a); });
}

std::optional<FreeSpace> diskFreeSpace(const std::string& rootPath) {
    return observed(backend::diskFreeSpace(rootPath),
                    [&](HostObserver& o, const auto& a) { o.diskFreeSpace(rootPath, a); });
}

std::optional<Device> Device::open(const std::string& path, DeviceAccess access) {
    std::optional<Device> device = openBackend(path, access);
    if (device) device->path_ = path;
    if (g_observer) g_observer->deviceOpened(path, device.has_value());
    return device;
}

std::optional<ScsiAddress> Device::scsiAddress() const {
    return observed(backendScsiAddress(), [&](HostObserver& o, const auto& a) { o.scsiAddress(path_, a); });
}

std::optional<DriveGeometry> Device::driveGeometry() const {
    return observed(backendDriveGeometry(), [&](HostObserver& o, const auto& a) { o.driveGeometry(path_, a); });
}

std::optional<RegistryKey> RegistryKey::openLocalMachine(const std::string& path) {
    std::optional<RegistryKey> key = openBackend(path);
    if (key) key->path_ = path;
    if (g_observer) g_observer->registryOpened(path, key.has_value());
    return key;
}

std::optional<RegistryKeyInfo> RegistryKey::queryInfo() const {
    return observed(backendQueryInfo(), [&](HostObserver& o, const auto& a) { o.registryInfo(path_, a); });
}

RegistryEnum RegistryKey::subkeyName(uint32_t index, std::size_t nameBuffer, std::string& name) const {
    const RegistryEnum status = backendSubkeyName(index, nameBuffer, name);
    if (g_observer) g_observer->registrySubkey(path_, index, nameBuffer, status, name);
    return status;
}

RegistryEnum RegistryKey::valueAt(uint32_t index, std::size_t nameBuffer, std::size_t dataBuffer,
                                  RegistryValue& value) const {
    const RegistryEnum status = backendValueAt(index, nameBuffer, dataBuffer, value);
    if (g_observer) g_observer->registryValueAt(path_, index, nameBuffer, dataBuffer, status, value);
    return status;
}

std::optional<RegistryValue> RegistryKey::queryValue(const std::string& name) const {
    return observed(backendQueryValue(name),
                    [&](HostObserver& o, const auto& a) { o.registryQueryValue(path_, name, a); });
}

}  // namespace platform
