#include "driver/exit_status.h"

#include <cstdio>

#include "common/document_output.h"

namespace driver {

int exitAfterDocument(int writeError, int exitCode) {
    if (writeError == 0) return exitCode;
    std::fputs(scan::documentLostMessage(writeError).c_str(), stderr);
    return kExitDocumentLost;
}

}  // namespace driver
