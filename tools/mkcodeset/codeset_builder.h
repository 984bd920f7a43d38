// Builds the table image of one codeset from what iconv does with it.
#pragma once

#include "tools/mkcodeset/iconv_probe.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mkcodeset {

// The converter kind that fits the codeset: GB 18030 by name; EBCDIC (letter A at 0xC1)
// stateful when any character is written with a shift-out, else single-byte; otherwise
// single-byte, double-byte (lead/trail pairs) or multi-byte (longer sequences) by how
// its bytes 0x80 to 0xFF start characters.
uint16_t chooseKind(IconvProbe& probe, const std::string& iconvName);

// The image for `kind`; false with a reason when the codeset does not fit the kind.
bool buildTable(IconvProbe& probe, const std::string& canonicalName, uint16_t kind,
                std::vector<uint8_t>* image, std::string* error);

// Kind-specific builders (builder_*.cpp).
bool buildSingleByte(IconvProbe& probe, const std::string& name, bool ebcdic, std::vector<uint8_t>* image,
                     std::string* error);
bool buildDoubleByte(IconvProbe& probe, const std::string& name, bool ebcdicStateful,
                     std::vector<uint8_t>* image, std::string* error);
bool buildMultiByte(IconvProbe& probe, const std::string& name, std::vector<uint8_t>* image, std::string* error);
bool buildGb18030(IconvProbe& probe, const std::string& name, std::vector<uint8_t>* image, std::string* error);

}  // namespace mkcodeset
