#pragma once
// TSoundEvents: the sound seam of the running program. It keeps the player
// list of the main window and plays the project's event sounds: event slot
// N's first sound id, looked up in the project's sound list, names by its
// position there the player to play. Event 0 is the background music, which
// loops.
//
// The audio output comes from an ISoundPlatform (Qt in the player, a fake in
// tests). The seam either owns its platform or borrows one that outlives it;
// the players are freed before the platform either way.

#include <memory>

#include "shell/SoundPlayer.h"
#include "shell/SoundSeam.h"

namespace duduri {

inline constexpr int kMusicEvent = 0;

class TSoundEvents : public TSoundSeam {
 public:
  explicit TSoundEvents(ISoundPlatform& platform);
  explicit TSoundEvents(std::unique_ptr<ISoundPlatform> platform);
  ~TSoundEvents() override;

  void LoadSounds(const TJigsawProject2& project) override;
  void PlayEvent(const TJigsawProject2& project, int event) override;
  void StartBackgroundMusic(const TJigsawProject2& project, bool play) override;
  void StopBackgroundMusic() override;
  void StopSystemSound() override;

  TPzMediaPlayerCollection& Players() { return players_; }
  // The index of the event's player in the list, -1 when it has none.
  static int PlayerIndexOfEvent(const TJigsawProject2& project, int event);

 private:
  std::unique_ptr<ISoundPlatform> owned_;  // declared first: freed last
  ISoundPlatform& platform_;
  TPzMediaPlayerCollection players_;
  int musicPlayer_ = -1;
};

}  // namespace duduri
