// The program's exit statuses. 0 and 100 say a document was written; a document that
// could not be written whole overrides both, so that a lost document never reads as a
// finished scan.
#pragma once

namespace driver {

inline constexpr int kExitScanned = 0;
inline constexpr int kExitRunningOverlap = 100;
inline constexpr int kExitDocumentLost = 3;
// The POSIX build's simulated host exits with the same 3 when SANSIM_WORLD names a world
// it cannot use (platform/sim/world_host.h): no document is written then either.

// The exit status once the document has been written: exitCode when writeError is 0;
// otherwise one line on standard error naming the cause, and kExitDocumentLost.
int exitAfterDocument(int writeError, int exitCode);

}  // namespace driver
