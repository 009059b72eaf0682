// The player list and the players over a fake audio output: formats from the
// association, the shared device, play and stop by format, the media
// player's notifications, the 10 ms loop, and the temporary files.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "SoundFakes.h"
#include "shell/SoundEvents.h"
#include "shell/SoundPlayer.h"

namespace duduri::test {
namespace {

namespace fs = std::filesystem;

class SoundPlayers : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("duduri-sound-test-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    platform.folders = {folder_};
  }
  void TearDown() override { fs::remove_all(folder_); }

  // Temporary files this process holds open in the folder, named or not.
  int heldFiles() const {
    int held = 0;
    for (const auto& e : fs::directory_iterator("/proc/self/fd")) {
      std::error_code ec;
      const std::string target = fs::read_symlink(e.path(), ec).string();
      if (!ec && target.rfind((folder_ / "duduri-").string(), 0) == 0) ++held;
    }
    return held;
  }

  std::vector<fs::path> filesInFolder() const {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(folder_)) files.push_back(e.path());
    return files;
  }

  fs::path folder_;
  TFakeSoundPlatform platform;
};

std::string fileText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(SoundPlayers, EveryProjectSoundGetsAPlayerInOrderWithItsStoredFormat) {
  TJigsawProject2 p;
  AddSounds(p, 
      {kSoundCodeWave, kSoundCodeMidi, kSoundCodeWma, kSoundCodeMp3, 0, 9}, {});
  TPzMediaPlayerCollection list(platform);
  list.LoadProjectSounds(p);
  ASSERT_EQ(list.Count(), 6);
  const TSoundFormat expected[] = {sfWAV, sfMIDI, sfWMA, sfMP3, sfUnknown, sfUnknown};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(list.Item(i)->SoundFormat(), expected[i]) << i;
  EXPECT_EQ(list.Item(6), nullptr);
  EXPECT_EQ(list.Item(-1), nullptr);
  EXPECT_EQ(platform.deviceCreations, 1);
  EXPECT_EQ(list.Item(0)->DXSound(), list.DXSound());
  // Each format went where it plays; the unknown ones went nowhere.
  ASSERT_EQ(platform.waves.size(), 1u);
  EXPECT_EQ(platform.waves[0]->Data, p.Sounds[0].Data);
  ASSERT_EQ(platform.midis.size(), 1u);
  EXPECT_EQ(platform.midis[0]->Data, p.Sounds[1].Data);
  ASSERT_EQ(platform.media.size(), 2u);
  EXPECT_EQ(fileText(list.Item(2)->TemporaryFile()), "sound 3");
  EXPECT_EQ(fileText(list.Item(3)->TemporaryFile()), "sound 4");

  // An association stream holding only its end record: every sound unknown,
  // and no event plays anything.
  TJigsawProject2 bare;
  AddSounds(bare, {kSoundCodeWave, kSoundCodeMp3}, {1, 0, 0, 0, 0, 0, 0, 2});
  const TBytes endOnly = {std::byte(0xA0), std::byte(0xAD), std::byte(0), std::byte(0),
                          std::byte(0),    std::byte(0),    std::byte(0), std::byte(0)};
  bare.SoundFormats.ReadStream(endOnly);
  EXPECT_TRUE(bare.SoundFormats.Empty());
  TFakeSoundPlatform quiet;
  quiet.folders = {folder_};
  TSoundEvents events(quiet);
  events.LoadSounds(bare);
  for (int i = 0; i < 2; ++i) EXPECT_EQ(events.Players().Item(i)->SoundFormat(), sfUnknown);
  events.StartBackgroundMusic(bare, true);
  events.PlayEvent(bare, 7);
  EXPECT_TRUE(quiet.waves.empty());
  EXPECT_TRUE(quiet.media.empty());
}

TEST_F(SoundPlayers, WithoutADeviceOnlyMediaPlaysAndAFailedDeviceIsNotTriedAgain) {
  TJigsawProject2 p;
  AddSounds(p, {kSoundCodeWave, kSoundCodeMidi, kSoundCodeMp3}, {});
  {
    platform.device = TFakeSoundPlatform::TDevice::kDoesNotInitialise;
    TPzMediaPlayerCollection list(platform);
    list.LoadProjectSounds(p);
    EXPECT_EQ(platform.deviceCreations, 3);  // asked again for every player
    EXPECT_EQ(list.DXSound(), nullptr);
    for (int i = 0; i < 3; ++i) {
      list.Item(i)->Open();
      list.Item(i)->Play();
    }
    EXPECT_TRUE(platform.waves.empty());
    EXPECT_TRUE(platform.midis.empty());
    EXPECT_EQ(platform.LastMedia().Count("play"), 1);
  }
  platform.deviceCreations = 0;
  platform.device = TFakeSoundPlatform::TDevice::kFails;
  TPzMediaPlayerCollection list(platform);
  list.LoadProjectSounds(p);
  list.LoadProjectSounds(p);
  EXPECT_EQ(platform.deviceCreations, 1);
  list.Item(2)->Open();
  list.Item(2)->Play();
  EXPECT_EQ(platform.LastMedia().Count("play"), 1);
}

