#pragma once
// TSoundTempFile: the file an MP3 or WMA sound is written to for the media
// player. It is made with mkostemps, so its name is unique and unpredictable,
// it is created exclusively (no file or link of that name can be taken over)
// and only its owner may read it. Once written it is unlinked at once and
// reached through the descriptor kept open (/proc/self/fd/N): nothing is left
// behind however the program ends, even killed. Where /proc cannot reach
// it, the named file stays until the object goes (player destroyed, new
// project loaded, program exit).

#include <filesystem>
#include <vector>

#include "project/ByteStream.h"

namespace duduri {

class TSoundTempFile {
 public:
  TSoundTempFile() = default;
  ~TSoundTempFile() { Remove(); }
  TSoundTempFile(const TSoundTempFile&) = delete;
  TSoundTempFile& operator=(const TSoundTempFile&) = delete;

  // Writes `data` to a new "duduri-XXXXXX<extension>" in the first of
  // `folders` where that works; false (and nothing left behind) when none
  // does. A file made before is removed first.
  bool Create(const std::vector<std::filesystem::path>& folders, const char* extension,
              TByteSpan data);
  void Remove();
  bool Exists() const { return !path_.empty(); }
  // Where the data can be read: /proc/self/fd/N, or the named file.
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
  int fd_ = -1;        // kept open while the file is unlinked
  bool named_ = false;  // the file still has its name in the folder
};

// The user's temporary folder ($TMPDIR, else /tmp), then /tmp and /var/tmp.
std::vector<std::filesystem::path> DefaultTemporaryFolders();

}  // namespace duduri
