// Recording a scan into a world file: with ATTRSCAN_RECORD naming a file, the scan runs
// as usual and every answer the HBA library and the host services gave it is written to
// that file as a world (docs/world-format.md), which the simulated library and host
// replay.
//
// Contracts:
// - Without ATTRSCAN_RECORD (or with it empty) nothing is recorded and nothing changes.
// - Recording never changes the scan: the calls pass through unchanged.
// - The file is written whole by finishRecording(): first a temporary file beside it,
//   then a rename over it; a device or other non-regular file is written in place. A
//   failure is one line on standard error, "attrscan: cannot record the scan to
//   <path>: <reason>", and changes nothing else.
#pragma once

#include "hba/hba_library.h"

namespace record {

// Starts recording when ATTRSCAN_RECORD is set; call once, before the first host-service
// or HBA call.
void startRecording();

// The HBA table the scan is to use: the recording one while recording, else hbaApi().
const hba::HbaApi& scanHbaApi();

// Writes the world file when recording; does nothing otherwise.
void finishRecording();

}  // namespace record
