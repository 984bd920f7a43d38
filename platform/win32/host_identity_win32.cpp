// Host identity from the real Win32 services.
#include <winsock2.h>
#include <windows.h>

#include <cstring>

#include "platform/backend.h"
#include "platform/process.h"
#include "portability/zur_system.h"

namespace platform {

namespace backend {

std::optional<std::string> localHostName() {
    const std::optional<std::string> name = zur::hostName();
    if (!name) return std::nullopt;
    return hostText(*name);
}

std::optional<HostEntry> lookupHost(const std::string& name) {
    const hostent* h = gethostbyname(name.c_str());
    if (!h) return std::nullopt;
    HostEntry entry;
    entry.officialName = h->h_name ? hostText(h->h_name) : "";
    if (h->h_addrtype == AF_INET && h->h_addr_list) {
        for (char** a = h->h_addr_list; *a; ++a) {
            in_addr addr;
            std::memcpy(&addr, *a, sizeof addr);
            entry.addresses.emplace_back(inet_ntoa(addr));
        }
    }
    return entry;
}

OsVersion osVersion() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info)) return {};
#pragma GCC diagnostic pop
    return {info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
}

uint16_t processorArchitecture() {
    SYSTEM_INFO info = {};
    GetSystemInfo(&info);
    return info.wProcessorArchitecture;
}

}  // namespace backend

}  // namespace platform
