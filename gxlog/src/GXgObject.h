// Toolkit objects: named, reference-counted instances of a class, made on demand the
// first time a name is asked for and configured then from the configuration registry.
//
// References: the object registry holds one; every GXgGetObject caller, every listener
// list and every handler's formatter slot holds one more. When a release leaves only the
// registry's reference, the object is destroyed. Shut-down destroys everything at once.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gxlog/src/GXgClass.h"
#include "gxlog/src/GXgLog.h"
#include "gxlog/src/util/CxOrderedMap.h"

struct GXgObject {
    gxlog::GXgObjClass* cls = nullptr;
    int32_t refCount = 0;
    std::string name;
    bool logging = true;

    // Loggers and filters.
    GXgLevel level = GXG_LEVEL_DEBUG_MIN;
    // Loggers, filters and handlers: ordered, no duplicates, one reference each.
    std::vector<GXgObject*> listeners;
    // Loggers: "no listeners" was reported since the list last gained a listener. The
    // problem is the same for every event, so it is said once.
    bool noListenersReported = false;
    // Handlers: the formatter object (one reference), or none.
    GXgObject* formatter = nullptr;
    // Formatters.
    std::optional<std::string> separator;
    std::optional<std::string> dateTimeFormat;

    gxlog::CxOrderedMap properties;  // own copy of every property applied
    std::unique_ptr<gxlog::GXgInstanceData> instance;

    gxlog::GXgKind kind() const { return cls->kind; }
    template <class T>
    T* data() const {
        return static_cast<T*>(instance.get());
    }
};

namespace gxlog {

inline constexpr const char* kErrorLoggerName = "gxlog.errorLogger";
inline constexpr const char* kDefaultConsoleName = "gxlog.defaultConsole";
inline constexpr const char* kDefaultFormatterName = "gxlog.defaultFormatter";
inline constexpr const char* kPdMsgIdFormatterName = "gxlog.pdMsgIdFormatter";

// The object of that name with one reference for the caller, made and configured when
// missing. Null (with GXGBC0060W..0063W or GXGBC0020E reported) when it cannot be had.
// A null class name takes the class from the configuration (`className`, inherited).
GXgObject* GXgGetObject(const char* name, const char* className);
// The object when it exists, without a new reference (nothing is made).
GXgObject* GXgFindObject(const char* name);
// Drops one reference.
void GXgReleaseObject(GXgObject* object);

// Appends the listener when not present yet, taking a reference.
void GXgAddListener(GXgObject* object, GXgObject* listener);
// Releases every listener.
void GXgClearListeners(GXgObject* object);
// Handlers only: releases the old formatter and adopts the caller's reference to the new
// one (which may be null).
void GXgSetFormatter(GXgObject* handler, GXgObject* formatter);
void GXgSetLogging(GXgObject* object, bool on);

// Passes the event to the object's filters and handlers in list order (nothing when the
// object's logging is off; a logger without listeners reports GXGLG01E).
void GXgDistribute(GXgObject* object, GXgEvent& event);

// A handler's calls to its formatter; nothing when it has none or it is no formatter.
std::optional<std::string> GXgHandlerFormat(GXgObject* handler, GXgEvent& event);
// The record appended to `out` (which the handler may keep between records, so that its
// memory is reused); false when there is none.
bool GXgHandlerFormatInto(GXgObject* handler, GXgEvent& event, std::string& out);
std::optional<std::string> GXgHandlerHead(GXgObject* handler);
std::optional<std::string> GXgHandlerTail(GXgObject* handler);

// The filter test: a filter level of 0 or an unset event level passes everything.
bool GXgFilterLevelTest(GXgObject* filter, const GXgEvent& event);

// Common properties, applied by every configure operation after its own ones.
void GXgConfigureCommon(GXgObject* object, const std::string& property);
// `level` for loggers and filters, `formatterName` for handlers, then the common set.
void GXgConfigureLevel(GXgObject* object, const std::string& property);
void GXgConfigureFormatterName(GXgObject* object, const std::string& property);

// Property values: the object's own copy, and the "%d" / boolean readings of it.
const std::string* GXgObjectProperty(const GXgObject* object, const std::string& property);
std::optional<int32_t> GXgPropertyInt(const std::string* value);
std::optional<int32_t> GXgPropertyInt(std::optional<std::string_view> value);
std::optional<bool> GXgPropertyBool(const std::string* value);

// Destroys every object (the toolkit's shut-down).
void GXgDestroyAllObjects();
// Number of objects in the registry (for tests and diagnostics).
std::size_t GXgObjectCount();

}  // namespace gxlog
