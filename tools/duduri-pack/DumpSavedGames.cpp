// dump and info kinds for the files the player writes: saved games and high
// scores.

#include <cstdio>

#include "DumpFormats.h"
#include "board/JigsawFile.h"
#include "common/DumpSavedGame.h"
#include "project/HighScore.h"
#include "shell/ShellTexts.h"

namespace duduri::pack {

namespace {

void summariseSavedGame(TByteSpan file, const std::string& fileName) {
  TJigsawFile game;
  game.LoadFromBytes(file, fileName);
  std::printf("saved game: version %d, %d x %d pieces, picture %d\n", game.Version, game.Columns,
              game.Rows, game.PictureId);
  std::printf("clock: %s, level: %d, cheat count: %d\n", FormatClock(game.Ticks).c_str(),
              int(game.Level), int(game.CheatCount));
  int joined = 0;
  for (const TSavedPiece& p : game.Pieces) joined += p.Placed != 0;
  std::printf("pieces joined: %d of %zu\n", joined, game.Pieces.size());
  if (!game.ExePath.empty()) std::printf("saved by: %s\n", game.ExePath.c_str());
}

void summariseHighScores(TByteSpan file, const std::string& fileName) {
  if (!tools::IsHighScoreFile(file)) {
    throw EHighScoreError(fileName + " is not a high-score file (it does not start with HGSC)");
  }
  THighScore table;
  table.LoadFromBytes(file);
  for (int level = 0; level < kScoreLevelCount; ++level) {
    std::printf("%s: %d entries", HighScoreLevelName(level), table.Count(level));
    if (table.Count(level) > 0) {
      const THighScoreData best = table.EntryAt(level, 0);
      std::printf(", best %s by %s", FormatClock(best.Score).c_str(), best.Name.c_str());
    }
    std::printf("\n");
  }
}

}  // namespace

DUDURI_DUMP_KIND(savedGame, "saved game (.jsw)", 10, tools::IsSavedGame, tools::DumpSavedGame,
                 summariseSavedGame, ".jsw");
DUDURI_DUMP_KIND(highScores, "high-score file", 10, tools::IsHighScoreFile, tools::DumpHighScores,
                 summariseHighScores, ".dat");

}  // namespace duduri::pack
