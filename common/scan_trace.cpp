#include "common/scan_trace.h"

namespace scan {
namespace {
GXgObject* gTraceLogger = nullptr;
thread_local TraceBuffer* tCapturing = nullptr;
}  // namespace

void setTraceLogger(GXgObject* logger) { gTraceLogger = logger; }
GXgObject* traceLogger() { return gTraceLogger; }

TraceBuffer::TraceBuffer() : enabled_(tCapturing ? tCapturing->enabled_ : traceEnabled()) {}

void TraceBuffer::flush() {
    std::vector<std::function<void()>> records;
    records.swap(records_);
    for (const auto& record : records) record();
}

TraceBuffer* TraceBuffer::current() { return tCapturing; }

TraceCapture::TraceCapture(TraceBuffer& buffer) : previous_(tCapturing) { tCapturing = &buffer; }
TraceCapture::~TraceCapture() { tCapturing = previous_; }

}  // namespace scan
