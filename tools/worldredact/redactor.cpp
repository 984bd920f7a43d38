#include "tools/worldredact/redactor.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <optional>
#include <set>

namespace redact {

namespace {

using Json = nlohmann::ordered_json;
using Bytes = std::vector<uint8_t>;

constexpr std::size_t kShortest = 4;  // shorter values are replaced only in their own member

// Members holding one WWN as text, and members holding bytes as hexadecimal text.
const std::set<std::string> kWwnMembers = {"nodeWwn", "portWwn", "fabricName", "portName", "nodeName",
                                           "fabricPortName"};
const std::set<std::string> kHexMembers = {"raw", "argument", "sense", "hex", "serialHex", "vendorSpecificHex",
                                           "vendorUnique", "initialProcessAssociator", "nodeIpAddress",
                                           "portIpAddress", "fc4Types", "supportedFc4Types", "activeFc4Types"};
// Members whose texts are the format's own words, never a customer's.
const std::set<std::string> kFormatMembers = {"type", "command", "letter", "fileSystem"};

// --- Bytes and texts -----------------------------------------------------------------

std::optional<Bytes> parseHex(const std::string& text) {
    Bytes out;
    int high = -1;
    for (char c : text) {
        if (c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == ':') {
            if (high >= 0) return std::nullopt;
            continue;
        }
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
        const int v = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(c) - 'a' + 10;
        if (high < 0) high = v;
        else out.push_back(static_cast<uint8_t>(high << 4 | v)), high = -1;
    }
    if (high >= 0) return std::nullopt;
    return out;
}

std::string hexText(const Bytes& b) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string s;
    for (uint8_t x : b) s += {kDigits[x >> 4], kDigits[x & 15]};
    return s;
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

void replaceAll(Bytes& data, const Bytes& from, const Bytes& to) {
    if (from.empty() || from.size() > data.size()) return;
    for (auto it = std::search(data.begin(), data.end(), from.begin(), from.end()); it != data.end();
         it = std::search(it + static_cast<std::ptrdiff_t>(to.size()), data.end(), from.begin(), from.end()))
        std::copy(to.begin(), to.end(), it);
}

// Replaces every occurrence of from by to (of the same length), ignoring case when asked;
// a case-blind match takes the case of the text it replaces. Raw answers are replaced the
// same way, so a value reads the same in a text and in the bytes that carry it.
void replaceText(std::string& text, const std::string& from, const std::string& to, bool ignoreCase) {
    if (from.empty()) return;
    const std::string hay = ignoreCase ? lower(text) : text;
    const std::string needle = ignoreCase ? lower(from) : from;
    for (std::size_t at = hay.find(needle); at != std::string::npos; at = hay.find(needle, at + needle.size()))
        for (std::size_t i = 0; i < to.size(); ++i) {
            const bool up = std::isupper(static_cast<unsigned char>(text[at + i])) != 0;
            text[at + i] = ignoreCase && up ? static_cast<char>(std::toupper(static_cast<unsigned char>(to[i]))) : to[i];
        }
}

// --- Pseudonyms ----------------------------------------------------------------------

class Keyed {
public:
    explicit Keyed(std::string key) : key_(std::move(key)) {}

    // n bytes derived from the key, a kind and a value.
    Bytes stream(const std::string& kind, const std::string& value, std::size_t n) const {
        Bytes out;
        for (uint32_t counter = 0; out.size() < n; ++counter) {
            std::string message = kind + '\0' + value + '\0' + std::to_string(counter);
            unsigned char digest[EVP_MAX_MD_SIZE];
            unsigned int length = 0;
            HMAC(EVP_sha256(), key_.data(), static_cast<int>(key_.size()),
                 reinterpret_cast<const unsigned char*>(message.data()), message.size(), digest, &length);
            out.insert(out.end(), digest, digest + length);
        }
        out.resize(n);
        return out;
    }

    // Same length; the NAA type and, where the type has one, the company id are kept.
    Bytes wwn(const Bytes& original) const {
        const Bytes r = stream("wwn", hexText(original), original.size());
        const int naa = original[0] >> 4;
        const std::size_t keepFrom = 1;
        const std::size_t keepTo = naa == 1 || naa == 2 ? 10 : naa == 5 || naa == 6 ? 7 : 1;  // nibbles kept
        Bytes out = original;
        for (std::size_t nibble = 0; nibble < original.size() * 2; ++nibble) {
            const bool keep = nibble == 0 || (nibble >= keepFrom && nibble < keepTo && !(naa == 2 && nibble < 4));
            if (keep) continue;
            const std::size_t i = nibble / 2;
            const uint8_t v = (r[i] >> ((nibble % 2) ? 0 : 4)) & 15;
            out[i] = static_cast<uint8_t>(nibble % 2 ? (out[i] & 0xF0) | v : (out[i] & 0x0F) | v << 4);
        }
        return out;
    }

