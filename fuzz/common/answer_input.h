// Device and fabric answers taken from a fuzzer's input, for harnesses that stand in for
// the HBA library. Each answer is a status byte (below 0xF0: success, else its low nibble
// is the status), a 16-bit length and that many bytes, cut to the caller's buffer. An
// exhausted input fails every call, which ends any walk over the answers.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "hba/hbaapi_types.h"

namespace fuzzing {

class AnswerInput {
public:
    // What a call that reports its answer's size is told.
    enum class SizeReport {
        Answered,     // the answer's length (at most 0xFFFF), even beyond the buffer
        CutToBuffer,  // the bytes actually placed in the buffer
    };

    void reset(std::span<const uint8_t> data) { input_ = data; }

    HBA_STATUS next(void* buffer, std::size_t room, HBA_UINT32* size, SizeReport report) {
        if (input_.size() < 3) return HBA_STATUS_ERROR;
        const HBA_STATUS status = input_[0] < 0xF0 ? HBA_STATUS_OK : input_[0] & 0x0F;
        std::size_t length = std::size_t{input_[1]} << 8 | input_[2];
        input_ = input_.subspan(3);
        length = std::min(length, input_.size());
        if (buffer && length > 0) std::memcpy(buffer, input_.data(), std::min(length, room));
        if (size) {
            const std::size_t told = report == SizeReport::Answered ? std::min<std::size_t>(length, 0xFFFF)
                                                                     : std::min(length, room);
            *size = static_cast<HBA_UINT32>(told);
        }
        input_ = input_.subspan(length);
        return status;
    }

private:
    std::span<const uint8_t> input_;
};

}  // namespace fuzzing
