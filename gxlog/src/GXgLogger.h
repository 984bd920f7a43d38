// Logging an event on a logger: the steps shared by the trace call, the message call and
// the toolkit's own messages.
#pragma once

#include <cstdarg>

#include "gxlog/src/GXgEvent.h"
#include "gxlog/src/GXgObject.h"

namespace gxlog {

// The logger's log operation, or null when the object is missing, its logging is off or
// it is not a logger.
void (*GXgLoggerLogOperation(GXgObject* logger))(GXgObject*, GXgEvent&);

// Logs a ready message on the logger at the level (after the level test).
void GXgLogMessage(GXgObject* logger, GXgLevel level, GXgI18Msg message);

}  // namespace gxlog