    // Digit for digit, letter for letter in the same case (hexadecimal letters for a
    // hexadecimal text), every other character kept.
    std::string text(const std::string& kind, const std::string& original) const {
        const Bytes r = stream(kind, original, original.size());
        const bool hexLike = std::all_of(original.begin(), original.end(), [](char c) {
            return !std::isalnum(static_cast<unsigned char>(c)) || std::isxdigit(static_cast<unsigned char>(c));
        });
        std::string out = original;
        for (std::size_t i = 0; i < out.size(); ++i) {
            const auto c = static_cast<unsigned char>(out[i]);
            const int letters = hexLike ? 6 : 26;
            if (std::isdigit(c)) out[i] = static_cast<char>('0' + r[i] % 10);
            else if (std::isupper(c)) out[i] = static_cast<char>('A' + r[i] % letters);
            else if (std::islower(c)) out[i] = static_cast<char>('a' + r[i] % letters);
        }
        return out;
    }

    // Each octet keeps its number of digits.
    std::string ip(const std::string& original) const {
        const Bytes r = stream("ip", original, 4);
        std::string out;
        std::size_t start = 0;
        for (int octet = 0; octet < 4; ++octet) {
            const std::size_t end = original.find('.', start);
            const std::size_t digits = (end == std::string::npos ? original.size() : end) - start;
            const unsigned low = digits == 1 ? 0 : digits == 2 ? 10 : 100;
            const unsigned span = digits == 1 ? 10 : digits == 2 ? 90 : 156;
            if (octet) out += '.';
            out += std::to_string(low + r[static_cast<std::size_t>(octet)] % span);
            start = end + 1;
        }
        return out;
    }

private:
    std::string key_;
};

std::optional<std::array<uint8_t, 4>> ipBytes(const std::string& text) {
    std::array<uint8_t, 4> b{};
    std::size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        const std::size_t end = text.find('.', start);
        if ((end == std::string::npos) != (i == 3)) return std::nullopt;
        const std::string part = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part.empty() || part.size() > 3 || !std::all_of(part.begin(), part.end(), ::isdigit)) return std::nullopt;
        const int v = std::stoi(part);
        if (v > 255) return std::nullopt;
        b[static_cast<std::size_t>(i)] = static_cast<uint8_t>(v);
        start = end + 1;
    }
    return b;
}

// --- What is secret ------------------------------------------------------------------

class Redactor {
public:
    explicit Redactor(const std::string& key) : keyed_(key) {}

    void collect(const Json& j, const std::vector<std::string>& path);
    void apply(Json& j, const std::string& member);
    std::vector<Mapping> mapping() const;

private:
    void addWwn(const Bytes& b) {
        if (b.size() != 8 && b.size() != 16) return;
        if (std::all_of(b.begin(), b.end(), [](uint8_t x) { return x == 0; })) return;
        if (std::all_of(b.begin(), b.end(), [](uint8_t x) { return x == 0xFF; })) return;
        if (!wwns_.contains(b)) wwns_[b] = keyed_.wwn(b);
    }
    void addWwnText(const std::string& t) {
        if (auto b = parseHex(t)) addWwn(*b);
    }
    void addText(const std::string& kind, std::string t) {
        while (!t.empty() && (t.back() == ' ' || t.back() == '\0')) t.pop_back();
        while (!t.empty() && t.front() == ' ') t.erase(t.begin());
        if (t.empty() || texts_.contains(t)) return;
        texts_[t] = {kind, keyed_.text(kind, t)};
    }
    void addIp(const std::string& t) {
        if (ipBytes(t) && !ips_.contains(t) && t != "0.0.0.0") ips_[t] = keyed_.ip(t);
    }
    void addIpBytes(const uint8_t* p) {
        if (p[0] || p[1] || p[2] || p[3])
            addIp(std::to_string(p[0]) + "." + std::to_string(p[1]) + "." + std::to_string(p[2]) + "." + std::to_string(p[3]));
    }
    void addHost(const std::string& t) {
        if (ipBytes(t)) return addIp(t);
        std::size_t start = 0;
        while (start <= t.size()) {
            const std::size_t end = std::min(t.find('.', start), t.size());
            const std::string label = lower(t.substr(start, end - start));
            // Short labels ("com", "eu") name no one and would match everywhere.
            if (label.size() >= kShortest && !hosts_.contains(label)) hosts_[label] = keyed_.text("host", label);
            start = end + 1;
        }
    }
    void collectIps(const std::string& t) {
        for (std::size_t i = 0; i < t.size(); ++i) {
            if (!std::isdigit(static_cast<unsigned char>(t[i])) || (i > 0 && (std::isdigit(static_cast<unsigned char>(t[i - 1])) || t[i - 1] == '.')))
                continue;
            std::size_t end = i;
            while (end < t.size() && (std::isdigit(static_cast<unsigned char>(t[end])) || t[end] == '.')) ++end;
            addIp(t.substr(i, end - i));
        }
    }
    void collectRaw(const Bytes& raw, const std::vector<std::string>& path, const Json& owner);
    Bytes redactBytes(Bytes b) const;
    std::string redactText(std::string t, const std::string& member) const;

