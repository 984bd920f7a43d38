// The scanner's entry: command line, trace set-up, host name, then either the
// file-system summary or the scan pass. The exit code is what this returns.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/scan_trace.h"
#include "base/text.h"
#include "driver/command_line.h"
#include "driver/exit_status.h"
#include "driver/scan_pass.h"
#include "inventory/fs_summary.h"
#include "platform/host_services.h"
#include "platform/process.h"
#include "record/recording.h"

namespace {

constexpr std::size_t kHostNameCapacity = 256;

// Starts the sockets, reads the local host name and resolves it to its official name.
// Without a host entry the unresolved local name is kept, so adapters still carry the
// name the host knows itself by.
std::string obtainHostName() {
    platform::startSockets();
    std::string hostName;
    if (auto local = platform::localHostName()) {
        if (auto entry = platform::lookupHost(*local)) hostName = entry->officialName;
        else hostName = *local;
    }
    (void)platform::currentProcessId();
    return scan::boundedText(hostName, kHostNameCapacity);
}

// Starts the logging toolkit from <home>/conf/nativelog.properties (home from
// VRKA_SM_HOME, "." when unset) and takes the scanner's trace logger. Without one the
// scan runs untraced.
void setUpTrace() {
    const char* home = std::getenv("VRKA_SM_HOME");
    char path[2048];
    std::snprintf(path, sizeof path, "%s/%s", home ? home : ".", "/conf/nativelog.properties");
    GXgObject* logger = nullptr;
    if (GXgToolkitInit(path)) logger = GXgGetLogger("native.trace.attributeScanner", nullptr);
    if (!logger) std::fputs("ERROR: could not initialize logger 'traceLog'\n", stderr);
    scan::setTraceLogger(logger);
}

// The scan proper; main() adds the recording around it.
int runScanner(int argc, char** argv) {
    platform::holdStandardStreams();
    const driver::CommandLine cl = driver::parseCommandLine(platform::programArguments(argc, argv));
    setUpTrace();

    if (cl.mode == driver::ScanMode::FileSystemSummary) {
        obtainHostName();
        // The summary's logical-device declarations follow the GUID text: the driver hands
        // the writer its third argument.
        return driver::exitAfterDocument(inv::printFileSystemSummaryXml(cl.params, cl.params.systemGuid),
                                         driver::kExitScanned);
    }

    if (cl.running)
        scan::trace(scan::kSourceSurvey, "Main", cl.runningTraceLine,
                    "Running flag is set, overlap for Attribute scanner\n");
    scan::trace(scan::kSourceSurvey, "Main", 325, "Entering Attribute Scanner");
    const std::string hostName = obtainHostName();
    return driver::runScanPass(cl.mode, cl.running, cl.params, hostName);
}

}  // namespace

int main(int argc, char** argv) {
    record::startRecording();
    const int exitCode = runScanner(argc, argv);
    record::finishRecording();
    driver::endProcess(exitCode);
}
