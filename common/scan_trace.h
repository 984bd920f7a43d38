// The scanner's trace: one logger, obtained at start-up, used by every part of the scan.
// A line is written only when the logger accepts DEBUG_MIN; without a logger nothing is
// traced and everything else runs the same.
#pragma once

#include "gxlog/src/GXgLog.h"

namespace scan {

// Source names under which the scanner's parts trace: discovery and the scan driver,
// and the document writers with the host inventory.
inline constexpr const char* kSourceSurvey = "Portsurvey";
inline constexpr const char* kSourceSurveyXml = "Portsurveyxml";

void setTraceLogger(GXgObject* logger);
GXgObject* traceLogger();

inline bool traceEnabled() { return GXgIsLoggable(traceLogger(), GXG_LEVEL_DEBUG_MIN); }

// One trace line: integers travel as int items, texts as string items.
template <class... Args>
void trace(const char* source, const char* method, int line, const char* format,
           const Args&... args) {
    if (traceEnabled()) gxlog::logTrace(traceLogger(), source, method, line, format, args...);
}

}  // namespace scan
