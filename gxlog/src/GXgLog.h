// The logging toolkit's application interface: start-up from a properties file, loggers
// by name, the level test, trace lines with typed arguments, shut-down.
//
// C callers pass typed items as a variable argument list: a marker, then its value(s),
// closed by GXG_PARM_END. C++ callers should prefer gxlog::logTrace below, which emits
// the same markers from the argument types.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string_view>
#include <tuple>
#include <type_traits>

extern "C" {

typedef int32_t GXgLevel;

enum : GXgLevel {
    GXG_LEVEL_OFF = 9999,
    GXG_LEVEL_FATAL = 7000,
    GXG_LEVEL_ERROR = 6000,
    GXG_LEVEL_WARN = 5000,
    GXG_LEVEL_INFO = 4000,
    GXG_LEVEL_DEBUG_MIN = 3000,
    GXG_LEVEL_DEBUG_MID = 2000,
    GXG_LEVEL_DEBUG_MAX = 1000,
    GXG_LEVEL_ALL = 0,
    GXG_LEVEL_UNSET = -9999,
};

// Typed-argument markers of the item lists.
enum {
    GXG_PARM_END = 0,
    GXG_PARM_NAMED = 201,
    GXG_PARM_BOOLEAN = 501,
    GXG_PARM_INT = 502,
    GXG_PARM_LONG = 503,
    GXG_PARM_FLOAT = 504,
    GXG_PARM_DOUBLE = 505,
    GXG_PARM_CHAR = 506,
    GXG_PARM_STRING = 507,
};

struct GXgObject;  // a named, reference-counted toolkit object (loggers among them)

// True when the toolkit is ready (also when it was already). False when the properties
// file could not be read; the toolkit has then been shut down again. A null path reads
// no file.
bool GXgToolkitInit(const char* propertiesPath);

// The object of that name, created and configured on first use; null class name means
// the class comes from the configuration. Null when it cannot be had.
GXgObject* GXgGetLogger(const char* name, const char* className);

// The level test: false for a null logger.
bool GXgIsLoggable(GXgObject* logger, GXgLevel level);

// Logs the printf-style format at DEBUG_MIN with the typed items that follow, closed by
// GXG_PARM_END. Source file and method may be null.
void GXgLogTrace(GXgObject* logger, const char* sourceFile, const char* method, int line,
                 const char* format, ...);

// Destroys everything the toolkit made; GXgToolkitInit may be called again afterwards.
void GXgToolkitTerm(void);

// General entry points beneath the application calls (no locking of their own).
void GXgLogTextV(GXgObject* logger, GXgLevel level, const char* sourceFile, const char* method,
                 int line, const char* format, va_list items);
void GXgLogMsgV(GXgObject* logger, GXgLevel level, const char* catalog, int set, int key,
                const char* defaultText, va_list items);

// Reports one of the toolkit's own messages (table key) on its error logger.
void GXgToolkitMsg(GXgLevel level, int key, const char* defaultText, ...);

}  // extern "C"

namespace gxlog {

// Marker and C-varargs value for one C++ argument: integers (int and narrower) become
// GXG_PARM_INT, bool GXG_PARM_BOOLEAN, char GXG_PARM_CHAR, floating point GXG_PARM_DOUBLE,
// texts GXG_PARM_STRING.
namespace detail {
inline std::tuple<int, int> item(bool v) { return {GXG_PARM_BOOLEAN, v ? 1 : 0}; }
inline std::tuple<int, int> item(char v) { return {GXG_PARM_CHAR, static_cast<unsigned char>(v)}; }
inline std::tuple<int, const char*> item(const char* v) { return {GXG_PARM_STRING, v}; }
inline std::tuple<int, double> item(double v) { return {GXG_PARM_DOUBLE, v}; }
inline std::tuple<int, double> item(float v) { return {GXG_PARM_DOUBLE, v}; }
template <class T>
    requires(std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char> &&
             sizeof(T) <= sizeof(int))
inline std::tuple<int, int> item(T v) {
    return {GXG_PARM_INT, static_cast<int>(v)};
}
}  // namespace detail

// Type-safe trace call: the markers come from the argument types and the list is closed
// with GXG_PARM_END, so a missing marker or terminator cannot happen.
template <class... Args>
void logTrace(GXgObject* logger, const char* sourceFile, const char* method, int line,
              const char* format, const Args&... args) {
    auto items = std::tuple_cat(detail::item(args)..., std::make_tuple(int{GXG_PARM_END}));
    std::apply([&](auto... v) { GXgLogTrace(logger, sourceFile, method, line, format, v...); },
               items);
}

}  // namespace gxlog
