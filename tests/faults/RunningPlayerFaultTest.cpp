// Faults that meet the player while it runs: the project file taken away
// or changed under it, its own executable gone, the high-score file refused
// at the end, a temporary folder that takes no files, and files the commands
// write refused or cut short. Each time the game goes on or ends with a
// clear message, and no file that was there is lost.

#include <gtest/gtest.h>

#include <fstream>

#include "FaultShim.h"
#include "ShellTestKit.h"
#include "board/JigsawFile.h"
#include "project/HighScore.h"
#include "project/Project.h"
#include "raster/Picture.h"
#include "shell/ShellTexts.h"
#include "shell/SoundFakes.h"
#include "shell/SoundPlayer.h"

namespace duduri::test {
namespace {

namespace fs = std::filesystem;

void writeFile(const fs::path& path, const TBytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

bool mentions(const std::vector<std::string>& messages, const std::string& part) {
  for (const std::string& m : messages) {
    if (m.find(part) != std::string::npos) return true;
  }
  return false;
}

class RunningPlayer : public ::testing::Test {
 protected:
  void TearDown() override { DisarmFault(); }
};

TEST_F(RunningPlayer, AProjectFileTakenAwayOrChangedUnderThePlayerIsNotMissed) {
  TFlowRig keep(TBytes{});
  const fs::path file = keep.folder / "game.pzp";
  writeFile(file, MakeTestPackage({.Pictures = 2, .Choice = kChoiceRandom}));
  {
    TFlowRig rig(TBytes{}, {file.string(), "-T"});
    rig.Create();
    ASSERT_NE(rig.flow->Board(), nullptr);
    // The project is read once: gone, then back as rubbish, it changes nothing.
    fs::remove(file);
    rig.flow->ActionDispatch(nullptr, ccNewGame, {});
    writeFile(file, TBytes(100, std::byte{0x41}));
    rig.flow->ActionDispatch(nullptr, ccNewGame, {});
    EXPECT_EQ(rig.flow->GamesBuilt(), 3);
    EXPECT_TRUE(rig.services.messages.empty());
    rig.SolveByDrags();
    EXPECT_EQ(rig.flow->HighScores().Count(kScoreVeryEasy), 1);
    fs::remove(file);
    rig.flow.reset();  // the end: "-T" finds nothing to remove
    THighScore saved;
    saved.LoadFromFile(rig.folder / kHighScoreFile);
    EXPECT_EQ(saved.Count(kScoreVeryEasy), 1);
  }
}

TEST_F(RunningPlayer, AnExecutableGoneUnderThePlayerMakesNoNewOneAndSaysWhy) {
  TFlowRig rig(MakeTestPackage({.Pictures = 1}));
  rig.Create();
  rig.flow->Project()->MasterTemplateSet = MasterTemplates();
  const fs::path picture = rig.folder / "mine.jpg";
  writeFile(picture, PaintedJpeg(120, 90, 3));
  const fs::path made = rig.folder / "made";
  // The running program's file is gone (it was never there in the rig).
  rig.services.openFiles.push_back({true, picture.string(), 1});
  rig.services.saveFiles.push_back({true, made.string(), 1});
  rig.flow->ActionDispatch(nullptr, ccMakeExe, {});
  ASSERT_EQ(rig.services.messages.size(), 1u);
  EXPECT_TRUE(mentions(rig.services.messages, rig.flow->Environment().ExePath.string()))
      << rig.services.messages[0];
  EXPECT_FALSE(fs::exists(made));
  EXPECT_FALSE(rig.flow->Board()->GamePaused());
  // Back, as something else: it is what the new executable starts from.
  writeFile(rig.flow->Environment().ExePath, TBytes(3000, std::byte{0x90}));
  rig.services.openFiles.push_back({true, picture.string(), 1});
  rig.services.saveFiles.push_back({true, made.string(), 1});
  rig.flow->ActionDispatch(nullptr, ccMakeExe, {});
  EXPECT_EQ(rig.services.messages.back(), made.string() + kMsgExecutableCreatedSuffix);
  EXPECT_GT(fs::file_size(made), 3000u);
}

TEST_F(RunningPlayer, HighScoresRefusedAtTheEndKeepThePreviousFileAndSaySo) {
  const TBytes package = MakeTestPackage({.Pictures = 1});
  for (const TFaultPlan& plan :
       {TFaultPlan{TFault::OpenDenied, kHighScoreFile, 0}, {TFault::NoSpace, kHighScoreFile, 10},
        {TFault::RenameFails, kHighScoreFile, 0}, {TFault::FsyncFails, kHighScoreFile, 0}}) {
    TFlowRig rig(package);
    const fs::path path = rig.folder / kHighScoreFile;
    THighScore before;
    before.Add({"earlier", 99, kScoreVeryEasy});
    before.SaveToFile(path);
    const std::vector<std::byte> bytes = ReadFileBytes(path);
    rig.Create();
    rig.SolveByDrags();
    ASSERT_EQ(rig.flow->HighScores().Count(kScoreVeryEasy), 2);
    rig.services.messages.clear();
    ArmFault(plan);
    rig.flow->FormDestroy();
    EXPECT_GE(FaultsFired(), 1);
    DisarmFault();
    ASSERT_EQ(rig.services.messages.size(), 1u);
    EXPECT_TRUE(mentions(rig.services.messages, kHighScoreFile)) << rig.services.messages[0];
    EXPECT_EQ(ReadFileBytes(path), bytes);
    EXPECT_EQ(std::distance(fs::directory_iterator(rig.folder), fs::directory_iterator()), 1);
  }
}

TEST_F(RunningPlayer, ATemporaryFolderThatTakesNoFilesLeavesTheSoundsSilent) {
  TJigsawProject2 p;
  AddSounds(p, {kSoundCodeMp3, kSoundCodeWma}, {1, 2});
  TFakeSoundPlatform platform;  // the player's own folders: $TMPDIR, /tmp, /var/tmp
  ASSERT_FALSE(platform.folders.empty());
  for (const TFaultPlan& plan :
       {TFaultPlan{TFault::OpenDenied, "duduri-", 0}, {TFault::NoSpace, "duduri-", 3}}) {
    ArmFault(plan);
    TPzMediaPlayerCollection list(platform);
    list.LoadProjectSounds(p);
    EXPECT_GE(FaultsFired(), int(platform.folders.size()));
    DisarmFault();
    for (int i = 0; i < list.Count(); ++i) {
      EXPECT_TRUE(list.Item(i)->TemporaryFile().empty());
      list.Item(i)->Open();
      list.Item(i)->Play();
    }
    for (const auto& media : platform.media) EXPECT_EQ(media->Opened, fs::path());
  }
}

// What the commands write: a picture or a saved game refused by its folder
// or cut short by a full disk gives the command's message, keeps what was
// there and leaves the game running.
TEST_F(RunningPlayer, FilesTheCommandsWriteUnderFaultsKeepWhatWasThere) {
  TFlowRig rig(MakeTestPackage({.Pictures = 1}));
  rig.Create();
  const fs::path shot = rig.folder / "shot.bmp";
  const fs::path game = rig.folder / "game.jsw";
  writeFile(shot, TBytes(10, std::byte{1}));
  rig.services.saveFiles.push_back({true, game.string(), 1});
  rig.flow->ActionDispatch(nullptr, ccSaveGame, {});
  const std::vector<std::byte> savedGame = ReadFileBytes(game);
  rig.TickClock(5);

  struct TCase {
    TFault fault;
    fs::path file;
    std::int32_t command;
    const char* message;
  };
  for (const TCase& c : {TCase{TFault::OpenDenied, shot, ccSavePicture, kMsgUnableToSavePicture},
                         {TFault::NoSpace, shot, ccSavePicture, kMsgUnableToSavePicture},
                         {TFault::OpenDenied, game, ccSaveGame, kMsgUnableToSaveGame},
                         {TFault::NoSpace, game, ccSaveGame, kMsgWriteStreamError}}) {
    const std::vector<std::byte> before = ReadFileBytes(c.file);
    rig.services.messages.clear();
    rig.services.saveFiles.push_back({true, c.file.string(), 1});
    ArmFault({c.fault, c.file.filename().string(), 20});
    rig.flow->ActionDispatch(nullptr, c.command, {});
    DisarmFault();
    EXPECT_EQ(rig.services.messages, std::vector<std::string>{c.message});
    EXPECT_EQ(ReadFileBytes(c.file), before);
    EXPECT_FALSE(rig.flow->Board()->GamePaused());
  }
  EXPECT_EQ(ReadFileBytes(game), savedGame);
  TJigsawFile loaded;
  loaded.LoadFromFile(game);
  EXPECT_EQ(loaded.Ticks, 0);
}

}  // namespace
}  // namespace duduri::test
