#include "sim/json_schema.h"


namespace sim {

using nlohmann::json;

namespace {

// A $ref chain deeper than this is a cycle in the schema, not a deep document.
constexpr int kMaxDepth = 200;

std::string typeName(const json& v) {
    if (v.is_null()) return "null";
    if (v.is_boolean()) return "boolean";
    if (v.is_number_integer() || v.is_number_unsigned()) return "integer";
    if (v.is_number()) return "number";
    if (v.is_string()) return "string";
    if (v.is_array()) return "array";
    return "object";
}

bool hasType(const json& v, const std::string& t) {
    const std::string actual = typeName(v);
    if (t == actual) return true;
    if (t == "number") return actual == "integer";
    return false;
}

std::string escapePointer(const std::string& key) {
    std::string out;
    for (char c : key) {
        if (c == '~') out += "~0";
        else if (c == '/') out += "~1";
        else out.push_back(c);
    }
    return out;
}

// Characters of a UTF-8 text (the parser has checked the encoding): every byte that does
// not continue a sequence starts one.
std::size_t characterCount(const std::string& s) {
    std::size_t n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n;
}

std::string describe(const json& v) {
    std::string s = v.dump();
    return s.size() > 60 ? s.substr(0, 57) + "..." : s;
}

}  // namespace

const Pattern& SchemaSet::compiled(const std::string& pattern) const {
    auto it = patterns_.find(pattern);
    if (it == patterns_.end()) it = patterns_.emplace(pattern, Pattern(pattern)).first;
    return it->second;
}

void SchemaSet::add(const std::string& name, json schema) {
    schemas_[name] = std::move(schema);
    keywords_.clear();
}

const SchemaSet::Keywords& SchemaSet::keywordsOf(const std::string& file, const json& schema) const {
    auto [it, added] = keywords_.try_emplace(&schema);
    Keywords& k = it->second;
    if (!added) return k;
    auto find = [&schema](const char* key) -> const json* {
        auto at = schema.find(key);
        return at == schema.end() ? nullptr : &*at;
    };
    if (const json* ref = find("$ref"); ref && ref->is_string()) {
        k.ref = true;
        const std::string r = ref->get<std::string>();
        const auto hash = r.find('#');
        k.refFile = hash == 0 ? file : r.substr(0, hash);
        const std::string pointer = hash == std::string::npos ? "" : r.substr(hash + 1);
        auto target = schemas_.find(k.refFile);
        if (target == schemas_.end()) {
            k.refError = "schema " + k.refFile + " is missing";
        } else if (pointer.empty()) {
            k.refTarget = &target->second;
        } else {
            const json::json_pointer jp(pointer);
            if (target->second.contains(jp)) k.refTarget = &target->second.at(jp);
            else k.refError = "schema reference " + r + " is missing";
        }
    }
    k.type = find("type");
    k.enumeration = find("enum");
    k.constant = find("const");
    k.minimum = find("minimum");
    k.maximum = find("maximum");
    k.minLength = find("minLength");
    k.maxLength = find("maxLength");
    k.pattern = find("pattern");
    if (k.pattern && k.pattern->is_string()) k.compiledPattern = &compiled(k.pattern->get<std::string>());
    k.minItems = find("minItems");
    k.maxItems = find("maxItems");
    k.items = find("items");
    k.required = find("required");
    k.properties = find("properties");
    k.additionalProperties = find("additionalProperties");
    k.anyOf = find("anyOf");
    k.oneOf = find("oneOf");
    return k;
}

std::optional<SchemaViolation> SchemaSet::check(const std::string& name, const json& value) const {
    auto it = schemas_.find(name);
    if (it == schemas_.end()) return SchemaViolation{"", "no schema named " + name};
    return checkAt(name, it->second, value, "", 0);
}

namespace {

// Keywords that change nothing in a check: a schema of only these and "$ref" is the schema it refers to.
bool onlyReference(const json& schema) {
    for (auto it = schema.begin(); it != schema.end(); ++it) {
        const std::string& k = it.key();
        if (k != "$ref" && k != "description" && k != "title" && k != "$comment") return false;
    }
    return true;
}

}  // namespace

std::optional<SchemaPlace> SchemaSet::resolve(const std::string& name, const std::vector<std::string>& path) const {
    auto it = schemas_.find(name);
    if (it == schemas_.end()) return std::nullopt;
    SchemaPlace at{name, &it->second};
    // Follows plain references; none when a reference is missing or the chain does not end.
    auto followed = [this](SchemaPlace p) -> std::optional<SchemaPlace> {
        for (int hops = 0; p.schema->is_object() && p.schema->contains("$ref"); ++hops) {
            const json& ref = p.schema->at("$ref");
            if (hops > kMaxDepth || !ref.is_string() || !onlyReference(*p.schema)) return std::nullopt;
            const std::string r = ref.get<std::string>();
            const auto hash = r.find('#');
            const std::string target = hash == 0 ? p.file : r.substr(0, hash);
            auto file = schemas_.find(target);
            if (file == schemas_.end()) return std::nullopt;
            const json::json_pointer pointer(hash == std::string::npos ? "" : r.substr(hash + 1));
            if (!file->second.contains(pointer)) return std::nullopt;
            p = {target, &file->second.at(pointer)};
        }
        return p;
    };
    for (const std::string& step : path) {
        auto here = followed(at);
        if (!here || !here->schema->is_object()) return std::nullopt;
        const json& s = *here->schema;
        if (s.contains("anyOf") || s.contains("oneOf") || s.contains("$ref")) return std::nullopt;
        const char* inner = step == "*" ? "items" : "properties";
        auto next = s.find(inner);
        if (next == s.end()) return std::nullopt;
        if (step == "*") {
            at = {here->file, &*next};
        } else {
            if (!next->is_object() || !next->contains(step)) return std::nullopt;
            at = {here->file, &next->at(step)};
        }
    }
    return at;
}

std::optional<SchemaViolation> SchemaSet::checkAt(const SchemaPlace& schema, const json& value,
                                                  const std::string& place) const {
    return checkAt(schema.file, *schema.schema, value, place, 0);
}

std::optional<SchemaViolation> SchemaSet::checkAt(const std::string& file, const json& schema,
                                                  const json& value, const std::string& place,
                                                  int depth) const {
    // A value packed while the document was read was checked then (see the world reader);
    // JSON text itself never gives a binary value.
    if (value.is_binary()) return std::nullopt;
    if (depth > kMaxDepth) return SchemaViolation{place, "schema reference chain too deep"};
    if (schema.is_boolean()) {
        if (schema.get<bool>()) return std::nullopt;
        return SchemaViolation{place, "no value is allowed here"};
    }
    if (!schema.is_object()) return std::nullopt;
    const Keywords& k = keywordsOf(file, schema);

    if (k.ref) {
        if (!k.refError.empty()) return SchemaViolation{place, k.refError};
        if (auto v = checkAt(k.refFile, *k.refTarget, value, place, depth + 1)) return v;
    }

    if (const json* t = k.type) {
        bool ok = false;
        std::string wanted;
        if (t->is_string()) {
            ok = hasType(value, *t);
            wanted = t->get<std::string>();
        } else if (t->is_array()) {
            for (const auto& one : *t) {
                if (one.is_string() && hasType(value, one)) ok = true;
                wanted += (wanted.empty() ? "" : " or ") + one.get<std::string>();
            }
        }
        if (!ok) return SchemaViolation{place, "expected " + wanted + ", found " + typeName(value)};
    }
    if (const json* e = k.enumeration; e && e->is_array()) {
        bool found = false;
        for (const auto& one : *e) found = found || one == value;
        if (!found) return SchemaViolation{place, describe(value) + " is not one of " + describe(*e)};
    }
    if (const json* c = k.constant; c && *c != value) return SchemaViolation{place, "must be " + describe(*c)};

    if (value.is_number()) {
        const double x = value.get<double>();
        if (const json* m = k.minimum; m && x < m->get<double>())
            return SchemaViolation{place, describe(value) + " is below the minimum " + describe(*m)};
        if (const json* m = k.maximum; m && x > m->get<double>())
            return SchemaViolation{place, describe(value) + " is above the maximum " + describe(*m)};
    }
    if (value.is_string()) {
        const auto& s = value.get_ref<const std::string&>();
        if (k.minLength || k.maxLength) {
            const std::size_t length = characterCount(s);
            if (const json* m = k.minLength; m && length < m->get<std::size_t>())
                return SchemaViolation{place, "text shorter than " + describe(*m) + " characters"};
            if (const json* m = k.maxLength; m && length > m->get<std::size_t>())
                return SchemaViolation{place, "text longer than " + describe(*m) + " characters"};
        }
        if (const json* p = k.pattern; p && p->is_string()) {
            if (!k.compiledPattern->search(s))
                return SchemaViolation{place, describe(value) + " does not match " + p->get<std::string>()};
        }
    }
    if (value.is_array()) {
        if (const json* m = k.minItems; m && value.size() < m->get<std::size_t>())
            return SchemaViolation{place, "fewer than " + describe(*m) + " items"};
        if (const json* m = k.maxItems; m && value.size() > m->get<std::size_t>())
            return SchemaViolation{place, "more than " + describe(*m) + " items"};
        if (const json* items = k.items) {
            for (std::size_t i = 0; i < value.size(); ++i)
                if (auto v = checkAt(file, *items, value[i], place + "/" + std::to_string(i), depth + 1))
                    return v;
        }
    }
    if (value.is_object()) {
        if (const json* req = k.required; req && req->is_array()) {
            for (const auto& name : *req)
                if (!value.contains(name.get<std::string>()))
                    return SchemaViolation{place, "the member \"" + name.get<std::string>() + "\" is missing"};
        }
        const json* props = k.properties;
        const json* extra = k.additionalProperties;
        for (auto it = value.begin(); it != value.end(); ++it) {
            const std::string childPlace = place + "/" + escapePointer(it.key());
            const auto own = props ? props->find(it.key()) : json::const_iterator();
            if (props && own != props->end()) {
                if (auto v = checkAt(file, *own, it.value(), childPlace, depth + 1)) return v;
            } else if (extra) {
                if (extra->is_boolean() && !extra->get<bool>())
                    return SchemaViolation{childPlace, "unknown member \"" + it.key() + "\""};
                if (auto v = checkAt(file, *extra, it.value(), childPlace, depth + 1)) return v;
            }
        }
    }
    if (const json* any = k.anyOf; any && any->is_array()) {
        std::optional<SchemaViolation> first;
        bool ok = false;
        for (const auto& alt : *any) {
            auto v = checkAt(file, alt, value, place, depth + 1);
            if (!v) { ok = true; break; }
            if (!first) first = v;
        }
        if (!ok) return first ? first : SchemaViolation{place, "matches none of the alternatives"};
    }
    if (const json* one = k.oneOf; one && one->is_array()) {
        int matches = 0;
        std::optional<SchemaViolation> first;
        for (const auto& alt : *one) {
            auto v = checkAt(file, alt, value, place, depth + 1);
            if (!v) ++matches;
            else if (!first) first = v;
        }
        if (matches == 0) return first ? first : SchemaViolation{place, "matches none of the alternatives"};
        if (matches > 1) return SchemaViolation{place, "matches more than one alternative"};
    }
    return std::nullopt;
}

}  // namespace sim
