#include "project/Zlib.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace duduri {

std::size_t InflateLimitFor(std::size_t compressedSize) {
  if (compressedSize > kMaxInflatedBody / kMaxInflateRatio) return kMaxInflatedBody;
  return compressedSize * kMaxInflateRatio;
}

TBytes DeflateDefault(TByteSpan data) {
  if (data.size() > std::numeric_limits<uLong>::max())
    throw EProjectFormatError("The project is too large to be compressed.");
  uLongf bound = compressBound(uLong(data.size()));
  TBytes out(bound);
  const int rc = compress2(reinterpret_cast<Bytef*>(out.data()), &bound,
                           reinterpret_cast<const Bytef*>(data.data()), uLong(data.size()),
                           Z_DEFAULT_COMPRESSION);
  if (rc != Z_OK) throw EProjectFormatError("The project could not be compressed.");
  out.resize(bound);
  return out;
}

std::optional<TBytes> InflateBounded(TByteSpan data, std::size_t limit) {
  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) throw EProjectFormatError("The zlib inflater could not start.");
  TBytes out;
  std::size_t consumed = 0;
  int rc = Z_OK;
  constexpr std::size_t kInChunk = std::size_t(1) << 30;
  std::byte chunk[64 * 1024];
  try {
    while (rc != Z_STREAM_END) {
      if (zs.avail_in == 0 && consumed < data.size()) {
        const std::size_t n = std::min(kInChunk, data.size() - consumed);
        zs.next_in = reinterpret_cast<Bytef*>(const_cast<std::byte*>(data.data() + consumed));
        zs.avail_in = uInt(n);
        consumed += n;
      }
      zs.next_out = reinterpret_cast<Bytef*>(chunk);
      zs.avail_out = sizeof(chunk);
      rc = inflate(&zs, Z_NO_FLUSH);
      if (rc != Z_OK && rc != Z_STREAM_END) {
        inflateEnd(&zs);
        return std::nullopt;  // corrupt, or ended before the stream did
      }
      const std::size_t produced = sizeof(chunk) - zs.avail_out;
      if (produced > limit - out.size())
        throw EPackageTooLarge("The project package inflates to more than a project may hold.");
      out.insert(out.end(), chunk, chunk + produced);
      if (rc == Z_OK && produced == 0 && zs.avail_in == 0 && consumed >= data.size()) {
        inflateEnd(&zs);
        return std::nullopt;  // truncated
      }
    }
  } catch (...) {
    inflateEnd(&zs);
    throw;
  }
  inflateEnd(&zs);
  return out;
}

}  // namespace duduri
