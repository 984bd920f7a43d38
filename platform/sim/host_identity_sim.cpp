// Host identity on POSIX: the simulated world's host when SANSIM_WORLD names one,
// otherwise the machine itself as far as POSIX can tell. The native answers use an
// operating-system platform id that no Windows version has, so the host is "UNKNOWN".
#include <arpa/inet.h>
#include <netdb.h>
#include <sys/utsname.h>

#include <cstring>
#include <string_view>

#include "platform/backend.h"
#include "platform/sim/world_host.h"
#include "portability/zur_system.h"

namespace platform {

namespace {

// The platform id a non-Windows host reports: none of the known Windows platform ids.
constexpr uint32_t kNonWindowsPlatformId = 0xFFFFFFFFu;

uint16_t nativeArchitecture() {
    utsname u{};
    if (uname(&u) != 0) return 0xFFFF;
    const std::string_view m = u.machine;
    if (m == "i386" || m == "i486" || m == "i586" || m == "i686") return 0;
    if (m.starts_with("mips")) return 1;
    if (m == "alpha") return 2;
    if (m.starts_with("ppc") || m.starts_with("powerpc")) return 3;
    if (m == "ia64") return 6;
    if (m == "x86_64") return 9;
    return 0xFFFF;
}

}  // namespace

namespace backend {

std::optional<std::string> localHostName() {
    if (const auto* host = simulatedHost()) {
        auto it = host->find("hostName");
        if (it == host->end()) return std::string("localhost");
        if (it->is_null()) return std::nullopt;
        return it->get<std::string>();
    }
    return zur::hostName();
}

std::optional<HostEntry> lookupHost(const std::string& name) {
    if (const auto* host = simulatedHost()) {
        auto it = host->find("lookup");
        if (it == host->end() || it->contains("fails")) return std::nullopt;
        HostEntry entry;
        entry.officialName = it->at("officialName").get<std::string>();
        for (const auto& a : it->at("addresses")) entry.addresses.push_back(a.get<std::string>());
        return entry;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_flags = AI_CANONNAME;
    addrinfo* res = nullptr;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &res) != 0 || !res) return std::nullopt;
    HostEntry entry;
    entry.officialName = res->ai_canonname ? res->ai_canonname : name;
    for (addrinfo* a = res; a; a = a->ai_next) {
        char text[INET_ADDRSTRLEN] = {};
        const auto* sin = reinterpret_cast<const sockaddr_in*>(a->ai_addr);
        if (inet_ntop(AF_INET, &sin->sin_addr, text, sizeof text)) {
            std::string t(text);
            bool seen = false;
            for (const auto& e : entry.addresses) seen = seen || e == t;
            if (!seen) entry.addresses.push_back(t);
        }
    }
    freeaddrinfo(res);
    return entry;
}

OsVersion osVersion() {
    if (const auto* host = simulatedHost()) {
        auto it = host->find("version");
        if (it == host->end()) return {kNonWindowsPlatformId, 0, 0};
        return {it->at("platformId").get<uint32_t>(), it->at("major").get<uint32_t>(),
                it->at("minor").get<uint32_t>()};
    }
    return {kNonWindowsPlatformId, 0, 0};
}

uint16_t processorArchitecture() {
    if (const auto* host = simulatedHost()) {
        auto it = host->find("processorArchitecture");
        return it == host->end() ? uint16_t{0} : it->get<uint16_t>();
    }
    return nativeArchitecture();
}

}  // namespace backend

}  // namespace platform