TEST_F(SoundPlayers, PlayAndStopByFormat) {
  TJigsawProject2 p;
  AddSounds(p, {kSoundCodeWave, kSoundCodeMidi, kSoundCodeMp3}, {});
  TPzMediaPlayerCollection list(platform);
  list.LoadProjectSounds(p);
  TPzMediaPlayer& wave = *list.Item(0);
  TPzMediaPlayer& midi = *list.Item(1);
  TPzMediaPlayer& mp3 = *list.Item(2);

  wave.Play();
  EXPECT_FALSE(platform.waves[0]->Looping);
  wave.SetContinue(true);
  wave.Play();
  EXPECT_TRUE(platform.waves[0]->Looping);
  EXPECT_EQ(platform.waves[0]->Plays, 2);
  EXPECT_TRUE(wave.PlayRequested());
  wave.Stop();
  EXPECT_FALSE(platform.waves[0]->Playing);
  EXPECT_FALSE(wave.PlayRequested());

  // A MIDI sound without Continue plays once; with it, as long as it may.
  midi.Play();
  EXPECT_EQ(platform.midis[0]->RepeatCount, 0);
  midi.SetContinue(true);
  midi.Play();
  EXPECT_EQ(platform.midis[0]->RepeatCount, kMidiRepeatForever);

  // A media player plays only once opened, and restarts: stop, then play.
  TFakeMediaState& media = platform.LastMedia();
  mp3.Play();
  EXPECT_EQ(media.Calls, (std::vector<std::string>{"stop"}));
  mp3.Open();
  mp3.Open();
  EXPECT_EQ(media.Opened, mp3.TemporaryFile());
  mp3.Play();
  EXPECT_EQ(media.Calls, (std::vector<std::string>{"stop", "open", "stop", "play"}));

  // Unload releases the waveform and closes the media player; the MIDI item
  // stays for the next load.
  wave.Unload();
  EXPECT_FALSE(platform.waves[0]->Alive);
  midi.Unload();
  EXPECT_TRUE(platform.midis[0]->Alive);
  mp3.Unload();
  EXPECT_EQ(media.Closes, 1);
  EXPECT_FALSE(mp3.IsOpen());
  mp3.Play();
  EXPECT_EQ(media.Count("play"), 1);

  // A media file that cannot be opened leaves the player closed and silent.
  TJigsawProject2 other;
  AddSounds(other, {kSoundCodeWma}, {});
  TPzMediaPlayer& wma = list.Add();
  wma.SetSoundFormat(sfWMA);
  wma.LoadFromStream(other.Sounds[0].Data);
  platform.LastMedia().OpenResult = false;
  wma.Open();
  wma.Play();
  EXPECT_FALSE(wma.IsOpen());
  EXPECT_EQ(platform.LastMedia().Count("play"), 0);
}

