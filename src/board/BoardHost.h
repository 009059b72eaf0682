#pragma once
// What the play board needs from the program around it. The board never
// touches a window system: the shell implements these interfaces over its
// widgets and timers, and tests implement them with fakes that move time and
// idle passes by hand.
//
// Everything runs on one thread. The board calls these interfaces from its own
// entry points (host calls, mouse handlers, timer ticks, idle passes); their
// implementations call back into the board only through those entry points.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "raster/Color32.h"

namespace duduri {

class TBitmap32;

// Identity of the object that raised an event: the host control for events
// raised from the mouse handlers, the board itself, or the Clock timer. It is
// only ever compared, never dereferenced.
using TSender = const void*;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// A set of modifier keys and buttons held during a mouse event.
enum TShiftStateFlag : std::uint8_t {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
  ssDouble = 64,
};
using TShiftState = std::uint8_t;

// Virtual key codes of the arrow keys, the only keys the board acts on.
inline constexpr int kVkLeft = 0x25;
inline constexpr int kVkUp = 0x26;
inline constexpr int kVkRight = 0x27;
inline constexpr int kVkDown = 0x28;

using TMouseMoveHandler = std::function<void(TSender sender, TShiftState shift, int x, int y)>;
using TMouseUpHandler =
    std::function<void(TSender sender, TMouseButton button, TShiftState shift, int x, int y)>;

// The picture control the board draws into and whose mouse moves and releases
// it takes over. At creation the board puts its own handlers into OnMouseMove
// and OnMouseUp, calls the ones it found there at the end of its own, and puts
// them back when it is destroyed.
//
// The control must copy a handler before calling it (the board may replace or
// restore the handler, or be destroyed, while the call runs), and pass itself
// as the sender.
class TBoardControl {
 public:
  virtual ~TBoardControl() = default;

  // Size of the drawing area in pixels; the board takes it once, at creation.
  virtual int ClientWidth() const = 0;
  virtual int ClientHeight() const = 0;

  // Shows the frame at (0, 0) at once, without touching the control's own
  // picture and without asking for a repaint: the fast path used during drags.
  virtual void PaintFrame(const TBitmap32& frame) = 0;
  // Copies the frame into the control's own picture at (0, 0) and asks for a
  // repaint, so that the frame survives later repaints of the control.
  virtual void PublishFrame(const TBitmap32& frame) = 0;

  TMouseMoveHandler OnMouseMove;
  TMouseUpHandler OnMouseUp;
};

// A message-driven timer of the user-interface thread. Ticks run the handler
// given when the timer was made; a disabled timer delivers no ticks, and
// enabling it starts a full interval.
class IBoardTimer {
 public:
  virtual ~IBoardTimer() = default;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetInterval(int milliseconds) = 0;
  virtual int Interval() const = 0;
};

// The application services the board uses.
class IBoardPlatform {
 public:
  virtual ~IBoardPlatform() = default;

  // A new timer owned by the caller. A timer may be destroyed from inside its
  // own tick handler (a host that frees the board from an event a tick
  // raised does exactly that), so an implementation must not touch the timer
  // after the handler returns unless it is still alive.
  virtual std::unique_ptr<IBoardTimer> CreateTimer(int intervalMilliseconds, bool enabled,
                                                   std::function<void()> onTick) = 0;

  // The application's idle hook. While a handler is installed the application
  // calls it whenever it has no messages to process; a handler that sets
  // `done` to false is called again at once (one frame per pass). An empty
  // function removes the handler. The handler may be removed, or replaced,
  // from inside its own call.
  virtual void SetIdleHandler(std::function<void(bool& done)> handler) = 0;

  // A modal Yes/No question with a question mark; true only for Yes.
  virtual bool AskYesNo(const std::string& question) = 0;

  // The desktop's application-workspace colour, the board's default backdrop.
  virtual TColor32 WorkspaceColor() const = 0;
};

}  // namespace duduri
