#pragma once
// JSON dumps of the player's own files: saved games ("*.jsw") and the
// high-score file ("highscorefile.dat"). The matchers recognise a file by its
// first bytes; the dumps write one JSON object. A file that does not read
// whole throws the reader's error (EJigsawFileError, EHighScoreError), whose
// message names `fileName` where the format's messages name a file, and
// nothing is written: a dump is either the whole file or an error.

#include <cstddef>
#include <span>
#include <string>

#include "common/Json.h"

namespace duduri::tools {

// Starts with the saved-game magic 80303 (AF 39 01 00).
bool IsSavedGame(std::span<const std::byte> file);
void DumpSavedGame(std::span<const std::byte> file, const std::string& fileName, JsonWriter& json);

// Starts with "HGSC".
bool IsHighScoreFile(std::span<const std::byte> file);
void DumpHighScores(std::span<const std::byte> file, const std::string& fileName, JsonWriter& json);

}  // namespace duduri::tools
