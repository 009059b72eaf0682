#pragma once
// The reader of Standard MIDI Files (also wrapped in a RIFF RMID file). It
// walks every event of every track before the synthesiser is given the
// file, so the synthesiser only ever sees well-formed data: a header that
// counts more tracks than the file holds, a track longer than the file, a
// length or delta that runs past its track, or a running status with no
// status before it is refused. Its length comes from the tempo map.

#include <cstdint>

#include "project/ByteStream.h"

namespace duduri {

struct TMidiInfo {
  std::uint16_t Format = 0;  // 0, 1 or 2
  std::uint16_t Tracks = 0;
  std::uint16_t Division = 0;  // ticks per quarter note
  std::int64_t LengthMs = 0;   // to the last event of the longest track
  TByteSpan Smf;               // the Standard MIDI File inside `file`
};

// Throws ESoundError ("Invalid MIDI sound: ...").
TMidiInfo ReadMidi(TByteSpan file);

}  // namespace duduri
