// Local time, the socket library and host name, environment and locale of the Windows
// build.
#include <winsock2.h>
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>

#include "portability/zur_system.h"

namespace zur {

void readTimeZone() { ::_tzset(); }

bool localTime(int64_t seconds, std::tm& out) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    return ::localtime_s(&out, &t) == 0;
}

long zoneBias() { return ::_timezone; }

bool startSockets() {
    WSADATA data;
    return ::WSAStartup(0x0202, &data) == 0;
}

void stopSockets() { ::WSACleanup(); }

std::optional<std::string> hostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return std::nullopt;
    return std::string(name);
}

// The runtime library copies the pair; an empty value removes the variable.
bool setEnvironment(const char* name, const char* value) { return ::_putenv_s(name, value) == 0; }

unsigned userLanguageId() { return ::GetUserDefaultLangID(); }

std::string localeCodePage(bool oem) {
    char text[16] = {};
    const LCTYPE what = oem ? LOCALE_IDEFAULTCODEPAGE : LOCALE_IDEFAULTANSICODEPAGE;
    if (::GetLocaleInfoA(LOCALE_USER_DEFAULT, what, text, sizeof text) <= 0) return {};
    text[sizeof text - 1] = '\0';
    return text;
}

void binaryStandardStreams() {
    ::_setmode(::_fileno(stdin), _O_BINARY);
    ::_setmode(::_fileno(stdout), _O_BINARY);
}

}  // namespace zur
