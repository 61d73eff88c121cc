// PNG through libpng's simplified reader, straight into the working image.
// Interlaced 16-bit files take libpng's row interface instead (see
// ReadWideInterlaced).
#include <png.h>

#include <cstring>
#include <string>

#include "imaging/decoding/PictureDecoding.h"

namespace zumorika {

namespace {

// png_image_free on every way out, a thrown "too large" included.
class PngReadImage {
 public:
  PngReadImage() {
    image_.version = PNG_IMAGE_VERSION;
  }
  ~PngReadImage() { png_image_free(&image_); }
  PngReadImage(const PngReadImage&) = delete;
  PngReadImage& operator=(const PngReadImage&) = delete;
  png_image& operator*() { return image_; }
  png_image* operator->() { return &image_; }

 private:
  png_image image_{};
};

bool Failed(png_image& image, std::string& reason) {
  reason = std::string("PNG: ") + image.message;
  return false;
}

// The file's bytes as the row reader consumes them, and its last error.
struct RowSource {
  const uint8_t* data;
  size_t size;
  char message[64];
};

void OnRowReaderError(png_structp png, png_const_charp message) {
  RowSource& source = *static_cast<RowSource*>(png_get_error_ptr(png));
  std::strncpy(source.message, message, sizeof source.message - 1);
  png_longjmp(png, 1);
}

// The simplified reader goes on after warnings too.
void OnRowReaderWarning(png_structp, png_const_charp) {}

void ReadFromMemory(png_structp png, png_bytep out, size_t need) {
  RowSource& source = *static_cast<RowSource*>(png_get_io_ptr(png));
  if (source.size < need) png_error(png, "read beyond end of data");
  std::memcpy(out, source.data, need);
  source.data += need;
  source.size -= need;
}

// A read struct with its info struct, destroyed on every way out.
class PngRowReader {
 public:
  explicit PngRowReader(RowSource& source)
      : png_(png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, OnRowReaderError,
                                    OnRowReaderWarning)) {
    if (png_ != nullptr) {
      info_ = png_create_info_struct(png_);
      png_set_read_fn(png_, &source, ReadFromMemory);
    }
  }
  ~PngRowReader() { png_destroy_read_struct(&png_, &info_, nullptr); }
  PngRowReader(const PngRowReader&) = delete;
  PngRowReader& operator=(const PngRowReader&) = delete;
  png_structp Png() const { return png_; }
  png_infop Info() const { return info_; }

