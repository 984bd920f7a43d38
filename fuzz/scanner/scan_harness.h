// What the scanner fuzz targets share: the simulated HBA library linked into the target,
// a world file of the target's own, the scan pass's discovery and the document writers
// run in-process, and the document check (libxml2: well-formed, every reference names a
// UniqueIdXml) that stops the run at the first broken document.
#pragma once

#include <string>

#include "driver/command_line.h"
#include "hba/hba_library.h"

namespace fuzzscan {

// The simulated library's calls.
hba::HbaApi simulatedApi();

// Writes the world and names it by SANSIM_WORLD; the next scan reads it.
void useWorld(const std::string& json);

// Discovery through api (none when api is null) and the document of that mode, as the
// writers would print it for the current scan parameters.
std::string scanDocument(const hba::HbaApi* api, driver::ScanMode mode, const std::string& guidText = "",
                         const doc::ScanParameters& params = {});

// Traps when the document breaks the promise, after printing the problem and the text.
void checkDocument(const std::string& document);

}  // namespace fuzzscan
