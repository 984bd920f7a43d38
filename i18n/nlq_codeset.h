// Codeset conversion: the codeset record, its converters and the four stepping engines
// (codeset bytes <-> UCS-2, codeset bytes <-> UTF-8), with the buffer wrappers and the
// per-character operations built on them.
//
// A codeset is one of the two built-in codesets (UTF-8, and a pass-through that copies
// bytes) or is built from a codeset table image read from disk; the image layout is
// described in i18n/nlq_codeset_table.h. Locating, naming and opening codesets by name,
// and the process-wide process and OS codesets, belong to the resolution service
// (i18n/nlq_locale.h); a null codeset in any call here means the process codeset.
//
// Conversions never fail as a whole: a character that cannot be mapped becomes '?'
// (0x6F, the EBCDIC question mark, on the codeset side of the EBCDIC kinds) and the
// codeset's substitution count grows by one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>

typedef uint16_t NlqUcs2;             // one UTF-16 code unit
typedef unsigned char NlqCodesetTable; // first byte of a codeset table image

// Converter kinds. Any value other than the ones listed converts as pass-through.
enum : uint16_t {
    NLQ_KIND_SBCS = 1,             // single byte, ASCII below 0x80
    NLQ_KIND_DBCS = 2,             // ASCII plus lead-byte/trail-byte pairs
    NLQ_KIND_MBCS = 3,             // ASCII plus multi-byte sequences walked through a byte tree
    NLQ_KIND_EBCDIC_STATEFUL = 4,  // EBCDIC with shift-out 0x0E / shift-in 0x0F stretches
    NLQ_KIND_UTF8 = 6,
    NLQ_KIND_EBCDIC_SBCS = 8,      // single-byte EBCDIC
    NLQ_KIND_PASSTHROUGH = 9,      // bytes copied unchanged
    NLQ_KIND_GB18030 = 10,
};

// Results of the stepping engines.
enum {
    NLQ_STEP_DONE = 0,        // the input is used up
    NLQ_STEP_OUTPUT_FULL = 1, // the next character does not fit; it is left unread
    NLQ_STEP_INCOMPLETE = 2,  // the input ends inside a character; it is left unread
};

namespace nlq_detail { struct CodesetIndex; }

// One open codeset. The fields up to tableSize are the record every part of the service
// shares; index is derived from the table when the record is built (validated row
// pointers) and is shared by copies.
struct NlqCodeset {
    NlqCodesetTable* table;      // the table image; null for the built-in codesets
    uint16_t kind;               // converter kind
    char name[32];               // canonical codeset name, NUL-terminated
    uint16_t substitutionCount;  // characters replaced since the last read-and-reset
    uint8_t sharesTable;         // 1 for a copy: it must not free the table
    int16_t openMarker;          // 1 when built from a table
    uint16_t headerValueA;       // table offset 62, kept for callers
    uint16_t headerValueB;       // table offset 56, kept for callers
    uint8_t headerBlock[16];     // table offset 64, kept for callers
    uint8_t outputShift;         // 1 while output written is inside a double-byte stretch
    uint8_t inputShift;          // 1 while input read is inside a double-byte stretch
    uint32_t tableSize;          // size of the table image in bytes
    const nlq_detail::CodesetIndex* index;  // validated rows; an empty index for built-ins
};

// ---- Built-in codesets (process-wide, never freed) ----------------------------------

NlqCodeset* nlq_codeset_utf8();         // "UTF8", kind 6
NlqCodeset* nlq_codeset_passthrough();  // "OS", kind 9
bool nlq_codeset_is_builtin(const NlqCodeset* codeset);

// ---- Records from table images --------------------------------------------------------

// Builds a codeset record from a table image held in memory. Takes ownership of the
// image in every case: it must have been allocated with std::malloc, and it is freed
// here when it is refused. Refused (null) when the image does not hold together: shorter
// than 1760 bytes, no "ucv" magic at offset 8, a row area that starts beyond the image,
// or (GB 18030) a range table whose header or starts lie outside the image. Entries that
// point outside the image are not refused; they convert as unmappable.
NlqCodeset* nlq_codeset_from_table(NlqCodesetTable* image, std::size_t size);

// Frees a record built by nlq_codeset_from_table or nlq_codeset_copy, and its table
// unless the record is a copy that shares it. Null and the built-in codesets are left
// alone. It does not touch the process-wide codesets: nlq_codeset_close (resolution
// service) resets those and then calls this.
void nlq_codeset_destroy(NlqCodeset* codeset);

// A new record that shares the table of the given one (sharesTable set), with both shift
// states and the substitution count cleared. A copy of a built-in codeset is a plain
// record of the same kind without a table. The copy borrows the table: destroy it before
// the record it was copied from. Null on allocation failure.
NlqCodeset* nlq_codeset_copy(const NlqCodeset* codeset);

// The table image and its size (0 and null for a codeset without a table).
const NlqCodesetTable* nlq_codeset_table(const NlqCodeset* codeset, uint32_t* size);

// ---- Stepping engines -----------------------------------------------------------------
// Each converts from *in (*inLeft elements) into *out (*outLeft elements), advancing both
// cursors and reducing both counts by what was converted. Bytes on the codeset and UTF-8
// sides, 16-bit units on the UCS-2 side. Result: NLQ_STEP_DONE, NLQ_STEP_OUTPUT_FULL or
// NLQ_STEP_INCOMPLETE. A null `in` (or a null *in) is a flush: the to-directions clear the
// input shift state; the from-directions close an open double-byte stretch with 0x0F and
// clear the output shift state. Without room for the 0x0F the result is
// NLQ_STEP_OUTPUT_FULL and the state stays set, so that the flush can be repeated.

