#pragma once
// Start-up overlap: the first game's picture decoded on a thread of its own
// while the window system starts.
//
// The player starts the prefetch before it creates its application object.
// The thread reads the project as the game flow will (the executable's own
// package, else the project file named first on the command line), guesses
// the picture of the first game (the only one, or the first of a sequence;
// nothing for a random choice or a player's choice among several) and
// decodes it as DecodeGamePicture would. The flow then takes the project
// bytes from the prefetch instead of reading them again, and the build takes
// the decoded picture when it asks for the same bytes at the same scale; a
// wrong guess only costs the thread's work.

#include <optional>
#include <span>

#include "raster/Picture.h"
#include "shell/GameFlow.h"

namespace duduri {

// Starts the thread (once per process) and returns the environment the flow
// is to be given: its overlay now comes from the prefetch.
TShellEnvironment StartPicturePrefetch(TShellEnvironment environment);

// The prefetched picture when it was decoded from these very bytes at this
// scale (waiting for the thread to finish it); nothing otherwise. It is
// handed out once.
std::optional<TPicture> TakePrefetchedPicture(std::span<const std::byte> jpeg, int eighths);

// Waits until the thread has finished (the program must not end under it).
void WaitForPicturePrefetch();

}  // namespace duduri
