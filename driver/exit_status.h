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

// Ends the scanner with status once everything it writes is written. The scan is a
// short-lived process: freeing the world, the SAN model and the scan's records one by one
// would cost about a twentieth of a large scan's time for memory the system takes back
// anyway, so the process ends without running destructors. Builds with AddressSanitizer
// end through exit() instead, so that the leak check still sees a full teardown.
[[noreturn]] void endProcess(int status);

}  // namespace driver
