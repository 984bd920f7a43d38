// The class registry: the eight toolkit classes (two loggers, a filter, three handlers,
// two formatters), each a record of operations chosen by its kind. Objects (GXgObject.h)
// point at their class record; the registry owns the records.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gxlog/src/GXgLog.h"
#include "gxlog/src/GXgMessage.h"

namespace gxlog {

struct GXgEvent;

enum GXgKind : int32_t {
    GXG_KIND_LOGGER = 101,
    GXG_KIND_FILTER = 102,
    GXG_KIND_HANDLER = 103,
    GXG_KIND_FORMATTER = 104,
};

// Class names.
inline constexpr const char* kClassBasicLogger = "gxg_basiclogger";
inline constexpr const char* kClassPdLogger = "gxg_pdlogger";
inline constexpr const char* kClassLevelFilter = "gxg_levelfilter";
inline constexpr const char* kClassConsoleHandler = "gxg_consolehandler";
inline constexpr const char* kClassFileHandler = "gxg_filehandler";
inline constexpr const char* kClassSharedFileHandler = "gxg_multiproc_filehandler";
inline constexpr const char* kClassBasicFormatter = "gxg_basicformatter";
inline constexpr const char* kClassXmlFormatter = "gxg_xmlformatter";

// An object's private record, made by its class's createInstance and destroyed when the
// object is destroyed (or earlier, by the shutdown walk).
struct GXgInstanceData {
    virtual ~GXgInstanceData() = default;
};

// One class. Which operations are used depends on the kind:
//   logger:    log
//   filter:    handle, levelTest, forward
//   handler:   publish, open, close
//   formatter: format, head, tail, messageText
// A missing operation does nothing (or yields nothing).
struct GXgObjClass {
    GXgKind kind = GXG_KIND_LOGGER;
    std::string name;
    std::optional<GXgI18Msg> description;

    // Logger log, filter handle, handler publish.
    void (*log)(GXgObject* object, GXgEvent& event) = nullptr;
    // Filter.
    bool (*levelTest)(GXgObject* filter, const GXgEvent& event) = nullptr;
    void (*forward)(GXgObject* filter, GXgEvent& event) = nullptr;
    // Handler.
    void (*open)(GXgObject* handler) = nullptr;
    void (*close)(GXgObject* handler) = nullptr;
    // Formatter. format appends the record to `out` and returns false when it makes
    // none; the others yield new text or nothing.
    bool (*format)(GXgObject* formatter, GXgEvent& event, std::string& out) = nullptr;
    std::optional<std::string> (*head)(GXgObject* formatter) = nullptr;
    std::optional<std::string> (*tail)(GXgObject* formatter) = nullptr;
    std::optional<std::string> (*messageText)(GXgObject* formatter, const GXgI18Msg& message) = nullptr;

    // Instance data; a class without createInstance has none.
    std::unique_ptr<GXgInstanceData> (*createInstance)(GXgObject* object) = nullptr;
    // Called with the object and the name of a property just copied into the object's
    // own map; it reads the value from there. Unknown names go on to the common set.
    void (*configure)(GXgObject* object, const std::string& property) = nullptr;
};

class GXgClassRegistry {
public:
    // False when the name is empty or already registered.
    bool add(std::unique_ptr<GXgObjClass> cls);
    // Null when not registered.
    GXgObjClass* find(std::string_view name) const;
    // The class names of one kind, in registration order.
    const std::vector<std::string>& names(GXgKind kind) const;

private:
    std::map<std::string, std::unique_ptr<GXgObjClass>, std::less<>> classes_;
    std::vector<std::string> loggers_, filters_, handlers_, formatters_;
};

// The toolkit's class registry, null while the toolkit is not started.
GXgClassRegistry* classRegistry();
// Makes the registry with the eight classes. False when it cannot be made.
bool createClassRegistry();
void destroyClassRegistry();

// The record of each class, registered by createClassRegistry (defined beside each
// class's operations).
std::unique_ptr<GXgObjClass> makeBasicLoggerClass();
std::unique_ptr<GXgObjClass> makePdLoggerClass();
std::unique_ptr<GXgObjClass> makeLevelFilterClass();
std::unique_ptr<GXgObjClass> makeConsoleHandlerClass();
std::unique_ptr<GXgObjClass> makeFileHandlerClass();
std::unique_ptr<GXgObjClass> makeSharedFileHandlerClass();
std::unique_ptr<GXgObjClass> makeBasicFormatterClass();
std::unique_ptr<GXgObjClass> makeXmlFormatterClass();

}  // namespace gxlog