    Keyed keyed_;
    std::map<Bytes, Bytes> wwns_;
    std::map<std::string, std::pair<std::string, std::string>> texts_;  // original -> kind, pseudonym
    std::map<std::string, std::string> hosts_;                          // lower-case label -> pseudonym
    std::map<std::string, std::string> ips_;
    bool diskPeripheral_ = false;  // collecting below a DiskPeripheral registry key
};

bool inside(const std::vector<std::string>& path, const std::string& name) {
    return std::find(path.begin(), path.end(), name) != path.end();
}

uint32_t u32Of(const Json& j, const char* member, uint32_t fallback) {
    auto it = j.find(member);
    if (it == j.end()) return fallback;
    if (it->is_number()) return it->get<uint32_t>();
    if (it->is_string()) return static_cast<uint32_t>(std::stoul(it->get<std::string>(), nullptr, 0));
    return fallback;
}

// Secrets inside one raw answer, read by the layout of the command that gave it.
void Redactor::collectRaw(const Bytes& raw, const std::vector<std::string>& path, const Json& owner) {
    const std::string& where = path.size() >= 2 ? path[path.size() - 2] : std::string();
    if (where == "page80" && raw.size() > 4) {
        const std::size_t n = std::min<std::size_t>(raw[3], raw.size() - 4);
        addText("serial", std::string(raw.begin() + 4, raw.begin() + 4 + static_cast<std::ptrdiff_t>(n)));
    } else if (where == "inquiry" && raw.size() > 36) {
        // Bytes 36 to 55: where vendors put a serial number, when printable.
        const std::size_t end = std::min<std::size_t>(raw.size(), 56);
        const std::string v(raw.begin() + 36, raw.begin() + static_cast<std::ptrdiff_t>(end));
        if (std::all_of(v.begin(), v.end(), [](char c) { return std::isprint(static_cast<unsigned char>(c)) || c == 0; }))
            addText("serial", v);
    } else if (where == "page83") {
        for (std::size_t at = 4; at + 4 <= raw.size();) {
            const std::size_t n = raw[at + 3];
            const std::size_t end = std::min(raw.size(), at + 4 + n);
            const Bytes id(raw.begin() + static_cast<std::ptrdiff_t>(at + 4), raw.begin() + static_cast<std::ptrdiff_t>(end));
            if ((raw[at + 1] & 0x0F) == 3) addWwn(id);
            else if ((raw[at] & 0x0F) == 2 && id.size() >= kShortest) addText("serial", std::string(id.begin(), id.end()));
            at += 4 + n;
        }
    } else if (inside(path, "rnid")) {
        if (raw.size() >= 24) {
            addWwn(Bytes(raw.begin() + 8, raw.begin() + 16));
            addWwn(Bytes(raw.begin() + 16, raw.begin() + 24));
        }
        const std::size_t specific = 8 + (raw.size() > 5 ? raw[5] : 16);
        if (raw.size() >= specific + 48 && raw[specific + 29] == 1) addIpBytes(&raw[specific + 44]);
    } else if (inside(path, "ct") && raw.size() > 16) {
        const uint32_t code = u32Of(owner, "code", 0);
        const uint8_t* p = raw.data() + 16;
        const std::size_t n = raw.size() - 16;
        auto wwnAt = [&](std::size_t at) {
            if (at + 8 <= n) addWwn(Bytes(p + at, p + at + 8));
        };
        auto ipAt = [&](std::size_t at) {
            if (at + 16 <= n && std::all_of(p + at, p + at + 12, [](uint8_t x) { return x == 0; })) addIpBytes(p + at + 12);
        };
        if (code == 0x0100) {  // a name-server port object
            wwnAt(4), wwnAt(268), wwnAt(608), ipAt(540), ipAt(592);
        } else if (code == 0x0132) {  // ports of a node
            for (std::size_t at = 8; at + 8 <= n; at += 16) wwnAt(at);
        } else if (code == 0x0191) {  // node names of a platform
            for (std::size_t at = 4; at + 8 <= n; at += 8) wwnAt(at);
        }
    }
}

