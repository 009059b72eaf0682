// The sound seam: which player an event plays, the background music, and the
// sound events the game flow raises over whole games.

#include <gtest/gtest.h>

#include "ShellTestKit.h"
#include "SoundFakes.h"
#include "shell/SoundEvents.h"

namespace duduri::test {
namespace {

TEST(SoundEvents, AnEventPlaysThePlayerOfItsFirstSoundId) {
  // Sounds 1..4; event 7 names sound 3 (then 1, which is never used), event
  // 8 an id the project does not have, event 9 nothing.
  TJigsawProject2 p;
  AddSounds(p, {kSoundCodeWave, kSoundCodeWave, kSoundCodeWave, kSoundCodeMidi}, {});
  p.SoundSlots[7].SoundIDs = {3, 1};
  p.SoundSlots[8].SoundIDs = {77};
  TFakeSoundPlatform platform;
  TSoundEvents events(platform);
  events.LoadSounds(p);
  events.PlayEvent(p, 7);
  events.PlayEvent(p, 8);
  events.PlayEvent(p, 9);
  events.PlayEvent(p, 10);
  events.PlayEvent(p, -1);
  EXPECT_EQ(platform.waves[0]->Plays, 0);
  EXPECT_EQ(platform.waves[1]->Plays, 0);
  EXPECT_EQ(platform.waves[2]->Plays, 1);
  EXPECT_EQ(TSoundEvents::PlayerIndexOfEvent(p, 7), 2);
  EXPECT_EQ(TSoundEvents::PlayerIndexOfEvent(p, 8), -1);
  // Playing again restarts the sound; events never loop.
  events.PlayEvent(p, 7);
  EXPECT_EQ(platform.waves[2]->Plays, 2);
  EXPECT_FALSE(platform.waves[2]->Looping);
  events.StopSystemSound();
  EXPECT_EQ(platform.systemSoundStops, 1);
}

TEST(SoundEvents, BackgroundMusicLoopsAndStopsTogetherWithEveryMidiSound) {
  TFakeSoundPlatform platform;
  TJigsawProject2 p;
  AddSounds(p, {kSoundCodeMp3, kSoundCodeMidi, kSoundCodeWave}, {1});
  p.SoundSlots[7].SoundIDs = {2};
  p.SoundSlots[9].SoundIDs = {3};
  TSoundEvents events(platform);
  events.LoadSounds(p);
  TFakeMediaState& music = platform.LastMedia();

  // Sound off: prepared for looping, opened, silent.
  events.StartBackgroundMusic(p, false);
  TPzMediaPlayer& player = *events.Players().Item(0);
  EXPECT_TRUE(player.Continue());
  EXPECT_TRUE(player.IsOpen());
  EXPECT_EQ(music.Count("play"), 0);
  events.StartBackgroundMusic(p, true);
  EXPECT_EQ(music.Count("play"), 1);
  EXPECT_TRUE(player.PlayRequested());

  events.PlayEvent(p, 7);
  events.PlayEvent(p, 9);
  events.StopBackgroundMusic();
  EXPECT_FALSE(player.PlayRequested());
  EXPECT_EQ(music.Calls.back(), "stop");
  EXPECT_FALSE(platform.midis[0]->Playing);
  EXPECT_TRUE(platform.waves[0]->Playing);  // only MIDI sounds stop with the music

  // A project whose event 0 has no sound: starting and stopping do nothing
  // to the other players.
  TJigsawProject2 quiet;
  AddSounds(quiet, {kSoundCodeWave}, {});
  quiet.SoundSlots[9].SoundIDs = {1};
  events.LoadSounds(quiet);
  events.StartBackgroundMusic(quiet, true);
  events.PlayEvent(quiet, 9);
  events.StopBackgroundMusic();
  EXPECT_TRUE(platform.waves.back()->Playing);
  EXPECT_FALSE(platform.waves.back()->Looping);
}

// ---- The game flow's sound events ----------------------------------------------

// Records the seam's calls in order: "load", "music on" / "music silent"
// (sound off), "music stop", "event N".
class TSoundLog : public TSoundSeam {
 public:
  void LoadSounds(const TJigsawProject2&) override { log.push_back("load"); }
  void PlayEvent(const TJigsawProject2&, int event) override {
    log.push_back("event " + std::to_string(event));
  }
  void StartBackgroundMusic(const TJigsawProject2&, bool play) override {
    log.push_back(play ? "music on" : "music silent");
  }
  void StopBackgroundMusic() override { log.push_back("music stop"); }
  std::vector<std::string> log;

