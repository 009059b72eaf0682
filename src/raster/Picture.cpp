// Format detection, size limits, dispatch by content and the file helpers
// shared by every picture reader and writer.

#include "raster/Picture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <random>
#include <string>

#include "raster/Error.h"

namespace duduri {

namespace {

// Pictures are at most 16384 x 16384 x 4 bytes = 1 GiB decoded; files a
// player opens are far below this, so anything bigger is not a picture.
constexpr std::int64_t kMaxFileBytes = std::int64_t(512) << 20;

bool startsWith(std::span<const std::byte> data, std::initializer_list<unsigned> prefix) {
  if (data.size() < prefix.size()) return false;
  std::size_t i = 0;
  for (unsigned b : prefix) {
    if (std::to_integer<unsigned>(data[i++]) != b) return false;
  }
  return true;
}

const char* formatName(TPictureFormat format) {
  switch (format) {
    case TPictureFormat::pfBMP:
      return "BMP";
    case TPictureFormat::pfJPEG:
      return "JPEG";
    case TPictureFormat::pfPNG:
      return "PNG";
    case TPictureFormat::pfGIF:
      return "GIF";
    case TPictureFormat::pfWEBP:
      return "WebP";
    case TPictureFormat::pfUnknown:
      break;
  }
  return "unknown";
}

[[noreturn]] void throwUnsupported(TPictureFormat format) {
  if (format == TPictureFormat::pfUnknown) {
    throw EPictureError("Unsupported picture format (neither JPEG nor BMP)");
  }
  throw EPictureError(std::string("Unsupported picture format: ") + formatName(format) +
                      " pictures cannot be read, only JPEG and BMP");
}

[[noreturn]] void throwFileError(const char* action, const std::filesystem::path& path, int error) {
  throw EPictureError(std::string("Cannot ") + action + " '" + path.string() +
                      "': " + std::strerror(error));
}

// Closes a descriptor on every path out of the writer.
struct FileDescriptor {
  int fd = -1;
  ~FileDescriptor() {
    if (fd >= 0) ::close(fd);
  }
  int release() {
    int result = fd;
    fd = -1;
    return result;
  }
};

bool writeAll(int fd, std::span<const std::byte> data) {
  const std::byte* p = data.data();
  std::size_t left = data.size();
  while (left > 0) {
    ssize_t written = ::write(fd, p, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += written;
    left -= std::size_t(written);
  }
  return true;
}

std::string temporaryName(const std::filesystem::path& path) {
  static std::mt19937_64 generator{std::random_device{}()};
  char suffix[24];
  std::snprintf(suffix, sizeof suffix, ".%012llx.tmp",
                static_cast<unsigned long long>(generator() & 0xFFFFFFFFFFFFull));
  return path.string() + suffix;
}

}  // namespace

void CheckPictureSize(std::int64_t width, std::int64_t height, const char* format) {
  if (width <= 0 || height <= 0) {
    throw EPictureError(std::string("Invalid ") + format + " picture: size " +
                        std::to_string(width) + "x" + std::to_string(height));
  }
  if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels) {
    throw EPictureError(std::string(format) + " picture too large: " + std::to_string(width) + "x" +
                        std::to_string(height) + " (at most " + std::to_string(kMaxPictureSide) +
                        " on a side and " + std::to_string(kMaxPicturePixels) + " pixels)");
  }
}

void AllocatePicturePixels(std::vector<TColor32>& pixels, std::int32_t width, std::int32_t height,
                           const char* format, bool reserveOnly) {
  const std::size_t count = std::size_t(width) * std::size_t(height);
  try {
    if (reserveOnly) {
      pixels.clear();
      pixels.reserve(count);
    } else {
      pixels.assign(count, 0);
    }
  } catch (const std::bad_alloc&) {
    throw EPictureError(std::string("Not enough memory for a ") + std::to_string(width) + "x" +
                        std::to_string(height) + " " + format + " picture");
  }
}

TPictureFormat DetectPictureFormat(std::span<const std::byte> data) {
  if (startsWith(data, {0xFF, 0xD8, 0xFF})) return TPictureFormat::pfJPEG;
  if (startsWith(data, {'B', 'M'})) return TPictureFormat::pfBMP;
  if (startsWith(data, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})) return TPictureFormat::pfPNG;
  if (startsWith(data, {'G', 'I', 'F', '8', '7', 'a'}) ||
      startsWith(data, {'G', 'I', 'F', '8', '9', 'a'})) {
    return TPictureFormat::pfGIF;
  }
  if (startsWith(data, {'R', 'I', 'F', 'F'}) && data.size() >= 12 &&
      std::to_integer<char>(data[8]) == 'W' && std::to_integer<char>(data[9]) == 'E' &&
      std::to_integer<char>(data[10]) == 'B' && std::to_integer<char>(data[11]) == 'P') {
    return TPictureFormat::pfWEBP;
  }
  return TPictureFormat::pfUnknown;
}

