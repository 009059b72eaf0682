#include "shell/FileWriting.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

namespace duduri {

namespace {

std::string describe(const char* action, const std::filesystem::path& path, int error) {
  return std::string("Cannot ") + action + " '" + path.string() + "': " + std::strerror(error);
}

std::string temporaryBeside(const std::filesystem::path& path) {
  static std::mt19937_64 generator{std::random_device{}()};
  char suffix[24];
  std::snprintf(suffix, sizeof suffix, ".%012llx.tmp",
                static_cast<unsigned long long>(generator() & 0xFFFFFFFFFFFFull));
  return path.string() + suffix;
}

// Writes everything or reports the error of the write that stopped.
int writeAll(int fd, std::span<const std::byte> data) {
  const std::byte* p = data.data();
  std::size_t left = data.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, p, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (written == 0) return EIO;
    p += written;
    left -= std::size_t(written);
  }
  return 0;
}

}  // namespace

void WriteFileReplacing(const std::filesystem::path& path, std::span<const std::byte> data) {
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    temporary = temporaryBeside(path);
    // 0666 lets the umask decide, as for any file the user creates.
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) throw EFileCreateError(describe("create", path, errno));
  }
  if (fd < 0) throw EFileCreateError(describe("create", path, EEXIST));

  auto giveUp = [&](int error) {
    if (fd >= 0) ::close(fd);
    ::unlink(temporary.c_str());
    throw EFileWriteError(describe("write", path, error));
  };
  if (const int error = writeAll(fd, data)) giveUp(error);
  struct stat existing {};
  if (::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
    ::fchmod(fd, existing.st_mode & 07777);
  }
  if (::fsync(fd) != 0) giveUp(errno);
  const int closed = ::close(fd);
  fd = -1;
  if (closed != 0) giveUp(errno);
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    throw EFileCreateError(describe("replace", path, error));
  }
  // Make the rename itself durable; a failure here loses nothing written.
  std::filesystem::path folder = path.parent_path();
  if (folder.empty()) folder = ".";
  const int directory = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directory >= 0) {
    ::fsync(directory);
    ::close(directory);
  }
}

}  // namespace duduri
