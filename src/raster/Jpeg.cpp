// JPEG through libjpeg-turbo. libjpeg reports errors through a callback that
// must not return; it long-jumps back to the one function per operation that
// holds the setjmp. Those functions keep no C++ objects of their own: all
// state with destructors lives in a Decoder/Encoder owned by the caller, so
// a jump never skips a destructor and no exception crosses libjpeg's C frames.

#include <bit>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

// jpeglib.h needs size_t and FILE declared before it.
// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include "raster/Bitmap32.h"
#include "raster/Error.h"
#include "raster/Picture.h"

namespace duduri {

namespace {

// libjpeg keeps the whole coefficient set of a progressive picture (2 bytes
// per sample); this is enough for about 170 megapixels at the usual 4:2:0
// sampling, and stops a small crafted file from claiming gigabytes.
constexpr long kJpegMemoryBudget = 512L << 20;
// Real progressive files have about ten scans; thousands of empty scans are
// a known way to make a decoder spin.
constexpr int kMaxScans = 500;

// Pixels are ARGB in a 32-bit word; libjpeg can write that word directly.
constexpr J_COLOR_SPACE kNativeArgb =
    std::endian::native == std::endian::little ? JCS_EXT_BGRA : JCS_EXT_ARGB;

struct ErrorManager {
  jpeg_error_mgr pub;  // first, so libjpeg's pointer is also ours
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void jumpWithMessage(j_common_ptr cinfo, const char* text) {
  auto* error = reinterpret_cast<ErrorManager*>(cinfo->err);
  std::snprintf(error->message, sizeof error->message, "%s", text);
  std::longjmp(error->jump, 1);
}

[[noreturn]] void onError(j_common_ptr cinfo) {
  char text[JMSG_LENGTH_MAX];
  (*cinfo->err->format_message)(cinfo, text);
  jumpWithMessage(cinfo, text);
}

// Warnings that libjpeg recovers from without guessing at pixels. Every
// other warning means damaged data (a truncated file, bad Huffman codes),
// which would otherwise show as grey or smeared areas; those are errors.
bool isHarmlessWarning(int code) {
  switch (code) {
    case JWRN_EXTRANEOUS_DATA:  // stray bytes before a marker, common in camera files
    case JWRN_ADOBE_XFORM:
    case JWRN_JFIF_MAJOR:
    case JWRN_BOGUS_ICC:
    case JWRN_NOT_SEQUENTIAL:
      return true;
    default:
      return false;
  }
}

void onMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;  // trace output
  if (isHarmlessWarning(cinfo->err->msg_code)) return;
  onError(cinfo);
}

void onProgress(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
    jumpWithMessage(cinfo, "too many progressive scans");
  }
}

void installErrorManager(ErrorManager& error) {
  jpeg_std_error(&error.pub);
  error.pub.error_exit = onError;
  error.pub.emit_message = onMessage;
  error.message[0] = '\0';
}

struct Decoder {
  jpeg_decompress_struct cinfo{};
  ErrorManager error{};
  jpeg_progress_mgr progress{};
  bool created = false;
  bool cmyk = false;
  bool invertedCmyk = false;
  std::vector<std::uint8_t> cmykRow;
  TPicture picture;