  // The log from the last "load" on, without piece events (which a solved
  // game raises by the dozen); `joins` counts the "event 7" left out.
  std::vector<std::string> GameOutline(int* joins = nullptr) const {
    std::vector<std::string> outline;
    for (const std::string& entry : log) {
      if (entry == "load") outline.clear();
      if (entry == "event 7" && joins) ++*joins;
      if (entry == "event 7" || entry == "event 8" || entry == "event 9") continue;
      outline.push_back(entry);
    }
    return outline;
  }
};

TBytes withSounds(TBytes package, bool soundOn = true) {
  TJigsawProject2 p;
  p.LoadFromStream(package);
  p.Sounds.push_back({1, "music.mid", TBytes(16, std::byte{1})});
  p.SoundFormats.Add(1, kSoundCodeMidi);
  p.SoundSlots[0].SoundIDs = {1};
  p.SoundOn = soundOn ? 1 : 0;
  return p.SaveToBytes();
}

using Log = std::vector<std::string>;

TEST(SoundEventsOfTheGame, AWonGame) {
  // The player's choice with one picture: no dialog, and the won board stays.
  TFlowRig rig(withSounds(MakeTestPackage({.Pictures = 1, .Choice = kChoicePlayer})));
  TSoundLog sound;
  rig.seams.SetSound(&sound);
  rig.services.answers["Quit Morvenhal Duduri?"] = TModalResult::mrNo;
  rig.Create();
  ASSERT_NE(rig.flow->Board(), nullptr);
  EXPECT_EQ(sound.GameOutline(), (Log{"load", "music on"}));

  const int pieces = rig.flow->Board()->PiecesTotal();
  rig.SolveByDrags();
  int joins = 0;
  // Every join sounds; the win stops the music before its own sound.
  EXPECT_EQ(sound.GameOutline(&joins), (Log{"load", "music on", "music stop", "event 6"}));
  // A join is a piece or group snapping onto another: at most one fewer
  // than the pieces. Every press on a piece and every turn sounds as well.
  EXPECT_GE(joins, 1);
  EXPECT_LT(joins, pieces);
  EXPECT_GE(std::count(sound.log.begin(), sound.log.end(), "event 9"), joins);
  EXPECT_GE(std::count(sound.log.begin(), sound.log.end(), "event 8"), 1);
  const auto win = std::find(sound.log.begin(), sound.log.end(), "event 6");
  EXPECT_EQ(*(win - 2), "event 7");  // the last join came just before the win

  // The quit question: music stops, event 4 sounds, and the refusal brings
  // the music back.
  sound.log.clear();
  rig.flow->ActionDispatch(nullptr, ccExit, {});
  EXPECT_EQ(sound.log, (Log{"music stop", "event 4", "music on"}));
}

TEST(SoundEventsOfTheGame, ALostGameAndANewOne) {
  TFlowRig rig(
      withSounds(MakeTestPackage({.Pictures = 1, .TimeTrial = true, .TimeTrialTicks = 2})));
  TSoundLog sound;
  rig.seams.SetSound(&sound);
  rig.services.playAgain = {TModalResult::mrOk, TModalResult::mrCancel};
  rig.Create();
  rig.TickClock(3);
  // Lost, "Play Again": the music stops, event 5 sounds, the new game loads
  // its sounds and starts its music.
  const Log& log = sound.log;
  const auto lose = std::find(log.begin(), log.end(), "event 5");
  ASSERT_NE(lose, log.end());
  EXPECT_EQ(*(lose - 1), "music stop");
  EXPECT_EQ(sound.GameOutline(), (Log{"load", "music on"}));
  EXPECT_EQ(rig.flow->GamesBuilt(), 2);
  // Lost again, "Stop": nothing plays after the lose sound but the close.
  rig.TickClock(3);
  EXPECT_TRUE(rig.view.closed);
  EXPECT_EQ(std::count(log.begin(), log.end(), "event 5"), 2);
  EXPECT_EQ(std::count(log.begin(), log.end(), "music on"), 2);
}

TEST(SoundEventsOfTheGame, SoundOffPlaysNoEventAndKeepsTheMusicSilent) {
  TFlowRig rig(withSounds(MakeTestPackage({.Pictures = 1, .Choice = kChoicePlayer}), false));
  TSoundLog sound;
  rig.seams.SetSound(&sound);
  rig.Create();
  rig.SolveByDrags();
  for (const std::string& entry : sound.log) {
    EXPECT_EQ(entry.rfind("event", 0), std::string::npos) << entry;
    EXPECT_NE(entry, "music on");
  }
  EXPECT_EQ(sound.GameOutline().at(1), "music silent");

  // A project without sounds never calls for events or music at all.
  TFlowRig silent(MakeTestPackage({.Pictures = 1, .Choice = kChoicePlayer}));
  TSoundLog none;
  silent.seams.SetSound(&none);
  silent.Create();
  silent.SolveByDrags();
  EXPECT_EQ(none.GameOutline(), (Log{"load", "music stop"}));
}

}  // namespace
}  // namespace duduri::test
