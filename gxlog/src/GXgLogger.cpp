// The basic logger class, the general logging entry points and the toolkit's own
// messages.
#include "gxlog/src/GXgLogger.h"

#include <charconv>
#include <new>
#include <optional>

#include "gxlog/src/GXgLevel.h"
#include "gxlog/src/GXgMsgTable.h"
#include "gxlog/src/GXgMsgText.h"
#include "gxlog/src/GXgToolkit.h"

namespace gxlog {

namespace {

void basicLog(GXgObject* logger, GXgEvent& event) { GXgDistribute(logger, event); }

// The event of a logging call. Each thread keeps one event that its logging calls fill
// in turn, so that a record's texts, parameters and attributes reuse the memory of the
// previous record's instead of allocating afresh. A call made while that event is in use
// (a toolkit message reported during another call) gets an event of its own.
struct ReusableEvent {
    std::optional<GXgEvent> event;
    bool busy = false;
};
thread_local ReusableEvent t_callEvent;

class CallEvent {
public:
    explicit CallEvent(GXgLevel level) {
        if (!t_callEvent.busy) {
            t_callEvent.busy = true;
            reused_ = true;
            if (t_callEvent.event) t_callEvent.event->clear();
            else t_callEvent.event.emplace().message.params.reserve(4);
            event_ = &*t_callEvent.event;
        } else {
            event_ = &own_.emplace();
            event_->message.params.reserve(4);
        }
        event_->time = GXgNowMillis();
        event_->level = level;
    }
    ~CallEvent() {
        if (reused_) {
            // A record with an unusually large text or many parameters does not keep
            // that memory for the rest of the thread's life.
            const GXgEvent& e = *t_callEvent.event;
            if (e.message.defaultText.capacity() > kKeptBytes || e.message.params.capacity() > kKeptParams)
                t_callEvent.event.reset();
            t_callEvent.busy = false;
        }
    }
    CallEvent(const CallEvent&) = delete;
    CallEvent& operator=(const CallEvent&) = delete;

    GXgEvent& event() { return *event_; }

private:
    static constexpr std::size_t kKeptBytes = 4096;
    static constexpr std::size_t kKeptParams = 16;
    GXgEvent* event_ = nullptr;
    bool reused_ = false;
    std::optional<GXgEvent> own_;
};

// The line number's digits, kept by the logging call for as long as its event lives.
struct LineText {
    char digits[12];
};

// The source texts are the caller's own, unchanged until the call returns, so the event
// borrows them.
void setSourceAttributes(GXgEvent& event, const char* sourceFile, const char* method, int line,
                         LineText& lineText) {
    if (sourceFile) {
        event.attributes.setBorrowed(GXgStdAttr::SrcFile, sourceFile);
        const char* end = std::to_chars(lineText.digits, lineText.digits + sizeof lineText.digits, line).ptr;
        event.attributes.setBorrowed(GXgStdAttr::SrcLine,
                                     std::string_view(lineText.digits, static_cast<std::size_t>(end - lineText.digits)));
    }
    if (method) event.attributes.setBorrowed(GXgStdAttr::SrcFunction, method);
}

}  // namespace

std::unique_ptr<GXgObjClass> makeBasicLoggerClass() {
    auto cls = std::make_unique<GXgObjClass>();
    cls->kind = GXG_KIND_LOGGER;
    cls->name = kClassBasicLogger;
    cls->description = GXgI18Msg{kToolkitCatalog, kToolkitSet, kMsgDescBasicLogger,
                                 msgTableText(kMsgDescBasicLogger), {}};
    cls->log = basicLog;
    cls->configure = GXgConfigureLevel;
    return cls;
}

void (*GXgLoggerLogOperation(GXgObject* logger))(GXgObject*, GXgEvent&) {
    if (!logger || !logger->logging || !logger->cls || logger->kind() != GXG_KIND_LOGGER) return nullptr;
    return logger->cls->log;
}

void GXgLogMessage(GXgObject* logger, GXgLevel level, GXgI18Msg message) {
    auto log = GXgLoggerLogOperation(logger);
    if (!log || !GXgLevelPasses(logger->level, level)) return;
    CallEvent call(level);
    call.event().message = std::move(message);
    log(logger, call.event());
}

}  // namespace gxlog

extern "C" {

void GXgLogTextV(GXgObject* logger, GXgLevel level, const char* sourceFile, const char* method,
                 int line, const char* format, va_list items) {
    using namespace gxlog;
    auto log = GXgLoggerLogOperation(logger);
    if (!log || !GXgLevelPasses(logger->level, level)) return;
    CallEvent call(level);
    call.event().message.borrowedDefaultText = format ? format : "";
    GXgReadItems(call.event(), items);
    LineText lineText;
    setSourceAttributes(call.event(), sourceFile, method, line, lineText);
    log(logger, call.event());
}

void GXgLogMsgV(GXgObject* logger, GXgLevel level, const char* catalog, int set, int key,
                const char* defaultText, va_list items) {
    using namespace gxlog;
    auto log = GXgLoggerLogOperation(logger);
    if (!log || !GXgLevelPasses(logger->level, level)) return;
    CallEvent call(level);
    GXgI18Msg& message = call.event().message;
    if (catalog) message.catalog = catalog;
    message.set = set;
    message.key = key;
    message.defaultText = defaultText ? defaultText : "";
    GXgReadItems(call.event(), items);
    log(logger, call.event());
}

// The default text comes from the toolkit's message table; the caller's is used only
// for a key the table does not have.
void GXgToolkitMsg(GXgLevel level, int key, const char* defaultText, ...) {
    using namespace gxlog;
    if (!GXgToolkitStarted()) return;
    const char* text = msgTableText(key);
    va_list items;
    va_start(items, defaultText);
    GXgLogMsgV(GXgErrorLogger(), level, kToolkitCatalog, kToolkitSet, key,
               text ? text : defaultText, items);
    va_end(items);
}

}  // extern "C"
