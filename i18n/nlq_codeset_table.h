// Layout of a codeset table image, shared by the converters and the table compiler.
//
// A table file is read whole and used in place; integers are little-endian. A file is a
// table when it is at least kMinImageSize bytes long and holds "ucv" at kMagicOffset;
// anything else found under a codeset name is a redirect file naming another one.
//
//   0    u32      byte offset of the row area from the start of the image
//   8    3 bytes  magic "ucv"
//   16   32 bytes codeset name, NUL-terminated
//   38   u16      byte offset of the GB 18030 range table (kind 10)
//   48   u16      converter kind
//   50   u16      0x1100 marks a single-byte EBCDIC table: the kind is then 8
//   56   u16      header value B
//   58   u16      the code point that genuinely maps to the substitution byte
//   60   u8       the substitution byte
//   62   u16      header value A
//   64   16 bytes header block
//   224  256 x u16  from-Unicode row numbers, indexed by the high byte of a code point
//   736  256 x u16  to-Unicode per byte: code point (kinds 1, 8, kind 3 single bytes),
//                   row number (kinds 2, 4) or first tree node (kind 3 sequences)
//   1248 256 x u8   byte class (kinds 2 and 3)
//   1504 256 bytes  reserved
//
// Row r lies at the row area + 4 x r. From-Unicode rows of kinds 1 and 8 hold 256 bytes;
// rows of kinds 2 and 4 hold 256 x u16 (from-Unicode values from 256 up are two-byte codes,
// high byte first); kind 3 to-Unicode rows are tree nodes (u16 count, u16 first byte value,
// count x u16 entries: next node's row or, for the last byte, the code point); kind 3
// from-Unicode rows hold 256 pairs (u16 prefix number, u16 code); prefix record p lies at
// the row area + 16 x p (14 prefix bytes, u16 count at 14). 0xFFFF is "no mapping".
//
// GB 18030 range table: a header of six u32 (from-Unicode starts of records, index and
// value list at 0, 4, 8; to-Unicode at 16, 20, 24; in u16 units from the start of the
// body, which follows the 32-byte header), then the body of u16 values. The index holds
// per block of 512 keys the first record to examine; a record is four u16: first key,
// last key, type, parameter. Type 1: value list[parameter + key - first]; type 2:
// parameter + key - first; type 0: 0 (from-Unicode: the single byte key - first + parameter).
#pragma once

#include <cstddef>
#include <cstdint>

namespace nlq_table {

inline constexpr std::size_t kMinImageSize = 1760;
inline constexpr std::size_t kRowAreaOffset = 0;
inline constexpr std::size_t kMagicOffset = 8;
inline constexpr char kMagic[3] = {'u', 'c', 'v'};
inline constexpr std::size_t kNameOffset = 16;
inline constexpr std::size_t kNameSize = 32;
inline constexpr std::size_t kRangeTableOffset = 38;
inline constexpr std::size_t kKindOffset = 48;
inline constexpr std::size_t kEbcdicMarkOffset = 50;
inline constexpr uint16_t kEbcdicMark = 0x1100;
inline constexpr std::size_t kHeaderValueBOffset = 56;
inline constexpr std::size_t kSubstCodePointOffset = 58;
inline constexpr std::size_t kSubstByteOffset = 60;
inline constexpr std::size_t kHeaderValueAOffset = 62;
inline constexpr std::size_t kHeaderBlockOffset = 64;
inline constexpr std::size_t kHeaderBlockSize = 16;
inline constexpr std::size_t kFromRowsOffset = 224;
inline constexpr std::size_t kToTableOffset = 736;
inline constexpr std::size_t kClassOffset = 1248;
inline constexpr std::size_t kRowUnit = 4;
inline constexpr std::size_t kPrefixRecordSize = 16;
inline constexpr std::size_t kPrefixMaxBytes = 14;
inline constexpr std::size_t kRangeHeaderSize = 32;
inline constexpr uint16_t kNoMapping = 0xFFFF;

// GB 18030 keys: two-byte codes are 1 .. kGbFourByteBase - 1, four-byte codes from
// kGbFourByteBase on (linear value 0).
inline constexpr uint32_t kGbFourByteBase = 24067;

}  // namespace nlq_table
