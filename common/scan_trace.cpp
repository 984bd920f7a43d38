#include "common/scan_trace.h"

namespace scan {
namespace {
GXgObject* gTraceLogger = nullptr;
}
void setTraceLogger(GXgObject* logger) { gTraceLogger = logger; }
GXgObject* traceLogger() { return gTraceLogger; }
}  // namespace scan
