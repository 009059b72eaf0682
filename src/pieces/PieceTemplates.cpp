#include "pieces/PieceTemplates.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <istream>
#include <limits>
#include <string>

namespace duduri {

namespace {

[[noreturn]] void fail(const std::string& what) {
  throw ETemplateError("Invalid template set: " + what);
}

// Bounds-checked little-endian reader over the decompressed body.
class BodyReader {
 public:
  explicit BodyReader(std::span<const std::byte> data) : data_(data) {}

  std::size_t Remaining() const { return data_.size() - pos_; }

  void Need(std::size_t n, const std::string& what) const {
    if (n > Remaining()) fail(what + " runs past the end of the data");
  }
  std::uint8_t U8(const std::string& what) {
    Need(1, what);
    return std::uint8_t(data_[pos_++]);
  }
  std::uint16_t U16(const std::string& what) {
    Need(2, what);
    const auto v = std::uint16_t(std::uint8_t(data_[pos_]) | (std::uint8_t(data_[pos_ + 1]) << 8));
    pos_ += 2;
    return v;
  }
  std::vector<std::uint8_t> Bytes(std::size_t n, const std::string& what) {
    Need(n, what);
    std::vector<std::uint8_t> out(n);
    if (n) std::memcpy(out.data(), data_.data() + pos_, n);
    pos_ += n;
    return out;
  }

 private:
  std::span<const std::byte> data_;
  std::size_t pos_ = 0;
};

std::vector<std::byte> inflateBounded(std::span<const std::byte> compressed) {
  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) fail("zlib could not be initialised");
  std::vector<std::byte> out;
  std::size_t capacity = std::min<std::size_t>(kMaxTemplateSetBytes,
                                               std::max<std::size_t>(4096, compressed.size() * 4));
  out.resize(capacity);
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<std::byte*>(compressed.data()));
  std::size_t inLeft = compressed.size();
  std::size_t produced = 0;
  int rc = Z_OK;
  while (rc != Z_STREAM_END) {
    if (produced == out.size()) {
      if (out.size() >= kMaxTemplateSetBytes) {
        inflateEnd(&zs);
        fail("the body inflates past 64 MiB");
      }
      out.resize(std::min(kMaxTemplateSetBytes, out.size() * 2));
    }
    const auto inChunk = uInt(std::min<std::size_t>(inLeft, 1u << 30));
    const auto outChunk = uInt(std::min<std::size_t>(out.size() - produced, 1u << 30));
    zs.avail_in = inChunk;
    zs.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
    zs.avail_out = outChunk;
    rc = inflate(&zs, Z_NO_FLUSH);
    inLeft -= inChunk - zs.avail_in;
    produced += outChunk - zs.avail_out;
    if (rc == Z_STREAM_END) break;
    if (rc == Z_BUF_ERROR && zs.avail_out != 0) {
      inflateEnd(&zs);
      fail("the zlib stream is cut short");
    }
    if (rc != Z_OK && rc != Z_BUF_ERROR) {
      const std::string msg = zs.msg ? zs.msg : "error " + std::to_string(rc);
      inflateEnd(&zs);
      fail("bad zlib stream (" + msg + ")");
    }
  }
  inflateEnd(&zs);
  out.resize(produced);
  return out;
}

std::int32_t readI32(const unsigned char* p) {
  return std::int32_t(std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) |
                      (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24));
}

std::size_t checkedLength(std::int32_t length) {
  if (length < 0) fail("negative body length " + std::to_string(length));
  if (std::size_t(length) > kMaxTemplateSetStoredBytes)
    fail("body length " + std::to_string(length) + " is larger than any template set");
  return std::size_t(length);
}

}  // namespace

std::size_t CheckMaskRuns(std::span<const std::uint8_t> mask, int width, int height,
                          const char* what) {
  if (mask.empty()) return 0;
  const std::size_t size = mask.size();
  std::size_t p = 0;
  auto need = [&](std::size_t n) {
    if (n > size - p)
      fail(std::string(what) + " needs more than its " + std::to_string(size) + " bytes");
  };
  for (int r = 0; r < height; ++r) {
    int c = 0;
    while (c < width) {
      need(1);
      const std::uint8_t k = mask[p];
      if (k <= 64) {
        need(2);
        const std::uint8_t t = mask[p + 1];
        if (t == 0 || t == 208) {
          p += 2;
          c += k;
        } else if (t == 209) {
          need(2 + std::size_t(k));
          p += 2 + std::size_t(k);
          c += k;
        } else {
          p += 1;  // the count is ignored; the next byte is read as a code
        }
      } else if (k <= 192) {
        const std::size_t n = k <= 128 ? k - 64u : k - 128u;
        need(1 + n);
        p += 1 + n;
        c += int(n);
      } else {
        p += 1;
        c += k - 192;
      }
    }
  }
  return p;
}

