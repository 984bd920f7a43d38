// The body of one run in attribute or PE mode: discovery in its fixed order, the
// discovery dump, and the document.
#pragma once

#include <string>

#include "driver/command_line.h"

namespace driver {

// Runs the pass and returns the process exit code (100 for a running overlap, else 0).
int runScanPass(ScanMode mode, bool running, const std::string& hostName);

}  // namespace driver
