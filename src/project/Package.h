#pragma once
// The project package: how a TJigsawProject2 travels in an executable, a
// file or the clipboard.
//
//   u16 0xDEAD, u16 0, i32 H, H bytes of header chunks (the preview 7864 and
//   the end of header 7865), then one zlib stream: the body.
//
// The body is the signature 03 50 5A 5A, tagged chunks (u16 tag, i32 size,
// payload) and the end chunk 7850. A package without the prefix (a bare
// body) is read as well.
//
// Reading never trusts the data: every length and count is checked against
// what remains before anything is allocated, inflating is bounded (see
// Zlib.h), nesting is bounded, and a negative size or length is refused with
// "Stream data contains invalid project format.".

#include <cstdint>

#include "project/ByteStream.h"

namespace duduri {

class TJigsawProject2;

inline constexpr std::uint16_t kPackageMark = 0xDEAD;

// Chunk tags.
enum TChunkTag : std::uint16_t {
  ctEnd = 7850,
  ctPicture = 7856,
  ctSound = 7857,
  ctSoundSlot = 7858,
  ctStoredLayout = 7859,
  ctCuttingOptions = 7860,
  ctOldMenuRecords = 7861,
  ctPictureChoice = 7862,
  ctTimeTrial = 7863,
  ctPreview = 7864,
  ctHeaderEnd = 7865,
  ctPieceRange = 7866,
  ctPicturePieceRange = 7867,
  ctPictureLayout = 7868,
  ctWindowStyle = 7870,
  ctSkinRegion = 7871,
  ctBoardArea = 7873,
  ctAboutPicture = 7874,
  ctDefaultBackground = 7875,
  ctSkinEntry = 7876,
  ctCaption = 7877,
  ctIcon = 7878,
  ctWindowOptions = 7879,
  ctBackgroundSettings = 7880,
  ctActionGroup = 7881,
  ctOldMenuTree = 7882,
  ctTextStyle = 7883,
  ctSelection = 7884,
  ctPieceValues = 7885,
  ctPieceValuesFlag = 7886,
  ctPieceOptions = 7887,
  ctBanner = 7888,
  ctBannerContainer = 7889,
  ctMenuTree = 7890,
  ctSoundFormats = 7891,
  ctSplash = 7892,
  ctScriptItem = 7893,
  ctStartScript = 7894,
  ctExitScript = 7895,
  ctWinScript = 7896,
  ctHighscoreOptions = 7897,
  ctProjectFlags = 8080,
  ctTemplateSet = 8081,
};

// What the 0xDEAD prefix and header block say.
struct TPackageHeader {
  bool HasPrefix = false;
  std::int32_t PreviewColumns = 0;
  std::int32_t PreviewRows = 0;
  TByteSpan PreviewBitmap;  // into the package
  TByteSpan Body;           // the compressed body, into the package
};

// Splits a package into header and body. Without the prefix the whole input
// is the body.
TPackageHeader ReadPackageHeader(TByteSpan package);

// Inflates a body within the package limits; a body that does not inflate
// gives an empty result (reading its signature then fails).
TBytes InflateBody(TByteSpan body);

// Reads a package into a project that was cleared beforehand; the last step
// is the after-loading normalisation.
void ReadPackage(TJigsawProject2& project, TByteSpan package);
// Reads the chunks of an inflated body (signature first).
void ReadProjectBody(TJigsawProject2& project, TByteSpan body);

// Writes the package: the template set restricted from the master set, the
// stored game layout when asked for, the preview of the first picture, the
// header, and the body compressed at the default level. Throws when the
// master template set cannot be read; nothing is produced then.
TBytes WritePackage(TJigsawProject2& project);
// Replaces the project's template set store with the master set restricted
// to what its pictures use.
void RefreshTemplateSet(TJigsawProject2& project);
// The body chunks as they stand, uncompressed (exposed for tests and tools).
TBytes WriteProjectBody(const TJigsawProject2& project);

}  // namespace duduri
