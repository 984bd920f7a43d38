// The host services the scanner reads: name service, version and processor information.
// The Windows build answers with the real Win32 calls; the POSIX build answers from the
// simulated world (SANSIM_WORLD) or, without one, from the machine itself as far as POSIX
// can tell.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Starts the socket library (Windows Sockets 2.2); true on success. Safe to call twice.
bool startSockets();

// The local host name, as gethostname reports it (at most 255 bytes); empty when the
// query fails.
std::optional<std::string> localHostName();

struct HostEntry {
    std::string officialName;
    std::vector<std::string> addresses;  // IPv4, dotted decimal, in the name service's order
};

// Resolves a host name through the name service; empty when it cannot be resolved.
std::optional<HostEntry> lookupHost(const std::string& name);

// Platform id and version numbers of the operating system.
struct OsVersion {
    uint32_t platformId = 0;
    uint32_t majorVersion = 0;
    uint32_t minorVersion = 0;
};
OsVersion osVersion();

// Processor-architecture code of the system information (0 Intel ... 0xFFFF unknown).
uint16_t processorArchitecture();

uint32_t currentProcessId();

}  // namespace platform
