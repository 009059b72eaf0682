#pragma once
// duduri-pack sprites: the sprite creator from the command line. Kept callable
// from other subcommands, so that `cut` can hand its --restore, --rotations
// and --shadows requests over to it.

#include <string>
#include <vector>

namespace duduri::pack {

// Runs `duduri-pack sprites` with the arguments after the subcommand name;
// returns the exit code.
int RunSprites(const std::vector<std::string>& args);

}  // namespace duduri::pack
