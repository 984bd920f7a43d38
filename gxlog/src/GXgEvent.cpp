#include "gxlog/src/GXgEvent.h"

#include <cstdio>

#include "gxlog/src/GXgLevel.h"
#include "gxlog/src/GXgMsgTable.h"
#include "gxlog/src/GXgMsgText.h"
#include "gxlog/src/GXgToolkitPlatform.h"

namespace gxlog {

namespace {

// An item's value as an attribute text.
std::string attributeText(int marker, va_list& items) {
    char text[64];
    switch (marker) {
        case GXG_PARM_BOOLEAN:
            return static_cast<unsigned char>(va_arg(items, int)) == 1 ? "true" : "false";
        case GXG_PARM_INT:
            std::snprintf(text, sizeof text, "%d", va_arg(items, int));
            return text;
        case GXG_PARM_LONG:
            std::snprintf(text, sizeof text, "%d", static_cast<int32_t>(va_arg(items, long)));
            return text;
        case GXG_PARM_FLOAT:
            return renderParm(GXgParm::real(static_cast<float>(va_arg(items, double))));
        case GXG_PARM_DOUBLE:
            return renderParm(GXgParm::dbl(va_arg(items, double)));
        case GXG_PARM_CHAR:
            return std::string(1, static_cast<char>(va_arg(items, int)));
        default: {
            const char* s = va_arg(items, const char*);
            return s ? s : "";
        }
    }
}

// Reads an item's value into a parameter made in place in the event's list.
void readParameter(int marker, va_list& items, GXgParm& p) {
    p.type = marker;
    switch (marker) {
        case GXG_PARM_BOOLEAN: p.value.b = static_cast<unsigned char>(va_arg(items, int)) == 1; break;
        case GXG_PARM_INT: p.value.i = va_arg(items, int); break;
        case GXG_PARM_LONG: p.value.i = static_cast<int32_t>(va_arg(items, long)); break;
        case GXG_PARM_FLOAT: p.value.f = static_cast<float>(va_arg(items, double)); break;
        case GXG_PARM_DOUBLE: p.value.d = va_arg(items, double); break;
        case GXG_PARM_CHAR: p.value.c = static_cast<char>(va_arg(items, int)); break;
        default: {
            p.type = GXG_PARM_STRING;
            const char* s = va_arg(items, const char*);
            p.borrowedText = s ? s : "";
        }
    }
}

bool isValueMarker(int marker) { return marker >= GXG_PARM_BOOLEAN && marker <= GXG_PARM_STRING; }

}  // namespace

// Long items are 32-bit values in this protocol; callers pass them as C `long`, which is
// what is read (and then cut to 32 bits) so that the list stays in step on LP64 too.
void GXgReadItems(GXgEvent& event, va_list items) {
    va_list list;
    va_copy(list, items);
    int markers = 0;
    bool terminated = false;
    while (markers < kMaxItemMarkers) {
        int marker = va_arg(list, int);
        ++markers;
        bool named = false;
        const char* name = nullptr;
        if (marker == GXG_PARM_NAMED) {
            named = true;
            name = va_arg(list, const char*);
            marker = va_arg(list, int);  // the named value's own marker is the one counted
        }
        if (marker == GXG_PARM_END) {
            terminated = true;
            break;
        }
        if (isValueMarker(marker)) {
            if (!named) {
                readParameter(marker, list, event.message.params.emplace_back());
            } else {
                std::string value = attributeText(marker, list);
                if (name) event.attributes.set(name, value);  // a null name drops the value
            }
        } else if (GXgIsLevelMarker(marker)) {
            event.level = marker;
        } else {
            toolkitMsg(GXG_LEVEL_WARN, kMsgItemsMissingMarkers);
            terminated = true;
            break;
        }
    }
    if (!terminated) toolkitMsg(GXG_LEVEL_WARN, kMsgItemsUnterminated);
    va_end(list);
}

namespace {

// The standard name's number: by address first, as the toolkit passes its constants, then
// by text. None for other names.
std::optional<GXgStdAttr> standardName(std::string_view name) {
    for (std::size_t i = 0; i < kStandardAttributeCount; ++i) {
        if (name.data() == kStandardAttributeNames[i].data()) return static_cast<GXgStdAttr>(i);
    }
    for (std::size_t i = 0; i < kStandardAttributeCount; ++i) {
        if (name == kStandardAttributeNames[i]) return static_cast<GXgStdAttr>(i);
    }
    return std::nullopt;
}

}  // namespace

GXgAttributes::Entry& GXgAttributes::entryFor(std::string_view name) {
    if (const auto standard = standardName(name)) return entryFor(*standard);
    for (std::size_t i = 0; i < used_; ++i) {
        Entry& e = entries_[i];
        if (e.standard_ == Entry::kNotStandard && e.owned_ == name) return e;
    }
    Entry& e = nextEntry();
    e.standard_ = Entry::kNotStandard;
    e.owned_.assign(name);
    return e;
}

void GXgAttributes::set(std::string_view name, std::string_view value) {
    Entry& e = entryFor(name);
    e.borrowed_ = false;
    e.ownedValue_.assign(value);
}

void GXgAttributes::set(GXgStdAttr name, std::string_view value) {
    Entry& e = entryFor(name);
    e.borrowed_ = false;
    e.ownedValue_.assign(value);
}

std::optional<std::string_view> GXgAttributes::find(std::string_view name) const {
    if (const auto standard = standardName(name)) return find(*standard);
    for (std::size_t i = 0; i < used_; ++i) {
        const Entry& e = entries_[i];
        if (e.standard_ == Entry::kNotStandard && e.owned_ == name) return e.value();
    }
    return std::nullopt;
}

int64_t GXgNowMillis() { return platform::timeMillis(); }

}  // namespace gxlog
