#include "sim/hba/scsi_answers.h"

#include <algorithm>

#include "wire/scsi.h"

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

// A text field of fixed width, padded with blanks; longer text is cut.
template <std::size_t N>
std::array<char, N> blankPadded(std::string_view text) {
    std::array<char, N> field;
    field.fill(' ');
    std::copy_n(text.begin(), std::min(text.size(), N), field.begin());
    return field;
}

}  // namespace

Answer inquiryAnswer(const Json& given) {
    bool build = false;
    Answer a = startAnswer(given, build);
    if (!build) return a;
    wire::StandardInquiry s;
    s.peripheral = static_cast<uint8_t>(((u32(given, "peripheralQualifier", 0) & 7) << 5) |
                                        (u32(given, "deviceType", 0) & 0x1F));
    s.removable = flag(given, "removable", false);
    s.version = static_cast<uint8_t>(u32(given, "version", 5));
    s.responseDataFormat = static_cast<uint8_t>(u32(given, "responseDataFormat", 2));
    if (auto it = given.find("flags"); it != given.end()) {
        const Bytes f = hex(*it);
        std::copy_n(f.begin(), std::min<std::size_t>(f.size(), s.flags.size()), s.flags.begin());
    } else {
        s.flags = {0, 0, 0x02};  // command queueing
    }
    s.vendorId = blankPadded<8>(text(given, "vendor"));
    s.productId = blankPadded<16>(text(given, "product"));
    s.productRevision = blankPadded<4>(text(given, "revision"));
    if (auto it = given.find("vendorSpecificHex"); it != given.end()) {
        const Bytes v = hex(*it);
        std::copy_n(v.begin(), std::min(v.size(), s.vendorSpecific.size()), s.vendorSpecific.begin());
    } else if (given.contains("vendorSpecific")) {
        const auto field = blankPadded<20>(text(given, "vendorSpecific"));
        std::copy(field.begin(), field.end(), s.vendorSpecific.begin());
    }
    a.data = wire::encodeStandardInquiry(s, u32(given, "length", 96));
    return a;
}

Answer page80Answer(const Json& given, uint8_t peripheral) {
    bool build = false;
    Answer a = startAnswer(given, build);
    if (!build) return a;
    a.data = wire::encodeUnitSerialPage(peripheral, textOrHex(given, "serial", "serialHex"));
    return a;
}

Answer page83Answer(const Json& given, uint8_t peripheral) {
    bool build = false;
    Answer a = startAnswer(given, build);
    if (!build) return a;
    std::vector<wire::Designator> designators;
    if (auto list = given.find("designators"); list != given.end()) {
        for (const Json& des : *list) {
            wire::Designator& d = designators.emplace_back();
            d.protocolIdentifier = static_cast<uint8_t>(u32(des, "protocolIdentifier", 0) & 0x0F);
            d.codeSet = static_cast<uint8_t>(u32(des, "codeSet", des.contains("text") ? 2 : 1) & 0x0F);
            d.piv = flag(des, "piv", false);
            d.association = static_cast<uint8_t>(u32(des, "association", 0) & 3);
            d.designatorType = static_cast<uint8_t>(u32(des, "designatorType", 3) & 0x0F);
            d.value = textOrHex(des, "text", "hex");
        }
    }
    a.data = wire::encodeDeviceIdentificationPage(peripheral, designators);
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
    const auto listLength = static_cast<uint32_t>(wire::kLunEntrySize * luns.size());
    a.data = wire::encodeReportLuns(luns, u32(s, "listLength", listLength));
    return a;
}

Answer absentUnitInquiry() {
    wire::StandardInquiry s;
    s.peripheral = 0x7F;
    s.version = 5;
    s.responseDataFormat = 2;
    Answer a;
    a.data = wire::encodeStandardInquiry(s, 36);
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
