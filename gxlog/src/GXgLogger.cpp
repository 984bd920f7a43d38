// The basic logger class, the general logging entry points and the toolkit's own
// messages.
#include "gxlog/src/GXgLogger.h"

#include <new>

#include "gxlog/src/GXgLevel.h"
#include "gxlog/src/GXgMsgTable.h"
#include "gxlog/src/GXgMsgText.h"
#include "gxlog/src/GXgToolkit.h"

namespace gxlog {

namespace {

void basicLog(GXgObject* logger, GXgEvent& event) { GXgDistribute(logger, event); }

// The event of a logging call. It lives on the caller's stack for the length of the
// call: one allocation less per record, and nothing that can run out.
struct CallEvent {
    GXgEvent event;
    explicit CallEvent(GXgLevel level) {
        event.time = GXgNowMillis();
        event.level = level;
        event.message.params.reserve(4);
    }
};

void setSourceAttributes(GXgEvent& event, const char* sourceFile, const char* method, int line) {
    if (sourceFile) {
        event.attributes.set(kAttrSrcFile, sourceFile);
        event.attributes.set(kAttrSrcLine, std::to_string(line));
    }
    if (method) event.attributes.set(kAttrSrcFunction, method);
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
    call.event.message = std::move(message);
    log(logger, call.event);
}

}  // namespace gxlog

extern "C" {

void GXgLogTextV(GXgObject* logger, GXgLevel level, const char* sourceFile, const char* method,
                 int line, const char* format, va_list items) {
    using namespace gxlog;
    auto log = GXgLoggerLogOperation(logger);
    if (!log || !GXgLevelPasses(logger->level, level)) return;
    CallEvent call(level);
    call.event.message.defaultText = format ? format : "";
    GXgReadItems(call.event, items);
    setSourceAttributes(call.event, sourceFile, method, line);
    log(logger, call.event);
}

void GXgLogMsgV(GXgObject* logger, GXgLevel level, const char* catalog, int set, int key,
                const char* defaultText, va_list items) {
    using namespace gxlog;
    auto log = GXgLoggerLogOperation(logger);
    if (!log || !GXgLevelPasses(logger->level, level)) return;
    CallEvent call(level);
    GXgI18Msg& message = call.event.message;
    if (catalog) message.catalog = catalog;
    message.set = set;
    message.key = key;
    message.defaultText = defaultText ? defaultText : "";
    GXgReadItems(call.event, items);
    log(logger, call.event);
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
