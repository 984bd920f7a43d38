// Local time, host name, environment and locale of the POSIX build.
#include <unistd.h>

#include <cstdlib>

#include "portability/zur_system.h"

namespace zur {

void readTimeZone() { ::tzset(); }

bool localTime(int64_t seconds, std::tm& out) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    return ::localtime_r(&t, &out) != nullptr;
}

long zoneBias() { return ::timezone; }

// There is no socket library to start on POSIX.
bool startSockets() { return true; }
void stopSockets() {}

std::optional<std::string> hostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return std::nullopt;
    return std::string(name);
}

bool setEnvironment(const char* name, const char* value) { return ::setenv(name, value, 1) == 0; }

// The POSIX build stands in for a Windows host with United States English settings (the
// answers a fresh wine prefix gives: language 0x409, OEM code page 437, ANSI code page
// 1252), so both builds resolve the same locale and codeset names.
unsigned userLanguageId() { return 0x0409; }

std::string localeCodePage(bool oem) { return oem ? "437" : "1252"; }

// POSIX streams carry bytes unchanged already.
void binaryStandardStreams() {}

}  // namespace zur
