// Texts of the disk survey: the quoting of identifiers and the MD5 hash that names a
// disk that no SAN logical unit names.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace inv {

// The text with a backslash before every backslash and every double quote, holding at
// most capacity - 1 characters: an escape that would not fit whole is left out, with
// everything after it.
std::string escapeQuotes(std::string_view text, std::size_t capacity = std::string::npos);

// MD5 (RFC 1321) of the text's bytes as 32 lower-case hexadecimal digits; empty for an
// empty text or when the digest cannot be computed.
std::optional<std::string> md5HexDigest(std::string_view text);

}  // namespace inv
