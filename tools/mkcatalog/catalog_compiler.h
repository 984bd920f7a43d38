// The message catalog compiler: a plain-text message source into the binary catalog
// format that the catalog service reads. The source syntax is described at the top of
// catalog_compiler.cpp (and printed by `mkcatalog --help`).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mkcatalog {

struct Message {
    std::int32_t number = 0;
    std::string text;  // UTF-8, without NUL bytes
};

struct Set {
    std::int32_t number = 0;
    std::vector<Message> messages;  // ascending numbers
};

struct Diagnostic {
    int line = 0;  // 1-based line of the source
    std::string message;
};

struct Compiled {
    std::vector<Set> sets;  // ascending numbers
    std::vector<Diagnostic> errors;
    bool ok() const { return errors.empty(); }
};

// Parses a message source. Sets and messages are sorted by number; duplicates, bad
// numbers, bad escapes and text that is not valid UTF-8 are reported as errors.
Compiled parseSource(std::string_view source);

// The binary catalog of `sets` (which must be sorted, with message numbers > 0): the
// header, the chain of set records, then per set its message index and text block.
std::vector<unsigned char> writeCatalog(const std::vector<Set>& sets);

// The syntax summary printed by the tool.
extern const char* const kSyntaxHelp;

}  // namespace mkcatalog
