// The command line from the fuzzer: the input split at NUL bytes gives the arguments
// (any bytes, as a shell may pass them), which go through the parser and into the
// document of the mode they select, on a small host world with one drive.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "document/attribute_document.h"
#include "fuzz/scanner/scan_harness.h"

namespace {

const char* const kWorld = R"({"host": {"hostName": "h", "lookup": {"officialName": "h.example", "addresses": ["10.0.0.1"]},
  "drives": [{"letter": "C", "type": 3, "volume": {"label": "System", "fileSystem": "NTFS"},
              "freeSpace": {"totalBytes": 1048576, "totalFreeBytes": 0}}]}})";

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzscan::useWorld(kWorld);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size && args.size() <= 8; ++i) {
        if (data[i] == 0) args.emplace_back();
        else args.back().push_back(static_cast<char>(data[i]));
    }
    if (size == 0) args.clear();
    const driver::CommandLine cl = driver::parseCommandLine(args);
    fuzzscan::checkDocument(fuzzscan::scanDocument(nullptr, cl.mode, cl.params.systemGuid, cl.params));
    return 0;
}
