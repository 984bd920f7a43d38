#include "wire/scsi.h"

#include <algorithm>

namespace wire {

namespace {

constexpr std::size_t kPeripheralAt = 0;
constexpr std::size_t kAdditionalLengthAt = 4;
constexpr std::size_t kFlagsAt = 5;
constexpr std::size_t kVendorAt = 8;
constexpr std::size_t kProductAt = 16;
constexpr std::size_t kRevisionAt = 32;
constexpr std::size_t kVendorSpecificAt = 36;
constexpr std::size_t kStandardFieldsEnd = 56;
constexpr std::size_t kMaxUnitSerial = 251;
constexpr std::size_t kDesignatorHeaderSize = 4;
constexpr std::size_t kMaxDesignatorValue = 255;

template <std::size_t N>
std::array<char, N> charsAt(std::span<const uint8_t> b, std::size_t at) {
    std::array<char, N> out{};
    for (std::size_t i = 0; i < N; ++i) out[i] = static_cast<char>(byteAt(b, at + i));
    return out;
}

template <std::size_t N>
void putChars(Bytes& b, std::size_t at, const std::array<char, N>& chars) {
    for (std::size_t i = 0; i < N; ++i) b[at + i] = static_cast<uint8_t>(chars[i]);
}

}  // namespace

ReportLunsData decodeReportLuns(std::span<const uint8_t> answer) {
    ReportLunsData d;
    d.listLength = getBe32(answer, 0);
    if (answer.size() < kReportLunsHeaderSize) return d;
    const std::size_t held = (answer.size() - kReportLunsHeaderSize) / kLunEntrySize;
    d.entries.reserve(held);
    for (std::size_t k = 0; k < held; ++k)
        d.entries.push_back(bytesAt<kLunEntrySize>(answer, kReportLunsHeaderSize + k * kLunEntrySize));
    return d;
}

Bytes encodeReportLuns(std::span<const LunId> luns, uint32_t listLength) {
    Bytes d(kReportLunsHeaderSize + kLunEntrySize * luns.size(), 0);
    putBe32(d, 0, listLength);
    for (std::size_t k = 0; k < luns.size(); ++k) putBytes(d, kReportLunsHeaderSize + k * kLunEntrySize, luns[k]);
    return d;
}

std::array<uint8_t, 38> StandardInquiry::identification() const {
    std::array<uint8_t, 38> out{};
    auto at = std::copy(vendorId.begin(), vendorId.end(), out.begin());
    at = std::copy(productId.begin(), productId.end(), at);
    at = std::copy(productRevision.begin(), productRevision.end(), at);
    std::copy_n(vendorSpecific.begin(), out.end() - at, at);
    return out;
}

std::array<uint8_t, 8> StandardInquiry::lunSerial() const {
    std::array<uint8_t, 8> out{};
    std::copy_n(vendorSpecific.begin(), out.size(), out.begin());
    return out;
}

StandardInquiry decodeStandardInquiry(std::span<const uint8_t> answer) {
    StandardInquiry s;
    s.peripheral = byteAt(answer, kPeripheralAt);
    s.removable = (byteAt(answer, 1) & 0x80) != 0;
    s.version = byteAt(answer, 2);
    s.responseDataFormat = byteAt(answer, 3);
    s.additionalLength = byteAt(answer, kAdditionalLengthAt);
    s.flags = bytesAt<3>(answer, kFlagsAt);
    s.vendorId = charsAt<8>(answer, kVendorAt);
    s.productId = charsAt<16>(answer, kProductAt);
    s.productRevision = charsAt<4>(answer, kRevisionAt);
    s.vendorSpecific = bytesAt<20>(answer, kVendorSpecificAt);
    return s;
}

Bytes encodeStandardInquiry(const StandardInquiry& s, std::size_t length) {
    length = std::clamp(length, kStandardInquiryMinLength, kStandardInquiryMaxLength);
    Bytes d(std::max(length, kStandardFieldsEnd), 0);
    d[kPeripheralAt] = s.peripheral;
    d[1] = s.removable ? 0x80 : 0x00;
    d[2] = s.version;
    d[3] = s.responseDataFormat;
    d[kAdditionalLengthAt] = static_cast<uint8_t>(length - 5);
    putBytes(d, kFlagsAt, s.flags);
    putChars(d, kVendorAt, s.vendorId);
    putChars(d, kProductAt, s.productId);
    putChars(d, kRevisionAt, s.productRevision);
    putBytes(d, kVendorSpecificAt, s.vendorSpecific);
    d.resize(length);
    return d;
}

VpdHeader decodeVpdHeader(std::span<const uint8_t> answer) {
    return {byteAt(answer, 0), byteAt(answer, 1), getBe16(answer, 2)};
}

std::span<const uint8_t> unitSerialOf(std::span<const uint8_t> answer) {
    if (answer.size() <= kVpdHeaderSize) return {};
    const std::size_t length = decodeVpdHeader(answer).lengthByte();
    return answer.subspan(kVpdHeaderSize, std::min(length, answer.size() - kVpdHeaderSize));
}

Bytes encodeUnitSerialPage(uint8_t peripheral, std::span<const uint8_t> serial) {
    const std::size_t n = std::min(serial.size(), kMaxUnitSerial);
    Bytes d(kVpdHeaderSize + n, 0);
    d[0] = peripheral;
    d[1] = kUnitSerialPage;
    putBe16(d, 2, static_cast<uint32_t>(n));
    std::copy_n(serial.begin(), n, d.begin() + kVpdHeaderSize);
    return d;
}

std::vector<Designator> decodeDesignators(std::span<const uint8_t> answer) {
    std::vector<Designator> list;
    const std::size_t end = std::min(answer.size(), kVpdHeaderSize + decodeVpdHeader(answer).pageLength);
    std::size_t at = kVpdHeaderSize;
    while (at + kDesignatorHeaderSize <= end) {
        const std::size_t length = answer[at + 3];
        if (at + kDesignatorHeaderSize + length > end) break;
        Designator d;
        d.protocolIdentifier = answer[at] >> 4;
        d.codeSet = answer[at] & 0x0F;
        d.piv = (answer[at + 1] & 0x80) != 0;
        d.association = (answer[at + 1] >> 4) & 0x03;
        d.designatorType = answer[at + 1] & 0x0F;
        const auto value = answer.subspan(at + kDesignatorHeaderSize, length);
        d.value.assign(value.begin(), value.end());
        list.push_back(std::move(d));
        at += kDesignatorHeaderSize + length;
    }
    return list;
}

Bytes encodeDeviceIdentificationPage(uint8_t peripheral, std::span<const Designator> designators) {
    Bytes d(kVpdHeaderSize, 0);
    d[0] = peripheral;
    d[1] = kDeviceIdentificationPage;
    for (const Designator& des : designators) {
        const std::size_t n = std::min(des.value.size(), kMaxDesignatorValue);
        d.push_back(static_cast<uint8_t>((des.protocolIdentifier & 0x0F) << 4 | (des.codeSet & 0x0F)));
        d.push_back(static_cast<uint8_t>((des.piv ? 0x80 : 0) | (des.association & 0x03) << 4 |
                                         (des.designatorType & 0x0F)));
        d.push_back(0);
        d.push_back(static_cast<uint8_t>(n));
        d.insert(d.end(), des.value.begin(), des.value.begin() + static_cast<std::ptrdiff_t>(n));
    }
    putBe16(d, 2, static_cast<uint32_t>(std::min<std::size_t>(d.size() - kVpdHeaderSize, 0xFFFF)));
    return d;
}

}  // namespace wire
