// Toolkit state shared by its parts: whether it is started, its error logger, and the
// call that delivers the toolkit's own messages there.
#pragma once

#include <string>

#include "gxlog/src/GXgLog.h"

namespace gxlog {

bool GXgToolkitStarted();
// The error logger `gxlog.errorLogger`, null while the toolkit is not started.
GXgObject* GXgErrorLogger();

// The host name (for the PD logger's server); none when it cannot be read.
bool GXgHostName(std::string& name);

}  // namespace gxlog
