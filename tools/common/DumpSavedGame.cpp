#include "common/DumpSavedGame.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "board/JigsawFile.h"
#include "project/HighScore.h"

namespace duduri::tools {

namespace {

std::string ClockText(std::int64_t seconds) {
  char text[32];
  const bool negative = seconds < 0;
  if (negative) seconds = -seconds;
  std::snprintf(text, sizeof text, "%s%.2lld:%.2lld:%.2lld", negative ? "-" : "",
                static_cast<long long>(seconds / 3600), static_cast<long long>(seconds / 60 % 60),
                static_cast<long long>(seconds % 60));
  return text;
}

void DumpPiece(const TSavedPiece& piece, std::int32_t columns, std::size_t k, JsonWriter& json) {
  json.beginObject();
  json.field("row", std::int64_t(columns > 0 ? k / std::size_t(columns) : 0));
  json.field("column", std::int64_t(columns > 0 ? k % std::size_t(columns) : 0));
  json.key("shapes");
  json.beginArray();
  for (std::uint8_t shape : {piece.LeftShape, piece.TopShape, piece.RightShape, piece.BottomShape})
    json.value(int(shape));
  json.endArray();
  json.field("x", piece.X);
  json.field("y", piece.Y);
  json.field("homeX", piece.HomeX);
  json.field("homeY", piece.HomeY);
  json.field("startX", piece.StartX);
  json.field("startY", piece.StartY);
  json.field("width", piece.Width);
  json.field("height", piece.Height);
  json.field("rotation", int(piece.Rotation));
  json.field("startRotation", int(piece.StartRotation));
  json.field("placed", piece.Placed != 0);
  json.endObject();
}

// Where the records of a file just read end; an older file's picture follows.
std::size_t RecordsEnd(const TJigsawFile& game) {
  std::size_t end = 20;
  if (game.Version >= 2) end += 4;
  if (game.Version >= 3) end += 4 + game.ExePath.size();
  if (game.Version >= 4) end += 4;
  if (game.Version >= 6) end += 3;
  return end + game.Pieces.size() * kSavedPieceBytes;
}

}  // namespace

bool IsSavedGame(std::span<const std::byte> file) {
  static constexpr std::byte kMagic[4] = {std::byte{0xAF}, std::byte{0x39}, std::byte{0x01},
                                          std::byte{0x00}};
  return file.size() >= 4 && std::memcmp(file.data(), kMagic, 4) == 0;
}

void DumpSavedGame(std::span<const std::byte> file, const std::string& fileName, JsonWriter& json) {
  TJigsawFile game;
  game.LoadFromBytes(file, fileName);
  json.beginObject();
  json.field("kind", "saved game");
  json.field("size", std::uint64_t(file.size()));
  json.field("version", game.Version);
  json.field("columns", game.Columns);
  json.field("rows", game.Rows);
  json.key("pieceScale");
  if (std::isfinite(game.PieceScale)) {
    json.valueDouble(game.PieceScale);
  } else {
    json.null();
  }
  json.field("ticks", game.Ticks);
  json.field("clock", ClockText(game.Ticks));
  json.field("exePath", game.ExePath);
  json.field("pictureId", game.PictureId);
  json.field("level", int(game.Level));
  json.field("cheatCount", int(game.CheatCount));
  json.field("trailingPictureBytes", std::uint64_t(file.size() - RecordsEnd(game)));
  json.key("pieces");
  json.beginArray();
  for (std::size_t k = 0; k < game.Pieces.size(); ++k)
    DumpPiece(game.Pieces[k], game.Columns, k, json);
  json.endArray();
  json.endObject();
}

bool IsHighScoreFile(std::span<const std::byte> file) {
  return file.size() >= 4 && std::memcmp(file.data(), "HGSC", 4) == 0;
}

void DumpHighScores(std::span<const std::byte> file, const std::string& fileName,
                    JsonWriter& json) {
  // The player ignores a file without the signature; a tool asked about it
  // says why it shows nothing.
  if (!IsHighScoreFile(file)) {
    throw EHighScoreError(fileName + " is not a high-score file (it does not start with HGSC)");
  }
  THighScore table;
  table.LoadFromBytes(file);
  json.beginObject();
  json.field("kind", "high scores");
  json.key("levels");
  json.beginArray();
  for (int level = 0; level < kScoreLevelCount; ++level) {
    json.beginObject();
    json.field("level", level);
    json.field("name", HighScoreLevelName(level));
    json.key("entries");
    json.beginArray();
    for (int i = 0; i < table.Count(level); ++i) {
      const THighScoreData entry = table.EntryAt(level, i);
      json.beginObject();
      json.field("name", entry.Name);
      json.field("score", entry.Score);
      json.field("time", ClockText(entry.Score));
      json.field("level", int(entry.Level));
      json.endObject();
    }
    json.endArray();
    json.endObject();
  }
  json.endArray();
  json.endObject();
}

}  // namespace duduri::tools
