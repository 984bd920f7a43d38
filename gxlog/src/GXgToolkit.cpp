// The toolkit's application calls: start-up, loggers by name, the level test, trace
// lines and shut-down, each under the toolkit-wide lock.
#include "gxlog/src/GXgToolkit.h"

#include <cstdio>
#include <memory>
#include <mutex>

#include "gxlog/src/GXgConfig.h"
#include "gxlog/src/GXgI18nBridge.h"
#include "gxlog/src/GXgLevel.h"
#include "gxlog/src/GXgLogger.h"
#include "gxlog/src/GXgMsgTable.h"
#include "gxlog/src/GXgMsgText.h"
#include "gxlog/src/GXgObject.h"
#include "gxlog/src/GXgReadProps.h"
#include "gxlog/src/GXgToolkitLock.h"
#include "gxlog/src/GXgToolkitPlatform.h"

namespace gxlog {

namespace {

// The toolkit-wide lock. It lives as long as the process: the toolkit may be started and
// shut down any number of times, and every application call takes it.
constinit GXgToolkitLock g_toolkitLock;

bool g_started = false;
GXgObject* g_errorLogger = nullptr;  // holds one reference while started

// Toolkit diagnostics go to the error logger as catalog messages of "gxgmsg".
void logOnErrorLogger(GXgLevel level, GXgI18Msg message) {
    if (g_started) GXgLogMessage(g_errorLogger, level, std::move(message));
}

void startClasses() {
    if (!createClassRegistry()) {
        consoleWrite(stderr, msgTableText(kMsgToolkitInitFailed));
        std::fputs("\n", stderr);
    }
}

// The error logger with at least the default console among its listeners, so toolkit
// messages always reach standard error.
GXgObject* makeErrorLogger() {
    GXgObject* logger = GXgFindObject(kErrorLoggerName)
                            ? GXgGetObject(kErrorLoggerName, nullptr)
                            : GXgGetObject(kErrorLoggerName, kClassBasicLogger);
    GXgObject* console = nullptr;
    if (GXgFindObject(kDefaultConsoleName)) {
        console = GXgGetObject(kDefaultConsoleName, nullptr);
    } else {
        console = GXgGetObject(kDefaultConsoleName, kClassConsoleHandler);
        if (console) GXgSetFormatter(console, GXgGetObject(kDefaultFormatterName, kClassBasicFormatter));
    }
    if (logger && console) GXgAddListener(logger, console);
    GXgReleaseObject(console);
    return logger;
}

void terminate() {
    if (g_started) {
        setToolkitMsgChannel(nullptr);
        destroyConfigRegistry();
        g_errorLogger = nullptr;
        GXgDestroyAllObjects();
        destroyClassRegistry();
        platform::stopSockets();
        i18n::stop();
        g_started = false;
    }
}

bool initialize(const char* propertiesPath) {
    if (g_started) return true;
    i18n::start();
    platform::readTimeZone();
    createConfigRegistry();
    startClasses();
    // The channel is open from here so that problems found while the error logger is
    // being made are not lost; they reach it once it exists.
    g_started = true;
    if (propertiesPath && !GXgReadProps(propertiesPath, *configRegistry())) {
        consoleMessage(kMsgPropertiesUnreadable, {GXgParm::string(propertiesPath)});
        terminate();
        return false;
    }
    setToolkitMsgChannel(logOnErrorLogger);
    g_errorLogger = makeErrorLogger();
    platform::startSockets();
    return true;
}

}  // namespace

bool GXgToolkitStarted() { return g_started; }
GXgObject* GXgErrorLogger() { return g_errorLogger; }

bool GXgHostName(std::string& name) {
    auto host = platform::hostName();
    if (!host) return false;
    name = *host;
    return true;
}

}  // namespace gxlog

extern "C" {

bool GXgToolkitInit(const char* propertiesPath) {
    std::lock_guard guard(gxlog::g_toolkitLock);
    return gxlog::initialize(propertiesPath);
}

GXgObject* GXgGetLogger(const char* name, const char* className) {
    std::lock_guard guard(gxlog::g_toolkitLock);
    if (!gxlog::g_started) return nullptr;
    return gxlog::GXgGetObject(name, className);
}

bool GXgIsLoggable(GXgObject* logger, GXgLevel level) {
    std::lock_guard guard(gxlog::g_toolkitLock);
    // Loggers exist only while the toolkit is started: one kept past shut-down is never
    // looked at.
    return gxlog::g_started && logger && gxlog::GXgLevelPasses(logger->level, level);
}

void GXgLogTrace(GXgObject* logger, const char* sourceFile, const char* method, int line,
                 const char* format, ...) {
    std::lock_guard guard(gxlog::g_toolkitLock);
    if (!gxlog::g_started) return;
    va_list items;
    va_start(items, format);
    GXgLogTextV(logger, GXG_LEVEL_DEBUG_MIN, sourceFile, method, line, format, items);
    va_end(items);
}

void GXgToolkitTerm(void) {
    std::lock_guard guard(gxlog::g_toolkitLock);
    gxlog::terminate();
}

}  // extern "C"
