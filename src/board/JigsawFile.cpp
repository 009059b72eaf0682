#include "board/JigsawFile.h"

#include <bit>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>

namespace duduri {

namespace {

const char* const kGenericError = "Error";

// Where the reader takes its bytes from: the whole file is never needed in
// memory (an old file's trailing picture can be large and is only checked
// for its signature), so the reader asks for exactly what it parses and
// knows how much is left before it allocates anything.
class TByteSource {
 public:
  virtual ~TByteSource() = default;
  virtual std::uint64_t Remaining() const = 0;
  // Throws EJigsawFileError("Error") when fewer than n bytes are left.
  virtual void Read(std::byte* out, std::size_t n) = 0;
};

class TSpanSource final : public TByteSource {
 public:
  explicit TSpanSource(std::span<const std::byte> data) : data_(data) {}
  std::uint64_t Remaining() const override { return data_.size() - position_; }
  void Read(std::byte* out, std::size_t n) override {
    if (n > Remaining()) throw EJigsawFileError(kGenericError);
    if (n > 0) std::memcpy(out, data_.data() + position_, n);
    position_ += n;
  }

 private:
  std::span<const std::byte> data_;
  std::size_t position_ = 0;
};

struct TFileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

class TFileSource final : public TByteSource {
 public:
  TFileSource(std::FILE* file, std::uint64_t size) : file_(file), remaining_(size) {}
  std::uint64_t Remaining() const override { return remaining_; }
  void Read(std::byte* out, std::size_t n) override {
    if (n > remaining_) throw EJigsawFileError(kGenericError);
    if (n > 0 && std::fread(out, 1, n, file_) != n) throw EJigsawFileError(kGenericError);
    remaining_ -= n;
  }

