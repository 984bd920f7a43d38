// The host itself: the system (platform) entity and its operating-system entity.
#pragma once

#include <cstdint>
#include <string>

#include "document/records.h"

namespace inv {

// Name of the processor architecture for a system-information code.
std::string architectureName(uint16_t code);
// Name of the operating system for a platform id and version.
std::string operatingSystemName(uint32_t platformId, uint32_t majorVersion, uint32_t minorVersion);

// The system record: host name, first IPv4 address (also its id), GUID text and system
// type. Without a resolvable host name the id and host name stay empty and the parameter
// list starts with "GUID".
doc::SystemRecord getSystemInfo(const std::string& systemGuid);

// The operating-system record of the system, after the writer has given the system its
// final id.
doc::OperatingSystemRecord getNtSystemInfo(const doc::SystemRecord& system);

}  // namespace inv
