// Map from name to text that remembers first-insertion order: setting a name again
// keeps its place and takes the new value. Used for configuration properties, object
// properties and event attributes, all of which are small and iterated in order.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace gxlog {

class CxOrderedMap {
public:
    using Entry = std::pair<std::string, std::string>;

    void set(std::string_view name, std::string_view value) {
        for (auto& e : entries_) {
            if (e.first == name) {
                e.second.assign(value);
                return;
            }
        }
        entries_.emplace_back(std::string(name), std::string(value));
    }

    // Null when the name is not present.
    const std::string* find(std::string_view name) const {
        for (const auto& e : entries_) {
            if (e.first == name) return &e.second;
        }
        return nullptr;
    }

    bool contains(std::string_view name) const { return find(name) != nullptr; }
    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

private:
    std::vector<Entry> entries_;
};

}  // namespace gxlog
