#include "shell/ui/QtPictureReader.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <cstring>
#include <limits>
#include <string>

#include "raster/Error.h"

namespace duduri {

namespace {

// Enough for the largest picture the core accepts (2^28 pixels of 4 bytes);
// Qt's own default of 256 MB would refuse some pictures the core plays.
constexpr int kAllocationLimitMb = 1024 + 64;

std::string formatName(const QByteArray& format) {
  if (format.isEmpty()) return "picture";
  const std::string name = format.toUpper().toStdString();
  return name == "WEBP" ? "WebP" : name;
}

}  // namespace

TPicture DecodeWithQt(std::span<const std::byte> data) {
  if (data.size() > std::size_t(std::numeric_limits<int>::max())) {
    throw EPictureError("Picture file too large");
  }
  const QByteArray bytes =
      QByteArray::fromRawData(reinterpret_cast<const char*>(data.data()), qsizetype(data.size()));
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  reader.setDecideFormatFromContent(true);
  reader.setAutoTransform(false);
  QImageReader::setAllocationLimit(kAllocationLimitMb);
  const QByteArray format = reader.format();
  if (format.isEmpty()) throw EPictureError("Unsupported picture format");
  const std::string name = formatName(format);
  const QSize size = reader.size();
  if (size.isValid()) CheckPictureSize(size.width(), size.height(), name.c_str());
  QImage image;
  if (!reader.read(&image) || image.isNull()) {
    throw EPictureError("Invalid " + name + " picture: " + reader.errorString().toStdString());
  }
  CheckPictureSize(image.width(), image.height(), name.c_str());
  const bool alpha = image.hasAlphaChannel();
  image = image.convertToFormat(QImage::Format_ARGB32);
  if (image.isNull()) throw EPictureError("Not enough memory for the " + name + " picture");

  TPicture picture;
  picture.Width = image.width();
  picture.Height = image.height();
  picture.BitsPerPixel = alpha ? 32 : 24;
  AllocatePicturePixels(picture.Pixels, picture.Width, picture.Height, name.c_str());
  // Format_ARGB32 holds 0xAARRGGBB words, as TColor32 does.
  for (int y = 0; y < picture.Height; ++y) {
    std::memcpy(picture.Pixels.data() + std::size_t(y) * std::size_t(picture.Width),
                image.constScanLine(y), std::size_t(picture.Width) * sizeof(TColor32));
  }
  if (!alpha) {
    for (TColor32& p : picture.Pixels) p |= 0xFF000000;
  }
  return picture;
}

}  // namespace duduri