 private:
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

// Where IHDR keeps the interlace method: after the signature (8 bytes),
// the chunk's length and type (8), width and height (8), bit depth, colour
// type, compression and filter method (4).
constexpr size_t kInterlaceMethodAt = 28;

// Whether the chunks before the pixels say how the samples are coded: gAMA,
// sRGB, iCCP or cICP. Read within `size`; a chunk cut short ends the search.
bool HasColourChunk(const uint8_t* data, size_t size) {
  constexpr size_t kSignature = 8, kChunkFrame = 12;  // length, type, CRC
  for (size_t at = kSignature; at <= size && size - at >= kChunkFrame;) {
    const uint32_t length = static_cast<uint32_t>(data[at]) << 24 |
                            static_cast<uint32_t>(data[at + 1]) << 16 |
                            static_cast<uint32_t>(data[at + 2]) << 8 | data[at + 3];
    const std::string type(reinterpret_cast<const char*>(data + at + 4), 4);
    if (type == "IDAT" || type == "IEND") return false;
    if (type == "gAMA" || type == "sRGB" || type == "iCCP" || type == "cICP") return true;
    if (length > size - at - kChunkFrame) return false;
    at += kChunkFrame + length;
  }
  return false;
}

// Asked before the format is set: the file's own format says its depth.
bool IsInterlacedWide(const png_image& image, const uint8_t* data, size_t size) {
  return (image.format & PNG_FORMAT_FLAG_LINEAR) != 0 && size > kInterlaceMethodAt &&
         data[kInterlaceMethodAt] != PNG_INTERLACE_NONE;
}

// libpng 1.6.39 as Debian's security updates leave it scrambles interlaced
// 16-bit files that its simplified reader is asked to give as 8 bits: that
// case reads each pass through one row buffer and copies the whole buffer
// over the picture's row, the pixels of other rows and passes with it. Such
// files are read here through the row interface, with the transformations
// the simplified reader sets for 8-bit BGRA from a 16-bit file
// (png_image_read_direct), in the same order: the same gamma to sRGB, the
// same rounding to 8 bits, so the picture is exactly that of the same file
// not interlaced. Like the simplified reader, nothing after the pixels is
// read. No C++ object lives in a frame the error's jump skips.
bool ReadWideInterlaced(const PngRowReader& reader, png_fixed_point untaggedGamma,
                        WorkingImage& image) {
  png_structp png = reader.Png();
  png_infop info = reader.Info();
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_set_benign_errors(png, 1);
  png_read_info(png, info);
  if (png_get_image_width(png, info) != static_cast<png_uint_32>(image.Width()) ||
      png_get_image_height(png, info) != static_cast<png_uint_32>(image.Height()) ||
      png_get_bit_depth(png, info) != 16) {
    png_error(png, "the file reads differently the second time");
  }
  const png_byte colourType = png_get_color_type(png, info);
  png_set_expand(png);
  if ((colourType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
  // The samples' coding where the file gives none (sRGB, see DecodePng).
  png_set_alpha_mode_fixed(png, PNG_ALPHA_PNG, untaggedGamma);
  png_set_scale_16(png);
  if ((colourType & PNG_COLOR_MASK_ALPHA) == 0 && png_get_valid(png, info, PNG_INFO_tRNS) == 0) {
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  }
  png_set_alpha_mode_fixed(png, PNG_ALPHA_PNG, PNG_DEFAULT_sRGB);
  png_set_bgr(png);
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != static_cast<size_t>(image.Width()) * 4) {
    png_error(png, "unexpected row layout");
  }
  for (int pass = 0; pass < passes; ++pass) {
    for (int32_t y = 0; y < image.Height(); ++y) {
      png_read_row(png, reinterpret_cast<png_bytep>(image.Row(y)), nullptr);
    }
  }
  return true;
}

bool ReadWideInterlaced(const uint8_t* data, size_t size, png_fixed_point untaggedGamma,
                        WorkingImage& image, std::string& reason) {
  RowSource source{data, size, {}};
  PngRowReader reader(source);
  if (reader.Info() == nullptr) {
    reason = "PNG: out of memory";
    return false;
  }
  if (!ReadWideInterlaced(reader, untaggedGamma, image)) {
    reason = std::string("PNG: ") + source.message;
    return false;
  }
  return true;
}

}  // namespace

bool DecodePng(const uint8_t* data, size_t size, WorkingImage& out, std::string& reason) {
  PngReadImage image;
  if (!png_image_begin_read_from_memory(&*image, data, size)) return Failed(*image, reason);
  CheckWorkingImageSize(image->width, image->height);
  const bool interlacedWide = IsInterlacedWide(*image, data, size);
  // A 16-bit file that says nothing of its colours is sRGB, as browsers and
  // image editors show it; the simplified reader's default would take it
  // as linear light and brighten it. Files that say something keep the
  // reader's reading of it, whatever it is.
  const bool untagged = !HasColourChunk(data, size);
  if (untagged) image->flags |= PNG_IMAGE_FLAG_16BIT_sRGB;
  // Blue, green, red, alpha bytes: the working image's own layout with the
  // alpha in the byte it leaves unused.
  image->format = PNG_FORMAT_BGRA;
  const auto width = static_cast<int32_t>(image->width);
  const auto height = static_cast<int32_t>(image->height);
  WorkingImage decoded = WorkingImage::ToBeFilled(width, height);
  if (interlacedWide) {
    const png_fixed_point untaggedGamma = untagged ? PNG_DEFAULT_sRGB : PNG_GAMMA_LINEAR;
    if (!ReadWideInterlaced(data, size, untaggedGamma, decoded, reason)) return false;
  } else if (!png_image_finish_read(&*image, nullptr, decoded.Row(0), 0, nullptr)) {
    return Failed(*image, reason);
  }
  for (int32_t y = 0; y < height; ++y) {
    uint32_t* row = decoded.Row(y);
    for (int32_t x = 0; x < width; ++x) {
      // Most pixels are opaque or fully transparent: those need no sums.
      const uint32_t pixel = row[x];
      const uint32_t alpha = pixel >> 24;
      row[x] = alpha == 255 ? pixel & 0x00FFFFFF
                            : alpha == 0 ? kWhitePixel : ComposedOnWhite(pixel, false);
    }
  }
  out = std::move(decoded);
  return true;
}

}  // namespace zumorika
