// Text patterns of the world schemas, matched without std::regex: a small backtracking
// matcher compiled once per pattern. It knows the part of ECMAScript regular expressions
// that schemas use: literals, ".", escapes (\d \D \s \S \w \W and escaped punctuation),
// character classes with ranges and negation, groups "(...)" and "(?:...)", alternation
// "|", the anchors "^" and "$", and the quantifiers "*", "+", "?", "{n}", "{n,}" and
// "{n,m}". A pattern is searched for anywhere in the text, as JSON Schema's "pattern" asks.
// Texts are matched byte by byte: a class that excludes only ASCII characters (such as
// [^\\]) accepts every byte of a multi-byte character, so it accepts the character.
#pragma once

#include <bitset>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

class Pattern {
public:
    // Compiles the pattern; throws std::invalid_argument for a form it does not know.
    explicit Pattern(std::string_view pattern);
    // True when the pattern matches somewhere in text.
    bool search(std::string_view text) const;

    struct Node;
    using Sequence = std::vector<Node>;
    struct Node {
        enum Kind { Bytes, Start, End, Group } kind = Bytes;
        std::bitset<256> set;                // Bytes: the bytes it accepts
        std::vector<Sequence> alternatives;  // Group
        unsigned min = 1, max = 1;           // repetitions (max == kMany: unbounded)
    };
    static constexpr unsigned kMany = ~0u;

private:
    std::vector<Sequence> alternatives_;
};

}  // namespace sim
