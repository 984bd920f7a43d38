// The toolkit's contact with the portability layer and the system for everything but
// message text: clock, local time, process identity, host name, the socket library, and
// the file operations of the file handlers. Each call keeps the portability layer's
// status convention (ZurStatus), so the handlers report failures the same way
// whichever layer sits underneath.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "gxlog/src/GXgZurBridge.h"

namespace gxlog::platform {

int64_t timeMillis();
int64_t processId();
int64_t threadId();  // always 0: the program is single-threaded

// The local calendar time of a second count, and the local offset from UTC as the
// formatters print it: hours (minus the zone's bias west of UTC, truncated, plus one
// while daylight saving time is in force) and minutes (absolute).
// The zone is read from the system (TZ) by readTimeZone, which the toolkit start-up
// calls; reading it for every record would cost a file-system lookup each time.
void readTimeZone();
bool localTime(int64_t seconds, std::tm& out);
void utcOffset(const std::tm& local, int& hours, int& minutes);
// The zone's bias in seconds west of UTC, outside daylight saving time.
long zoneBias();

// Socket library start and stop (Windows needs it for the host name).
void startSockets();
void stopSockets();
// The host name, or none when it cannot be read.
std::optional<std::string> hostName();

// ---- Files ------------------------------------------------------------------------

enum OpenFlags : uint32_t {
    kOpenRead = 0x0001,
    kOpenWrite = 0x0002,
    kOpenReadWrite = 0x0004,
    kOpenAppend = 0x0008,
    kOpenCreate = 0x0100,
    kOpenTruncate = 0x0200,
};

// An open file; closed when the object goes away.
class File {
public:
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    static std::unique_ptr<File> open(const std::string& path, uint32_t flags, ZurStatus& status);
    ZurStatus write(std::string_view data);
    ZurStatus read(char* buffer, std::size_t size, std::size_t& count);
    ZurStatus length(int64_t& length);
    ZurStatus flush();
    // Closes now and reports how that went (the destructor closes silently).
    ZurStatus close();

private:
    File() = default;
    void* handle_ = nullptr;
};

ZurStatus removeFile(const std::string& path);
ZurStatus renameFile(const std::string& from, const std::string& to);
ZurStatus makeDirectory(const std::string& path);
bool isDirectory(const std::string& path);
// Whether file operations accept the path (see the portability layer's path rules).
bool pathAcceptable(const std::string& path);
// Makes a path that may be written POSIX-style usable here, in place: false when a
// leading "/" would name the system drive and the environment does not name one (see the
// portability layer's zur_system_drive_path).
bool systemDrivePath(std::string& path);
// The current working directory, empty on failure.
std::string currentDirectory();

// The path separator of this platform.
inline const char& kPathSeparator = zur_path_separator;

}  // namespace gxlog::platform
