// Local time and zone, the socket library and the host name, through the portability
// layer.
#include "gxlog/src/GXgToolkitPlatform.h"

#include <cstdlib>

#include "portability/zur_system.h"

namespace gxlog::platform {

namespace {
bool g_socketsStarted = false;
}  // namespace

void readTimeZone() { ::zur::readTimeZone(); }

bool localTime(int64_t seconds, std::tm& out) { return ::zur::localTime(seconds, out); }

long zoneBias() { return ::zur::zoneBias(); }

void utcOffset(const std::tm& local, int& hours, int& minutes) {
    const long bias = zoneBias();
    hours = static_cast<int>(-bias / 3600) + (local.tm_isdst > 0 ? 1 : 0);
    minutes = static_cast<int>(std::labs((bias / 60) % 60));
}

// Started once for the toolkit's life, whatever else in the process starts it too.
void startSockets() {
    if (!g_socketsStarted) g_socketsStarted = ::zur::startSockets();
}

void stopSockets() {
    if (g_socketsStarted) ::zur::stopSockets();
    g_socketsStarted = false;
}

std::optional<std::string> hostName() { return ::zur::hostName(); }

}  // namespace gxlog::platform
