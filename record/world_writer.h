// Writing a world file whole: a temporary file beside the target, then a rename over it
// (a device or other non-regular target is written in place, never replaced).
#pragma once

#include <string>

namespace record {

// Writes text to path. Returns an empty string on success, else why it failed.
std::string writeWholeFile(const std::string& path, const std::string& text);

}  // namespace record
