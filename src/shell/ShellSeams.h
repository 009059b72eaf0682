#pragma once
// The places where the game flow calls window styles, skins, banners, sounds
// and HTML pages. Each is a virtual call that does nothing here; the
// implementations that play sounds, lay out skinned or full-screen windows,
// switch banners and show pages override them without touching the flow.

#include <cstdint>

namespace duduri {

class TJigsawProject2;

class TShellSeams {
 public:
  virtual ~TShellSeams() = default;

  // ---- Sounds ----
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

  // ---- Window styles and skins ----
  // The toolbar theme of a skin kind ("Default", "OfficeXP", "Stripes").
  virtual void ApplyTheme(std::uint16_t /*skinKind*/) {}
  // Lays the window out for a skinned (19) or full-screen (49) style and
  // returns true; false leaves the plain work-area layout to the window.
  virtual bool LayoutStyle(const TJigsawProject2& /*project*/, std::uint16_t /*skinKind*/,
                           int /*skinId*/) {
    return false;
  }
  // Draws the clock text into the clock panels of a skinned window.
  virtual void DrawClockPanels(const char* /*text*/) {}

  // ---- Banners ----
  // Shows the project's banners for a layout; false when it has none.
  virtual bool ShowBanners(const TJigsawProject2& /*project*/, int /*skinEntryId*/) {
    return false;
  }

  // ---- HTML pages ----
  virtual bool PageVisible() const { return false; }
  virtual void HidePage() {}
  // Closes a page shown modally with OK.
  virtual void ClosePageOk() {}
};

}  // namespace duduri
