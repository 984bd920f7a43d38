// Redacting a world file: every world-wide name, serial number, host name, IP address,
// volume label and serial-bearing registry text is replaced by a pseudonym keyed by a
// secret, wherever it occurs: in its own member, inside other texts, and inside raw
// answers (page 0x80 and 0x83, standard INQUIRY, RNID accepts, name-server objects, CT
// payloads and arguments).
//
// Pseudonyms keep what the scanner's code paths depend on: the same length, the same
// character classes (digit for digit, upper case for upper case, other characters
// unchanged), a WWN's NAA type and company id, an IPv4 octet's number of digits. The same
// value gets the same pseudonym everywhere and, under the same key, in every world.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace redact {

// One replaced value: its kind ("wwn", "serial", "host", "ip", "label", "registry"), the
// original and the pseudonym, in the text form they have in a document (WWNs as 16 or 32
// upper-case hexadecimal digits).
struct Mapping {
    std::string kind;
    std::string original;
    std::string pseudonym;
};

struct Result {
    nlohmann::ordered_json world;
    std::vector<Mapping> mapping;  // sorted by kind, then original
};

// A text with every mapped value of at least four characters replaced, longer values
// first; host names in either case, in a text that is a dotted name; a volume label only
// when it is the whole text. Meant
// for the character data of a document, one element's text at a time.
std::string applyMapping(const std::vector<Mapping>& mapping, std::string text);

// Redacts a world document. The key never appears in the result.
Result redactWorld(const nlohmann::ordered_json& world, const std::string& key);

}  // namespace redact
