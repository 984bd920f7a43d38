// Records with distinct names, found by name. The records sit in chunks and their names
// in a text store, so adding one allocates only when a chunk fills, and a record never
// moves. The index is an open-addressing table of 8-byte slots (a record number and 32
// bits of the name's hash): a lookup reads one short run of adjacent slots and touches a
// record only when the hash bits match. Keeping slots that small keeps the table of a
// large configuration in the processor's cache, where lookups by name stay cheap
// however many records there are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "gxlog/src/util/CxTextStore.h"

namespace gxlog {

// Record: default-constructible, with a `std::string_view name` member that the store
// sets and that must not change afterwards.
template <class Record>
class CxNamedRecords {
public:
    // 32 bits of the name's hash. Its top bits pick the first slot to look at, so that
    // growing the table needs only the slots, not the names.
    static std::uint32_t tagOf(std::string_view name) {
        const std::uint64_t hash = std::hash<std::string_view>{}(name);
        return static_cast<std::uint32_t>(hash ^ hash >> 32);
    }

    Record* find(std::string_view name) const { return find(name, tagOf(name)); }
    // `tag` is tagOf(name), worked out by a caller that had the name earlier.
    Record* find(std::string_view name, std::uint32_t tag) const {
        if (slots_.empty()) return nullptr;
        for (std::size_t i = home(tag);; i = (i + 1) & mask()) {
            const Slot& slot = slots_[i];
            if (slot.number == 0) return nullptr;
            if (slot.tag == tag && at(slot.number).name == name) return &at(slot.number);
        }
    }

    // Starts fetching the first slot a look-up of that tag reads, so that a look-up made
    // after other work need not wait for memory.
    void prefetch(std::uint32_t tag) const {
        if (!slots_.empty()) __builtin_prefetch(&slots_[home(tag)]);
    }

    // Adds a record of a name not present yet (the caller has looked) and returns it.
    Record& add(std::string_view name) { return add(name, tagOf(name)); }
    Record& add(std::string_view name, std::uint32_t tag) {
        if ((count_ + 1) * 2 > slots_.size()) grow(slots_.empty() ? 64 : slots_.size() * 2);
        if (count_ % kChunk == 0) chunks_.push_back(std::make_unique<Record[]>(kChunk));
        ++count_;
        Record& record = at(count_);
        record.name = names_.keep(name);
        place(Slot{tag, static_cast<std::uint32_t>(count_)});
        return record;
    }

    std::size_t size() const { return count_; }

private:
    static constexpr std::size_t kChunk = 256;

    struct Slot {
        std::uint32_t tag = 0;
        std::uint32_t number = 0;  // 1-based record number; 0: the slot is free
    };

    std::size_t home(std::uint32_t tag) const { return tag >> shift_; }
    std::size_t mask() const { return slots_.size() - 1; }

    Record& at(std::size_t number) const { return chunks_[(number - 1) / kChunk][(number - 1) % kChunk]; }

    void place(const Slot& slot) {
        std::size_t i = home(slot.tag);
        while (slots_[i].number != 0) i = (i + 1) & mask();
        slots_[i] = slot;
    }

    void grow(std::size_t slots) {
        std::vector<Slot> old(slots, Slot{});
        old.swap(slots_);
        shift_ = 32;
        for (std::size_t n = slots; n > 1; n /= 2) --shift_;
        for (const Slot& slot : old) {
            if (slot.number != 0) place(slot);
        }
    }

    std::vector<std::unique_ptr<Record[]>> chunks_;
    CxTextStore names_;
    std::vector<Slot> slots_;  // a power of two in size, at most half full
    unsigned shift_ = 32;      // 32 - log2(slots)
    std::size_t count_ = 0;
};

}  // namespace gxlog
