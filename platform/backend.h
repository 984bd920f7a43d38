// The free host-service calls as each backend answers them (win32/ or sim/). The public
// calls of host_services.h and host_storage.h pass these answers on to the host observer
// (host_dispatch.cpp); nothing else calls them.
#pragma once

#include "platform/host_services.h"
#include "platform/host_storage.h"

namespace platform::backend {

std::optional<std::string> localHostName();
std::optional<HostEntry> lookupHost(const std::string& name);
OsVersion osVersion();
uint16_t processorArchitecture();

uint32_t logicalDriveMask();
std::optional<std::string> substCommandOutput();
uint32_t driveType(const std::string& rootPath);
std::optional<VolumeInformation> volumeInformation(const std::string& rootPath);
std::optional<FreeSpace> diskFreeSpace(const std::string& rootPath);

}  // namespace platform::backend
