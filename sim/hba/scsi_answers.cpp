#include "sim/hba/scsi_answers.h"

#include <algorithm>

namespace sansim {

namespace {

constexpr uint8_t kSenseIllegalRequest = 0x05;

// True when the object has members beyond the ones every answer may carry.
bool hasStructuredMembers(const Json& given) {
    for (const auto& [key, value] : given.items())
        if (key != "status" && key != "sense" && key != "raw" && key != "comment") return true;
    return false;
}

// The common members, and whether the structured bytes are to be built: not when the
// answer is recorded, nor when it is only a failure (a status or sense data alone).
Answer startAnswer(const Json& given, bool& build) {
    Answer a = answerCommon(given);
    build = !a.data && (hasStructuredMembers(given) || (a.status == HBA_STATUS_OK && !a.sense));
    return a;
}

Bytes textOrHex(const Json& given, const char* textKey, const char* hexKey) {
    if (auto it = given.find(hexKey); it != given.end()) return hex(*it);
    const std::string t = text(given, textKey);
    return Bytes(t.begin(), t.end());
}

}  // namespace

Answer inquiryAnswer(const Json& given) {
    bool build = false;
    Answer a = startAnswer(given, build);
    if (!build) return a;
    const uint32_t length = std::clamp<uint32_t>(u32(given, "length", 96), 5, 255);
    Bytes d(std::max<uint32_t>(length, 56), 0);
    d[0] = static_cast<uint8_t>(((u32(given, "peripheralQualifier", 0) & 7) << 5) | (u32(given, "deviceType", 0) & 0x1F));
    d[1] = flag(given, "removable", false) ? 0x80 : 0x00;
    d[2] = static_cast<uint8_t>(u32(given, "version", 5));
    d[3] = static_cast<uint8_t>(u32(given, "responseDataFormat", 2));
    d[4] = static_cast<uint8_t>(length - 5);
    if (auto it = given.find("flags"); it != given.end()) {
        const Bytes f = hex(*it);
        for (std::size_t i = 0; i < 3 && i < f.size(); ++i) d[5 + i] = f[i];
    } else {
        d[7] = 0x02;
    }
    putText(d, 8, 8, text(given, "vendor"), ' ');
    putText(d, 16, 16, text(given, "product"), ' ');
    putText(d, 32, 4, text(given, "revision"), ' ');
    if (auto it = given.find("vendorSpecificHex"); it != given.end()) {
        const Bytes v = hex(*it);
        std::copy_n(v.begin(), std::min<std::size_t>(v.size(), 20), d.begin() + 36);
    } else if (given.contains("vendorSpecific")) {
        putText(d, 36, 20, text(given, "vendorSpecific"), ' ');
    }
    d.resize(length);
    a.data = std::move(d);
    return a;
}

Answer page80Answer(const Json& given, uint8_t peripheral) {
    bool build = false;
    Answer a = startAnswer(given, build);
    if (!build) return a;
    const Bytes serial = textOrHex(given, "serial", "serialHex");
    const std::size_t n = std::min<std::size_t>(serial.size(), 251);
    Bytes d(4 + n, 0);
    d[0] = peripheral;
    d[1] = 0x80;
    putBe16(d, 2, static_cast<uint32_t>(n));
    std::copy_n(serial.begin(), n, d.begin() + 4);
    a.data = std::move(d);
    return a;
}

Answer page83Answer(const Json& given, uint8_t peripheral) {
    bool build = false;
    Answer a = startAnswer(given, build);
    if (!build) return a;
    Bytes d(4, 0);
    d[0] = peripheral;
    d[1] = 0x83;
    if (auto list = given.find("designators"); list != given.end()) {
        for (const Json& des : *list) {
            const bool isText = des.contains("text");
            const Bytes id = textOrHex(des, "text", "hex");
            const uint32_t codeSet = u32(des, "codeSet", isText ? 2 : 1);
            const std::size_t n = std::min<std::size_t>(id.size(), 255);
            d.push_back(static_cast<uint8_t>(((u32(des, "protocolIdentifier", 0) & 0x0F) << 4) | (codeSet & 0x0F)));
            d.push_back(static_cast<uint8_t>((flag(des, "piv", false) ? 0x80 : 0) |
                                             ((u32(des, "association", 0) & 3) << 4) |
                                             (u32(des, "designatorType", 3) & 0x0F)));
            d.push_back(0);
            d.push_back(static_cast<uint8_t>(n));
            d.insert(d.end(), id.begin(), id.begin() + static_cast<std::ptrdiff_t>(n));
        }
    }
    putBe16(d, 2, static_cast<uint32_t>(std::min<std::size_t>(d.size() - 4, 0xFFFF)));
    a.data = std::move(d);
    return a;
}

Wwn lunIdOf(const Json& lun) {
    Wwn id{};
    if (lun.is_string()) {
        auto b = parseHex(lun.get<std::string>());
        if (!b || b->size() != 8) throw WorldError("a LUN id has 16 hexadecimal digits: " + lun.dump());
        std::copy(b->begin(), b->end(), id.begin());
        return id;
    }
    const uint32_t n = u32(lun);
    if (n < 256) {
        id[1] = static_cast<uint8_t>(n);
    } else if (n < 16384) {
        id[0] = static_cast<uint8_t>(0x40 | (n >> 8));
        id[1] = static_cast<uint8_t>(n & 0xFF);
    } else {
        throw WorldError("a LUN number is below 16384: " + lun.dump());
    }
    return id;
}

Answer reportLunsAnswer(const Json* given, const std::vector<Unit>& units) {
    static const Json kNone = Json::object();
    const Json& s = given ? *given : kNone;
    bool build = false;
    Answer a = startAnswer(s, build);
    if (!build) return a;
    std::vector<Wwn> luns;
    if (auto it = s.find("luns"); it != s.end()) {
        for (const Json& l : *it) luns.push_back(lunIdOf(l));
    } else if (!s.contains("count")) {
        for (const Unit& u : units) luns.push_back(u.lunId);
    }
    for (uint32_t n = 0, count = u32(s, "count", 0); n < count && n < 16384; ++n) luns.push_back(lunIdOf(Json(n)));
    Bytes d(8 + 8 * luns.size(), 0);
    putBe32(d, 0, u32(s, "listLength", static_cast<uint32_t>(8 * luns.size())));
    for (std::size_t i = 0; i < luns.size(); ++i) std::copy(luns[i].begin(), luns[i].end(), d.begin() + 8 + 8 * i);
    a.data = std::move(d);
    return a;
}

Answer absentUnitInquiry() {
    Answer a;
    Bytes d(36, 0);
    d[0] = 0x7F;
    d[2] = 5;
    d[3] = 2;
    d[4] = 31;
    a.data = std::move(d);
    return a;
}

Answer absentUnitPage() {
    Answer a;
    a.status = HBA_STATUS_SCSI_CHECK_CONDITION;
    a.sense = fixedSense(kSenseIllegalRequest, 0x25, 0x00);
    return a;
}

Answer missingPage() {
    Answer a;
    a.status = HBA_STATUS_SCSI_CHECK_CONDITION;
    a.sense = fixedSense(kSenseIllegalRequest, 0x24, 0x00);
    return a;
}

}  // namespace sansim
