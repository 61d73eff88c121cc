// JPEG through libjpeg's decompressor, turned upright as its EXIF
// orientation says: a phone stores its photos as the sensor saw them.
#include <csetjmp>
#include <cstdio>
#include <string>
#include <utility>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

#include "imaging/decoding/PictureDecoding.h"

namespace zumorika {

namespace {

// As in the encoder: the error exit jumps back to the phase that set the
// jump point, and the phase returns false; no C++ object lives in a frame
// that the jump skips.
struct DecoderErrors {
  jpeg_error_mgr pub;
  std::jmp_buf jumpPoint;
};

void OnDecoderError(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<DecoderErrors*>(cinfo->err)->jumpPoint, 1);
}

// Warnings (a file cut short is one: the rest is filled grey) go silently.
void OnDecoderMessage(j_common_ptr) {}

// The decompressor, destroyed on every way out.
class Decompressor {
 public:
  Decompressor() {
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = OnDecoderError;
    errors.pub.output_message = OnDecoderMessage;
  }
  ~Decompressor() { jpeg_destroy_decompress(&cinfo); }
  Decompressor(const Decompressor&) = delete;
  Decompressor& operator=(const Decompressor&) = delete;

  jpeg_decompress_struct cinfo{};
  DecoderErrors errors{};
};

bool ReadHeader(Decompressor& d, const uint8_t* data, size_t size) {
  if (setjmp(d.errors.jumpPoint) != 0) return false;
  jpeg_create_decompress(&d.cinfo);
  jpeg_mem_src(&d.cinfo, data, static_cast<unsigned long>(size));
  jpeg_save_markers(&d.cinfo, JPEG_APP0 + 1, 0xFFFF);
  jpeg_read_header(&d.cinfo, TRUE);
  const bool cmyk = d.cinfo.jpeg_color_space == JCS_CMYK || d.cinfo.jpeg_color_space == JCS_YCCK;
  d.cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
  jpeg_calc_output_dimensions(&d.cinfo);
  return true;
}

// Four bytes a pixel into `pixels`, rows from the top.
bool ReadPixels(Decompressor& d, uint32_t* pixels) {
  if (setjmp(d.errors.jumpPoint) != 0) return false;
  jpeg_start_decompress(&d.cinfo);
  while (d.cinfo.output_scanline < d.cinfo.output_height) {
    JSAMPROW row = reinterpret_cast<JSAMPROW>(
        pixels + static_cast<size_t>(d.cinfo.output_scanline) * d.cinfo.output_width);
    jpeg_read_scanlines(&d.cinfo, &row, 1);
  }
  jpeg_finish_decompress(&d.cinfo);
  return true;
}

// CMYK as Adobe's programs store it (inverted, so each byte is the amount
// of paper left) into 0x00RRGGBB; without Adobe's marker the bytes are ink.
void CmykToRgb(WorkingImage& image, bool inverted) {
  for (int32_t y = 0; y < image.Height(); ++y) {
    uint32_t* row = image.Row(y);
    for (int32_t x = 0; x < image.Width(); ++x) {
      uint32_t c = row[x] & 0xFF, m = row[x] >> 8 & 0xFF, yl = row[x] >> 16 & 0xFF, k = row[x] >> 24;
      if (!inverted) {
        c = 255 - c, m = 255 - m, yl = 255 - yl, k = 255 - k;
      }
      const uint32_t r = (c * k + 127) / 255, g = (m * k + 127) / 255, b = (yl * k + 127) / 255;
      row[x] = b | g << 8 | r << 16;
    }
  }
}

void ClearUnusedBytes(WorkingImage& image) {
  for (int32_t y = 0; y < image.Height(); ++y) {
    uint32_t* row = image.Row(y);
    for (int32_t x = 0; x < image.Width(); ++x) row[x] &= 0x00FFFFFF;
  }
}

uint32_t ExifGet16(const uint8_t* p, bool bigEndian) {
  return bigEndian ? static_cast<uint32_t>(p[0]) << 8 | p[1] : static_cast<uint32_t>(p[1]) << 8 | p[0];
}
uint32_t ExifGet32(const uint8_t* p, bool bigEndian) {
  return bigEndian ? ExifGet16(p, true) << 16 | ExifGet16(p + 2, true)
                   : ExifGet16(p + 2, false) << 16 | ExifGet16(p, false);
}

// The orientation tag (0x0112) of the first image directory of an EXIF
// block ("Exif\0\0" then a TIFF header); 1, upright, when absent or unreadable.
int ExifOrientation(const uint8_t* block, size_t size) {
  constexpr size_t kTiff = 6;
  if (size < kTiff + 8 || std::char_traits<char>::compare(
                              reinterpret_cast<const char*>(block), "Exif\0\0", 6) != 0) {
    return 1;
  }
  const uint8_t* tiff = block + kTiff;
  const size_t tiffSize = size - kTiff;
  bool bigEndian;
  if (tiff[0] == 'I' && tiff[1] == 'I') {
    bigEndian = false;
  } else if (tiff[0] == 'M' && tiff[1] == 'M') {
    bigEndian = true;
  } else {
    return 1;
  }
  if (ExifGet16(tiff + 2, bigEndian) != 42) return 1;
  const uint32_t directory = ExifGet32(tiff + 4, bigEndian);
  if (directory > tiffSize || tiffSize - directory < 2) return 1;
  const uint32_t entries = ExifGet16(tiff + directory, bigEndian);
  for (uint32_t i = 0; i < entries; ++i) {
    const size_t at = directory + 2 + size_t{i} * 12;
    if (at + 12 > tiffSize) return 1;
    const uint8_t* entry = tiff + at;
    if (ExifGet16(entry, bigEndian) != 0x0112) continue;
    const uint32_t type = ExifGet16(entry + 2, bigEndian);  // 3: SHORT
    const uint32_t value = ExifGet16(entry + 8, bigEndian);
    return type == 3 && value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
  }
  return 1;
}

int SavedOrientation(const jpeg_decompress_struct& cinfo) {
  for (jpeg_saved_marker_ptr m = cinfo.marker_list; m != nullptr; m = m->next) {
    if (m->marker != JPEG_APP0 + 1) continue;
    const int orientation = ExifOrientation(m->data, m->data_length);
    if (orientation != 1) return orientation;
  }
  return 1;
}

// The picture as EXIF orientation `orientation` (2-8) says it is to be seen.
WorkingImage Oriented(const WorkingImage& stored, int orientation) {
  const int32_t w = stored.Width(), h = stored.Height();
  const bool swaps = orientation >= 5;
  WorkingImage shown = WorkingImage::ToBeFilled(swaps ? h : w, swaps ? w : h);
  for (int32_t y = 0; y < shown.Height(); ++y) {
    uint32_t* row = shown.Row(y);
    for (int32_t x = 0; x < shown.Width(); ++x) {
      int32_t sx = x, sy = y;
      switch (orientation) {
        case 2: sx = w - 1 - x; break;
        case 3: sx = w - 1 - x, sy = h - 1 - y; break;
        case 4: sy = h - 1 - y; break;
        case 5: sx = y, sy = x; break;
        case 6: sx = y, sy = h - 1 - x; break;
        case 7: sx = w - 1 - y, sy = h - 1 - x; break;
        case 8: sx = w - 1 - y, sy = x; break;
        default: break;
      }
      row[x] = stored.Pixel(sx, sy);
    }
  }
  return shown;
}

}  // namespace

bool DecodeJpeg(const uint8_t* data, size_t size, WorkingImage& out, std::string& reason) {
  Decompressor d;
  if (!ReadHeader(d, data, size)) {
    reason = "JPEG: cannot read the header";
    return false;
  }
  // The saved markers go with the decompressor's image memory at its finish.
  const int orientation = SavedOrientation(d.cinfo);
  CheckWorkingImageSize(d.cinfo.output_width, d.cinfo.output_height);
  WorkingImage image = WorkingImage::ToBeFilled(static_cast<int32_t>(d.cinfo.output_width),
                                                static_cast<int32_t>(d.cinfo.output_height));
  if (!ReadPixels(d, image.Row(0))) {
    reason = "JPEG: cannot decode the picture";
    return false;
  }
  if (d.cinfo.out_color_space == JCS_CMYK) {
    CmykToRgb(image, d.cinfo.saw_Adobe_marker);
  } else {
    ClearUnusedBytes(image);
  }
  out = orientation == 1 ? std::move(image) : Oriented(image, orientation);
  return true;
}

}  // namespace zumorika
