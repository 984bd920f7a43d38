// Recording the host services: an observer that keeps every answer the host services
// gave this scan, so that they can be written as the "host" section of a world file
// (docs/world-format.md, docs/world-host.md).
//
// What a world cannot hold is written as close as it can be:
// - registry keys and values the scan counted but never read are stand-ins whose names
//   do not fit the scan's buffers, so that enumeration passes over them as before;
// - a value read by name but never enumerated takes the place of such a stand-in;
// - texts are written as JSON strings (the world format has no other form for them).
#pragma once

#include <memory>

#include <nlohmann/json.hpp>

#include "platform/host_observer.h"

namespace record {

struct HostRecording;

class HostRecorder : public platform::HostObserver {
public:
    HostRecorder();
    ~HostRecorder() override;

    // The "host" section of the world.
    nlohmann::ordered_json hostSection() const;

    void localHostName(const std::optional<std::string>& answer) override;
    void lookupHost(const std::string& name, const std::optional<platform::HostEntry>& answer) override;
    void osVersion(const platform::OsVersion& answer) override;
    void processorArchitecture(uint16_t answer) override;
    void logicalDriveMask(uint32_t answer) override;
    void substCommandOutput(const std::optional<std::string>& answer) override;
    void driveType(const std::string& rootPath, uint32_t answer) override;
    void volumeInformation(const std::string& rootPath,
                           const std::optional<platform::VolumeInformation>& answer) override;
    void diskFreeSpace(const std::string& rootPath, const std::optional<platform::FreeSpace>& answer) override;
    void deviceOpened(const std::string& path, bool opened) override;
    void scsiAddress(const std::string& path, const std::optional<platform::ScsiAddress>& answer) override;
    void driveGeometry(const std::string& path, const std::optional<platform::DriveGeometry>& answer) override;
    void registryOpened(const std::string& path, bool opened) override;
    void registryInfo(const std::string& path, const std::optional<platform::RegistryKeyInfo>& answer) override;
    void registrySubkey(const std::string& path, uint32_t index, std::size_t nameBuffer,
                        platform::RegistryEnum status, const std::string& name) override;
    void registryValueAt(const std::string& path, uint32_t index, std::size_t nameBuffer, std::size_t dataBuffer,
                         platform::RegistryEnum status, const platform::RegistryValue& value) override;
    void registryQueryValue(const std::string& path, const std::string& name,
                            const std::optional<platform::RegistryValue>& answer) override;

private:
    std::unique_ptr<HostRecording> r_;
};

}  // namespace record
