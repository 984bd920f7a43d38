// The system calls of the toolkit that the portability layer does not cover: local time
// and zone, the socket library and the host name.
#include "gxlog/src/GXgToolkitPlatform.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <process.h>
#include <winsock2.h>
#else
#include <unistd.h>
#endif

namespace gxlog::platform {

#ifdef _WIN32
namespace {
bool g_socketsStarted = false;
}  // namespace
#endif

void readTimeZone() {
#ifdef _WIN32
    _tzset();
#else
    tzset();
#endif
}

bool localTime(int64_t seconds, std::tm& out) {
    const std::time_t t = static_cast<std::time_t>(seconds);
#ifdef _WIN32
    return localtime_s(&out, &t) == 0;
#else
    return localtime_r(&t, &out) != nullptr;
#endif
}

long zoneBias() {
    long bias = 0;
#ifdef _WIN32
    bias = _timezone;
#else
    bias = timezone;
#endif
    return bias;
}

void utcOffset(const std::tm& local, int& hours, int& minutes) {
    const long bias = zoneBias();
    hours = static_cast<int>(-bias / 3600) + (local.tm_isdst > 0 ? 1 : 0);
    minutes = static_cast<int>(std::labs((bias / 60) % 60));
}

void startSockets() {
#ifdef _WIN32
    if (g_socketsStarted) return;
    WSADATA data;
    g_socketsStarted = WSAStartup(0x0101, &data) == 0;
#endif
}

void stopSockets() {
#ifdef _WIN32
    if (g_socketsStarted) WSACleanup();
    g_socketsStarted = false;
#endif
}

std::optional<std::string> hostName() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) return std::nullopt;
    return std::string(name);
}

}  // namespace gxlog::platform
