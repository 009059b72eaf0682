#pragma once
// Little-endian readers and writers over byte buffers, used by every stream
// format of a project. The reader checks each read against what remains and
// throws EStreamReadError instead of reading past the end; lengths and counts
// taken from the data are refused when negative (EProjectFormatError) before
// anything is allocated for them.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "project/ProjectErrors.h"

namespace duduri {

using TBytes = std::vector<std::byte>;
using TByteSpan = std::span<const std::byte>;

class TByteReader {
 public:
  explicit TByteReader(TByteSpan data) : data_(data) {}
  // The reader keeps a view: it must not outlive a temporary buffer.
  explicit TByteReader(TBytes&&) = delete;

  std::size_t Position() const { return pos_; }
  std::size_t Size() const { return data_.size(); }
  std::size_t Remaining() const { return data_.size() - pos_; }
  bool AtEnd() const { return pos_ >= data_.size(); }
  TByteSpan Data() const { return data_; }

  // Moves to an absolute position; past the end is a read error.
  void Seek(std::size_t position);
  void Skip(std::size_t count);

  std::uint8_t U8();
  std::uint16_t U16();
  std::int32_t I32();
  std::uint32_t U32();
  // The next count bytes, without copying.
  TByteSpan Bytes(std::size_t count);
  TBytes CopyBytes(std::size_t count);

  // An i32 length that must not be negative and must fit in what remains.
  std::size_t Length();
  // An i32 count of records of at least minRecordSize bytes each, checked
  // against what remains.
  std::size_t Count(std::size_t minRecordSize);
  // A string stored as an i32 length and its 8-bit characters.
  std::string String();
  // An i32 length followed by that many bytes.
  TBytes LengthPrefixedBytes();

 private:
  void need(std::size_t count) const;

  TByteSpan data_;
  std::size_t pos_ = 0;
};

class TByteWriter {
 public:
  void U8(std::uint8_t v) { out_.push_back(std::byte(v)); }
  void U16(std::uint16_t v);
  void I32(std::int32_t v) { U32(std::uint32_t(v)); }
  void U32(std::uint32_t v);
  void Bytes(TByteSpan bytes);
  void Zeros(std::size_t count) { out_.insert(out_.end(), count, std::byte{0}); }
  // An i32 length and the bytes; data longer than an i32 can say is refused.
  void String(const std::string& s);
  void LengthPrefixedBytes(TByteSpan bytes);

  std::size_t Size() const { return out_.size(); }
  void PatchI32(std::size_t position, std::int32_t v);
  const TBytes& Data() const { return out_; }
  TBytes Take() { return std::move(out_); }

 private:
  TBytes out_;
};

// The i32 form of a length about to be written; throws when it does not fit.
std::int32_t CheckedLength(std::size_t length);

inline TByteSpan AsBytes(const std::string& s) {
  return {reinterpret_cast<const std::byte*>(s.data()), s.size()};
}

}  // namespace duduri
