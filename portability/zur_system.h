// The system services beyond files that the layers above need: local time and zone, the
// socket library and host name, the environment and the user's locale, MD5 digests,
// standard streams and short sleeps. One backend per build (posix/, win32/) answers each call; callers
// never ask which system they run on.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "portability/zur.h"

namespace zur {

// ---- Local time ---------------------------------------------------------------------

// Reads the time zone from the system (TZ). Reading it for every conversion would cost a
// file-system lookup each time, so the toolkit does it once at start-up.
void readTimeZone();
// The local calendar time of a second count since 1970; false when it cannot be had.
bool localTime(int64_t seconds, std::tm& out);
// The zone's bias in seconds west of UTC, outside daylight saving time.
long zoneBias();

// ---- Sockets and host name ----------------------------------------------------------

// Starts the socket library (Windows Sockets 2.2; nothing to start on POSIX); true on
// success. Each successful start is ended by one stopSockets.
bool startSockets();
void stopSockets();
// The host name as gethostname reports it into a 256-byte buffer (at most 255 bytes);
// none when it cannot be read.
std::optional<std::string> hostName();

// ---- Environment and locale ---------------------------------------------------------

// Sets an environment variable; the environment keeps its own copy. An empty value
// removes the variable on Windows, where the runtime library cannot hold an empty one.
// False on failure.
bool setEnvironment(const char* name, const char* value);
// Windows language identifier of the user's default language (primary language in the
// low 10 bits, sub-language above).
unsigned userLanguageId();
// The user default locale's OEM code page (`oem` true) or ANSI code page as the decimal
// text the system gives; empty when the query fails.
std::string localeCodePage(bool oem);

// ---- Digests -------------------------------------------------------------------------

// The MD5 digest of data through the system's cryptography (libcrypto on POSIX, BCrypt on
// Windows); false when it cannot be had.
bool md5Digest(std::string_view data, std::array<uint8_t, 16>& digest);

// ---- Standard streams and sleeping --------------------------------------------------

// Puts standard input and output into binary mode, so that bytes pass unchanged (Windows
// translates line ends otherwise; POSIX has nothing to switch).
void binaryStandardStreams();
// Sleeps about `micros` microseconds, asking the system for as little lateness as it
// can give the calling thread.
void sleepMicros(uint32_t micros);

}  // namespace zur
