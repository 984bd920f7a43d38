// One FC-GS request through the HBA library's common-transport pass-through: the 16-byte
// CT_IU preamble, the request, a cleared answer buffer of the size the query offers, and
// (for the queries that need it) the check that the server accepted the request.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "hba/hba_library.h"

namespace fabric {

// A generic service of the fabric, addressed by GS_TYPE and GS_SUBTYPE.
struct GsService {
    uint8_t type;
    uint8_t subtype;
};
inline constexpr GsService kConfigServer{0xFA, 0x01};
inline constexpr GsService kUnzonedNameServer{0xFA, 0x02};
inline constexpr GsService kNameServer{0xFC, 0x02};


// Statuses the queries return besides the HBA library's own.
inline constexpr int kQueryOk = 0;
inline constexpr int kQueryFailed = 1;     // the request failed (symbolic-name queries)
inline constexpr int kQueryRejected = 2;   // the server answered, but not with an accept
inline constexpr int kQueryListTooLong = 7;  // a counted list longer than the caller's maximum

// The request: preamble (revision 1, IN_ID 0, the service, options 0, the command code,
// size and reason fields 0) followed by the payload.
std::vector<uint8_t> ctRequest(GsService service, uint16_t commandCode, std::span<const uint8_t> payload);

struct CtAnswer {
    int status = kQueryOk;
    std::vector<uint8_t> bytes;  // always answerSize bytes; zeros where the server wrote nothing
};

// Sends the request with an answer buffer of answerSize bytes, cleared first so that no
// byte of an earlier answer can be read as part of this one. Status: the library's status;
// when that is 0 and acceptRequired is set, kQueryRejected unless the answer carries the
// accept code.
CtAnswer sendCtRequest(const hba::HbaApi& api, HBA_HANDLE handle, std::vector<uint8_t> request,
                       std::size_t answerSize, bool acceptRequired);

// A counted list of an answer: a 32-bit count after the preamble, then entries of
// entrySize bytes. Returns kQueryListTooLong when count x entrySize exceeds maxBytes (the
// caller's room); otherwise kQueryOk and, in entries, the entries the answer holds: at
// most count, and never more than fit in the answer buffer.
int countedListEntries(std::span<const uint8_t> answer, std::size_t entrySize, uint64_t maxBytes,
                       std::vector<std::span<const uint8_t>>& entries);

}  // namespace fabric
