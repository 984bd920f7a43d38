// The fabric's generic services as the simulated adapters reach them through CT
// pass-through: the name server and the configuration server, answering FC-GS requests
// from the fabric of the world file.
//
// Request and answer: a 16-byte CT_IU preamble (revision 1, IN_ID, GS_TYPE, GS_SUBTYPE,
// options, reserved, command/response code, maximum/residual size, reserved, reason code,
// explanation, vendor unique), then the payload; multi-byte values big-endian.
// An accept carries code 0x8002 and the request's IN_ID, type and subtype; a reject 0x8001
// with a reason code (byte 13) and an explanation (byte 14) and no payload. An answer
// longer than the caller's buffer is cut, and its residual size says by how many words.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "sim/hba/san_model.h"

namespace sansim {

struct CtReply {
    HBA_STATUS status = HBA_STATUS_OK;
    std::optional<Bytes> answer;  // written to the answer buffer when present
    bool built = false;           // answer made by the services (not recorded bytes)
};

// Cuts a built answer to room bytes and sets its residual size (bytes 10-11) to the
// number of words left out.
void fitCtAnswer(Bytes& answer, std::size_t room);

// Answers one request. fabric null: no fabric is reachable, every request fails with
// HBA_STATUS_ERROR. A request to a server that the fabric lacks fails the same way (the
// library cannot reach it). A request shorter than its preamble is refused with
// HBA_STATUS_ERROR_ARG. Overrides are tried first, in order: the adapter's own (even
// without a fabric), then the fabric's.
CtReply answerCtRequest(const Fabric* fabric, std::span<const CtOverride> adapterOverrides,
                        std::span<const uint8_t> request);

// A command as world files name it: its code and the GS type/subtype pairs it is sent to.
struct CtCommandName {
    uint16_t code;
    std::optional<uint8_t> gsType, gsSubtype;
};
std::optional<CtCommandName> ctCommandByName(std::string_view name);

// FC-GS reject reason codes and explanations used by the services.
inline constexpr uint8_t kRejectInvalidSize = 0x04;
inline constexpr uint8_t kRejectUnableToPerform = 0x09;
inline constexpr uint8_t kRejectNotSupported = 0x0B;
inline constexpr uint8_t kExplainNone = 0x00;
inline constexpr uint8_t kExplainPortIdNotRegistered = 0x01;
inline constexpr uint8_t kExplainPortNameNotRegistered = 0x02;
inline constexpr uint8_t kExplainNodeNameNotRegistered = 0x03;
inline constexpr uint8_t kExplainSymbolicPortNameNotRegistered = 0x08;
inline constexpr uint8_t kExplainSymbolicNodeNameNotRegistered = 0x09;

}  // namespace sansim
