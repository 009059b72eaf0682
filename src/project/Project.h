#pragma once
// The puzzle project: everything a player executable carries besides its
// code. TJigsawProject2 owns the pictures and backgrounds, sounds, skins,
// banners, menus, scripts, the splash picture and every play setting, and
// reads and writes itself as a package (see Package.h).
//
// Loading parses into a fresh project and moves it in only when the whole
// package was read; a load that fails leaves this project's lists emptied
// (as the player has always done) and its settings as they were.

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "project/Banners.h"
#include "project/ByteStream.h"
#include "project/MenuTree.h"
#include "project/ProjectRecords.h"
#include "project/PzComponent.h"
#include "project/Scripts.h"
#include "project/SoundFormats.h"
#include "project/Splash.h"

namespace duduri {

// The signature at the start of a package body: the length-prefixed "PZZ".
inline constexpr std::array<std::byte, 4> kProjectSignature = {std::byte{0x03}, std::byte{0x50},
                                                               std::byte{0x5A}, std::byte{0x5A}};

// Project flag bit 0: wins are not entered into the high-score table.
inline constexpr std::int32_t kFlagNoHighScores = 1;

class TPzCustomJigsawProject : public TPzComponent {
 public:
  std::vector<TBMPData> Pictures;  // pictures and backgrounds, in the order added
  // The template set as LoadTemplates reads it: i32 length, then the zlib body.
  TBytes TemplateSetStore;
  std::int32_t ProjectFlags = 0;

  bool HighScoresDisabled() const { return (ProjectFlags & kFlagNoHighScores) != 0; }
};

enum class TPictureKind { pkPicture = 0, pkBackground = 1 };

class TJigsawProject2 : public TPzCustomJigsawProject {
 public:
  // A new project: ten empty sound slots (keys 0..9), the default menu
  // ("&File" with "E&xit", and "&Help"), three empty action lists and the
  // default settings. Throws EExecDataError when it cannot be built.
  TJigsawProject2();
  ~TJigsawProject2() override;
  TJigsawProject2(const TJigsawProject2&) = delete;
  TJigsawProject2& operator=(const TJigsawProject2&) = delete;

  // ---- pictures ----
  std::int32_t PictureCount = 0;
  std::int32_t BackgroundCount = 0;
  std::vector<TPicturePieceRange> PieceCountRanges;
  std::vector<TPictureLayout> PictureLayouts;
  std::vector<TPieceValues> PieceValues;
  std::uint8_t PerPictureValues = 1;

  // ---- sounds ----
  std::vector<TBMPData> Sounds;
  std::vector<TSoundSlot> SoundSlots;
  TSoundIDFormatAssoc SoundFormats;

  // ---- cutting and play ----
  std::uint8_t DefaultPieceScale = 4;
  std::uint8_t SnapDistance = 7;
  std::int32_t SpriteOptionA = 0;  // a colour, passed to the sprite creator
  std::uint8_t SpriteOptionB = 0;
  std::int32_t PieceRangeMin = 0;  // -1 in either: no range
  std::int32_t PieceRangeMax = 0;
  std::uint8_t StoreGameLayout = 0;
  std::uint8_t PictureChoice = kChoicePlayer;
  std::uint8_t TimeTrial = 0;
  std::int32_t TimeTrialTicks = 0;
  std::uint8_t NoPieceRotation = 0;
  std::uint8_t NoPieceShadow = 0;
  std::uint8_t FlatPiece = 0;
  TStoredGameLayout StoredLayout;

  // ---- window and skins ----
  TApplicationTitle Title;
  TBytes Icon;  // an icon file
  std::uint8_t SoundOn = 1;
  std::uint8_t WindowPosition = 4;  // 4 centres the window
  TBytes AboutPicture;              // a JPEG file
  TBoardArea BoardArea;
  std::uint16_t WindowStyle = 0;
  TBytes SingleSkinImage;  // older projects' one skin picture
  std::int32_t SingleSkinValue = 0;
  std::vector<TSkinEntry> Skins;
  std::vector<TSkinRegion> Regions;
  std::int32_t CurrentBackgroundIndex = 0;
  std::int32_t CurrentSkinIndex = 0;
  bool SelectionRead = false;

  // ---- backgrounds ----
  TDefaultBackground DefaultBackground;
  std::vector<TBackgroundSettings> BackgroundSettings;

  // ---- menus and scripts ----
  TMenuTree MenuTree;
  std::vector<TMenuRec> OldMenuRecords;  // read from older projects, never written
  std::vector<std::unique_ptr<TActionGroup>> ActionGroups;
  std::vector<TScriptItemEntry> ScriptItems;
  TActionItem StartScript;
  TActionItem ExitScript;
  TActionItem WinScript;

  // ---- the rest ----
  std::vector<TTextStyle> TextStyles;
  TBanners Banners;
  TBannerContainerManager BannerContainers{&Banners};
  TSplash Splash;
  TCustomHighscoreEntryDlg HighscoreOptions;

  // The preview of the package header: cell columns and rows and a 32-bit
  // BMP file of the first picture.
  std::int32_t PreviewColumns = 0;
  std::int32_t PreviewRows = 0;
  TBytes PreviewBitmap;

  bool UnknownChunkRead = false;

  // The master template set read whenever a package is written; by default
  // "all.pzjc" in the program's own folder.
  std::filesystem::path MasterTemplateSet;

  // ---- operations ----
  // Reads a package (with or without the 0xDEAD prefix).
  void LoadFromStream(TByteSpan package);
  void LoadFromFile(const std::filesystem::path& path);
  // Writes a package; throws when the master template set cannot be read.
  TBytes SaveToBytes();
  void SaveToFile(const std::filesystem::path& path);
  // Copies another project through its package.
  void Assign(TJigsawProject2& source);

  // Appends {id, "", no data}; id 0 asks for a new id. A picture also gets a
  // piece-count range {id, 0, 50}; a background its settings with the
  // default fill mode.
  TBMPData& AddPictureEntry(TPictureKind kind, std::int32_t id = 0);

  std::int32_t NewPictureId() const;
  std::int32_t NewBackgroundId() const;
  std::int32_t NewSkinId() const;
  std::int32_t NewRegionId() const;
  std::int32_t NewScriptItemId() const;
  std::int32_t NewMenuId() const;
  TSkinEntry& NewSkinEntry();
  TSkinRegion& NewRegion();
  TScriptItemEntry& NewScriptItemEntry();
  TActionGroup& AddActionGroup();

  TPicturePieceRange* FindPieceCountRange(std::int32_t pictureId);
  const TPicturePieceRange* FindPieceCountRange(std::int32_t pictureId) const;
  const TPieceValues* FindPieceValues(std::int32_t pictureId) const;
  // The skin entry the window uses: the current skin index when it names
  // one, else the first entry; nullptr without skins.
  const TSkinEntry* SelectedSkin() const;
  // The board area the window style selects (zero for styles without one).
  TBoardArea StyleBoardArea() const;

  // Empties every list, the banners and the containers.
  void Clear();
  // Recounts pictures and backgrounds from the picture list.
  void CountPictures();
  // What is done after a load; see ProjectNormalise.cpp.
  void Normalise();
  // Before saving: stores the first picture's cut layout when asked to.
  void PrepareStoredGameLayout();

  // The program's folder ("all.pzjc" lives there).
  static std::filesystem::path ProgramFolder();

 private:
  void setDefaults();
  void moveFrom(TJigsawProject2& other);
};

}  // namespace duduri
