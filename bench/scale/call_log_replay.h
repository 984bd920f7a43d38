// Replays a call log of the simulated HBA library: every call the log shows, with the
// same arguments, buffer sizes and buffer contents on entry, against a loaded library.
#pragma once

#include <cstdint>
#include <istream>
#include <string>

#include "hba/hba_library.h"

namespace bench {

struct ReplayCounts {
    uint64_t calls = 0;
    uint64_t skipped = 0;  // lines naming no call this replay knows
};

// Reads the log line by line and makes each call. Handles in the log are the library's
// own numbers; they are mapped to the handles the replay's opens return.
ReplayCounts replayCallLog(const hba::HbaApi& api, std::istream& log);

}  // namespace bench
