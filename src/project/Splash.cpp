#include "project/Splash.h"

#include "raster/Bitmap32.h"
#include "raster/Picture.h"

namespace duduri {

void TSplash::WriteStream(TByteWriter& out) const {
  out.U32(kSplashPicture);
  out.LengthPrefixedBytes(data_);
  out.U32(kSplashEnd);
  out.I32(0);
}

TBytes TSplash::StreamBytes() const {
  TByteWriter out;
  WriteStream(out);
  return out.Take();
}

bool TSplash::ReadStream(TByteSpan stream) {
  TByteReader in(stream);
  TBytes data = data_;
  for (;;) {
    const std::uint32_t marker = in.U32();
    if (marker == kSplashEnd) {
      in.I32();
      break;
    }
    if (marker == kSplashPicture) {
      data = in.LengthPrefixedBytes();
    } else {
      in.Skip(in.Length());
    }
  }
  data_ = std::move(data);
  return Empty();
}

void TSplash::AssignFromBitmap(const TBitmap32& bitmap) {
  data_ = EncodeJpeg(bitmap);
}

void TSplash::AssignToBitmap(TBitmap32& bitmap) const {
  if (Empty()) return;
  bitmap.Assign(DecodeJpeg(data_));
}

}  // namespace duduri
