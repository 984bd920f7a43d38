// The scanner's command line: an optional leading "-D", then up to five positional
// arguments (agent address, scanner name, GUID text, mode word, "Running").
#pragma once

#include <string>
#include <vector>

#include "document/attribute_model.h"

namespace driver {

enum class ScanMode { Attribute = 0, FileSystemSummary = 1, Pe = 2 };

// The GUID text used when fewer than three positional arguments are given.
inline constexpr const char* kDefaultSystemGuid = "00.00.00.00.00.00.00.00.00.00.00.00.00.00.00.00:0000";

struct CommandLine {
    bool debug = false;
    doc::ScanParameters params;
    ScanMode mode = ScanMode::Attribute;
    bool running = false;
    int runningTraceLine = 0;  // where the running flag was recognised (224 or 250)
};

// args are the program's arguments without the program name. Texts longer than their
// fields are cut to the field's capacity.
CommandLine parseCommandLine(const std::vector<std::string>& args);

}  // namespace driver
