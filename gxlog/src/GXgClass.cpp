#include "gxlog/src/GXgClass.h"

namespace gxlog {

namespace {
std::unique_ptr<GXgClassRegistry> g_classes;
const std::vector<std::string> kNoNames;
}  // namespace

bool GXgClassRegistry::add(std::unique_ptr<GXgObjClass> cls) {
    if (!cls || cls->name.empty() || classes_.count(cls->name)) return false;
    std::vector<std::string>* names = nullptr;
    switch (cls->kind) {
        case GXG_KIND_LOGGER: names = &loggers_; break;
        case GXG_KIND_FILTER: names = &filters_; break;
        case GXG_KIND_HANDLER: names = &handlers_; break;
        case GXG_KIND_FORMATTER: names = &formatters_; break;
    }
    if (!names) return false;
    names->push_back(cls->name);
    std::string name = cls->name;
    classes_.emplace(std::move(name), std::move(cls));
    return true;
}

GXgObjClass* GXgClassRegistry::find(std::string_view name) const {
    auto it = classes_.find(name);
    return it == classes_.end() ? nullptr : it->second.get();
}

const std::vector<std::string>& GXgClassRegistry::names(GXgKind kind) const {
    switch (kind) {
        case GXG_KIND_LOGGER: return loggers_;
        case GXG_KIND_FILTER: return filters_;
        case GXG_KIND_HANDLER: return handlers_;
        case GXG_KIND_FORMATTER: return formatters_;
    }
    return kNoNames;
}

GXgClassRegistry* classRegistry() { return g_classes.get(); }

bool createClassRegistry() {
    g_classes = std::make_unique<GXgClassRegistry>();
    bool ok = g_classes->add(makeBasicLoggerClass());
    ok = g_classes->add(makePdLoggerClass()) && ok;
    ok = g_classes->add(makeLevelFilterClass()) && ok;
    ok = g_classes->add(makeConsoleHandlerClass()) && ok;
    ok = g_classes->add(makeFileHandlerClass()) && ok;
    ok = g_classes->add(makeSharedFileHandlerClass()) && ok;
    ok = g_classes->add(makeBasicFormatterClass()) && ok;
    ok = g_classes->add(makeXmlFormatterClass()) && ok;
    return ok;
}

void destroyClassRegistry() { g_classes.reset(); }

}  // namespace gxlog