 private:
  std::FILE* file_;
  std::uint64_t remaining_;
};

std::uint32_t ReadU32(TByteSource& source) {
  std::byte b[4];
  source.Read(b, 4);
  return std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 |
         std::uint32_t(b[3]) << 24;
}

std::int32_t ReadI32(TByteSource& source) {
  return std::bit_cast<std::int32_t>(ReadU32(source));
}

std::uint16_t ReadU16(TByteSource& source) {
  std::byte b[2];
  source.Read(b, 2);
  return std::uint16_t(std::uint16_t(b[0]) | std::uint16_t(b[1]) << 8);
}

std::uint8_t ReadU8(TByteSource& source) {
  std::byte b;
  source.Read(&b, 1);
  return std::uint8_t(b);
}

std::int32_t GetI32(const std::byte* p) {
  return std::bit_cast<std::int32_t>(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                                     std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24);
}

void PutI32(std::byte* p, std::int32_t value) {
  const auto u = std::bit_cast<std::uint32_t>(value);
  p[0] = std::byte(u);
  p[1] = std::byte(u >> 8);
  p[2] = std::byte(u >> 16);
  p[3] = std::byte(u >> 24);
}

TSavedPiece DecodeSavedPiece(const std::byte* p) {
  TSavedPiece piece;
  piece.LeftShape = std::uint8_t(p[0]);
  piece.TopShape = std::uint8_t(p[1]);
  piece.RightShape = std::uint8_t(p[2]);
  piece.BottomShape = std::uint8_t(p[3]);
  piece.X = GetI32(p + 4);
  piece.Y = GetI32(p + 8);
  piece.HomeX = GetI32(p + 12);
  piece.HomeY = GetI32(p + 16);
  piece.StartX = GetI32(p + 20);
  piece.StartY = GetI32(p + 24);
  piece.Width = GetI32(p + 28);
  piece.Height = GetI32(p + 32);
  piece.Rotation = std::uint8_t(p[36]);
  piece.StartRotation = std::uint8_t(p[37]);
  piece.Placed = std::uint8_t(p[38]);
  piece.Spare = 0;  // reserved: ignored on reading
  return piece;
}

void EncodeSavedPiece(const TSavedPiece& piece, std::byte* p) {
  p[0] = std::byte(piece.LeftShape);
  p[1] = std::byte(piece.TopShape);
  p[2] = std::byte(piece.RightShape);
  p[3] = std::byte(piece.BottomShape);
  PutI32(p + 4, piece.X);
  PutI32(p + 8, piece.Y);
  PutI32(p + 12, piece.HomeX);
  PutI32(p + 16, piece.HomeY);
  PutI32(p + 20, piece.StartX);
  PutI32(p + 24, piece.StartY);
  PutI32(p + 28, piece.Width);
  PutI32(p + 32, piece.Height);
  p[36] = std::byte(piece.Rotation);
  p[37] = std::byte(piece.StartRotation);
  p[38] = std::byte(piece.Placed);
  p[39] = std::byte{0};
}

std::string ReadExePath(TByteSource& source) {
  const std::int32_t length = ReadI32(source);
  if (length < 0 || std::uint64_t(length) > source.Remaining())
    throw EJigsawFileError(kGenericError);
  std::string path(std::size_t(length), '\0');
  source.Read(reinterpret_cast<std::byte*>(path.data()), path.size());
  return path;
}

TJigsawArrayData ReadRecords(TByteSource& source, std::int32_t columns, std::int32_t rows) {
  // The count comes from the header: bound it by what the file still holds
  // before a single record is allocated.
  if (columns < 0 || rows < 0) throw EJigsawFileError(kGenericError);
  const std::uint64_t count = std::uint64_t(columns) * std::uint64_t(rows);
  if (count > source.Remaining() / kSavedPieceBytes) throw EJigsawFileError(kGenericError);
  TJigsawArrayData pieces;
  pieces.reserve(std::size_t(count));
  std::byte record[kSavedPieceBytes];
  for (std::uint64_t k = 0; k < count; ++k) {
    source.Read(record, kSavedPieceBytes);
    pieces.push_back(DecodeSavedPiece(record));
  }
  return pieces;
}

// The trailing picture of an old file is only checked: it is never used.
void CheckTrailingPicture(TByteSource& source) {
  if (source.Remaining() == 0) return;
  std::byte signature[2];
  source.Read(signature, 2);
  if (signature[0] != std::byte{0x42} || signature[1] != std::byte{0x4D})
    throw EJigsawFileError(kGenericError);
}

// Parses into `file`, whose header fields hold the values that a version
// not carrying them keeps.
void Parse(TByteSource& source, const std::string& name, TJigsawFile& file) {
  const std::int32_t magic = ReadI32(source);
  const std::int32_t version = ReadI32(source);
  const std::int32_t columns = ReadI32(source);
  const std::int32_t rows = ReadI32(source);
  const float pieceScale = std::bit_cast<float>(ReadU32(source));
  if (magic != kJigsawFileMagic) throw EJigsawFileError("File:" + name + " is not a jigsaw file");
  if (version < 1 || version > kJigsawFileVersion) throw EJigsawFileError("Not supported version");

  file.Version = version;
  file.Columns = columns;
  file.Rows = rows;
  file.PieceScale = pieceScale;
  if (version >= 2) file.Ticks = ReadI32(source);
  if (version >= 3) file.ExePath = ReadExePath(source);
  if (version >= 4) file.PictureId = ReadI32(source);
  if (version >= 6) {
    file.Level = ReadU8(source);
    file.CheatCount = ReadU16(source);
  }
  file.Pieces = ReadRecords(source, columns, rows);
  CheckTrailingPicture(source);
}

void CopyHeader(const TJigsawFile& from, TJigsawFile& to) {
  to.Columns = from.Columns;
  to.Rows = from.Rows;
  to.PieceScale = from.PieceScale;
  to.Ticks = from.Ticks;
  to.ExePath = from.ExePath;
  to.PictureId = from.PictureId;
  to.Level = from.Level;
  to.CheatCount = from.CheatCount;
  to.Version = from.Version;
}

void AppendI32(std::vector<std::byte>& out, std::int32_t value) {
  std::byte b[4];
  PutI32(b, value);
  out.insert(out.end(), b, b + 4);
}

}  // namespace

std::vector<std::byte> TJigsawFile::SaveToBytes() {
  if (Columns < 0 || Rows < 0) throw EJigsawFileError("The saved game has a negative size.");
  if (!reSaving_ && boardPieces_ != nullptr) {
    const TPieces& table = *boardPieces_;
    if (table.size() < std::size_t(Rows)) {
      throw EJigsawFileError("The board's piece table is smaller than the saved game.");
    }
    TJigsawArrayData rebuilt;
    rebuilt.reserve(std::size_t(Rows) * std::size_t(Columns));
    for (std::int32_t r = 0; r < Rows; ++r) {
      if (table[std::size_t(r)].size() < std::size_t(Columns)) {
        throw EJigsawFileError("The board's piece table is smaller than the saved game.");
      }
      for (std::int32_t c = 0; c < Columns; ++c) {
        TSavedPiece piece = table[std::size_t(r)][std::size_t(c)].Saved();
        piece.Spare = 0;
        rebuilt.push_back(piece);
      }
    }
    Pieces = std::move(rebuilt);
  }
  if (Pieces.size() != std::uint64_t(Columns) * std::uint64_t(Rows)) {
    throw EJigsawFileError("The saved game holds a different number of pieces than its size.");
  }

  std::vector<std::byte> out;
  out.reserve(35 + ExePath.size() + Pieces.size() * kSavedPieceBytes);
  AppendI32(out, kJigsawFileMagic);
  AppendI32(out, kJigsawFileVersion);
  AppendI32(out, Columns);
  AppendI32(out, Rows);
  AppendI32(out, std::bit_cast<std::int32_t>(PieceScale));
  AppendI32(out, Ticks);
  if (ExePath.size() > std::size_t(INT32_MAX)) throw EJigsawFileError("The path is too long.");
  AppendI32(out, std::int32_t(ExePath.size()));
  const auto* path = reinterpret_cast<const std::byte*>(ExePath.data());
  out.insert(out.end(), path, path + ExePath.size());
  AppendI32(out, PictureId);
  out.push_back(std::byte(Level));
  out.push_back(std::byte(CheatCount & 0xFF));
  out.push_back(std::byte(CheatCount >> 8));
  std::byte record[kSavedPieceBytes];
  for (const TSavedPiece& piece : Pieces) {
    EncodeSavedPiece(piece, record);
    out.insert(out.end(), record, record + kSavedPieceBytes);
  }
  return out;
}

void TJigsawFile::SaveToFile(const std::filesystem::path& name) {
  const std::vector<std::byte> bytes = SaveToBytes();
  WriteFileAtomically(name, bytes);
}

void TJigsawFile::LoadFromBytes(std::span<const std::byte> data, const std::string& name) {
  TSpanSource source(data);
  TJigsawFile parsed;
  CopyHeader(*this, parsed);
  Parse(source, name, parsed);
  CopyHeader(parsed, *this);
  Pieces = std::move(parsed.Pieces);
}

void TJigsawFile::LoadFromFile(const std::filesystem::path& name) {
  const std::string shownName = name.string();
  std::error_code error;
  if (!std::filesystem::exists(name, error)) {
    throw EJigsawFileError("File:" + shownName + " is not found");
  }
  const std::uintmax_t size = std::filesystem::file_size(name, error);
  if (error) throw EJigsawFileError(kGenericError);
  std::unique_ptr<std::FILE, TFileCloser> file(std::fopen(name.c_str(), "rb"));
  if (!file) throw EJigsawFileError(kGenericError);

  TFileSource source(file.get(), size);
  TJigsawFile parsed;
  CopyHeader(*this, parsed);
  Parse(source, shownName, parsed);
  CopyHeader(parsed, *this);
  Pieces = std::move(parsed.Pieces);
}

void TJigsawFile::ReSave(const std::filesystem::path& name) {
  struct TFlag {
    bool& flag;
    explicit TFlag(bool& f) : flag(f) { flag = true; }
    ~TFlag() { flag = false; }
  } reSaving(reSaving_);
  LoadFromFile(name);
  SaveToFile(name);
}

}  // namespace duduri
