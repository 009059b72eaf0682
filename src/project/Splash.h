#pragma once
// TSplash: the optional splash picture of a project, one JPEG file kept as
// bytes. Stream: a picture record (u32 0xADADAD01, i32 L, L bytes) and an end
// record (u32 0xADADAD00, i32 0); other records are skipped by their length.

#include <cstdint>

#include "project/ByteStream.h"

namespace duduri {

class TBitmap32;

inline constexpr std::uint32_t kSplashPicture = 0xADADAD01;
inline constexpr std::uint32_t kSplashEnd = 0xADADAD00;

class TSplash {
 public:
  bool Empty() const { return data_.empty(); }
  const TBytes& Data() const { return data_; }
  void SetData(TBytes jpeg) { data_ = std::move(jpeg); }
  void Clear() { data_.clear(); }

  void WriteStream(TByteWriter& out) const;
  TBytes StreamBytes() const;
  // Reads records from the start of the stream until the end record; a
  // picture record replaces the data. Returns Empty().
  bool ReadStream(TByteSpan stream);

  // Keeps the bitmap encoded as JPEG with the encoder's default settings.
  void AssignFromBitmap(const TBitmap32& bitmap);
  // Decodes the picture into bitmap; leaves it unchanged when empty.
  void AssignToBitmap(TBitmap32& bitmap) const;

 private:
  TBytes data_;
};

}  // namespace duduri
