// The binary message catalog format, shared by the reader and the catalog compiler.
//
// All integers are 32-bit two's-complement values stored big-endian, whatever the host;
// offsets count bytes from the start of the file.
//
//   Header, 28 bytes at offset 0:
//     0  magic "*nazgul*" (8 bytes, no terminator)
//     8  major version (1)          12  minor version (not read)
//    16  flags (not read)           20  number of valid sets (> 0)
//    24  offset of the first set record
//
//   Set record, 28 bytes anywhere; the records form a chain through their next offsets:
//     0  set number                  4  offset of the next set record
//     8  offset of the message index 12  offset of the text block
//    16  text block length          20  number of messages
//    24  invalid flag (non-zero: skipped, not counted as a set)
//
//   Message index: one 12-byte entry per message, contiguous:
//     0  message number (> 0)        4  offset of the text within the text block
//     8  third word (kept, never consulted)
//
//   Text block: NUL-terminated UTF-8 texts.
//
// Valid sets follow each other in the chain in strictly ascending set-number order, and
// index entries are in strictly ascending message-number order; lookups rely on both.
#pragma once

#include <cstddef>
#include <cstdint>

namespace nlq::catalog_format {

inline constexpr char kMagic[8] = {'*', 'n', 'a', 'z', 'g', 'u', 'l', '*'};
inline constexpr std::int32_t kMajorVersion = 1;
inline constexpr std::int32_t kMinorVersion = 0;

inline constexpr std::size_t kHeaderSize = 28;
inline constexpr std::size_t kHeaderMagic = 0;
inline constexpr std::size_t kHeaderMajor = 8;
inline constexpr std::size_t kHeaderMinor = 12;
inline constexpr std::size_t kHeaderFlags = 16;
inline constexpr std::size_t kHeaderSetCount = 20;
inline constexpr std::size_t kHeaderFirstSet = 24;

inline constexpr std::size_t kSetRecordSize = 28;
inline constexpr std::size_t kSetNumber = 0;
inline constexpr std::size_t kSetNext = 4;
inline constexpr std::size_t kSetIndex = 8;
inline constexpr std::size_t kSetText = 12;
inline constexpr std::size_t kSetTextLength = 16;
inline constexpr std::size_t kSetMessageCount = 20;
inline constexpr std::size_t kSetInvalid = 24;

inline constexpr std::size_t kIndexEntrySize = 12;
inline constexpr std::size_t kEntryNumber = 0;
inline constexpr std::size_t kEntryTextOffset = 4;
inline constexpr std::size_t kEntryThirdWord = 8;

inline std::int32_t readInt(const unsigned char* p)
{
    const std::uint32_t v = (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
                            (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
    return static_cast<std::int32_t>(v);
}

inline void writeInt(unsigned char* p, std::int32_t value)
{
    const auto v = static_cast<std::uint32_t>(value);
    p[0] = static_cast<unsigned char>(v >> 24);
    p[1] = static_cast<unsigned char>(v >> 16);
    p[2] = static_cast<unsigned char>(v >> 8);
    p[3] = static_cast<unsigned char>(v);
}

}  // namespace nlq::catalog_format