TTemplateSet ParseTemplateBody(std::span<const std::byte> body) {
  BodyReader in(body);
  TTemplateSet set;
  const std::uint8_t gridCount = in.U8("the grid count");
  in.Need(std::size_t(gridCount) * 2, "the grid table");
  set.GridTable.resize(gridCount);
  for (std::size_t i = 0; i < gridCount; ++i) {
    TGridEntry& e = set.GridTable[i];
    e.Width = in.U8("the grid table");
    e.Height = in.U8("the grid table");
    if (e.Width == 0 || e.Height == 0)
      fail("grid entry " + std::to_string(i) + " is " + std::to_string(e.Width) + "x" +
           std::to_string(e.Height));
  }
  const std::uint16_t templateCount = in.U16("the template count");
  // Every template takes at least 7 bytes; refuse counts the data cannot hold
  // before reserving room for them.
  in.Need(std::size_t(templateCount) * 7, std::to_string(templateCount) + " templates");
  set.Templates.reserve(templateCount);
  for (std::size_t i = 0; i < templateCount; ++i) {
    const std::string name = "template " + std::to_string(i);
    TPzPieceTemplate t;
    t.Width = in.U8(name);
    t.Height = in.U8(name);
    if (t.Width == 0 || t.Height == 0)
      fail(name + " is " + std::to_string(t.Width) + "x" + std::to_string(t.Height));
    const std::uint16_t sizeA = in.U16(name);
    t.MaskA = in.Bytes(sizeA, "mask A of " + name);
    const std::uint16_t sizeB = in.U16(name);
    t.MaskB = in.Bytes(sizeB, "mask B of " + name);
    const std::uint8_t flags = in.U8(name);
    t.Vertical = (flags & 0x80) != 0;
    t.GridIndex = flags & 0x7F;
    CheckMaskRuns(t.MaskA, t.Width, t.Height, ("mask A of " + name).c_str());
    CheckMaskRuns(t.MaskB, t.Width, t.Height, ("mask B of " + name).c_str());
    set.Templates.push_back(std::move(t));
  }
  return set;
}

TTemplateSet ReadTemplateSet(std::span<const std::byte> data, std::size_t* consumed) {
  if (data.size() < 4) fail("the length field is cut short");
  const std::size_t length =
      checkedLength(readI32(reinterpret_cast<const unsigned char*>(data.data())));
  if (length > data.size() - 4)
    fail("the body is cut short (" + std::to_string(data.size() - 4) + " of " +
         std::to_string(length) + " bytes)");
  TTemplateSet set = ParseTemplateBody(inflateBounded(data.subspan(4, length)));
  if (consumed) *consumed = 4 + length;
  return set;
}

TTemplateSet ReadTemplateSet(std::istream& in) {
  unsigned char header[4];
  if (!in.read(reinterpret_cast<char*>(header), 4)) fail("the length field is cut short");
  const std::size_t length = checkedLength(readI32(header));
  // Read in steps so that a length field that lies costs no more memory than
  // the bytes the stream really holds.
  std::vector<std::byte> body;
  constexpr std::size_t kStep = 1 << 20;
  while (body.size() < length) {
    const std::size_t chunk = std::min(kStep, length - body.size());
    const std::size_t at = body.size();
    body.resize(at + chunk);
    in.read(reinterpret_cast<char*>(body.data() + at), std::streamsize(chunk));
    if (std::size_t(in.gcount()) != chunk)
      fail("the body is cut short (" + std::to_string(at + std::size_t(in.gcount())) + " of " +
           std::to_string(length) + " bytes)");
  }
  return ParseTemplateBody(inflateBounded(body));
}

TTemplateSet ReadTemplateSetFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ETemplateError("Cannot open file \"" + path.string() + "\".");
  return ReadTemplateSet(in);
}

std::vector<std::byte> EncodeTemplateBody(const TTemplateSet& set) {
  auto bad = [](const std::string& what) {
    throw ETemplateError("Template set does not fit its format: " + what);
  };
  if (set.GridTable.size() > 255) bad("more than 255 grid entries");
  if (set.Templates.size() > 65535) bad("more than 65535 templates");
  std::vector<std::byte> out;
  auto u8 = [&](unsigned v) { out.push_back(std::byte(v & 0xFF)); };
  auto u16 = [&](unsigned v) {
    u8(v);
    u8(v >> 8);
  };
  u8(unsigned(set.GridTable.size()));
  for (const TGridEntry& e : set.GridTable) {
    u8(e.Width);
    u8(e.Height);
  }
  u16(unsigned(set.Templates.size()));
  for (std::size_t i = 0; i < set.Templates.size(); ++i) {
    const TPzPieceTemplate& t = set.Templates[i];
    const std::string name = "template " + std::to_string(i);
    if (t.Width > 255 || t.Height > 255) bad(name + " is larger than 255 pixels");
    if (t.MaskA.size() > 65535 || t.MaskB.size() > 65535) bad(name + " has a mask above 64 KiB");
    if (t.GridIndex > 127) bad(name + " names grid entry " + std::to_string(t.GridIndex));
    u8(t.Width);
    u8(t.Height);
    u16(unsigned(t.MaskA.size()));
    for (std::uint8_t b : t.MaskA) u8(b);
    u16(unsigned(t.MaskB.size()));
    for (std::uint8_t b : t.MaskB) u8(b);
    u8((t.Vertical ? 0x80u : 0u) | t.GridIndex);
  }
  return out;
}

std::vector<std::byte> WriteTemplateSet(const TTemplateSet& set, int level) {
  const std::vector<std::byte> body = EncodeTemplateBody(set);
  uLongf bound = compressBound(uLong(body.size()));
  std::vector<std::byte> out(4 + bound);
  if (compress2(reinterpret_cast<Bytef*>(out.data() + 4), &bound,
                reinterpret_cast<const Bytef*>(body.data()), uLong(body.size()), level) != Z_OK)
    throw ETemplateError("Template set could not be compressed.");
  if (bound > std::uint64_t(std::numeric_limits<std::int32_t>::max()))
    throw ETemplateError("Template set does not fit its format: body above 2 GiB");
  out.resize(4 + bound);
  const auto len = std::uint32_t(bound);
  for (int i = 0; i < 4; ++i) out[std::size_t(i)] = std::byte((len >> (8 * i)) & 0xFF);
  return out;
}

}  // namespace duduri
