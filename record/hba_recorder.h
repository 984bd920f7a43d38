// Recording the HBA library: a table of calls that forwards every call to the loaded
// library and keeps what each one answered, so that the whole SAN as this scan saw it can
// be written as the "hba" section of a world file (docs/world-format.md).
//
// Contracts:
// - The recording table passes every argument through unchanged and returns exactly what
//   the library returned; the caller cannot tell it from the library's own table.
// - An answer is kept as the bytes the call changed in the caller's buffers (up to the
//   last byte that differs from the buffer's content before the call), with its status
//   and sense bytes; replayed into the same buffers the scan sees the same bytes.
// - The table may be called from several threads at once.
// - Only one recorder can be active at a time (the table's functions reach it through a
//   process-wide pointer); it must outlive every call made through its table.
#pragma once

#include <nlohmann/json.hpp>

#include "hba/hba_library.h"

namespace record {

struct HbaRecording;

class HbaRecorder {
public:
    explicit HbaRecorder(const hba::HbaApi& library);
    ~HbaRecorder();
    HbaRecorder(const HbaRecorder&) = delete;
    HbaRecorder& operator=(const HbaRecorder&) = delete;

    // The table to scan through; its calls reach the library given above.
    const hba::HbaApi& api() const { return table_; }

    // The "hba" section of the world (null when the library was never loaded), with the
    // adapters' own fabrics holding their RNID and CT answers.
    nlohmann::ordered_json hbaSection() const;

private:
    hba::HbaApi table_;
    std::unique_ptr<HbaRecording> recording_;
};

}  // namespace record
