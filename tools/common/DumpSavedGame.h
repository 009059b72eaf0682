#pragma once
// JSON dumps of the player's own files: saved games ("*.jsw") and the
// high-score file ("highscorefile.dat"). The matchers recognise a file by its
// first bytes; the dumps write one JSON object and never throw for a damaged
// file: what could be read is written, with an "error" field saying why the
// rest could not.

#include <cstddef>
#include <span>

#include "common/Json.h"

namespace duduri::tools {

// Starts with the saved-game magic 80303 (AF 39 01 00).
bool IsSavedGame(std::span<const std::byte> file);
void DumpSavedGame(std::span<const std::byte> file, JsonWriter& json);

// Starts with "HGSC".
bool IsHighScoreFile(std::span<const std::byte> file);
void DumpHighScores(std::span<const std::byte> file, JsonWriter& json);

}  // namespace duduri::tools