int nlq_step_to_ucs2(NlqCodeset* codeset, const char** in, size_t* inLeft,
                     NlqUcs2** out, size_t* outLeft);
int nlq_step_from_ucs2(NlqCodeset* codeset, const NlqUcs2** in, size_t* inLeft,
                       char** out, size_t* outLeft);
int nlq_step_to_utf8(NlqCodeset* codeset, const char** in, size_t* inLeft,
                     char** out, size_t* outLeft);
int nlq_step_from_utf8(NlqCodeset* codeset, const char** in, size_t* inLeft,
                       char** out, size_t* outLeft);

// ---- Buffer wrappers -------------------------------------------------------------------
// (codeset or null, source, source length, destination, capacity) -> elements written.
// A negative source length means a NUL-terminated source (16-bit 0 for UCS-2): one
// element of the capacity is kept for the terminator, which is written and counted.
// Output that does not fit is cut off; a character cut off at the end of the source is
// dropped. The from-directions end with a flush.

size_t nlq_to_utf8(NlqCodeset* codeset, const char* src, ptrdiff_t srcLen,
                   char* dst, size_t capacity);
size_t nlq_from_utf8(NlqCodeset* codeset, const char* src, ptrdiff_t srcLen,
                     char* dst, size_t capacity);
size_t nlq_to_ucs2(NlqCodeset* codeset, const char* src, ptrdiff_t srcLen,
                   NlqUcs2* dst, size_t capacity);
size_t nlq_from_ucs2(NlqCodeset* codeset, const NlqUcs2* src, ptrdiff_t srcLenUnits,
                     char* dst, size_t capacity);

// ---- Convenience forms -----------------------------------------------------------------
// The *_dup forms convert a NUL-terminated text (null is the empty text) into the buffer
// that *holder points to (the caller guarantees its size) or, when holder is null or *holder
// is null, into a new std::malloc buffer (stored into *holder when holder is given). The
// result is the NUL-terminated converted text; the caller frees a buffer it got.
//   nlq_from_utf8_dup: 2 x length + 1 bytes;  nlq_to_utf8_dup: 3 x length + 1 bytes;
//   nlq_recode_dup: source codeset -> target codeset, 4 x length + 1 bytes.
char* nlq_from_utf8_dup(NlqCodeset* codeset, const char* text, char** holder);
char* nlq_to_utf8_dup(NlqCodeset* codeset, const char* text, char** holder);
char* nlq_recode_dup(NlqCodeset* from, NlqCodeset* to, const char* text, char** holder);

// A new std::malloc buffer of 2 x length + 1 (from UTF-8) or 3 x length + 1 (to UTF-8)
// bytes holding the converted, unterminated text; *count receives the bytes written.
// Null on allocation failure (count 0).
char* nlq_from_utf8_alloc(NlqCodeset* codeset, const char* src, size_t length, size_t* count);
char* nlq_to_utf8_alloc(NlqCodeset* codeset, const char* src, size_t length, size_t* count);

// strftime into a buffer in the given codeset (null: process codeset); the format is in
// that codeset too. Result: the length without the terminator; 0 for a null format or
// when nothing was produced.
size_t nlq_strftime(NlqCodeset* codeset, char* dst, size_t capacity, const char* format,
                    const struct tm* time);

// Reads and resets the substitution count.
unsigned nlq_substitution_count(NlqCodeset* codeset);

// ---- Per-character operations ------------------------------------------------------------

// One UCS-2 unit to codeset bytes (dst holds at least 4 bytes). The output shift state
// stays in the record between calls. Null dst: clears the output shift state and answers
// 1 for a stateful codeset, else 0. Result: bytes written, or -1.
int nlq_wctomb(NlqCodeset* codeset, char* dst, NlqUcs2 wc);

// One codeset character (at most n bytes) to one UCS-2 unit / one code point (a
// surrogate pair combined). Result: bytes consumed (shift bytes before the character
// included), 0 when the character is NUL, -1 when no whole character could be read. A
// null src clears the input shift state and answers 1 for a stateful codeset, else 0.
int nlq_mbtowc16(NlqCodeset* codeset, NlqUcs2* dst, const char* src, size_t n);
int nlq_mbtowc(NlqCodeset* codeset, uint32_t* dst, const char* src, size_t n);
// 1 for the single-byte kinds, else what nlq_mbtowc answers.
int nlq_mblen(NlqCodeset* codeset, const char* src, size_t n);

// Whole NUL-terminated strings; a null dst counts only. Result: elements written (or
// needed) without the terminator; dst receives a terminator when there is room (n
// elements at most are written, terminator included).
size_t nlq_wcstombs(NlqCodeset* codeset, char* dst, const NlqUcs2* src, size_t n);
size_t nlq_mbstowcs(NlqCodeset* codeset, NlqUcs2* dst, const char* src, size_t n);

// Whether the byte at offset starts a character of text (length bytes), reading from the
// start of the text (shift bytes of a stateful codeset do not start characters).
bool nlq_char_boundary(NlqCodeset* codeset, const char* text, size_t length, size_t offset);

