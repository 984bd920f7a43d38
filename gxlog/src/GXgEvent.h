// The event: one per logging call, built by the call, handed by pointer down the chain
// of logger, filters, handlers and formatters, and destroyed when the call returns.
#pragma once

#include <array>
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

// The standard names as numbers, in the order of kStandardAttributeNames.
enum class GXgStdAttr : uint8_t {
    SrcFile, SrcLine, SrcFunction, Organization, Product, Component, Client, Server,
    ServerFormat, ProductInstance, ProcessId, ThreadId, CorrelationId,
};
inline constexpr std::string_view kStandardAttributeNames[] = {
    kAttrSrcFile,    kAttrSrcLine,         kAttrSrcFunction, kAttrOrganization, kAttrProduct,
    kAttrComponent,  kAttrClient,          kAttrServer,      kAttrServerFormat, kAttrProductInstance,
    kAttrProcessId,  kAttrThreadId,        kAttrCorrelationId,
};
inline constexpr std::size_t kStandardAttributeCount = std::size(kStandardAttributeNames);

// An event's attributes: name -> text, in first-insertion order; setting a name again
// keeps its place and takes the new value. A standard name has a fixed slot that tells
// where its entry is, so that the toolkit's own look-ups and updates (several per
// record) take no search; other names are copied and searched for. A value is either
// copied or, for texts that outlive the event (the source file, method and line of the
// logging call that made it), borrowed, so that a trace record's source attributes cost
// no copies. Clearing keeps the entries' memory, so an event reused for the next call
// fills them again without allocating.
class GXgAttributes {
public:
    class Entry {
    public:
        std::string_view name() const {
            return standard_ != kNotStandard ? kStandardAttributeNames[standard_] : std::string_view(owned_);
        }
        std::string_view value() const { return borrowed_ ? borrowedValue_ : std::string_view(ownedValue_); }

    private:
        friend class GXgAttributes;
        static constexpr uint8_t kNotStandard = 0xFF;
        uint8_t standard_ = kNotStandard;
        bool borrowed_ = false;
        std::string owned_;  // the name when it is not a standard one
        std::string ownedValue_;
        std::string_view borrowedValue_;
    };

    GXgAttributes() {
        entries_.reserve(8);
        clear();
    }

    // Copies the value.
    void set(std::string_view name, std::string_view value);
    void set(GXgStdAttr name, std::string_view value);
    // Keeps a view of the value, which must stay unchanged for as long as the event lives.
    void setBorrowed(GXgStdAttr name, std::string_view value) {
        Entry& e = entryFor(name);
        e.borrowed_ = true;
        e.borrowedValue_ = value;
    }
    // None when the name is not present.
    std::optional<std::string_view> find(std::string_view name) const;
    std::optional<std::string_view> find(GXgStdAttr name) const {
        const uint32_t slot = slots_[static_cast<std::size_t>(name)];
        if (slot == kNoSlot) return std::nullopt;
        return entries_[slot].value();
    }
    void clear() {
        used_ = 0;
        slots_.fill(kNoSlot);
    }
    bool empty() const { return used_ == 0; }
    std::size_t size() const { return used_; }
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.begin() + static_cast<std::ptrdiff_t>(used_); }

private:
    static constexpr uint32_t kNoSlot = UINT32_MAX;
    Entry& entryFor(GXgStdAttr name) {
        uint32_t& slot = slots_[static_cast<std::size_t>(name)];
        if (slot != kNoSlot) return entries_[slot];
        slot = static_cast<uint32_t>(used_);
        Entry& e = nextEntry();
        e.standard_ = static_cast<uint8_t>(name);
        return e;
    }
    Entry& entryFor(std::string_view name);
    // The entry after the used ones: a spare one, or a new one at the end.
    Entry& nextEntry() {
        Entry& e = used_ < entries_.size() ? entries_[used_] : entries_.emplace_back();
        ++used_;
        return e;
    }

    std::vector<Entry> entries_;  // the first used_ are the attributes; the rest are spare
    std::size_t used_ = 0;
    // Where each standard name's entry is among the first used_, or kNoSlot.
    std::array<uint32_t, kStandardAttributeCount> slots_{};
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
        message.borrowedDefaultText.reset();
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
