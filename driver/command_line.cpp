#include "driver/command_line.h"

#include "base/text.h"

namespace driver {

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine cl;
    std::size_t first = 0;
    if (!args.empty() && args[0] == "-D") {
        cl.debug = true;
        first = 1;
    }
    const std::size_t n = args.size() - first;
    auto arg = [&](std::size_t i) -> const std::string& { return args[first + i - 1]; };
    auto copyTexts = [&](std::size_t count) {
        if (count >= 1) cl.params.agentAddress = scan::boundedText(arg(1), doc::kAgentAddressCapacity);
        if (count >= 2) cl.params.scannerName = scan::boundedText(arg(2), doc::kScannerNameCapacity);
        if (count >= 3) cl.params.systemGuid = scan::boundedText(arg(3), doc::kSystemGuidCapacity);
    };

    switch (n) {
        case 0:
        case 1:
        case 2:
            copyTexts(n);
            cl.params.systemGuid = kDefaultSystemGuid;
            break;
        case 3:
            copyTexts(3);
            break;
        case 4: {
            copyTexts(3);
            const std::string& word = arg(4);
            if (word == "FS" || word == "VG") {
                cl.mode = ScanMode::FileSystemSummary;
            } else if (word == "PE") {
                cl.mode = ScanMode::Pe;
            } else if (word == "Running") {
                cl.running = true;
                cl.runningTraceLine = 224;
            }
            break;
        }
        case 5: {
            copyTexts(3);
            const std::string& word = arg(4);
            if (word == "FS" || word == "VG") cl.mode = ScanMode::FileSystemSummary;
            else if (word == "PE") cl.mode = ScanMode::Pe;
            if (arg(5) == "Running") {
                cl.running = true;
                cl.runningTraceLine = 250;
            }
            break;
        }
        default:
            // Six or more positional arguments: nothing is taken over.
            break;
    }
    return cl;
}

}  // namespace driver
