#pragma once
// What the monkey plays on: the player's game flow behind some window. The
// headless hands run it on the shell's fakes and move time by hand; the Qt
// hands run the real main window on the offscreen platform. Either way the
// monkey only presses, moves, releases, types, clicks menus, dispatches
// commands and lets timers tick; every dialog that opens is answered by a
// TMonkeyAnswers the hands were given.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "board/BoardHost.h"
#include "board/SpriteDraw.h"
#include "project/ByteStream.h"

namespace duduri {
class TGameFlow;
struct TMenuNode;
}  // namespace duduri

namespace duduri::monkey {

// How a run of the program starts.
struct TMonkeyStart {
  TBytes Package;             // the project
  bool FromFile = false;      // a project file on the command line, else the executable's own
  bool DeleteAtEnd = false;   // with FromFile: "-T", the file goes when the program ends
  std::uint64_t Seed = 1;     // the program's own random layouts
};

class IMonkeyHands {
 public:
  virtual ~IMonkeyHands() = default;

  // The game logic of the program that runs, nullptr when none does.
  virtual TGameFlow* Flow() = 0;
  // Starts the program; the project file (when FromFile) is `projectFile`.
  virtual void Start(const TMonkeyStart& start, const std::filesystem::path& projectFile) = 0;
  // Ends the program as it ends after its window closed (the window is
  // destroyed, the high scores saved).
  virtual void Stop() = 0;
  // The window has closed, or the program ended itself.
  virtual bool Ended() = 0;

  // ---- Input on the play area, as the window delivers it ----
  virtual TBoardPoint Press(int x, int y, TMouseButton button, TShiftState shift) = 0;
  virtual void Move(int x, int y, TShiftState shift) = 0;
  virtual void Release(int x, int y, TMouseButton button, TShiftState shift) = 0;
  // A key pressed on the window (`onPlayArea`: on the play area itself).
  virtual void Key(int key, TShiftState shift, bool onPlayArea) = 0;
  // A toolbar or popup item clicked.
  virtual void Click(const TMenuNode& node) = 0;

  // ---- Time ----
  virtual void ClockTick() = 0;
  // False when no solver animation runs.
  virtual bool AnimationTick() = 0;
  virtual void Idle() = 0;

  // ---- What the window shows ----
  virtual std::string StatusText(int panel) = 0;
  virtual std::string Title() = 0;
  // The solution window's picture width, or -1 while it is hidden.
  virtual int SolutionShown() = 0;
};

}  // namespace duduri::monkey
