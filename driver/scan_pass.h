// The body of one run in attribute or PE mode: discovery in its fixed order, the
// discovery dump, and the document.
#pragma once

#include <string>

#include "document/attribute_model.h"
#include "driver/command_line.h"
#include "hba/hba_library.h"
#include "hba/san_discovery.h"

namespace driver {

// Runs the pass and returns the process exit code (100 for a running overlap, else 0).
int runScanPass(ScanMode mode, bool running, const doc::ScanParameters& params, const std::string& hostName);

// The discovery part of the pass, through api: the adapter table, the target database,
// then adapter by adapter the probing, the adapter's own node and the fabric's platforms
// (with RNID where enabled), closing each adapter; then the discovery dump and the
// release of the library. Returns the adapter table and the discovered adapters.
hba::SanDiscovery discoverSan(const hba::HbaApi& api, const std::string& hostName);

}  // namespace driver