TPictureSize ReadPictureSize(std::span<const std::byte> data) {
  TPictureFormat format = DetectPictureFormat(data);
  switch (format) {
    case TPictureFormat::pfJPEG:
      return ReadJpegSize(data);
    case TPictureFormat::pfBMP:
      return ReadBmpSize(data);
    default:
      throwUnsupported(format);
  }
}

TPicture DecodePicture(std::span<const std::byte> data) {
  TPictureFormat format = DetectPictureFormat(data);
  switch (format) {
    case TPictureFormat::pfJPEG:
      return DecodeJpeg(data);
    case TPictureFormat::pfBMP:
      return DecodeBmp(data);
    default:
      throwUnsupported(format);
  }
}

TPicture LoadPictureFile(const std::filesystem::path& path) {
  std::vector<std::byte> bytes = ReadFileBytes(path);
  try {
    return DecodePicture(bytes);
  } catch (const EPictureError& e) {
    // The reader's message names the format; the user also needs to know
    // which of their files it was.
    throw EPictureError(path.filename().string() + ": " + e.what());
  }
}

std::vector<std::byte> ReadFileBytes(const std::filesystem::path& path) {
  FileDescriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) throwFileError("open", path, errno);
  struct stat info {};
  if (::fstat(file.fd, &info) != 0) throwFileError("read", path, errno);
  if (S_ISDIR(info.st_mode)) throwFileError("read", path, EISDIR);
  if (S_ISREG(info.st_mode) && info.st_size > kMaxFileBytes) {
    throw EPictureError("File too large: '" + path.string() + "' has " +
                        std::to_string(info.st_size) + " bytes (at most " +
                        std::to_string(kMaxFileBytes) + ")");
  }
  std::vector<std::byte> bytes;
  if (S_ISREG(info.st_mode)) bytes.reserve(std::size_t(info.st_size));
  // Read to the end rather than trusting the size: the file may grow or be
  // something other than a regular file.
  std::byte chunk[65536];
  for (;;) {
    ssize_t got = ::read(file.fd, chunk, sizeof chunk);
    if (got < 0) {
      if (errno == EINTR) continue;
      throwFileError("read", path, errno);
    }
    if (got == 0) break;
    if (std::int64_t(bytes.size()) + got > kMaxFileBytes) {
      throw EPictureError("File too large: '" + path.string() + "' (at most " +
                          std::to_string(kMaxFileBytes) + " bytes)");
    }
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  return bytes;
}

void WriteFileAtomically(const std::filesystem::path& path, std::span<const std::byte> data) {
  std::string temporary;
  FileDescriptor file;
  for (int attempt = 0; attempt < 16 && file.fd < 0; ++attempt) {
    temporary = temporaryName(path);
    // 0666 lets the umask decide, as for any file the user creates.
    file.fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (file.fd < 0 && errno != EEXIST) throwFileError("write", path, errno);
  }
  if (file.fd < 0) throwFileError("write", path, EEXIST);

  auto fail = [&](int error) {
    ::close(file.release());
    ::unlink(temporary.c_str());
    throwFileError("write", path, error);
  };
  if (!writeAll(file.fd, data)) fail(errno);
  // Replacing a file keeps its permissions, so a shared picture stays shared.
  struct stat existing {};
  if (::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
    ::fchmod(file.fd, existing.st_mode & 07777);
  }
  if (::fsync(file.fd) != 0) fail(errno);
  if (::close(file.release()) != 0) {
    int error = errno;
    ::unlink(temporary.c_str());
    throwFileError("write", path, error);
  }
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    int error = errno;
    ::unlink(temporary.c_str());
    throwFileError("write", path, error);
  }
  // Make the rename itself durable; a failure here loses nothing already written.
  std::filesystem::path folder = path.parent_path();
  if (folder.empty()) folder = ".";
  FileDescriptor directory{::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  if (directory.fd >= 0) ::fsync(directory.fd);
}

}  // namespace duduri
