#include "driver/exit_status.h"

#include <cstdio>
#include <cstdlib>

#include "common/document_output.h"

namespace driver {

int exitAfterDocument(int writeError, int exitCode) {
    if (writeError == 0) return exitCode;
    std::fputs(scan::documentLostMessage(writeError).c_str(), stderr);
    return kExitDocumentLost;
}

#if defined(__SANITIZE_ADDRESS__)
#define ATTRSCAN_FULL_TEARDOWN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ATTRSCAN_FULL_TEARDOWN 1
#endif
#endif

void endProcess(int status) {
#ifdef ATTRSCAN_FULL_TEARDOWN
    std::exit(status);
#else
    // _Exit flushes no stream: the document is written already, but a standard stream may
    // still hold bytes. The trace and the simulated library's call log write unbuffered.
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
#endif
}

}  // namespace driver