void Redactor::collect(const Json& j, const std::vector<std::string>& path) {
    const std::string member = path.empty() ? "" : path.back();
    if (j.is_object()) {
        // Below a disk peripheral's key, "Identifier" holds the disk's signature.
        const bool wasDisk = diskPeripheral_;
        if (j.contains("name") && j["name"].is_string() && !j.contains("type") &&
            lower(j["name"].get<std::string>()) == "diskperipheral")
            diskPeripheral_ = true;
        struct Restore {
            bool& flag;
            bool value;
            ~Restore() { flag = value; }
        } restore{diskPeripheral_, wasDisk};
        // A registry value: serial numbers, and disk identifiers (signatures).
        if (j.contains("name") && j.contains("type") && j.contains("data") && j["name"].is_string()) {
            const std::string name = lower(j["name"].get<std::string>());
            const bool serial = name.find("serial") != std::string::npos;
            const bool diskSignature = name == "identifier" && diskPeripheral_;
            if (j["data"].is_string() && (serial || diskSignature))
                addText("registry", j["data"].get<std::string>());
        }
        if (member == "page83" && j.contains("designators"))
            for (const Json& d : j["designators"]) {
                if (d.contains("hex") && u32Of(d, "designatorType", 3) == 3) addWwnText(d["hex"].get<std::string>());
                if (d.contains("text")) addText("serial", d["text"].get<std::string>());
            }
        if (member == "ct" || inside(path, "ct")) {
            const uint32_t code = u32Of(j, "code", 0);
            if (j.contains("argument") && (code == 0x0121 || code == 0x0132 || code == 0x0139))
                if (auto b = parseHex(j["argument"].get<std::string>()); b && b->size() >= 8)
                    addWwn(Bytes(b->begin(), b->begin() + 8));
        }
        for (const auto& [k, v] : j.items()) {
            auto next = path;
            next.push_back(k);
            if (k == "raw" && v.is_string()) {
                if (auto b = parseHex(v.get<std::string>())) collectRaw(*b, next, j);
                continue;
            }
            collect(v, next);
        }
        return;
    }
    if (j.is_array()) {
        for (const Json& e : j) {
            if (member == "nodeNames" && e.is_string()) addWwnText(e.get<std::string>());
            else if (member == "addresses" && e.is_string()) addIp(e.get<std::string>());
            else if (member == "managementAddresses" && e.is_string()) collectIps(e.get<std::string>());
            else collect(e, path);
        }
        return;
    }
    if (!j.is_string()) return;
    const std::string& t = j.get_ref<const std::string&>();
    if (kWwnMembers.contains(member)) addWwnText(t);
    else if (member == "serialNumber" || member == "serial") addText("serial", t);
    else if (member == "serialHex") {
        if (auto b = parseHex(t)) addText("serial", std::string(b->begin(), b->end()));
    } else if (member == "hostName" || member == "officialName") addHost(t);
    else if (member == "ipAddress") addIp(t);
    else if (member == "label" && inside(path, "volume")) addText("label", t);
}

Bytes Redactor::redactBytes(Bytes b) const {
    for (const auto& [from, to] : wwns_) replaceAll(b, from, to);
    for (const auto& [from, v] : texts_)
        if (from.size() >= kShortest && v.first != "label") replaceAll(b, Bytes(from.begin(), from.end()), Bytes(v.second.begin(), v.second.end()));
    for (const auto& [from, to] : hosts_) {
        if (from.size() < kShortest) continue;
        // Host names are matched in either case and keep the case they stand in.
        for (std::size_t at = 0; at + from.size() <= b.size(); ++at) {
            bool match = true;
            for (std::size_t i = 0; i < from.size() && match; ++i)
                match = std::tolower(b[at + i]) == static_cast<unsigned char>(from[i]);
            if (!match) continue;
            for (std::size_t i = 0; i < to.size(); ++i)
                b[at + i] = static_cast<uint8_t>(std::isupper(b[at + i]) ? std::toupper(static_cast<unsigned char>(to[i])) : to[i]);
        }
    }
    for (const auto& [from, to] : ips_) {
        const auto f = ipBytes(from), t = ipBytes(to);
        replaceAll(b, Bytes(f->begin(), f->end()), Bytes(t->begin(), t->end()));
    }
    return b;
}

