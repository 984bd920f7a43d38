#include "inventory/host_identity.h"

#include "common/scan_trace.h"
#include "base/text.h"
#include "platform/host_services.h"

namespace inv {

using scan::kSourceSurveyXml;
using scan::trace;

namespace {
constexpr std::size_t kArchitectureCapacity = 64;
constexpr std::size_t kOsNameCapacity = 40;
constexpr std::size_t kOsVersionCapacity = 12;
}  // namespace

std::string architectureName(uint16_t code) {
    switch (code) {
        case 0: return "Intel";
        case 1: return "MIPS";
        case 2: return "Alpha";
        case 3: return "PowerPC";
        default: return "Unknown";
    }
}

std::string operatingSystemName(uint32_t platformId, uint32_t majorVersion, uint32_t minorVersion) {
    switch (platformId) {
        case 0: return "Windows 3.1";
        case 1: return minorVersion == 0 ? "Windows 95" : "Windows 98";
        case 2:
            // Only the test for 4 looks at the major version: 6.0 is "Windows 2000".
            if (majorVersion == 4) return "Windows NT";
            switch (minorVersion) {
                case 0: return "Windows 2000";
                case 1: return "Windows XP";
                case 2: return "Windows 2003";
                default: return "Microsoft Windows";
            }
        default: return "UNKNOWN";
    }
}

doc::SystemRecord getSystemInfo(const std::string& systemGuid) {
    trace(kSourceSurveyXml, "getSystemInfo", 1361, "Entering getSystemInfo function");
    doc::SystemRecord system;

    if (auto name = platform::localHostName()) {
        if (auto entry = platform::lookupHost(*name); entry && !entry->addresses.empty()) {
            system.hostName = scan::boundedText(entry->officialName, doc::kIdCapacity);
            system.id = scan::boundedText(entry->addresses.front(), doc::kIdCapacity);
            system.parameters.append("Hostname", entry->officialName);
            system.parameters.append("IP Address", entry->addresses.front());
        }
    }
    system.architecture =
        scan::boundedText(architectureName(platform::processorArchitecture()), kArchitectureCapacity);
    system.parameters.append("GUID", systemGuid);
    const platform::OsVersion v = platform::osVersion();
    system.parameters.append("System Type",
                             operatingSystemName(v.platformId, v.majorVersion, v.minorVersion));

    trace(kSourceSurveyXml, "getSystemInfo", 1550, "Exiting getSystemInfo function");
    return system;
}

doc::OperatingSystemRecord getNtSystemInfo(const doc::SystemRecord& system) {
    trace(kSourceSurveyXml, "getNtSystemInfo", 1576, "Entering getNtSystemInfo function");
    const platform::OsVersion v = platform::osVersion();
    const std::string name = operatingSystemName(v.platformId, v.majorVersion, v.minorVersion);

    doc::OperatingSystemRecord os;
    os.version = scan::boundedText(std::to_string(v.majorVersion), kOsVersionCapacity);
    os.owner = system.id;
    os.id = scan::boundedText(system.id + ":" + name, doc::kIdCapacity);
    os.name = scan::boundedText(name, kOsNameCapacity);
    os.parameters.append("Operating System Type", name);
    os.parameters.append("Operating System Level", std::to_string(v.minorVersion));
    os.parameters.append("Operating System Version", std::to_string(v.majorVersion));

    trace(kSourceSurveyXml, "getNtSystemInfo", 1672, "Exiting getNtSystemInfo function");
    return os;
}

}  // namespace inv
