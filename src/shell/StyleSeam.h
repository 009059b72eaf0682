#pragma once
// Where the game flow lays out window styles, skins and banners. Every
// method does nothing here; the player's style implementation overrides
// them, tests record them.

#include <cstdint>

namespace duduri {

class TJigsawProject2;

class TStyleSeam {
 public:
  virtual ~TStyleSeam() = default;

  // The toolbar theme of a skin kind ("Default", "OfficeXP", "Stripes").
  virtual void ApplyTheme(std::uint16_t /*skinKind*/) {}
  // Lays the window out for a skinned (19) or full-screen (49) style and
  // returns true; false leaves the plain work-area layout to the window.
  virtual bool LayoutStyle(const TJigsawProject2& /*project*/, std::uint16_t /*skinKind*/,
                           int /*skinId*/) {
    return false;
  }
  // A clock tick: the text goes into the clock panels of a skinned window
  // and the clock item of a full-screen window's toolbar.
  virtual void DrawClockPanels(const char* /*text*/) {}
  // Shows the project's banners for a layout; false when it has none.
  virtual bool ShowBanners(const TJigsawProject2& /*project*/, int /*skinEntryId*/) {
    return false;
  }
};

}  // namespace duduri
