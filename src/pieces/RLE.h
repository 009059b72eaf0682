#pragma once
// Run-length codec for piece sprites.
//
// Sprites are mostly transparent around their knobs and opaque inside, so a
// block of 32-bit pixels is stored as alternating runs over little-endian
// 32-bit words:
//
//   zero run     int32 count, int32 0        -> count words of value 0
//   literal run  int32 count, count words    -> those words unchanged
//
// A literal run holds only non-zero words, so the word after a run's count
// tells the two kinds apart. Only a word whose 32 bits are all 0 is zero: a
// pixel with alpha 0 but some colour is a literal. Counts are at least 1 and
// runs of the same kind never follow each other. The block's trailing bytes
// (its length modulo 4; none for pixel blocks) follow the last run as they
// are. The encoding is deterministic, so equal blocks give equal bytes.
//
// Encoded bytes live in memory only: the board decodes what the sprite
// creator encoded in the same process. DecodeBuffer therefore trusts its
// input and is a bare copy loop; DecodeBufferChecked is for any path where
// the bytes could come from elsewhere.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "raster/Error.h"

namespace duduri {

// Raised by the checked decoder when a run does not fit the encoded bytes or
// the target, and by the encoder for blocks too large for 32-bit counts.
class ERLEError : public EDuduriError {
 public:
  using EDuduriError::EDuduriError;
};

// Encodes `bytes` bytes at `raw`; an empty or missing block gives no bytes.
// Throws ERLEError when the block is too large for the format's 32-bit counts
// and sizes.
std::vector<std::byte> RleEncode(const void* raw, std::size_t bytes);

// Decodes `encodedSize` bytes into `target` and returns the bytes written.
// Trusts its input: `target` must hold the raw size of the block that was
// encoded (width * height * 4 for a sprite). Missing blocks or a size of 0 or
// less write nothing and return 0.
std::int32_t DecodeBuffer(const void* encoded, void* target, std::int32_t encodedSize);

// As DecodeBuffer, but every run is checked against the remaining encoded
// bytes and the room left in `target` before anything is written past it.
// Throws ERLEError("Invalid RLE run") for a truncated run, a count below 1 or
// output that would exceed `targetCapacity`. On failure the target may hold
// the runs decoded before the bad one.
std::size_t DecodeBufferChecked(const void* encoded, std::size_t encodedSize, void* target,
                                std::size_t targetCapacity);

// Stateful codec: holds a raw block to encode or an encoded block to decode,
// and the result of the last Encode or Decode.
//
// SetRaw and SetEncoded both copy the caller's bytes into the raw stream, so
// Encode and Decode never read the caller's block and it may be released
// right after the call. After SetRaw RawBuffer() still names the caller's
// block (for identification only); after SetEncoded it is the codec's own
// buffer of the recorded raw size, which Decode fills.
class TRLE {
 public:
  TRLE() = default;
  TRLE(const TRLE&) = delete;
  TRLE& operator=(const TRLE&) = delete;

  // Takes `size` bytes at `data` as the block to encode. A missing block or
  // a size of 0 or less leaves the codec unchanged. `extra` is a reserve hint
  // that older callers pass; the codec sizes its streams itself.
  void SetRaw(const void* data, std::int32_t size, std::int32_t extra = 0);

  // Encodes the raw stream; EncodedData() then points at the encoded stream,
  // valid until the next Encode, SetEncoded or the codec's destruction.
  void Encode();

  // Takes an encoded block of `encodedSize` bytes that decodes to `rawSize`
  // bytes and allocates an owned raw buffer of `rawSize` bytes. A missing
  // block, an encoded size of 0 or less, or a negative raw size leaves the
  // codec unchanged.
  void SetEncoded(const void* data, std::int32_t rawSize, std::int32_t encodedSize);

  // Decodes the encoded data into the raw buffer and stores the bytes written
  // in RawBufferSize(). The codec knows both sizes, so the runs are checked:
  // throws ERLEError when they do not fit the raw buffer.
  void Decode();

  const std::byte* EncodedData() const { return encodedData_; }
  std::int32_t EncodedSize() const { return encodedSize_; }
  std::int32_t RawSize() const { return rawSize_; }
  // The caller's block after SetRaw, the codec's own after SetEncoded.
  const std::byte* RawBuffer() const { return rawBuffer_; }
  std::int32_t RawBufferSize() const { return rawBufferSize_; }
  bool OwnsRawBuffer() const { return ownsRawBuffer_; }

  const std::vector<std::byte>& RawStream() const { return rawStream_; }
  const std::vector<std::byte>& EncodedStream() const { return encodedStream_; }

 private:
  void releaseOwnedRaw();

  std::vector<std::byte> rawStream_;
  std::vector<std::byte> encodedStream_;
  std::vector<std::byte> ownedRaw_;
  bool ownsRawBuffer_ = false;
  const std::byte* encodedData_ = nullptr;
  std::int32_t rawSize_ = 0;
  std::int32_t encodedSize_ = 0;
  const std::byte* rawBuffer_ = nullptr;
  std::int32_t rawBufferSize_ = 0;
};

}  // namespace duduri