  Decoder() {
    installErrorManager(error);
    cinfo.err = &error.pub;
    progress.progress_monitor = onProgress;
  }
  ~Decoder() {
    if (created) jpeg_destroy_decompress(&cinfo);
  }
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;
};

// Reads the header and sets libjpeg up; C++ exceptions (size checks, memory)
// may leave here, libjpeg errors return false.
bool readHeader(Decoder& d, std::span<const std::byte> data) {
  if (setjmp(d.error.jump)) return false;
  jpeg_create_decompress(&d.cinfo);
  d.created = true;
  d.cinfo.mem->max_memory_to_use = kJpegMemoryBudget;
  d.cinfo.progress = &d.progress;
  jpeg_mem_src(&d.cinfo, reinterpret_cast<const unsigned char*>(data.data()),
               static_cast<unsigned long>(data.size()));
  jpeg_read_header(&d.cinfo, TRUE);
  return true;
}

void convertCmykRow(const std::uint8_t* src, TColor32* dst, std::int32_t width, bool inverted) {
  for (std::int32_t x = 0; x < width; ++x, src += 4) {
    unsigned c = src[0], m = src[1], y = src[2], k = src[3];
    if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
    // With the inks stored inverted, c * k / 255 is the remaining red light.
    dst[x] = Color32(std::uint8_t((c * k + 127) / 255), std::uint8_t((m * k + 127) / 255),
                     std::uint8_t((y * k + 127) / 255));
  }
}

bool decodePixels(Decoder& d) {
  if (setjmp(d.error.jump)) return false;
  d.cinfo.out_color_space = d.cmyk ? JCS_CMYK : kNativeArgb;
  jpeg_start_decompress(&d.cinfo);
  const std::int32_t width = std::int32_t(d.cinfo.output_width);
  std::vector<TColor32>& pixels = d.picture.Pixels;
  while (d.cinfo.output_scanline < d.cinfo.output_height) {
    // Reserved up front, filled row by row: a file that claims a large size
    // but holds little data fails before the memory is touched.
    const std::size_t offset = pixels.size();
    pixels.resize(offset + std::size_t(width));
    JSAMPROW row = d.cmyk ? d.cmykRow.data() : reinterpret_cast<JSAMPROW>(pixels.data() + offset);
    if (jpeg_read_scanlines(&d.cinfo, &row, 1) != 1) {
      jumpWithMessage(reinterpret_cast<j_common_ptr>(&d.cinfo), "no scanline decoded");
    }
    if (d.cmyk) convertCmykRow(d.cmykRow.data(), pixels.data() + offset, width, d.invertedCmyk);
  }
  // Reads on to the end marker, so a file cut anywhere is reported the same
  // way, whether it is baseline or progressive.
  jpeg_finish_decompress(&d.cinfo);
  return true;
}

[[noreturn]] void failDecode(const Decoder& d) {
  throw EPictureError(std::string("Invalid JPEG picture: ") + d.error.message);
}

struct VectorDestination {
  jpeg_destination_mgr pub;  // first, so libjpeg's pointer is also ours
  std::vector<std::byte>* out;
  bool outOfMemory;
  JOCTET buffer[65536];
};

void initDestination(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<VectorDestination*>(cinfo->dest);
  dest->pub.next_output_byte = dest->buffer;
  dest->pub.free_in_buffer = sizeof dest->buffer;
}

bool flushDestination(VectorDestination* dest, std::size_t count) {
  try {
    const auto* begin = reinterpret_cast<const std::byte*>(dest->buffer);
    dest->out->insert(dest->out->end(), begin, begin + count);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

boolean emptyDestination(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<VectorDestination*>(cinfo->dest);
  if (!flushDestination(dest, sizeof dest->buffer)) {
    jumpWithMessage(reinterpret_cast<j_common_ptr>(cinfo), "out of memory");
  }
  initDestination(cinfo);
  return TRUE;
}

void termDestination(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<VectorDestination*>(cinfo->dest);
  if (!flushDestination(dest, sizeof dest->buffer - dest->pub.free_in_buffer)) {
    jumpWithMessage(reinterpret_cast<j_common_ptr>(cinfo), "out of memory");
  }
}

struct Encoder {
  jpeg_compress_struct cinfo{};
  ErrorManager error{};
  VectorDestination destination{};
  bool created = false;
  std::vector<std::byte> out;

  Encoder() {
    installErrorManager(error);
    cinfo.err = &error.pub;
    destination.pub.init_destination = initDestination;
    destination.pub.empty_output_buffer = emptyDestination;
    destination.pub.term_destination = termDestination;
    destination.out = &out;
  }
  ~Encoder() {
    if (created) jpeg_destroy_compress(&cinfo);
  }
  Encoder(const Encoder&) = delete;
  Encoder& operator=(const Encoder&) = delete;
};

bool encode(Encoder& e, const TBitmap32& bitmap, int quality) {
  if (setjmp(e.error.jump)) return false;
  jpeg_create_compress(&e.cinfo);
  e.created = true;
  e.cinfo.dest = &e.destination.pub;
  e.cinfo.image_width = JDIMENSION(bitmap.Width());
  e.cinfo.image_height = JDIMENSION(bitmap.Height());
  e.cinfo.input_components = 4;
  e.cinfo.in_color_space = kNativeArgb;
  jpeg_set_defaults(&e.cinfo);
  jpeg_set_quality(&e.cinfo, quality, TRUE);
  e.cinfo.optimize_coding = TRUE;
  jpeg_start_compress(&e.cinfo, TRUE);
  while (e.cinfo.next_scanline < e.cinfo.image_height) {
    // libjpeg only reads the rows it is handed.
    JSAMPROW row = reinterpret_cast<JSAMPROW>(
        const_cast<TColor32*>(bitmap.ScanLine(std::int32_t(e.cinfo.next_scanline))));
    jpeg_write_scanlines(&e.cinfo, &row, 1);
  }
  jpeg_finish_compress(&e.cinfo);
  return true;
}

}  // namespace

TPictureSize ReadJpegSize(std::span<const std::byte> data) {
  Decoder d;
  if (!readHeader(d, data)) failDecode(d);
  return TPictureSize{std::int32_t(d.cinfo.image_width), std::int32_t(d.cinfo.image_height)};
}

TPicture DecodeJpeg(std::span<const std::byte> data) {
  return DecodeJpegScaled(data, 8);
}

TPicture DecodeJpegScaled(std::span<const std::byte> data, int eighths) {
  eighths = eighths < 1 ? 1 : eighths > 8 ? 8 : eighths;
  Decoder d;
  if (!readHeader(d, data)) failDecode(d);
  // Before jpeg_start_decompress, which takes the buffers for this size.
  CheckPictureSize(d.cinfo.image_width, d.cinfo.image_height, "JPEG");
  switch (d.cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
    case JCS_YCbCr:
    case JCS_RGB:
      break;
    case JCS_CMYK:
    case JCS_YCCK:
      // Adobe's applications write CMYK inverted and mark it with their
      // APP14 segment; libjpeg passes the values through unchanged.
      d.cmyk = true;
      d.invertedCmyk = d.cinfo.saw_Adobe_marker;
      d.cmykRow.resize(std::size_t(d.cinfo.image_width) * 4);
      break;
    default:
      throw EPictureError("Invalid JPEG picture: unsupported colour space with " +
                          std::to_string(d.cinfo.num_components) + " components");
  }
  // The decoder's own rounding of a scaled size: the sides rounded up.
  const auto scaled = [&](JDIMENSION side) {
    return std::int32_t((std::uint64_t(side) * unsigned(eighths) + 7) / 8);
  };
  d.cinfo.scale_num = unsigned(eighths);
  d.cinfo.scale_denom = 8;
  d.picture.Width = scaled(d.cinfo.image_width);
  d.picture.Height = scaled(d.cinfo.image_height);
  d.picture.BitsPerPixel = 24;
  d.picture.Format = TPictureFormat::pfJPEG;
  AllocatePicturePixels(d.picture.Pixels, d.picture.Width, d.picture.Height, "JPEG", true);
  if (!decodePixels(d)) failDecode(d);
  if (std::int32_t(d.cinfo.output_width) != d.picture.Width ||
      std::int32_t(d.cinfo.output_height) != d.picture.Height) {
    throw EPictureError("Invalid JPEG picture: decoded size differs from the header");
  }
  return std::move(d.picture);
}

std::vector<std::byte> EncodeJpeg(const TBitmap32& bitmap, int quality) {
  if (bitmap.Empty()) throw EPictureError("Cannot write an empty picture as JPEG");
  Encoder e;
  if (!encode(e, bitmap, quality < 1 ? 1 : quality > 100 ? 100 : quality)) {
    throw EPictureError(std::string("Cannot write JPEG picture: ") + e.error.message);
  }
  return std::move(e.out);
}

}  // namespace duduri
