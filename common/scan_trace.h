// The scanner's trace: one logger, obtained at start-up, used by every part of the scan.
// A line is written only when the logger accepts DEBUG_MIN; without a logger nothing is
// traced and everything else runs the same.
//
// Work that runs on several threads traces into a TraceBuffer instead: the toolkit's
// calls are made from one thread at a time, and the buffers are written in the order the
// sequential scan would have traced, so the trace holds the same records in the same
// order whatever ran at the same time.
#pragma once

#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "gxlog/src/GXgLog.h"

namespace scan {

// Source names under which the scanner's parts trace: discovery and the scan driver,
// and the document writers with the host inventory.
inline constexpr const char* kSourceSurvey = "Portsurvey";
inline constexpr const char* kSourceSurveyXml = "Portsurveyxml";

void setTraceLogger(GXgObject* logger);
GXgObject* traceLogger();

inline bool traceEnabled() { return GXgIsLoggable(traceLogger(), GXG_LEVEL_DEBUG_MIN); }

// Trace records held back for later, in the order they were traced. While a TraceCapture
// on this thread names the buffer, trace() adds to it instead of writing.
class TraceBuffer {
public:
    // Whether anything is held is decided here, on the thread that makes the buffer: an
    // enclosing buffer's choice, else the logger's level test. The threads that fill the
    // buffer never ask the toolkit.
    TraceBuffer();
    TraceBuffer(const TraceBuffer&) = delete;
    TraceBuffer& operator=(const TraceBuffer&) = delete;

    bool enabled() const { return enabled_; }
    void hold(std::function<void()> record) { records_.push_back(std::move(record)); }
    // Traces the held records again, in order, from the calling thread: into the buffer
    // that thread captures into, else through the logger. The buffer is empty afterwards.
    void flush();

    // The buffer this thread's trace goes to, or null.
    static TraceBuffer* current();

private:
    friend class TraceCapture;
    bool enabled_;
    std::vector<std::function<void()>> records_;
};

// Sends this thread's trace into buffer for its lifetime.
class TraceCapture {
public:
    explicit TraceCapture(TraceBuffer& buffer);
    ~TraceCapture();
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

private:
    TraceBuffer* previous_;
};

namespace detail {
// A held argument: texts are copied (the caller's may be temporaries), numbers kept.
struct HeldText {
    bool null;
    std::string text;
    const char* get() const { return null ? nullptr : text.c_str(); }
};
template <class T>
auto held(const T& v) {
    if constexpr (std::is_convertible_v<const T&, const char*>) {
        const char* p = v;
        return HeldText{p == nullptr, p ? std::string(p) : std::string()};
    } else {
        return v;
    }
}
template <class T>
auto passed(const T& v) {
    if constexpr (std::is_same_v<T, HeldText>) return v.get();
    else return v;
}
}  // namespace detail

// One trace line: integers travel as int items, texts as string items.
template <class... Args>
void trace(const char* source, const char* method, int line, const char* format,
           const Args&... args) {
    if (TraceBuffer* buffer = TraceBuffer::current()) {
        // Source, method and format are the callers' literals; the arguments are copied.
        if (buffer->enabled())
            buffer->hold([=, ... kept = detail::held(args)] {
                trace(source, method, line, format, detail::passed(kept)...);
            });
        return;
    }
    if (traceEnabled()) gxlog::logTrace(traceLogger(), source, method, line, format, args...);
}

}  // namespace scan
