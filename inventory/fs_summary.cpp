#include "inventory/fs_summary.h"

namespace inv {
// The summary document is not written yet: the mode ends at once.
int printFileSystemSummaryXml(const std::string& /*text*/) { return 0; }
}  // namespace inv
