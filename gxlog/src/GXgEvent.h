// The event: one per logging call, built by the call, handed by pointer down the chain
// of logger, filters, handlers and formatters, and destroyed when the call returns.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gxlog/src/GXgLog.h"
#include "gxlog/src/GXgMessage.h"

namespace gxlog {

// Standard attribute names.
inline constexpr const char* kAttrSrcFile = "gxg_prop_srcfile";
inline constexpr const char* kAttrSrcLine = "gxg_prop_srcline";
inline constexpr const char* kAttrSrcFunction = "gxg_prop_srcfunction";
inline constexpr const char* kAttrOrganization = "organization";
inline constexpr const char* kAttrProduct = "product";
inline constexpr const char* kAttrComponent = "component";
inline constexpr const char* kAttrClient = "client";
inline constexpr const char* kAttrServer = "server";
inline constexpr const char* kAttrServerFormat = "serverFormat";
inline constexpr const char* kAttrProductInstance = "productInstance";
inline constexpr const char* kAttrProcessId = "processId";
inline constexpr const char* kAttrThreadId = "threadId";
inline constexpr const char* kAttrCorrelationId = "correlationId";

// An event's attributes: name -> text, in first-insertion order; setting a name again
// keeps its place and takes the new value. The toolkit's own attribute names (the
// constants above) are kept as references to those constants, other names as copies.
// A value is either copied or, for texts that outlive the event (the source file, method
// and line of the logging call that made it), borrowed, so that a trace record's source
// attributes cost no copies. Clearing keeps the entries' memory, so an event reused for
// the next call fills them again without allocating.
class GXgAttributes {
public:
    class Entry {
    public:
        std::string_view name() const { return literal_.data() ? literal_ : std::string_view(owned_); }
        std::string_view value() const { return borrowed_ ? borrowedValue_ : std::string_view(ownedValue_); }

    private:
        friend class GXgAttributes;
        std::string_view literal_;  // a toolkit constant, or none (data() null)
        std::string owned_;
        std::string ownedValue_;
        std::string_view borrowedValue_;
        bool borrowed_ = false;
    };

    GXgAttributes() { entries_.reserve(8); }

    // Copies the value.
    void set(std::string_view name, std::string_view value);
    // Keeps a view of the value, which must stay unchanged for as long as the event lives.
    void setBorrowed(std::string_view name, std::string_view value);
    // None when the name is not present.
    std::optional<std::string_view> find(std::string_view name) const;
    // Several look-ups in one walk over the attributes: found[i] becomes the entry named
    // names[i], or null. `found` holds `count` pointers, as `names` holds `count` names.
    void findEach(const std::string_view* names, const Entry** found, std::size_t count) const;
    void clear() { used_ = 0; }
    bool empty() const { return used_ == 0; }
    std::size_t size() const { return used_; }
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.begin() + static_cast<std::ptrdiff_t>(used_); }

private:
    Entry& entryFor(std::string_view name);

    std::vector<Entry> entries_;  // the first used_ are the attributes; the rest are spare
    std::size_t used_ = 0;
};

struct GXgEvent {
    int64_t time = 0;  // milliseconds since 1970-01-01 00:00:00 UTC
    GXgLevel level = GXG_LEVEL_UNSET;
    GXgI18Msg message;
    std::optional<std::string> messageId;  // filled on demand (PD logger, XML formatter)
    GXgAttributes attributes;

    // Back to a new event's state, keeping the memory of its texts and lists.
    void clear() {
        time = 0;
        level = GXG_LEVEL_UNSET;
        message.catalog.reset();
        message.set = 0;
        message.key = 0;
        message.defaultText.clear();
        message.params.clear();
        messageId.reset();
        attributes.clear();
    }
};

// Item lists hold at most this many markers (a 201 and its name count as none); the
// closing 0 must come within them.
inline constexpr int kMaxItemMarkers = 63;

// Reads the typed items of a logging call into the event: unnamed items become message
// parameters, items named with GXG_PARM_NAMED become attributes, level markers replace
// the event's level. A marker that is none of these is reported (GXGBC0071W) and ends the
// list; a list without its 0 within kMaxItemMarkers markers is reported (GXGBC0070W).
// What was read before either stays in the event.
void GXgReadItems(GXgEvent& event, va_list items);

// Milliseconds since the epoch, now.
int64_t GXgNowMillis();

}  // namespace gxlog
