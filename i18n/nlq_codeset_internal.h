// Internals shared by the converters: bounds-checked access to a table image, the
// per-record index of validated rows, and the per-kind character codecs that the four
// stepping engines are instantiated with.
#pragma once

#include "i18n/nlq_codeset.h"
#include "i18n/nlq_codeset_table.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace nlq_detail {

// Built-in EBCDIC data (ebcdic_builtin.cpp).
extern const uint16_t* const kEbcdicToUnicode;      // 256 entries
extern const uint8_t* const kUnicodeToEbcdic;       // code points below 256
extern const bool* const kEbcdicInvariantByte;      // 256 flags
extern const bool* const kEbcdicInvariantCodePoint; // 256 flags (code points below 256)

inline uint16_t loadU16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    if constexpr (std::endian::native == std::endian::big) v = static_cast<uint16_t>((v >> 8) | (v << 8));
    return v;
}
inline uint32_t loadU32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap32(v);
    return v;
}

inline constexpr uint32_t kNoChar = 0xFFFFFFFFu;  // decoder: unmappable character
inline constexpr uint32_t kShiftOnly = 0xFFFFFFFEu;  // decoder: consumed, nothing produced
inline constexpr uint16_t kUnmappable16 = 0xFFFF;

// Derived once when a record is built from a table: every row the converters may use,
// checked against the image size (null when a row number points outside the image).
// Copies of a record share it with the table.
struct CodesetIndex {
    const uint8_t* image = nullptr;
    std::size_t size = 0;
    const uint8_t* rowArea = nullptr;
    std::size_t rowAreaSize = 0;   // bytes from the row area to the end of the image
    const uint8_t* fromRow[256] = {};  // by high byte of the code point
    const uint8_t* toRow[256] = {};    // kinds 2 and 4: by lead byte (kind 4 entry 0: single bytes)
    uint16_t byteToCode[256] = {};     // kinds 1, 8 and kind 4's single bytes: code point or 0xFFFF
    uint16_t lowCodeToByte[256] = {};  // kind 8: byte for code points below 256, 0xFFFF unmappable
    uint8_t substByte = '?';
    uint16_t substCodePoint = 0xFFFF;
    // GB 18030 range table (u16 units of the body).
    const uint8_t* rangeBody = nullptr;
    std::size_t rangeUnits = 0;
    uint32_t fromRecords = 0, fromIndex = 0, fromValues = 0;
    uint32_t toRecords = 0, toIndex = 0, toValues = 0;

    // A row of `bytes` bytes, or null when it does not lie inside the image.
    const uint8_t* row(uint32_t number, std::size_t bytes) const {
        std::size_t offset = static_cast<std::size_t>(number) * nlq_table::kRowUnit;
        if (offset > rowAreaSize || bytes > rowAreaSize - offset) return nullptr;
        return rowArea + offset;
    }
    uint16_t rangeUnit(std::size_t unit) const {  // caller checked unit < rangeUnits
        return loadU16(rangeBody + 2 * unit);
    }
};

// Counts one substitution, saturating instead of wrapping to zero.
inline void countSubstitution(NlqCodeset* cs) {
    if (cs->substitutionCount != 0xFFFF) ++cs->substitutionCount;
}

NlqCodeset* resolveCodeset(NlqCodeset* codeset);  // null -> the process codeset

}  // namespace nlq_detail
