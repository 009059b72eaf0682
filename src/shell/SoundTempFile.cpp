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
    // O_CREAT | O_EXCL, mode 0600, a fresh random name per try; not inherited
    // by the programs the commands start.
    const int fd = ::mkostemps(name.data(), int(suffix.size()), O_CLOEXEC);
    if (fd < 0) continue;
    if (!writeAll(fd, data)) {
      // A full disk: try the next folder, leaving nothing half written.
      ::close(fd);
      ::unlink(name.c_str());
      continue;
    }
    const std::string reach = "/proc/self/fd/" + std::to_string(fd);
    const int probe = ::open(reach.c_str(), O_RDONLY | O_CLOEXEC);
    if (probe >= 0) {
      ::close(probe);
      ::unlink(name.c_str());
      fd_ = fd;
      path_ = reach;
      named_ = false;
    } else {
      ::close(fd);
      path_ = name;
      named_ = true;
    }
    return true;
  }
  return false;
}

void TSoundTempFile::Remove() {
  if (named_) ::unlink(path_.c_str());
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  named_ = false;
  path_.clear();
}

}  // namespace duduri
