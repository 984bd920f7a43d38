#include "sim/hba/json_fields.h"

namespace sansim {

uint32_t u32(const Json& v) {
    if (v.is_number_unsigned()) {
        const auto n = v.get<uint64_t>();
        if (n <= 0xFFFFFFFFu) return static_cast<uint32_t>(n);
    } else if (v.is_number_integer()) {
        const auto n = v.get<int64_t>();
        if (n >= 0 && n <= 0xFFFFFFFF) return static_cast<uint32_t>(n);
    } else if (v.is_string()) {
        const std::string s = v.get<std::string>();
        if (s.size() > 2 && s.size() <= 10 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
            uint32_t n = 0;
            bool ok = true;
            for (std::size_t i = 2; i < s.size() && ok; ++i) {
                const char c = s[i];
                const int d = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
                ok = d >= 0;
                n = n * 16 + static_cast<uint32_t>(d);
            }
            if (ok) return n;
        }
    }
    throw WorldError("not an unsigned 32-bit number: " + v.dump());
}

uint32_t u32(const Json& obj, const char* key, uint32_t fallback) {
    auto it = obj.find(key);
    return it == obj.end() ? fallback : u32(*it);
}

bool flag(const Json& obj, const char* key, bool fallback) {
    auto it = obj.find(key);
    if (it == obj.end()) return fallback;
    if (!it->is_boolean()) throw WorldError(std::string(key) + " is not true or false");
    return it->get<bool>();
}

std::string text(const Json& obj, const char* key, const std::string& fallback) {
    auto it = obj.find(key);
    if (it == obj.end()) return fallback;
    if (!it->is_string()) throw WorldError(std::string(key) + " is not a text");
    return it->get<std::string>();
}

Bytes hex(const Json& v) {
    if (v.is_string())
        if (auto b = parseHex(v.get<std::string>())) return *b;
    throw WorldError("not hexadecimal bytes: " + v.dump());
}

Wwn wwn(const Json& v) {
    if (v.is_string())
        if (auto w = parseWwn(v.get<std::string>())) return *w;
    throw WorldError("not a WWN: " + v.dump());
}

Wwn wwn(const Json& obj, const char* key) {
    auto it = obj.find(key);
    return it == obj.end() ? Wwn{} : wwn(*it);
}

uint32_t fcId(const Json& v) {
    if (v.is_string())
        if (auto id = parseFcId(v.get<std::string>())) return *id;
    throw WorldError("not a 24-bit FC address: " + v.dump());
}

Bytes fixedSense(uint8_t key, uint8_t asc, uint8_t ascq) {
    Bytes s(18, 0);
    s[0] = 0x70;
    s[2] = key & 0x0F;
    s[7] = 10;  // additional sense length
    s[12] = asc;
    s[13] = ascq;
    return s;
}

Answer answerCommon(const Json& obj) {
    Answer a;
    a.status = u32(obj, "status", HBA_STATUS_OK);
    if (auto it = obj.find("sense"); it != obj.end()) {
        if (it->is_object())
            a.sense = fixedSense(static_cast<uint8_t>(u32(*it, "key", 0)), static_cast<uint8_t>(u32(*it, "asc", 0)),
                                 static_cast<uint8_t>(u32(*it, "ascq", 0)));
        else
            a.sense = hex(*it);
    }
    if (auto it = obj.find("raw"); it != obj.end()) a.data = hex(*it);
    return a;
}

}  // namespace sansim
