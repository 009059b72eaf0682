#pragma once
// The records a puzzle project keeps in its lists. Every record owns what it
// holds (byte buffers are the picture, sound and image files as stored).

#include <cstdint>
#include <string>
#include <vector>

#include "project/ByteStream.h"
#include "project/Scripts.h"

namespace duduri {

// A picture, background or sound entry. Ids 1..65535 are pictures, ids whose
// low 16 bits are 0 backgrounds (in the picture list); sound ids are up to
// 255 or have only bits 8..15 set.
struct TBMPData {
  std::int32_t ID = 0;
  std::string Name;  // the file the data came from
  TBytes Data;       // a JPEG file (pictures) or a sound file
};

inline bool IsPictureId(std::int32_t id) {
  return id >= 1 && id <= 65535;
}
inline bool IsBackgroundId(std::int32_t id) {
  return (id & 0xFFFF) == 0;
}

struct TPicturePieceRange {
  std::int32_t PictureID = 0;
  std::int32_t MinPieces = 0;
  std::int32_t MaxPieces = 50;
  std::uint8_t HasStoredLayout = 0;
};

// A stored layout of one picture (chunk 7868): Rows x Columns saved pieces.
struct TPictureLayout {
  std::int32_t PictureID = 0;
  std::int32_t Columns = 0;
  std::int32_t Rows = 0;
  TBytes Pieces;
};

struct TPieceValues {
  std::int32_t PictureID = 0;
  std::vector<std::int32_t> Values;  // per piece: Left, Top, Right, Bottom shape bytes
};

struct TSoundSlot {
  std::int32_t Key = 0;  // the game event 0..9
  std::vector<std::int32_t> SoundIDs;
};

// The project's stored game: Columns x Rows saved pieces of 40 bytes.
struct TStoredGameLayout {
  std::int32_t Columns = 0;
  std::int32_t Rows = 0;
  TBytes Pieces;
  bool Present() const { return Columns >= 1 && Rows >= 1; }
};

struct TApplicationTitle {
  std::string Caption = "Morvenhal Duduri";
};

// A play-area rectangle (left, top, width, height).
struct TBoardArea {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  bool Set() const { return Width != 0 && Height != 0; }
  friend bool operator==(const TBoardArea&, const TBoardArea&) = default;
};

// Window styles.
inline constexpr std::uint16_t kStyleDefault = 15;
inline constexpr std::uint16_t kStyleSkinned = 19;
inline constexpr std::uint16_t kStyleOfficeXP = 20;
inline constexpr std::uint16_t kStyleStripes = 21;
inline constexpr std::uint16_t kStyleFullScreen = 49;

struct TSkinEntry {
  std::int32_t ID = 0;
  std::uint16_t Kind = kStyleDefault;  // a window style code
  TBytes Image;
  std::int32_t Value = 0;
  std::vector<std::int32_t> RegionIDs;
  TBoardArea BoardArea;
};

// A button of a skinned window; the pictures are raw 32-bit pixels.
struct TSkinRegion {
  std::int32_t ID = 0;
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  TBytes Normal;
  TBytes Hover;
  TBytes Pressed;
  TBytes Fourth;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::int32_t CommandCode = 0;
  std::int32_t Value = 0;
};

// Background fill modes handed to the board.
enum TFillMode : std::int32_t { fmTopLeft = 0, fmCentre = 1, fmTile = 2, fmStretch = 3 };

struct TBackgroundSettings {
  std::int32_t BackgroundID = 0;
  std::int32_t FillMode = 0;
  std::int32_t SecondValue = 0;
};

struct TDefaultBackground {
  std::int32_t FillMode = 0;
  std::int32_t SecondValue = 0;
};

// A script attached to a skin region.
struct TScriptItemEntry {
  std::int32_t ID = 0;
  std::int32_t RegionID = 0;
  TScriptItem Script;
};

struct TTextStyleFont {
  std::string Name;
  std::int32_t Color = 0;
  std::int32_t Height = 0;
  std::int32_t Size = 0;
  std::uint8_t Style = 0;  // bit 0 bold, 1 italic, 2 underline, 3 strike-out
};

// A clock panel of a skinned window.
struct TTextStyle {
  std::int32_t ID = 0;
  std::int32_t SkinID = 0;
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::uint8_t SeeThrough = 0;
  std::uint8_t SecondFlag = 0;
  std::int32_t BackgroundColor = 0;  // a platform colour code
  TTextStyleFont Font;
  TBytes Data;
};

struct TCustomHighscoreEntryDlg {
  std::uint8_t EntryPage = 0;
  std::uint8_t ShowTable = 0;
  std::string PageText;
  std::int32_t Value1 = 0;
  std::int32_t Value2 = 0;
};

// Picture choice modes.
inline constexpr std::uint8_t kChoicePlayer = 0;
inline constexpr std::uint8_t kChoiceSequence = 1;
inline constexpr std::uint8_t kChoiceRandom = 2;

}  // namespace duduri
