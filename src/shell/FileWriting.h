#pragma once
// How the player writes the files a user asks for (saved games, pictures):
// through a temporary file beside the target that is renamed over it once it
// is complete, so a failure at any point leaves the previous file as it was
// and no partial file behind.
//
// The two ways of failing are told apart because the player reports them
// differently: the file could not be made or put in place at all (a folder
// that does not exist or cannot be written, a name that cannot be used), or
// writing its bytes failed part of the way (a full disk, a file size limit).

#include <cstddef>
#include <filesystem>
#include <span>

#include "raster/Error.h"

namespace duduri {

// The file could not be created, or the finished file could not replace the
// target.
class EFileCreateError : public EDuduriError {
 public:
  using EDuduriError::EDuduriError;
};

// Writing the bytes, or making them durable, failed after the file was made.
class EFileWriteError : public EDuduriError {
 public:
  using EDuduriError::EDuduriError;
};

// Writes `data` to `path` as described above. An existing target keeps its
// permissions; a new one gets the user's default permissions.
void WriteFileReplacing(const std::filesystem::path& path, std::span<const std::byte> data);

}  // namespace duduri
