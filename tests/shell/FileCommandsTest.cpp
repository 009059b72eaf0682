// The file commands on fakes: saving and opening games (in the current and
// an old format, and every way it can fail), saving the picture, and making
// a new executable that is then played.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <unistd.h>

#include <csignal>
#include <cstring>

#include "ShellTestKit.h"
#include "board/JigsawFile.h"
#include "project/Project.h"
#include "raster/Picture.h"
#include "shell/ExtraImages.h"
#include "shell/ShellTexts.h"

namespace duduri::test {
namespace {

namespace fs = std::filesystem;

bool contains(const std::vector<std::string>& list, const std::string& text) {
  return std::find(list.begin(), list.end(), text) != list.end();
}

TFileDialogResult chosen(const fs::path& file, int filter = 1) {
  return TFileDialogResult{true, file.string(), filter};
}

std::vector<TSavedPiece> piecesOf(const TSpriteDraw& board) {
  std::vector<TSavedPiece> pieces;
  for (const auto& row : board.Pieces()) {
    for (const TPieceSprite& p : row) pieces.push_back(p.Saved());
  }
  return pieces;
}

void expectSameLayout(const std::vector<TSavedPiece>& want, const TSpriteDraw& board) {
  const std::vector<TSavedPiece> got = piecesOf(board);
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t k = 0; k < want.size(); ++k) {
    EXPECT_EQ(got[k].X, want[k].X) << k;
    EXPECT_EQ(got[k].Y, want[k].Y) << k;
    EXPECT_EQ(got[k].Rotation, want[k].Rotation) << k;
    EXPECT_EQ(got[k].Placed, want[k].Placed) << k;
    EXPECT_EQ(got[k].LeftShape, want[k].LeftShape) << k;
  }
}

// A game with a few pieces joined, the clock at 7 and the one-piece solver
// asked 70000 times (it places one piece; the count is what was asked).
void playSome(TFlowRig& rig) {
  ASSERT_NE(rig.flow->Board(), nullptr);
  rig.SolveByDrags(4);
  const TSpriteDraw& b = *rig.flow->Board();
  rig.ClickPiece(b.PiecesY() - 1, b.PiecesX() - 1);
  rig.TickClock(7);
  for (int i = 0; i < 70000; ++i) rig.flow->ActionDispatch(nullptr, ccSolveOnePiece, {});
  ASSERT_EQ(rig.flow->CheatCount(), 70000);
}

// The same game as an older file: version 4 has no level and no cheat
// count, and ends with the picture as a bitmap file.
TBytes asVersion4(const TBytes& v6) {
  std::int32_t pathLength = 0;
  std::memcpy(&pathLength, v6.data() + 24, 4);
  const std::size_t pictureIdEnd = 32 + std::size_t(pathLength);
  TBytes v4(v6.begin(), v6.begin() + std::ptrdiff_t(pictureIdEnd));
  v4[4] = std::byte{4};
  v4.insert(v4.end(), v6.begin() + std::ptrdiff_t(pictureIdEnd + 3), v6.end());
  TBitmap32 picture;
  picture.SetSize(4, 4);
  const std::vector<std::byte> bmp = EncodeBmp(picture, 24);
  v4.insert(v4.end(), bmp.begin(), bmp.end());
  return v4;
}

TEST(SavedGames, SaveThenOpenBringsTheGameBack) {
  // Default range only: the window keeps a preset factor while the pieces
  // are cut at the scale the search found, which is what must be stored.
  TFlowRig rig(MakeTestPackage({.Pictures = 2, .PictureRanges = false}));
  rig.Create();
  playSome(rig);
  const std::vector<TSavedPiece> saved = piecesOf(*rig.flow->Board());
  const std::int32_t pictureId = rig.flow->CurrentPictureId();
  const float scale = rig.flow->GameScale();
  const int solutionWidth = rig.flow->Board()->SolutionBitmap().Width();
  ASSERT_NE(scale, rig.flow->PieceScaleFactor());
  const fs::path file = rig.folder / "game.jsw";

  rig.services.saveFiles = {chosen(file)};
  rig.flow->ActionDispatch(nullptr, ccSaveGame, {});
  const TFileDialogRequest& asked = rig.services.fileRequests.back();
  EXPECT_EQ(asked.Title, kTitleSaveGame);
  EXPECT_EQ(asked.Filter, kFilterSavedGame);
  EXPECT_EQ(asked.DefaultExt, "jsw");
  EXPECT_EQ(rig.services.messages.back(), kMsgGameSavedPrefix + file.string());
  TJigsawFile stored;
  stored.LoadFromFile(file);
  EXPECT_EQ(stored.CheatCount, 70000 % 65536);
  EXPECT_EQ(stored.Ticks, 7);
  EXPECT_EQ(stored.ExePath, rig.flow->Environment().ExePath.string());

  // Another game, then the saved one through the board's own hook.
  rig.flow->ActionDispatch(nullptr, ccNewGame, {});
  rig.services.openFiles = {chosen(file)};
  rig.flow->Board()->DoOpenGame(nullptr);
  EXPECT_EQ(rig.services.fileRequests.back().Title, kTitleOpenGame);
  EXPECT_EQ(rig.services.fileRequests.back().Filter, kFilterSavedGame);
  const TSpriteDraw* board = rig.flow->Board();
  ASSERT_NE(board, nullptr);
  expectSameLayout(saved, *board);
  // Cut from the picture at the same size as before.
  EXPECT_EQ(rig.flow->GameScale(), scale);
  EXPECT_EQ(board->SolutionBitmap().Width(), solutionWidth);
  EXPECT_EQ(board->Ticks(), 7);
  EXPECT_EQ(rig.flow->ClockStart(), 7);
  EXPECT_EQ(rig.flow->CheatCount(), 70000 % 65536);
  EXPECT_EQ(rig.flow->CurrentPictureId(), pictureId);
  EXPECT_FALSE(board->GamePaused());
  EXPECT_TRUE(rig.view.visible);
  EXPECT_TRUE(rig.flow->CloseHtmlPage());
  EXPECT_FALSE(rig.flow->OldFormatGame());
}

TEST(SavedGames, OldFormatIsOfferedForReSaving) {
  // An old file carries no level; it is read as the level those files had.
  TFlowRig rig(MakeTestPackage({.Pictures = 1, .RangeMin = 101, .RangeMax = 150}));
  rig.Create();
  ASSERT_NE(rig.flow->Board(), nullptr);
  rig.TickClock(3);
  const fs::path file = rig.folder / "old.jsw";
  rig.services.saveFiles = {chosen(file)};
  rig.flow->ActionDispatch(nullptr, ccSaveGame, {});
  const std::vector<TSavedPiece> saved = piecesOf(*rig.flow->Board());
  WriteFileAtomically(file, asVersion4(ReadFileBytes(file)));

  for (const TModalResult answer : {TModalResult::mrNo, TModalResult::mrYes}) {
    rig.services.answers[SavedGameOldFormatText(file.string())] = answer;
    rig.services.openFiles = {chosen(file)};
    rig.flow->ActionDispatch(nullptr, ccOpenGame, {});
    EXPECT_TRUE(contains(rig.services.messages, SavedGameOldFormatText(file.string())));
    ASSERT_NE(rig.flow->Board(), nullptr);
    EXPECT_TRUE(rig.flow->OldFormatGame());
    expectSameLayout(saved, *rig.flow->Board());
    TJigsawFile reread;
    reread.LoadFromFile(file);
    EXPECT_EQ(reread.Version, answer == TModalResult::mrYes ? 6 : 4);
  }
  EXPECT_EQ(ReadFileBytes(file).size(),
            35 + rig.flow->Environment().ExePath.string().size() + saved.size() * kSavedPieceBytes);
}

TEST(SavedGames, OpeningWhatIsNotAGameOfThisProjectKeepsTheGame) {
  TFlowRig rig(MakeTestPackage({.Pictures = 2}));
  rig.Create();
  const fs::path good = rig.folder / "good.jsw";
  rig.services.saveFiles = {chosen(good)};
  rig.flow->ActionDispatch(nullptr, ccSaveGame, {});
  const TBytes bytes = ReadFileBytes(good);
  TSpriteDraw* board = rig.flow->Board();
  const int games = rig.flow->GamesBuilt();
  const std::int32_t pictureId = rig.flow->CurrentPictureId();
  const TJigsawProject2& project = *rig.flow->Project();
  const TPieceRange range{project.PieceRangeMin, project.PieceRangeMax};

  auto open = [&](const fs::path& file, const TBytes& content) {
    if (!content.empty()) WriteFileAtomically(file, content);
    rig.services.messages.clear();
    rig.services.openFiles = {chosen(file)};
    rig.flow->ActionDispatch(nullptr, ccOpenGame, {});
    EXPECT_EQ(rig.flow->Board(), board);
    EXPECT_FALSE(board->GamePaused());
    EXPECT_EQ(rig.flow->GamesBuilt(), games);
    EXPECT_EQ(rig.flow->CurrentPictureId(), pictureId);
    EXPECT_TRUE(rig.view.visible);
  };

  open(rig.folder / "missing.jsw", {});
  EXPECT_EQ(rig.services.messages,
            std::vector<std::string>{SavedGameNotFoundText((rig.folder / "missing.jsw").string())});

  TBytes foreign = bytes;
  const std::size_t idAt = 28 + rig.flow->Environment().ExePath.string().size();
  foreign[idAt] = std::byte{0x39};  // a picture id the project does not have
  foreign[idAt + 1] = std::byte{0x30};
  open(rig.folder / "foreign.jsw", foreign);
  EXPECT_EQ(rig.services.messages,
            std::vector<std::string>{SavedGameForeignText((rig.folder / "foreign.jsw").string())});

  // Pieces whose right places lie outside the picture as it is cut now.
  TBytes moved = bytes;
  const std::size_t firstRecord = idAt + 4 + 3;
  moved[firstRecord + 15] = std::byte{0x40};  // HomeX of the first piece, far off
  open(rig.folder / "moved.jsw", moved);
  EXPECT_EQ(rig.services.messages,
            std::vector<std::string>{SavedGameForeignText((rig.folder / "moved.jsw").string())});
  EXPECT_EQ(project.PieceRangeMin, range.Min);
  EXPECT_EQ(project.PieceRangeMax, range.Max);

  // Not a saved game at all: nothing opens and nothing is said.
  open(rig.folder / "junk.jsw", TBytes(64, std::byte{0x41}));
  EXPECT_TRUE(rig.services.messages.empty());

  // Cancelled.
  rig.flow->ActionDispatch(nullptr, ccOpenGame, {});
  EXPECT_FALSE(rig.flow->CloseHtmlPage());
  EXPECT_FALSE(board->GamePaused());
}

TEST(SavedGames, AFailedSaveLeavesThePreviousFile) {
  TFlowRig rig(MakeTestPackage({.Pictures = 1}));
  rig.Create();
  ASSERT_NE(rig.flow->Board(), nullptr);

  rig.services.saveFiles = {chosen(rig.folder / "no-such-folder" / "game.jsw")};
  rig.flow->ActionDispatch(nullptr, ccSaveGame, {});
  EXPECT_EQ(rig.services.messages.back(), kMsgUnableToSaveGame);

  const fs::path file = rig.folder / "game.jsw";
  rig.TickClock(2);
  rig.services.saveFiles = {chosen(file)};
  rig.flow->ActionDispatch(nullptr, ccSaveGame, {});
  const TBytes before = ReadFileBytes(file);
  ASSERT_GT(before.size(), 100u);

  // A file size limit makes the write stop part of the way, as a full disk
  // would.
  rig.TickClock(5);
  struct rlimit old {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 100;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  rig.services.saveFiles = {chosen(file)};
  rig.flow->ActionDispatch(nullptr, ccSaveGame, {});
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(rig.services.messages.back(), kMsgWriteStreamError);
  EXPECT_EQ(ReadFileBytes(file), before);
  TJigsawFile previous;
  previous.LoadFromFile(file);
  EXPECT_EQ(previous.Ticks, 2);
  for (const auto& entry : fs::directory_iterator(rig.folder)) {
    EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
  }
  EXPECT_FALSE(rig.flow->Board()->GamePaused());
}

TEST(SavedPicture, BitmapAndJpegOfWhatThePlayAreaShows) {
  TFlowRig rig(MakeTestPackage({.Pictures = 1}), {}, 400, 300);
  rig.Create();
  ASSERT_NE(rig.flow->Board(), nullptr);
  const TBitmap32 shown = [&] {
    TBitmap32 b;
    b.Assign(rig.view.area.picture);
    return b;
  }();

  rig.services.saveFiles = {chosen(rig.folder / "typed", 1), chosen(rig.folder / "p.jpg", 2)};
  rig.flow->ActionDispatch(nullptr, ccSavePicture, {});
  rig.flow->ActionDispatch(nullptr, ccSavePicture, {});
  EXPECT_EQ(rig.services.fileRequests[0].Title, kTitleSavePicture);
  EXPECT_EQ(rig.services.fileRequests[0].Filter, kFilterSavePicture);
  // A name typed without extension gets the chosen kind's.
  const fs::path bmp = rig.folder / "typed.bmp";
  EXPECT_TRUE(contains(rig.services.messages, kMsgPictureSavedPrefix + bmp.string()));
  EXPECT_TRUE(
      contains(rig.services.messages, kMsgPictureSavedPrefix + (rig.folder / "p.jpg").string()));

  const TPicture asBmp = DecodeBmp(ReadFileBytes(bmp));
  EXPECT_EQ(asBmp.BitsPerPixel, 24);
  ASSERT_EQ(asBmp.Width, 400);
  ASSERT_EQ(asBmp.Height, 300);
  // The pieces, not the empty table a paused board shows.
  int same = 0;
  for (int i = 0; i < 400 * 300; ++i)
    same += (asBmp.Pixels[std::size_t(i)] & 0xFFFFFF) == (shown.Bits()[i] & 0xFFFFFF);
  EXPECT_EQ(same, 400 * 300);
  const TPicture asJpeg = DecodeJpeg(ReadFileBytes(rig.folder / "p.jpg"));
  EXPECT_EQ(asJpeg.Width, 400);
  EXPECT_EQ(asJpeg.Height, 300);

  rig.services.saveFiles = {chosen(rig.folder / "nowhere" / "p.bmp")};
  rig.flow->ActionDispatch(nullptr, ccSavePicture, {});
  EXPECT_EQ(rig.services.messages.back(), kMsgUnableToSavePicture);
  EXPECT_FALSE(rig.flow->Board()->GamePaused());
}

TEST(MakeExecutable, TheNewProgramPlaysTheChosenPicture) {
  TFlowRig rig(MakeTestPackage({.Pictures = 2}));
  // The running player: a program file the new one is copied from.
  WriteFileAtomically(rig.flow->Environment().ExePath, TBytes(3000, std::byte{0x90}));
  rig.Create();
  rig.flow->Project()->MasterTemplateSet = MasterTemplates();
  const fs::path picture = rig.folder / "mine.jpg";
  WriteFileAtomically(picture, PaintedJpeg(240, 180, 5));
  const fs::path program = rig.folder / "mypuzzle";

  rig.services.openFiles = {chosen(picture, 2)};
  rig.services.saveFiles = {chosen(program)};
  rig.flow->ActionDispatch(nullptr, ccMakeExe, {});
  ASSERT_EQ(rig.services.fileRequests.size(), 2u);
  EXPECT_EQ(rig.services.fileRequests[0].Title, kTitleOpenImage);
  EXPECT_EQ(rig.services.fileRequests[0].Filter, kFilterOpenImage);
  EXPECT_EQ(rig.services.fileRequests[1].Title, kTitleSaveExecutable);
  EXPECT_EQ(rig.services.fileRequests[1].Filter, kFilterExecutable);
  // Programs here have no extension: the name stays as typed.
  EXPECT_EQ(rig.services.fileRequests[1].DefaultExt, "");
  EXPECT_EQ(rig.services.messages.back(), program.string() + kMsgExecutableCreatedSuffix);
  EXPECT_FALSE(rig.flow->Board()->GamePaused());

  const TOwnOverlay overlay = ReadOverlayOf(program);
  ASSERT_TRUE(overlay.Package);
  ASSERT_FALSE(overlay.ExtraImages.empty());
  TShellEnvironment env;
  env.ExePath = program;
  env.ExeDir = rig.folder;
  env.ReadOwnOverlay = [program] { return ReadOverlayOf(program); };
  TFlowRig played(env);
  played.Create();
  ASSERT_NE(played.flow->Board(), nullptr);
  EXPECT_EQ(played.flow->CurrentPicture().Width(), 240);
  EXPECT_EQ(played.flow->CurrentPicture().Height(), 180);

  // A picture that cannot be read ends in the error box with its message.
  rig.services.messages.clear();
  rig.services.openFiles = {chosen(rig.folder / "gone.bmp")};
  rig.services.saveFiles = {chosen(rig.folder / "other")};
  rig.flow->ActionDispatch(nullptr, ccMakeExe, {});
  ASSERT_EQ(rig.services.messages.size(), 1u);
  EXPECT_NE(rig.services.messages[0].find("gone.bmp"), std::string::npos);
  EXPECT_FALSE(fs::exists(rig.folder / "other"));
  EXPECT_FALSE(rig.flow->Board()->GamePaused());
}

// The block carries bitmaps and JPEGs only; a picture of another kind the
// player can read goes in as JPEG instead of being left out.
TEST(MakeExecutable, APictureOfAnotherKindIsCarriedAsJpeg) {
  const TBytes package = MakeTestPackage({.Pictures = 2});
  TShellEnvironment env;
  const fs::path folder = fs::temp_directory_path() / ("duduri-carry-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  env.ExeDir = folder;
  env.ExePath = folder / "duduri";
  env.ReadOwnOverlay = [package] { return TOwnOverlay{package, {}}; };
  int decoded = 0;
  env.DecodeOtherPicture = [&decoded](std::span<const std::byte>) {
    ++decoded;
    return DecodeJpeg(PaintedJpeg(200, 150, 3));
  };
  TFlowRig rig(env);
  WriteFileAtomically(env.ExePath, TBytes(3000, std::byte{0x90}));
  rig.Create();
  rig.flow->Project()->MasterTemplateSet = MasterTemplates();
  const fs::path picture = folder / "mine.png";
  const TBytes pngSignature = {std::byte{0x89}, std::byte{'P'}, std::byte{'N'}, std::byte{'G'},
                               std::byte{0x0D}, std::byte{0x0A}, std::byte{0x1A}, std::byte{0x0A}};
  WriteFileAtomically(picture, pngSignature);
  const fs::path program = folder / "mypng";
  rig.services.openFiles = {chosen(picture, 4)};
  rig.services.saveFiles = {chosen(program)};
  rig.flow->ActionDispatch(nullptr, ccMakeExe, {});
  EXPECT_EQ(decoded, 1);
  EXPECT_EQ(rig.services.messages.back(), program.string() + kMsgExecutableCreatedSuffix);

  TExtJigsawImages images;
  images.ReadFromStream(ReadOverlayOf(program).ExtraImages);
  ASSERT_EQ(images.Count(), 1u);
  EXPECT_EQ(images.Items[0].ImgFormat, ifJPEG);
  EXPECT_EQ(DecodeJpeg(images.Items[0].Stream).Width, 200);
  fs::remove_all(folder);
}

}  // namespace
}  // namespace duduri::test
