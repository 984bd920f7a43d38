// Watching the host services: an observer set here is told every answer the host
// services give, after the backend gave it and before the caller sees it. The scanner
// uses this to record a scan; nothing is observed while no observer is set.
//
// Contracts: the observer sees answers exactly as the caller receives them, in call
// order; it must not call the host services itself. Not thread-safe: the scanner is
// single-threaded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/host_services.h"
#include "platform/host_storage.h"

namespace platform {

class HostObserver {
public:
    virtual ~HostObserver() = default;

    virtual void localHostName(const std::optional<std::string>& answer) = 0;
    virtual void lookupHost(const std::string& name, const std::optional<HostEntry>& answer) = 0;
    virtual void osVersion(const OsVersion& answer) = 0;
    virtual void processorArchitecture(uint16_t answer) = 0;

    virtual void logicalDriveMask(uint32_t answer) = 0;
    virtual void substCommandOutput(const std::optional<std::string>& answer) = 0;
    virtual void driveType(const std::string& rootPath, uint32_t answer) = 0;
    virtual void volumeInformation(const std::string& rootPath, const std::optional<VolumeInformation>& answer) = 0;
    virtual void diskFreeSpace(const std::string& rootPath, const std::optional<FreeSpace>& answer) = 0;

    virtual void deviceOpened(const std::string& path, bool opened) = 0;
    virtual void scsiAddress(const std::string& path, const std::optional<ScsiAddress>& answer) = 0;
    virtual void driveGeometry(const std::string& path, const std::optional<DriveGeometry>& answer) = 0;

    virtual void registryOpened(const std::string& path, bool opened) = 0;
    virtual void registryInfo(const std::string& path, const std::optional<RegistryKeyInfo>& answer) = 0;
    virtual void registrySubkey(const std::string& path, uint32_t index, std::size_t nameBuffer, RegistryEnum status,
                                const std::string& name) = 0;
    virtual void registryValueAt(const std::string& path, uint32_t index, std::size_t nameBuffer,
                                 std::size_t dataBuffer, RegistryEnum status, const RegistryValue& value) = 0;
    virtual void registryQueryValue(const std::string& path, const std::string& name,
                                    const std::optional<RegistryValue>& answer) = 0;
};

// Sets the observer (null: none). The observer must outlive every later host-service call.
void setHostObserver(HostObserver* observer);

}  // namespace platform
