// dump kinds for the files the player writes: saved games and high scores.

#include "DumpFormats.h"
#include "common/DumpSavedGame.h"

namespace duduri::pack {

DUDURI_DUMP_KIND(savedGame, "saved game (.jsw)", 10, tools::IsSavedGame, tools::DumpSavedGame);
DUDURI_DUMP_KIND(highScores, "high-score file", 10, tools::IsHighScoreFile, tools::DumpHighScores);

}  // namespace duduri::pack
