#include "tools/attrdiff/lun_identity.h"

#include <algorithm>

#include "tools/attrdiff/scan_document.h"

namespace scandoc {

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string upperHex(std::string_view bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

std::string trimmedText(std::string_view bytes)
{
    while (!bytes.empty() && (bytes.back() == ' ' || bytes.back() == '\0')) bytes.remove_suffix(1);
    return std::string(bytes);
}

constexpr std::string_view kUnitPrefix = "LogicalUnitXml:";

}  // namespace

std::string percentUnescape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int hi = hexDigit(text[i + 1]), lo = hexDigit(text[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::string logicalUnitDesignator(std::string_view page)
{
    if (page.size() < 4 || static_cast<unsigned char>(page[1]) != 0x83) return {};
    const std::size_t pageLength = (static_cast<unsigned char>(page[2]) << 8) | static_cast<unsigned char>(page[3]);
    const std::size_t end = std::min(page.size(), 4 + pageLength);
    // Preference among the designator types: NAA 3, EUI-64 2, SCSI name 8, T10 vendor id 1.
    static const int kRank[16] = {0, 1, 3, 4, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0};
    int bestRank = 0;
    std::string best;
    for (std::size_t at = 4; at + 4 <= end;) {
        const unsigned char codeSet = static_cast<unsigned char>(page[at]) & 0x0F;
        const unsigned char flags = static_cast<unsigned char>(page[at + 1]);
        const std::size_t length = static_cast<unsigned char>(page[at + 3]);
        if (at + 4 + length > end) break;
        const int association = (flags >> 4) & 3, type = flags & 0x0F;
        const std::string_view id = page.substr(at + 4, length);
        if (association == 0 && kRank[type] > bestRank && length > 0) {
            bestRank = kRank[type];
            const bool text = codeSet == 2 || codeSet == 3;
            switch (type) {
            case 3: best = "naa." + upperHex(id); break;
            case 2: best = "eui." + upperHex(id); break;
            case 8: best = "name." + trimmedText(id); break;
            default: best = "t10." + (text ? trimmedText(id) : upperHex(id)); break;
            }
        }
        at += 4 + length;
    }
    return best;
}

std::optional<UnitPath> decodeUnitPath(std::string_view id)
{
    if (id.size() < 36 || id.substr(32, 3) != "LUN") return std::nullopt;
    for (std::size_t i = 0; i < 32; ++i) {
        const char c = id[i];
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return std::nullopt;
    }
    long index = 0;
    for (std::size_t i = 35; i < id.size(); ++i) {
        if (id[i] < '0' || id[i] > '9' || index > 100000000) return std::nullopt;
        index = index * 10 + (id[i] - '0');
    }
    return UnitPath{std::string(id.substr(0, 16)), std::string(id.substr(16, 16)), static_cast<int>(index)};
}

UnitIdentity unitIdentity(const Entity& unit)
{
    if (const std::string* raw = unit.parameter("raw83data")) {
        std::string designator = logicalUnitDesignator(percentUnescape(*raw));
        if (!designator.empty()) return {designator, designator};
    }
    std::string_view id = unit.id;
    if (id.substr(0, kUnitPrefix.size()) == kUnitPrefix) id.remove_prefix(kUnitPrefix.size());
    std::string storage;
    for (const Reference& r : unit.references)
        if (r.element == "PeripheralEntityIdXml") storage = r.target.substr(r.target.find(':') + 1);
    const std::optional<UnitPath> path = decodeUnitPath(id);
    if (!path) return {"id." + unit.id, std::string(id)};
    const std::string* inquiry = unit.parameter("rawSTDdata");
    const std::string index = "LUN" + std::to_string(path->index);
    return {"std." + storage + "\n" + (inquiry ? *inquiry : std::string()) + "\n" + index,
            (storage.empty() ? path->targetPort : storage) + " " + index};
}

}  // namespace scandoc
