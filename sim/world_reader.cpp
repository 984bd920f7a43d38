#include "sim/world_reader.h"

#include <array>
#include <string_view>
#include <vector>

#include "sim/json_schema.h"
#include "sim/world_schemas.h"

namespace sim {

using nlohmann::json;

namespace {

constexpr const char* kWorldSchema = "world.schema.json";

const SchemaSet& schemas() {
    static const SchemaSet set = [] {
        SchemaSet s;
        for (const auto& [name, text] : embeddedWorldSchemas())
            s.add(std::string(name), json::parse(text));
        return s;
    }();
    return set;
}

// Where the packed values are: every element of a target's units, behind port 0 or a
// discovered port of an adapter.
const std::array<std::vector<std::string>, 2>& packedPlaces() {
    static const std::array<std::vector<std::string>, 2> places = {
        std::vector<std::string>{"hba", "adapters", "*", "port", "target", "units", "*"},
        std::vector<std::string>{"hba", "adapters", "*", "discoveredPorts", "*", "target", "units", "*"},
    };
    return places;
}

bool matches(const std::vector<std::string>& path, const std::vector<std::string>& pattern) {
    if (path.size() != pattern.size()) return false;
    for (std::size_t i = 0; i < path.size(); ++i)
        if (pattern[i] != "*" && pattern[i] != path[i]) return false;
    return true;
}

std::string pointerOf(const std::vector<std::string>& path) {
    std::string out;
    for (const std::string& step : path) {
        out.push_back('/');
        for (char c : step) {
            if (c == '~') out += "~0";
            else if (c == '/') out += "~1";
            else out.push_back(c);
        }
    }
    return out;
}

// Builds the document as nlohmann's own parser does (a repeated member keeps its last
// value), packing each value at a packed place once it is whole and valid. A value that
// breaks the schema stays a document, for the check of the whole to report in its order.
class PackingReader final : public json::json_sax_t {
public:
    explicit PackingReader(json& root) : root_(root) {
        for (const auto& place : packedPlaces()) packed_.push_back(schemas().resolve(kWorldSchema, place));
    }

    bool null() override { return value(nullptr); }
    bool boolean(bool v) override { return value(v); }
    bool number_integer(number_integer_t v) override { return value(v); }
    bool number_unsigned(number_unsigned_t v) override { return value(v); }
    bool number_float(number_float_t v, const string_t&) override { return value(v); }
    bool string(string_t& v) override { return value(std::move(v)); }
    bool binary(binary_t& v) override { return value(json::binary(std::move(v))); }
    bool start_object(std::size_t) override { return open(json::value_t::object); }
    bool key(string_t& k) override {
        member_ = &(*stack_.back())[k];
        key_.assign(k);
        return true;
    }
    bool end_object() override { return close(); }
    bool start_array(std::size_t) override { return open(json::value_t::array); }
    bool end_array() override { return close(); }
    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& e) override {
        errorPosition = position;
        errorMessage = e.what();
        return false;
    }

    std::size_t errorPosition = 0;
    std::string errorMessage;

private:
    // Places a value where the parse stands; returns it.
    template <typename V>
    json* place(V&& v) {
        if (stack_.empty()) {
            root_ = json(std::forward<V>(v));
            return &root_;
        }
        json& parent = *stack_.back();
        if (parent.is_array()) {
            parent.emplace_back(std::forward<V>(v));
            return &parent.back();
        }
        *member_ = json(std::forward<V>(v));
        return member_;
    }
    template <typename V>
    bool value(V&& v) {
        place(std::forward<V>(v));
        return true;
    }
    bool open(json::value_t type) {
        const bool nested = !stack_.empty();
        const bool inArray = nested && stack_.back()->is_array();
        json* container = place(type);
        if (nested) path_.push_back(inArray ? std::to_string(stack_.back()->size() - 1) : key_);
        stack_.push_back(container);
        return true;
    }
    bool close() {
        json& done = *stack_.back();
        stack_.pop_back();
        // Only array elements: a "units" object is the schema's to refuse, whole.
        const bool element = !stack_.empty() && stack_.back()->is_array();
        for (std::size_t i = 0; element && i < packed_.size(); ++i)
            if (packed_[i] && matches(path_, packedPlaces()[i])) {
                pack(done, *packed_[i]);
                break;
            }
        if (!path_.empty()) path_.pop_back();
        return true;
    }
    void pack(json& v, const SchemaPlace& schema) {
        if (schemas().checkAt(schema, v, pointerOf(path_))) return;
        std::vector<std::uint8_t> bytes;
        json::to_msgpack(v, bytes);
        bytes.shrink_to_fit();
        v = json::binary(std::move(bytes));
    }

    json& root_;
    std::vector<json*> stack_;
    std::vector<std::string> path_;  // member names and indexes from the root to the open container
    json* member_ = nullptr;         // the member a key has just named
    std::string key_;
    std::vector<std::optional<SchemaPlace>> packed_;  // by packed place; none: not packed
};

}  // namespace

WorldReadResult readWorld(const std::string& text) {
    json doc;
    PackingReader reader(doc);
    if (!json::sax_parse(text, &reader))
        return {std::nullopt, "byte " + std::to_string(reader.errorPosition) + ": not valid JSON (" +
                                  reader.errorMessage + ")"};
    if (auto v = schemas().check(kWorldSchema, doc))
        return {std::nullopt, (v->place.empty() ? "/" : v->place) + ": " + v->reason};
    return {std::move(doc), ""};
}

json unpacked(const json& value) {
    if (!value.is_binary()) return value;
    return json::from_msgpack(value.get_binary());
}

}  // namespace sim