std::string Redactor::redactText(std::string t, const std::string& member) const {
    // Longer values first, so that a value inside another is not replaced in pieces.
    std::vector<std::pair<std::string, std::string>> order;
    for (const auto& [from, v] : texts_) order.emplace_back(from, v.second);
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
    for (const auto& [from, to] : order) {
        // A volume label is a word of any kind ("System"): it is replaced where it stands.
        const bool label = texts_.at(from).first == "label";
        if (label ? member == "label" && t == from : from.size() >= kShortest || t == from) replaceText(t, from, to, false);
    }
    for (const auto& [from, to] : ips_) replaceText(t, from, to, false);
    for (const auto& [from, to] : hosts_) replaceText(t, from, to, true);
    return t;
}

void Redactor::apply(Json& j, const std::string& member) {
    if (j.is_object()) {
        for (auto& [k, v] : j.items()) apply(v, k);
        return;
    }
    if (j.is_array()) {
        for (Json& e : j) apply(e, member == "nodeNames" ? "nodeWwn" : member);
        return;
    }
    if (!j.is_string()) return;
    const std::string t = j.get<std::string>();
    if (kWwnMembers.contains(member)) {
        if (auto b = parseHex(t); b && wwns_.contains(*b)) {
            // The pseudonym in the form of the original: its case and its separators.
            const std::string to = hexText(wwns_.at(*b));
            const bool lowerCase = std::any_of(t.begin(), t.end(), [](char c) { return std::islower(static_cast<unsigned char>(c)); });
            std::string out = t;
            std::size_t k = 0;
            for (char& c : out)
                if (std::isxdigit(static_cast<unsigned char>(c))) c = lowerCase ? static_cast<char>(std::tolower(to[k++])) : to[k++];
            j = out;
        }
    } else if (kHexMembers.contains(member)) {
        if (auto b = parseHex(t)) j = hexText(redactBytes(*b));
    } else if (member == "ipAddress" && t.size() == 32) {
        if (auto b = parseHex(t)) j = hexText(redactBytes(*b));
    } else if (!kFormatMembers.contains(member)) {
        j = redactText(t, member);
    }
}

std::vector<Mapping> Redactor::mapping() const {
    std::vector<Mapping> out;
    for (const auto& [from, to] : wwns_) out.push_back({"wwn", hexText(from), hexText(to)});
    for (const auto& [from, v] : texts_) out.push_back({v.first, from, v.second});
    for (const auto& [from, to] : hosts_) out.push_back({"host", from, to});
    for (const auto& [from, to] : ips_) out.push_back({"ip", from, to});
    std::stable_sort(out.begin(), out.end(), [](const Mapping& a, const Mapping& b) { return a.kind < b.kind; });
    return out;
}

}  // namespace

std::string applyMapping(const std::vector<Mapping>& mapping, std::string text) {
    std::vector<const Mapping*> order;
    for (const Mapping& m : mapping) order.push_back(&m);
    std::stable_sort(order.begin(), order.end(),
                     [](const Mapping* a, const Mapping* b) { return a->original.size() > b->original.size(); });
    // A host name stands alone as a dotted name; elsewhere its labels are ordinary words.
    const bool dottedName = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-';
    });
    for (const Mapping* m : order) {
        if (m->kind == "label") {
            if (text == m->original) text = m->pseudonym;
        } else if (m->kind == "host") {
            if (dottedName) replaceText(text, m->original, m->pseudonym, true);
        } else if (m->original.size() >= kShortest) {
            replaceText(text, m->original, m->pseudonym, false);
        }
    }
    return text;
}

Result redactWorld(const Json& world, const std::string& key) {
    Redactor r(key);
    r.collect(world, {});
    Result out{world, {}};
    r.apply(out.world, "");
    out.mapping = r.mapping();
    return out;
}

}  // namespace redact
