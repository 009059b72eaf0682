#include "shell/SoundTempFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

#include "shell/SoundBackend.h"

namespace duduri {

namespace {

constexpr const char* kTempPrefix = "duduri-";
constexpr int kRandomLetters = 6;  // mkstemps wants exactly six X

bool writeAll(int fd, TByteSpan data) {
  const char* p = reinterpret_cast<const char*>(data.data());
  std::size_t left = data.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    left -= std::size_t(n);
  }
  return true;
}

}  // namespace

std::vector<std::filesystem::path> DefaultTemporaryFolders() {
  std::vector<std::filesystem::path> folders;
  std::error_code ec;
  std::filesystem::path user = std::filesystem::temp_directory_path(ec);
  if (!ec && !user.empty()) folders.push_back(user);
  for (const char* fallback : {"/tmp", "/var/tmp"}) {
    if (std::find(folders.begin(), folders.end(), fallback) == folders.end()) {
      folders.emplace_back(fallback);
    }
  }
  return folders;
}

std::vector<std::filesystem::path> ISoundPlatform::TemporaryFolders() const {
  return DefaultTemporaryFolders();
}

bool TSoundTempFile::Create(const std::vector<std::filesystem::path>& folders,
                            const char* extension, TByteSpan data) {
  Remove();
  const std::string suffix = extension;
  for (const std::filesystem::path& folder : folders) {
    std::string name = (folder / kTempPrefix).string() + std::string(kRandomLetters, 'X') + suffix;
    // mkstemps: O_CREAT | O_EXCL, mode 0600, a fresh random name per try.
    const int fd = ::mkstemps(name.data(), int(suffix.size()));
    if (fd < 0) continue;
    const bool written = writeAll(fd, data);
    const bool closed = ::close(fd) == 0;
    if (written && closed) {
      path_ = name;
      return true;
    }
    // A full disk: try the next folder, leaving nothing half written.
    ::unlink(name.c_str());
  }
  return false;
}

void TSoundTempFile::Remove() {
  if (path_.empty()) return;
  ::unlink(path_.c_str());
  path_.clear();
}

}  // namespace duduri
