// libpng reports errors by long-jumping to the setjmp in its caller; as in
// the JPEG code, the function holding the setjmp keeps no C++ objects of its
// own, so the jump skips no destructor and no exception crosses libpng.

#include "common/Png.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "raster/Error.h"
#include "raster/Picture.h"

namespace duduri {

namespace {

struct PngWriter {
  png_structp png = nullptr;
  png_infop info = nullptr;
  std::vector<std::byte> out;
  std::vector<png_byte> row;
  char message[256] = "unknown error";

  ~PngWriter() {
    if (png != nullptr) png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
  }
};

void onError(png_structp png, png_const_charp text) {
  auto* writer = static_cast<PngWriter*>(png_get_error_ptr(png));
  std::snprintf(writer->message, sizeof writer->message, "%s", text);
  png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void onWrite(png_structp png, png_bytep data, png_size_t length) {
  auto* writer = static_cast<PngWriter*>(png_get_io_ptr(png));
  bool stored = true;
  try {
    const auto* begin = reinterpret_cast<const std::byte*>(data);
    writer->out.insert(writer->out.end(), begin, begin + length);
  } catch (const std::bad_alloc&) {
    stored = false;
  }
  if (!stored) png_error(png, "out of memory");
}

void onFlush(png_structp) {}

bool encode(PngWriter& w, const TBitmap32& bitmap) {
  w.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &w, onError, onWarning);
  if (w.png == nullptr) return false;
  w.info = png_create_info_struct(w.png);
  if (w.info == nullptr) return false;
  if (setjmp(png_jmpbuf(w.png))) return false;
  png_set_write_fn(w.png, &w, onWrite, onFlush);
  png_set_IHDR(w.png, w.info, png_uint_32(bitmap.Width()), png_uint_32(bitmap.Height()), 8,
               PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(w.png, w.info);
  for (std::int32_t y = 0; y < bitmap.Height(); ++y) {
    const TColor32* src = bitmap.ScanLine(y);
    for (std::int32_t x = 0; x < bitmap.Width(); ++x) {
      png_byte* p = &w.row[std::size_t(x) * 4];
      p[0] = RedComponent(src[x]);
      p[1] = GreenComponent(src[x]);
      p[2] = BlueComponent(src[x]);
      p[3] = AlphaComponent(src[x]);
    }
    png_write_row(w.png, w.row.data());
  }
  png_write_end(w.png, w.info);
  return true;
}

}  // namespace

void WritePng(const TBitmap32& bitmap, const std::filesystem::path& path) {
  if (bitmap.Empty()) throw EPictureError("Cannot write an empty picture as PNG");
  PngWriter writer;
  writer.row.resize(std::size_t(bitmap.Width()) * 4);
  if (!encode(writer, bitmap)) {
    throw EPictureError("Cannot write PNG picture '" + path.string() + "': " + writer.message);
  }
  WriteFileAtomically(path, writer.out);
}

}  // namespace duduri
