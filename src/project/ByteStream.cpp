#include "project/ByteStream.h"

#include <cstring>
#include <limits>

namespace duduri {

void TByteReader::need(std::size_t count) const {
  if (count > Remaining()) throw EStreamReadError();
}

void TByteReader::Seek(std::size_t position) {
  if (position > data_.size()) throw EStreamReadError();
  pos_ = position;
}

void TByteReader::Skip(std::size_t count) {
  need(count);
  pos_ += count;
}

std::uint8_t TByteReader::U8() {
  need(1);
  return std::uint8_t(data_[pos_++]);
}

std::uint16_t TByteReader::U16() {
  need(2);
  const auto v = std::uint16_t(std::uint16_t(data_[pos_]) | (std::uint16_t(data_[pos_ + 1]) << 8));
  pos_ += 2;
  return v;
}

std::uint32_t TByteReader::U32() {
  need(4);
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | std::uint32_t(data_[pos_ + std::size_t(i)]);
  pos_ += 4;
  return v;
}

std::int32_t TByteReader::I32() {
  return std::int32_t(U32());
}

TByteSpan TByteReader::Bytes(std::size_t count) {
  need(count);
  TByteSpan s = data_.subspan(pos_, count);
  pos_ += count;
  return s;
}

TBytes TByteReader::CopyBytes(std::size_t count) {
  TByteSpan s = Bytes(count);
  return TBytes(s.begin(), s.end());
}

std::size_t TByteReader::Length() {
  const std::int32_t n = I32();
  if (n < 0) throw EProjectFormatError();
  need(std::size_t(n));
  return std::size_t(n);
}

std::size_t TByteReader::Count(std::size_t minRecordSize) {
  const std::int32_t n = I32();
  if (n < 0) throw EProjectFormatError();
  if (minRecordSize > 0 && std::size_t(n) > Remaining() / minRecordSize) throw EStreamReadError();
  return std::size_t(n);
}

std::string TByteReader::String() {
  TByteSpan s = Bytes(Length());
  return std::string(reinterpret_cast<const char*>(s.data()), s.size());
}

TBytes TByteReader::LengthPrefixedBytes() {
  return CopyBytes(Length());
}

std::int32_t CheckedLength(std::size_t length) {
  if (length > std::size_t(std::numeric_limits<std::int32_t>::max()))
    throw EProjectFormatError("The data is too large to be stored in a project.");
  return std::int32_t(length);
}

void TByteWriter::U16(std::uint16_t v) {
  out_.push_back(std::byte(v & 0xFF));
  out_.push_back(std::byte(v >> 8));
}

void TByteWriter::U32(std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out_.push_back(std::byte((v >> (8 * i)) & 0xFF));
}

void TByteWriter::Bytes(TByteSpan bytes) {
  if (bytes.empty()) return;
  const std::size_t at = out_.size();
  out_.resize(at + bytes.size());
  std::memcpy(out_.data() + at, bytes.data(), bytes.size());
}

void TByteWriter::String(const std::string& s) {
  LengthPrefixedBytes(AsBytes(s));
}

void TByteWriter::LengthPrefixedBytes(TByteSpan bytes) {
  I32(CheckedLength(bytes.size()));
  Bytes(bytes);
}

void TByteWriter::PatchI32(std::size_t position, std::int32_t v) {
  const auto u = std::uint32_t(v);
  for (std::size_t i = 0; i < 4; ++i) out_.at(position + i) = std::byte((u >> (8 * i)) & 0xFF);
}

}  // namespace duduri
