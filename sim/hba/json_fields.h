// Reading the SAN members of a world file. The world was checked against its schema when
// it was loaded, so a value of the wrong shape here is a gap in the schema: these helpers
// throw WorldError for it, and the library's entry catches it (no adapters then).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "sim/hba/bytes.h"
#include "sim/hba/san_model.h"

namespace sansim {

struct WorldError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

using Json = nlohmann::json;

// An unsigned 32-bit number given as a JSON integer or as a "0x..." text.
uint32_t u32(const Json& v);
uint32_t u32(const Json& obj, const char* key, uint32_t fallback);
bool flag(const Json& obj, const char* key, bool fallback);
std::string text(const Json& obj, const char* key, const std::string& fallback = "");
Bytes hex(const Json& v);
Wwn wwn(const Json& v);
Wwn wwn(const Json& obj, const char* key);  // zeros when absent
uint32_t fcId(const Json& v);

// The members every answer may carry: "status", "sense" (hex text, or {key, asc, ascq}
// for fixed-format sense data) and "raw" (the answer bytes as recorded). The callers build
// the structured bytes themselves when "raw" is absent.
Answer answerCommon(const Json& obj);
// Fixed-format sense data (response code 0x70) with the sense key and additional sense code.
Bytes fixedSense(uint8_t key, uint8_t asc, uint8_t ascq);

}  // namespace sansim
