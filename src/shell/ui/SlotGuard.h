#pragma once
// The boundary between Qt and the game: every place where Qt calls into the
// player (an event handler, a slot, a timer) runs its work through
// GuardSlot, so an error that nothing else handled ends in an error box with
// its message instead of unwinding through Qt, which is not built for it and
// would end the program.

#include <functional>

namespace duduri {

// Runs `body`. An exception that escapes it is shown in a modal error box
// (one at a time: a failure while the box is up goes to standard error).
void GuardSlot(const std::function<void()>& body) noexcept;

}  // namespace duduri
