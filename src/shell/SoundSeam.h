#pragma once
// Where the game flow plays sounds. Every method does nothing here; the
// player's sound implementation overrides them, tests record them.

namespace duduri {

class TJigsawProject2;

class TSoundSeam {
 public:
  virtual ~TSoundSeam() = default;

  // Loads the project's sound list into players, one per sound.
  virtual void LoadSounds(const TJigsawProject2& /*project*/) {}
  // Plays the first sound of event slot 0..9 (the caller checks that sounds
  // exist and are on).
  virtual void PlayEvent(const TJigsawProject2& /*project*/, int /*event*/) {}
  // Event 0 in loop mode; `play` is false when sound is off (the player is
  // prepared but stays silent).
  virtual void StartBackgroundMusic(const TJigsawProject2& /*project*/, bool /*play*/) {}
  // Stops event 0's player and then every MIDI player.
  virtual void StopBackgroundMusic() {}
  virtual void StopSystemSound() {}
};

}  // namespace duduri
