#include "gxlog/src/GXgObject.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <new>

#include "base/ascii.h"
#include "gxlog/src/GXgConfig.h"
#include "gxlog/src/GXgEvent.h"
#include "gxlog/src/GXgLevel.h"
#include "gxlog/src/GXgMsgTable.h"
#include "gxlog/src/GXgMsgText.h"

namespace gxlog {

namespace {

// The object registry. It owns the records; its reference is counted like any other.
// Never destroyed: a program that ends without shutting the toolkit down (as the
// scanner's file-system summary does) leaves its objects alone at exit, instead of
// destroying them in an order that static destruction does not control.
using ObjectRegistry = std::map<std::string, std::unique_ptr<GXgObject>, std::less<>>;
ObjectRegistry& g_objects = *new ObjectRegistry;

// Listener chains come from the configuration and may loop (a handler listed among its
// own listeners, or two handlers listing each other). An object that is already passing
// the event on is skipped, so every object sees an event once per path without a loop,
// and chains stop at this depth in any case.
constexpr std::size_t kMaxDistributionDepth = 32;
std::vector<GXgObject*> g_distributing;

// While everything is being destroyed at shut-down, releases only count down.
bool g_destroyingAll = false;

void destroy(GXgObject* object) {
    auto it = g_objects.find(object->name);
    std::unique_ptr<GXgObject> owned;
    if (it != g_objects.end() && it->second.get() == object) {
        owned = std::move(it->second);
        g_objects.erase(it);
    }
    if (object->kind() == GXG_KIND_HANDLER && object->cls->close) object->cls->close(object);
    object->properties = {};
    GXgClearListeners(object);
    object->instance.reset();
    if (object->kind() == GXG_KIND_HANDLER) GXgSetFormatter(object, nullptr);
    object->separator.reset();
    object->dateTimeFormat.reset();
    // `owned` frees the record here.
}

GXgObjClass* classForNewObject(const char* name, const char* className) {
    GXgClassRegistry* classes = classRegistry();
    if (className) {
        GXgObjClass* cls = classes ? classes->find(className) : nullptr;
        if (!cls) {
            toolkitMsg(GXG_LEVEL_WARN, kMsgClassUndefined,
                       {GXgParm::string(className), GXgParm::string(name)});
        }
        return cls;
    }
    GXgConfigRegistry* config = configRegistry();
    std::optional<std::string> found;
    if (config) {
        if (auto node = config->getNode(name)) found = config->getProperty(*node, "className");
    }
    if (!found) {
        toolkitMsg(GXG_LEVEL_WARN, kMsgClassMissing, {GXgParm::string(name)});
        return nullptr;
    }
    GXgObjClass* cls = classes ? classes->find(*found) : nullptr;
    if (!cls) {
        toolkitMsg(GXG_LEVEL_WARN, kMsgClassUndefined,
                   {GXgParm::string(*found), GXgParm::string(name)});
    }
    return cls;
}

bool isBlankSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

using base::equalsIgnoringCase;

// The class description that the description properties change (shared by every
// object of the class); made without a catalog when the class has none.
GXgI18Msg& description(GXgObject* object) {
    if (!object->cls->description) object->cls->description.emplace();
    return *object->cls->description;
}

}  // namespace

GXgObject* GXgGetObject(const char* name, const char* className) {
    if (!name) return nullptr;
    if (auto it = g_objects.find(std::string_view(name)); it != g_objects.end()) {
        GXgObject* object = it->second.get();
        ++object->refCount;
        if (!object->cls) {
            toolkitMsg(GXG_LEVEL_WARN, kMsgObjectCorrupt, {GXgParm::string(name)});
            GXgReleaseObject(object);
            return nullptr;
        }
        if (className && object->cls->name != className) {
            toolkitMsg(GXG_LEVEL_WARN, kMsgWrongClass,
                       {GXgParm::string(name), GXgParm::string(object->cls->name),
                        GXgParm::string(className)});
            GXgReleaseObject(object);
            return nullptr;
        }
        return object;
    }

    GXgObjClass* cls = classForNewObject(name, className);
    if (!cls) return nullptr;

    std::unique_ptr<GXgObject> made(new (std::nothrow) GXgObject);
    if (!made) {
        toolkitMsg(GXG_LEVEL_ERROR, kMsgOutOfMemory);
        return nullptr;
    }
    GXgObject* object = made.get();
    object->cls = cls;
    object->name = name;
    object->level = cls->kind == GXG_KIND_FILTER ? GXG_LEVEL_ALL : GXG_LEVEL_DEBUG_MIN;
    // The registry's reference and the caller's, taken before the configuration is
    // applied so that nothing the configuration does (a listener list naming the object
    // itself, then replaced) can destroy it half-made.
    object->refCount = 2;
    g_objects.emplace(object->name, std::move(made));
    // A handler starts with the default formatter, whatever `formatterName` says later.
    if (cls->kind == GXG_KIND_HANDLER)
        object->formatter = GXgGetObject(kDefaultFormatterName, kClassBasicFormatter);
    if (cls->createInstance) object->instance = cls->createInstance(object);

    if (GXgConfigRegistry* config = configRegistry()) {
        config->apply(object->name, [object](const std::string& property, const std::string& value) {
            object->properties.set(property, value);
            if (object->cls->configure) object->cls->configure(object, property);
            else GXgConfigureCommon(object, property);
        });
    }
    return object;
}

GXgObject* GXgFindObject(const char* name) {
    if (!name) return nullptr;
    auto it = g_objects.find(std::string_view(name));
    return it == g_objects.end() ? nullptr : it->second.get();
}

void GXgReleaseObject(GXgObject* object) {
    if (!object) return;
    --object->refCount;
    if (object->refCount == 1 && !g_destroyingAll) destroy(object);
}

void GXgAddListener(GXgObject* object, GXgObject* listener) {
    if (!object || !listener) return;
    auto& list = object->listeners;
    if (std::find(list.begin(), list.end(), listener) != list.end()) return;
    ++listener->refCount;
    list.push_back(listener);
    object->noListenersReported = false;
}

void GXgClearListeners(GXgObject* object) {
    std::vector<GXgObject*> listeners;
    listeners.swap(object->listeners);
    for (GXgObject* listener : listeners) GXgReleaseObject(listener);
}

void GXgSetFormatter(GXgObject* handler, GXgObject* formatter) {
    if (!handler || handler->kind() != GXG_KIND_HANDLER) {
        GXgReleaseObject(formatter);
        return;
    }
    GXgObject* old = handler->formatter;
    handler->formatter = formatter;
    GXgReleaseObject(old);
}

void GXgSetLogging(GXgObject* object, bool on) {
    if (object) object->logging = on;
}

void GXgDistribute(GXgObject* object, GXgEvent& event) {
    if (!object || !object->logging) return;
    if (object->kind() == GXG_KIND_LOGGER && object->listeners.empty() && !object->noListenersReported) {
        object->noListenersReported = true;
        toolkitMsg(GXG_LEVEL_WARN, kMsgNoListeners, {GXgParm::string(object->name)});
    }
    // A handler at the end of a chain (every trace record reaches one) has nobody to
    // pass the event on to.
    if (object->listeners.empty() || g_distributing.size() >= kMaxDistributionDepth) return;
    g_distributing.push_back(object);
    // By position, with the size read again each time: a listener's work may change the
    // list, and must not leave this walk on released memory.
    for (std::size_t i = 0; i < object->listeners.size(); ++i) {
        GXgObject* listener = object->listeners[i];
        const GXgKind kind = listener->kind();
        const bool looping =
            std::find(g_distributing.begin(), g_distributing.end(), listener) != g_distributing.end();
        if (!looping && (kind == GXG_KIND_FILTER || kind == GXG_KIND_HANDLER) && listener->cls->log)
            listener->cls->log(listener, event);
    }
    g_distributing.pop_back();
}

namespace {
std::optional<std::string> withFormatter(
    GXgObject* handler,
    const std::function<std::optional<std::string>(GXgObject*)>& call) {
    if (!handler) return std::nullopt;
    GXgObject* formatter = handler->formatter;
    if (!formatter || !formatter->cls || formatter->kind() != GXG_KIND_FORMATTER) return std::nullopt;
    return call(formatter);
}
}  // namespace

bool GXgHandlerFormatInto(GXgObject* handler, GXgEvent& event, std::string& out) {
    if (!handler) return false;
    GXgObject* formatter = handler->formatter;
    if (!formatter || !formatter->cls || formatter->kind() != GXG_KIND_FORMATTER || !formatter->cls->format)
        return false;
    return formatter->cls->format(formatter, event, out);
}

std::optional<std::string> GXgHandlerFormat(GXgObject* handler, GXgEvent& event) {
    std::string text;
    if (!GXgHandlerFormatInto(handler, event, text)) return std::nullopt;
    return text;
}

std::optional<std::string> GXgHandlerHead(GXgObject* handler) {
    return withFormatter(handler, [](GXgObject* f) -> std::optional<std::string> {
        return f->cls->head ? f->cls->head(f) : std::nullopt;
    });
}

std::optional<std::string> GXgHandlerTail(GXgObject* handler) {
    return withFormatter(handler, [](GXgObject* f) -> std::optional<std::string> {
        return f->cls->tail ? f->cls->tail(f) : std::nullopt;
    });
}

bool GXgFilterLevelTest(GXgObject* filter, const GXgEvent& event) {
    if (filter->level != GXG_LEVEL_ALL && event.level != GXG_LEVEL_UNSET)
        return event.level >= filter->level;
    return true;
}

const std::string* GXgObjectProperty(const GXgObject* object, const std::string& property) {
    return object->properties.find(property);
}

// As "%d" reads: leading white space, an optional sign, then decimal digits; whatever
// follows is ignored. A value beyond 32 bits is held at the nearest bound.
std::optional<int32_t> GXgPropertyInt(std::optional<std::string_view> value) {
    if (!value) return std::nullopt;
    const char* p = value->data();
    const char* const end = p + value->size();
    while (p < end && std::isspace(static_cast<unsigned char>(*p))) ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    if (p == end || *p < '0' || *p > '9') return std::nullopt;
    int64_t n = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        if (n <= INT64_C(1) << 32) n = n * 10 + (*p - '0');
    }
    if (negative) n = -n;
    if (n > INT32_MAX) return INT32_MAX;
    if (n < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(n);
}

std::optional<int32_t> GXgPropertyInt(const std::string* value) {
    if (!value) return std::nullopt;
    return GXgPropertyInt(std::optional<std::string_view>(*value));
}

std::optional<bool> GXgPropertyBool(const std::string* value) {
    if (!value) return std::nullopt;
    if (equalsIgnoringCase(*value, "true")) return true;
    if (equalsIgnoringCase(*value, "false")) return false;
    return std::nullopt;
}

void GXgConfigureCommon(GXgObject* object, const std::string& property) {
    const std::string* value = GXgObjectProperty(object, property);
    if (!value) return;
    if (property == "description") {
        description(object).defaultText = *value;
    } else if (property == "descriptionFile") {
        description(object).catalog = *value;
    } else if (property == "descriptionSet") {
        description(object).set = GXgPropertyInt(value).value_or(0);
    } else if (property == "descriptionKey") {
        description(object).key = GXgPropertyInt(value).value_or(0);
    } else if (property == "logging") {
        if (equalsIgnoringCase(*value, "on") || equalsIgnoringCase(*value, "true")) object->logging = true;
        else if (equalsIgnoringCase(*value, "off") || equalsIgnoringCase(*value, "false")) object->logging = false;
    } else if (property == "listenerNames") {
        const std::string names = *value;  // the map entry may move while objects are made
        GXgClearListeners(object);
        std::size_t i = 0;
        while (i < names.size()) {
            while (i < names.size() && isBlankSeparator(names[i])) ++i;
            std::size_t end = i;
            while (end < names.size() && !isBlankSeparator(names[end])) ++end;
            if (end > i) {
                const std::string name = names.substr(i, end - i);
                if (GXgObject* listener = GXgGetObject(name.c_str(), nullptr)) {
                    GXgAddListener(object, listener);
                    GXgReleaseObject(listener);
                }
            }
            i = end;
        }
    }
}

void GXgConfigureLevel(GXgObject* object, const std::string& property) {
    if (property == "level") {
        const std::string* value = GXgObjectProperty(object, property);
        object->level = GXgLevelFromKeyword(value ? value->c_str() : nullptr);
        return;
    }
    GXgConfigureCommon(object, property);
}

void GXgConfigureFormatterName(GXgObject* object, const std::string& property) {
    if (property == "formatterName") {
        const std::string* value = GXgObjectProperty(object, property);
        const std::string name = value ? *value : std::string();
        GXgSetFormatter(object, value ? GXgGetObject(name.c_str(), nullptr) : nullptr);
        return;
    }
    GXgConfigureCommon(object, property);
}

void GXgDestroyAllObjects() {
    // First every object's instance data and every handler's formatter go, so that no
    // object is destroyed while another's private data still refers to it; then the
    // registry itself. Releases made on the way only count down.
    g_destroyingAll = true;
    for (auto& [name, object] : g_objects) {
        object->instance.reset();
        if (object->kind() == GXG_KIND_HANDLER) {
            GXgObject* formatter = object->formatter;
            object->formatter = nullptr;
            GXgReleaseObject(formatter);
        }
    }
    ObjectRegistry objects = std::move(g_objects);
    g_objects.clear();
    for (auto& [name, object] : objects) {
        // Handlers are closed with no instance data left, so nothing more is written.
        if (object->kind() == GXG_KIND_HANDLER && object->cls->close) object->cls->close(object.get());
        object->listeners.clear();
    }
    objects.clear();
    g_destroyingAll = false;
}

std::size_t GXgObjectCount() { return g_objects.size(); }

}  // namespace gxlog