TEST_F(SoundPlayers, TheEndOfMediaLoopsWithContinueAndFinishesWithout) {
  TJigsawProject2 p;
  AddSounds(p, {kSoundCodeMp3, kSoundCodeWma}, {});
  TPzMediaPlayerCollection list(platform);
  list.LoadProjectSounds(p);
  TPzMediaPlayer& music = *list.Item(0);
  TPzMediaPlayer& jingle = *list.Item(1);
  TFakeMediaState& m = *platform.media[0];
  TFakeMediaState& j = *platform.media[1];
  int musicFinished = 0;
  int jingleFinished = 0;
  music.OnFinished = [&](TSender s) { EXPECT_EQ(s, &music), ++musicFinished; };
  jingle.OnFinished = [&](TSender) { ++jingleFinished; };

  music.SetContinue(true);
  music.Open();
  music.Play();
  platform.Notify(m, TMediaMode::mmPlaying);
  EXPECT_TRUE(music.isPlaying());
  m.Calls.clear();
  platform.Notify(m, TMediaMode::mmStopped);  // the end
  EXPECT_EQ(m.Calls, (std::vector<std::string>{"seek 0", "play"}));
  EXPECT_TRUE(music.isPlaying());
  EXPECT_EQ(musicFinished, 0);
  // A player that reports playing again at its end plays again too.
  m.Length = 500, m.Position = 500;
  m.Calls.clear();
  platform.Notify(m, TMediaMode::mmPlaying);
  EXPECT_EQ(m.Calls, (std::vector<std::string>{"seek 0", "play"}));
  // Stopped by the game, the end of the media is nothing to act on.
  music.Stop();
  m.Calls.clear();
  platform.Notify(m, TMediaMode::mmStopped);
  EXPECT_TRUE(m.Calls.empty());
  EXPECT_FALSE(music.isPlaying());

  jingle.Open();
  jingle.Play();
  platform.Notify(j, TMediaMode::mmPlaying);
  platform.Notify(j, TMediaMode::mmStopped);
  platform.Notify(j, TMediaMode::mmStopped);
  EXPECT_EQ(jingleFinished, 1);
  EXPECT_FALSE(jingle.isPlaying());
  platform.Notify(j, TMediaMode::mmPaused);
  EXPECT_FALSE(jingle.isPlaying());
  // A file that turned out not to decode closes the player.
  platform.Notify(j, TMediaMode::mmNotReady);
  EXPECT_FALSE(jingle.IsOpen());
  jingle.Play();
  EXPECT_EQ(j.Count("play"), 1);
  platform.Notify(j, TMediaMode::mmOpen);
  EXPECT_TRUE(jingle.IsOpen());

  // An OnFinished handler may free every player.
  jingle.OnFinished = [&](TSender) { list.Clear(); };
  jingle.Play();
  platform.Notify(j, TMediaMode::mmStopped);
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(SoundPlayers, TheLoopTimerRewindsAMediaPlayerFoundAtItsEnd) {
  TJigsawProject2 p;
  AddSounds(p, {kSoundCodeMp3, kSoundCodeWave}, {});
  TPzMediaPlayerCollection list(platform);
  list.LoadProjectSounds(p);
  TPzMediaPlayer& music = *list.Item(0);
  TFakeMediaState& m = platform.LastMedia();
  music.Open();
  music.Play();
  m.Length = 1000;
  m.Position = 1000;
  music.SetContinue(true);
  ASSERT_TRUE(platform.clock.WaitsReach(1));
  platform.clock.Advance(kLoopTimerInterval);
  ASSERT_TRUE(platform.handOver.PostedReach(1));
  platform.handOver.RunPending();
  EXPECT_EQ(m.Calls.back(), "seek 0");
  EXPECT_EQ(m.Position, 0);
  // Not at its end: nothing to do.
  m.Position = 400;
  ASSERT_TRUE(platform.clock.WaitsReach(2));
  platform.clock.Advance(kLoopTimerInterval);
  ASSERT_TRUE(platform.handOver.PostedReach(2));
  platform.handOver.RunPending();
  EXPECT_EQ(m.Count("seek 0"), 1);

  // Continue off stops the timer; waveform sounds loop without one.
  music.SetContinue(false);
  list.Item(1)->SetContinue(true);
  const int posted = platform.handOver.Posted();
  platform.clock.Advance(10 * kLoopTimerInterval);
  platform.handOver.RunPending();
  EXPECT_EQ(m.Count("seek 0"), 1);
  list.Clear();
  EXPECT_EQ(platform.clock.Inside(), 0);
  EXPECT_LE(platform.handOver.Posted(), posted + 1);
}


TEST_F(SoundPlayers, TemporaryFilesArePrivateUniqueAndGoWithTheirPlayers) {
  TJigsawProject2 p;
  AddSounds(p, {kSoundCodeMp3, kSoundCodeMp3, kSoundCodeWma}, {});
  p.Sounds[1].Data = p.Sounds[0].Data;
  std::vector<fs::path> first;
  {
    TSoundEvents events(platform);
    events.LoadSounds(p);
    TPzMediaPlayerCollection& list = events.Players();
    for (int i = 0; i < 3; ++i) {
      first.push_back(list.Item(i)->TemporaryFile());
      struct stat st{};
      ASSERT_EQ(::stat(first.back().c_str(), &st), 0) << first.back();
      EXPECT_EQ(st.st_mode & 0777, 0600u);
    }
    EXPECT_NE(first[0], first[1]);
    EXPECT_EQ(fileText(first[1]), "sound 1");
    // The files are reached through their descriptors only: nothing to
    // find, take over or leave behind in the folder.
    EXPECT_TRUE(filesInFolder().empty());
    EXPECT_EQ(heldFiles(), 3);
    EXPECT_EQ(platform.media[0]->Opened, fs::path());
    list.Item(0)->Open();
    EXPECT_EQ(platform.media[0]->Opened, first[0]);

    // Loading again (a new project) lets go of the files, and so does
    // reloading one player.
    events.LoadSounds(p);
    EXPECT_EQ(heldFiles(), 3);
    list.Item(0)->LoadFromStream(p.Sounds[2].Data);
    EXPECT_EQ(fileText(list.Item(0)->TemporaryFile()), "sound 3");
    EXPECT_EQ(heldFiles(), 3);
    list.Item(0)->SetSoundFormat(sfWAV);
    list.Item(0)->LoadFromStream(p.Sounds[0].Data);
    EXPECT_TRUE(list.Item(0)->TemporaryFile().empty());
    EXPECT_EQ(heldFiles(), 2);
  }
  // The seam gone (the program's exit): the last files went with it.
  EXPECT_EQ(heldFiles(), 0);

  // A folder that cannot be written gives way to the next; with none the
  // sound stays silent and the game goes on.
  platform.folders = {folder_ / "missing", folder_};
  TPzMediaPlayerCollection list(platform);
  list.LoadProjectSounds(p);
  EXPECT_FALSE(list.Item(0)->TemporaryFile().empty());
  platform.folders = {folder_ / "missing"};
  const std::size_t media = platform.media.size();
  list.LoadProjectSounds(p);
  EXPECT_TRUE(list.Item(0)->TemporaryFile().empty());
  EXPECT_EQ(platform.media.size(), media);
  list.Item(0)->Open();
  list.Item(0)->Play();
  EXPECT_TRUE(filesInFolder().empty());
}

}  // namespace
}  // namespace duduri::test
