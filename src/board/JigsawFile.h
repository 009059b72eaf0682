#pragma once
// TJigsawFile: the saved-game file ("*.jsw"). It always writes version 6 and
// reads versions 1 to 6. The file holds the game's header (grid size, piece
// scale, clock, picture id, level, cheat count) and the first 40 bytes of
// every piece record; the pixels are not stored, the sprite creator cuts the
// pieces again from the project picture named by PictureId.
//
// Files before version 6 end with a bitmap file of the picture. It is checked
// (it must start with "BM") and then dropped: the host always restores from
// the project picture and puts that into Picture.
//
// Reading never trusts the header: every count and length is checked against
// the bytes left before anything is allocated. Loading parses into a copy and
// only commits it when the whole file was read, so a failed load leaves the
// object as it was. Saving goes through a temporary file renamed over the
// target, so a failed save leaves the previous file intact and no partial
// file behind.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "pieces/PieceSprite.h"
#include "raster/Error.h"
#include "raster/Picture.h"

namespace duduri {

// Every failure of reading a saved game. The message is one of
// "File:<name> is not found", "File:<name> is not a jigsaw file",
// "Not supported version", or "Error" for everything else (a short file,
// bad lengths, a trailing picture that is not a bitmap, a read failure).
class EJigsawFileError : public EDuduriError {
 public:
  using EDuduriError::EDuduriError;
};

inline constexpr std::int32_t kJigsawFileMagic = 80303;
inline constexpr std::int32_t kJigsawFileVersion = 6;
inline constexpr std::size_t kSavedPieceBytes = 40;
inline constexpr std::int32_t kJigsawFileDefaultLevel = 3;

class TJigsawFile {
 public:
  std::int32_t Columns = 0;  // the board's PiecesX
  std::int32_t Rows = 0;     // the board's PiecesY
  float PieceScale = 0;      // the sprite creator's scale of the game
  std::int32_t Ticks = 0;    // seconds played, or left in a time trial
  std::string ExePath;       // the running executable at save time
  std::int32_t PictureId = 0;
  std::uint8_t Level = kJigsawFileDefaultLevel;  // the board's MyLevel
  std::uint16_t CheatCount = 0;                  // pieces placed by the solvers
  std::int32_t Version = 0;                      // version of the file last read
  TJigsawArrayData Pieces;                       // Columns x Rows, row after row
  TPicture Picture;  // set by the host on restore; never filled from the file

  // Keeps a reference to the board's table for SaveToFile; not owned, must
  // outlive the save. nullptr makes SaveToFile write Pieces as they stand
  // (how a start layout taken from a project is written).
  void SetPieces(const TPieces* pieces) { boardPieces_ = pieces; }
  void SetPieces(const TPieces& pieces) { boardPieces_ = &pieces; }

  // Writes a version 6 file. Unless re-saving, Pieces is first rebuilt from
  // the board's table (byte 39 of each record written as 0). Throws
  // EJigsawFileError when the table or Pieces does not cover Columns x Rows,
  // and the file system's error (EDuduriError) when the file cannot be
  // written; the old file is then untouched.
  void SaveToFile(const std::filesystem::path& name);
  // Reads a version 1 to 6 file. Fields the version does not carry keep
  // their values. Throws EJigsawFileError; on failure nothing is changed.
  void LoadFromFile(const std::filesystem::path& name);
  // Reads the file and writes it back as version 6: the records unchanged,
  // the header as read, the trailing picture dropped.
  void ReSave(const std::filesystem::path& name);

  // The same formats over memory. `name` is only used in messages.
  std::vector<std::byte> SaveToBytes();
  void LoadFromBytes(std::span<const std::byte> data, const std::string& name);

 private:
  const TPieces* boardPieces_ = nullptr;
  bool reSaving_ = false;
};

}  // namespace duduri
