// Pictures that arrive as bytes: the alpha rules of the clipboard's DIBs,
// header checks against the data's size, BMP depths, PNG and JPEG files.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include <png.h>
#include <zlib.h>

#include "TestPictures.h"
#include "imaging/ImagingTexts.h"
#include "imaging/saving/JpegEncoder.h"
#include "imaging/decoding/PictureDecoding.h"
#include "util/AppError.h"

namespace zumorika {
namespace {

using test::Rgb;

constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3;
constexpr uint32_t kStandardMasks[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};

void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  b[at] = v & 0xFF;
  b[at + 1] = v >> 8 & 0xFF;
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  Put16(b, at, v & 0xFFFF);
  Put16(b, at + 2, v >> 16);
}

// A packed DIB: header of `headerSize` bytes, then masks for a plain header
// with bit fields (the alpha mask too for BI_ALPHABITFIELDS), the colour
// table, and `pixels` as stored.
struct DibFields {
  uint32_t headerSize = 124;
  int32_t width = 2;
  int32_t height = 1;  // negative: top-down
  uint32_t bits = 32;
  uint32_t compression = kBiRgb;
  uint32_t colourMasks[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};
  uint32_t alphaMask = 0xFF000000;
  std::vector<uint32_t> table;
  std::vector<uint8_t> pixels;
  bool repeatMasks = false;  // masks written again after a header that holds them
};

std::vector<uint8_t> MakeDib(const DibFields& s) {
  std::vector<uint8_t> b(s.headerSize, 0);
  Put32(b, 0, s.headerSize);
  Put32(b, 4, static_cast<uint32_t>(s.width));
  Put32(b, 8, static_cast<uint32_t>(s.height));
  Put16(b, 12, 1);
  Put16(b, 14, s.bits);
  Put32(b, 16, s.compression);
  Put32(b, 32, static_cast<uint32_t>(s.table.size()));
  if (s.headerSize >= 56) {
    for (int i = 0; i < 3; ++i) Put32(b, 40 + 4 * i, s.colourMasks[i]);
    Put32(b, 52, s.alphaMask);
  }
  const size_t maskCount = s.compression == 6 ? 4 : 3;  // BI_ALPHABITFIELDS adds alpha
  if ((s.compression == kBiBitfields || maskCount == 4) && (s.headerSize == 40 || s.repeatMasks)) {
    const uint32_t masks[4] = {s.colourMasks[0], s.colourMasks[1], s.colourMasks[2], s.alphaMask};
    for (size_t i = 0; i < maskCount; ++i) {
      b.resize(b.size() + 4);
      Put32(b, b.size() - 4, masks[i]);
    }
  }
  for (uint32_t colour : s.table) {
    b.resize(b.size() + 4);
    Put32(b, b.size() - 4, colour);
  }
  b.insert(b.end(), s.pixels.begin(), s.pixels.end());
  return b;
}

std::vector<uint8_t> Bgra(std::initializer_list<uint32_t> argb) {
  std::vector<uint8_t> bytes;
  for (uint32_t p : argb) {
    for (int i = 0; i < 4; ++i) bytes.push_back(p >> (8 * i) & 0xFF);
  }
  return bytes;
}

std::vector<uint32_t> PixelsOf(const WorkingImage& image) {
  std::vector<uint32_t> pixels;
  for (int32_t y = 0; y < image.Height(); ++y) {
    for (int32_t x = 0; x < image.Width(); ++x) pixels.push_back(image.Pixel(x, y));
  }
  return pixels;
}

// The clipboard's 32-bit DIBs: which are composed on white, and to what.
struct AlphaCase {
  const char* name;
  DibFields dib;
  bool composed;
  std::vector<uint32_t> expected;  // rows from the top
};

DibFields Fields(uint32_t headerSize, std::vector<uint8_t> pixels, uint32_t compression = kBiRgb) {
  DibFields s;
  s.headerSize = headerSize;
  s.compression = compression;
  s.pixels = std::move(pixels);
  return s;
}

// Bit fields in the order red, green, blue, alpha (3: BI_BITFIELDS, 6:
// BI_ALPHABITFIELDS).
DibFields Masked(uint32_t headerSize, uint32_t compression, uint32_t bits,
                 std::array<uint32_t, 4> masks, std::vector<uint8_t> pixels) {
  DibFields s = Fields(headerSize, std::move(pixels), compression);
  s.bits = bits;
  std::copy(masks.begin(), masks.begin() + 3, s.colourMasks);
  s.alphaMask = masks[3];
  return s;
}
constexpr std::array<uint32_t, 4> kRgbaMasks = {0xFF000000, 0xFF0000, 0xFF00, 0xFF},
                                  k1010102Masks = {0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000},
                                  k4444Masks = {0xF00, 0xF0, 0xF, 0xF000},
                                  k1555Masks = {0x7C00, 0x3E0, 0x1F, 0x8000};

std::vector<AlphaCase> AlphaCases() {
  std::vector<AlphaCase> cases;
  // Transparent corner, half-covered colour (premultiplied), opaque colour.
  const auto browser = Bgra({0x00000000, 0x80402010});
  cases.push_back({"premultiplied V5, the browsers' CF_DIBV5", Fields(124, browser), true,
                   {0xFFFFFF, Rgb(0x40 + 127, 0x20 + 127, 0x10 + 127)}});
  // 200 > 128: straight. 200*128/255 = 100.4, 100*128/255 = 50.2, 50*128/255 = 25.1.
  cases.push_back({"straight alpha", Fields(124, Bgra({0x00000000, 0x80C86432})), true,
                   {0xFFFFFF, Rgb(100 + 127, 50 + 127, 25 + 127)}});
  // 1 * 128 / 255 = 0.502 rounds up.
  cases.push_back({"straight rounds to the nearest", Fields(40, Bgra({0x80C80001, 0xFF0A0B0C})),
                   true, {Rgb(227, 127, 128), Rgb(10, 11, 12)}});
  cases.push_back({"plain info header, Firefox's CF_DIB", Fields(40, browser), true,
                   {0xFFFFFF, Rgb(0xBF, 0x9F, 0x8F)}});
  cases.push_back({"standard bit fields after a plain header",
                   Fields(40, browser, kBiBitfields), true, {0xFFFFFF, Rgb(0xBF, 0x9F, 0x8F)}});
  {
    DibFields s = Fields(124, browser, kBiBitfields);
    s.repeatMasks = true;
    cases.push_back({"bit fields repeated after a V5 header, found by the data's size", s, true,
                     {0xFFFFFF, Rgb(0xBF, 0x9F, 0x8F)}});
  }
  {
    DibFields s = Fields(124, browser);
    s.colourMasks[0] = s.colourMasks[1] = s.colourMasks[2] = 0;
    cases.push_back({"BI_RGB ignores the colour mask fields", s, true,
                     {0xFFFFFF, Rgb(0xBF, 0x9F, 0x8F)}});
  }
  {
    DibFields s = Fields(124, Bgra({0x00000000, 0x80402010, 0xFF0000FF, 0x40101010}));
    s.height = -2;
    cases.push_back({"top-down rows", s, true,
                     {0xFFFFFF, Rgb(0xBF, 0x9F, 0x8F), Rgb(0, 0, 255), Rgb(0xCF, 0xCF, 0xCF)}});
    s.height = 2;
    cases.push_back({"bottom-up rows", s, true,
                     {Rgb(0, 0, 255), Rgb(0xCF, 0xCF, 0xCF), 0xFFFFFF, Rgb(0xBF, 0x9F, 0x8F)}});
  }
  // Alpha elsewhere, by the masks: a transparent green pixel; red 200,
  // green 100, blue 50 at 128 as in "straight alpha". 10-10-10-2: alpha 1
  // of 3 (85) over red 1023, blue 512 (128). 4-4-4-4: alpha 8 of 15 (136)
  // over red 15, green 8. Two 16-bit pixels go in each 32-bit value.
  const auto rgba = Bgra({0x00FF0000, 0xC8643280});
  const std::vector<uint32_t> halfCovered = {0xFFFFFF, Rgb(227, 177, 152)};
  cases.push_back({"alpha in the low byte, V5", Masked(124, 3, 32, kRgbaMasks, rgba), true,
                   halfCovered});
  cases.push_back({"the same in BI_ALPHABITFIELDS after a plain header",
                   Masked(40, 6, 32, kRgbaMasks, rgba), true, halfCovered});
  cases.push_back({"the same in the 56-byte header", Masked(56, 3, 32, kRgbaMasks, rgba), true,
                   halfCovered});
  cases.push_back({"10-10-10-2", Masked(124, 3, 32, k1010102Masks, Bgra({0xFFC00, 0x7FF00200})),
                   true, {0xFFFFFF, Rgb(255, 170, 213)}});
  cases.push_back({"16 bits 4-4-4-4", Masked(124, 3, 16, k4444Masks, Bgra({0x8F800F00})), true,
                   {0xFFFFFF, Rgb(255, 192, 119)}});
  cases.push_back({"16 bits 1-5-5-5, every alpha bit clear",
                   Masked(124, 3, 16, k1555Masks, Bgra({0x001F7C00})), false, {}});
  cases.push_back({"16 bits BI_RGB has no alpha, whatever the header's masks",
                   Masked(124, kBiRgb, 16, k1555Masks, Bgra({0x801F7C00})), false, {}});
  cases.push_back({"an alpha mask that shares bits with a colour",
                   Masked(124, 3, 32, {0xFF000000, 0xFF0000, 0xFF00, 0x1FF}, rgba), false, {}});
  cases.push_back({"fourth bytes all 0: a paint program's opaque picture",
                   Fields(124, Bgra({0x00102030, 0x00405060})), false, {}});
  cases.push_back({"fourth bytes all 255", Fields(40, Bgra({0xFF102030, 0xFF405060})), false, {}});
  {
    DibFields s = Fields(124, browser);
    s.alphaMask = 0;
    cases.push_back({"a V5 header declaring no alpha", s, false, {}});
  }
  {
    DibFields s = Fields(40, browser, kBiBitfields);
    s.colourMasks[0] = 0x000000FF;
    s.colourMasks[2] = 0x00FF0000;
    cases.push_back({"bit fields in another order", s, false, {}});
  }
  {
    DibFields s = Fields(40, {0, 0, 0, 0, 0, 0, 0, 0});
    s.bits = 24;
    cases.push_back({"24 bits have no alpha", s, false, {}});
  }
  return cases;
}

TEST(DibAlphaTest, ComposesOnlyWhereTheAlphaMeansSomething) {
  for (const AlphaCase& c : AlphaCases()) {
    const std::vector<uint8_t> dib = MakeDib(c.dib);
    WorkingImage out;
    EXPECT_EQ(ComposeTransparentDib(dib.data(), dib.size(), out), c.composed) << c.name;
    // Read in place, as a program's own DIB is kept: the same judgement,
    // and composed into rows of its own, the same pixels.
    PackedDib packed;
    std::string reason;
    ASSERT_TRUE(ReadPackedDib(dib.data(), dib.size(), packed, reason)) << c.name << ": " << reason;
    EXPECT_EQ(packed.alpha != DibAlpha::Opaque, c.composed) << c.name;
    if (c.composed) {
      EXPECT_EQ(PixelsOf(out), c.expected) << c.name;
      WorkingImage rows = WorkingImage::ToBeFilled(packed.width, packed.height);
      ComposeDibRows(packed, rows.Row(0), static_cast<size_t>(packed.width));
      EXPECT_EQ(PixelsOf(rows), c.expected) << c.name;
    }
  }
}

// A malformed DIB is refused without reading outside its data (the
// sanitizer build watches the reads).
TEST(DibAlphaTest, RefusesHeadersThatDisagreeWithTheData) {
  const DibFields good = Fields(124, Bgra({0x00000000, 0x80402010}));
  struct Bad {
    const char* name;
    void (*spoil)(std::vector<uint8_t>&);
  };
  const Bad bads[] = {
      {"pixels cut short", [](std::vector<uint8_t>& b) { b.pop_back(); }},
      {"header larger than the data", [](std::vector<uint8_t>& b) { Put32(b, 0, 4096); }},
      {"header of no known size", [](std::vector<uint8_t>& b) { Put32(b, 0, 20); }},
      {"width 0", [](std::vector<uint8_t>& b) { Put32(b, 4, 0); }},
      {"negative width", [](std::vector<uint8_t>& b) { Put32(b, 4, 0xFFFFFFFE); }},
      {"height INT_MIN", [](std::vector<uint8_t>& b) { Put32(b, 8, 0x80000000); }},
      {"a size whose bytes overflow", [](std::vector<uint8_t>& b) {
         Put32(b, 4, 0x7FFFFFFF);
         Put32(b, 8, 0x7FFFFFFF);
       }},
      {"colour table past the end", [](std::vector<uint8_t>& b) { Put32(b, 32, 0xFFFFFFFF); }},
      {"two planes", [](std::vector<uint8_t>& b) { Put16(b, 12, 2); }},
      {"JPEG compression", [](std::vector<uint8_t>& b) { Put32(b, 16, 4); }},
      {"only half a header", [](std::vector<uint8_t>& b) { b.resize(30); }},
      {"bit fields after an odd header, the data ending with it", [](std::vector<uint8_t>& b) {
         Put32(b, 0, 42);
         Put32(b, 16, kBiBitfields);
         b.resize(42);
       }},
  };
  for (const Bad& bad : bads) {
    std::vector<uint8_t> dib = MakeDib(good);
    bad.spoil(dib);
    WorkingImage out;
    EXPECT_FALSE(ComposeTransparentDib(dib.data(), dib.size(), out)) << bad.name;
  }
}

std::vector<uint8_t> BmpFile(const DibFields& fields) {
  const std::vector<uint8_t> dib = MakeDib(fields);
  std::vector<uint8_t> file(14, 0);
  file[0] = 'B';
  file[1] = 'M';
  Put32(file, 2, static_cast<uint32_t>(14 + dib.size()));
  Put32(file, 10, static_cast<uint32_t>(14 + dib.size() - fields.pixels.size()));
  file.insert(file.end(), dib.begin(), dib.end());
  return file;
}

const std::vector<uint32_t> kTable = {Rgb(0, 0, 0), Rgb(255, 0, 0), Rgb(0, 255, 0),
                                      Rgb(0, 0, 255)};

struct BmpCase {
  const char* name;
  DibFields dib;
  std::vector<uint32_t> expected;
};

DibFields Depth(uint32_t bits, int32_t width, int32_t height, std::vector<uint8_t> pixels,
              uint32_t compression = kBiRgb) {
  DibFields s;
  s.headerSize = 40;
  s.bits = bits;
  s.width = width;
  s.height = height;
  s.compression = compression;
  s.pixels = std::move(pixels);
  if (bits <= 8) s.table = kTable;
  return s;
}

TEST(BmpFileTest, ReadsEveryUsualDepth) {
  const uint32_t red = Rgb(255, 0, 0), green = Rgb(0, 255, 0), blue = Rgb(0, 0, 255);
  std::vector<BmpCase> cases = {
      {"1 bit", Depth(1, 3, 1, {0b01000000, 0, 0, 0}), {0, red, 0}},
      {"4 bits", Depth(4, 3, 1, {0x12, 0x30, 0, 0}), {red, green, blue}},
      {"8 bits, two rows bottom-up", Depth(8, 2, 2, {1, 2, 0, 0, 3, 0, 0, 0}),
       {blue, 0, red, green}},
      {"16 bits 5-5-5", Depth(16, 2, 1, {0x00, 0x7C, 0x1F, 0x00}), {red, blue}},
      {"24 bits", Depth(24, 1, 1, {0x10, 0x20, 0x30, 0}), {Rgb(0x30, 0x20, 0x10)}},
      {"32 bits, fourth bytes 0", Depth(32, 1, 1, {0x10, 0x20, 0x30, 0}), {Rgb(0x30, 0x20, 0x10)}},
      {"32 bits with alpha, composed", Depth(32, 1, 1, {0, 0, 0, 0x80}), {Rgb(127, 127, 127)}},
      // Run of 2 red, literal 3 (green, blue, red), end of line; end of picture.
      {"8-bit runs", Depth(8, 5, 1, {2, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 1}, kBiRle8),
       {red, red, green, blue, red}},
      // Skipped pixels stay white: jump 1 right, then a run of 2 alternating.
      {"4-bit runs and a jump", Depth(4, 3, 1, {0, 2, 1, 0, 2, 0x23, 0, 1}, kBiRle4),
       {0xFFFFFF, green, blue}},
  };
  {
    DibFields s = Depth(16, 1, 1, {0x1F, 0xF8, 0, 0}, kBiBitfields);  // 5-6-5: red 0xF800
    s.colourMasks[0] = 0xF800;
    s.colourMasks[1] = 0x07E0;
    s.colourMasks[2] = 0x001F;
    cases.push_back({"16 bits 5-6-5 in bit fields", s, {Rgb(255, 0, 255)}});
  }
  cases.push_back({"10-10-10-2 in BI_ALPHABITFIELDS, composed as the clipboard's",
                   Masked(40, 6, 32, k1010102Masks, Bgra({0xFFC00, 0x7FF00200})),
                   {0xFFFFFF, Rgb(255, 170, 213)}});
  for (const BmpCase& c : cases) {
    const std::vector<uint8_t> file = BmpFile(c.dib);
    WorkingImage out;
    std::string reason;
    ASSERT_TRUE(DecodeBmpFile(file.data(), file.size(), out, reason)) << c.name << ": " << reason;
    EXPECT_EQ(PixelsOf(out), c.expected) << c.name;
  }
}

std::vector<uint8_t> EncodePng(int32_t width, int32_t height, const std::vector<uint8_t>& rgba) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  EXPECT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr));
  std::vector<uint8_t> png(size);
  EXPECT_TRUE(png_image_write_to_memory(&image, png.data(), &size, 0, rgba.data(), 0, nullptr));
  png.resize(size);
  return png;
}

TEST(PngTest, DecodesStraightAlphaOnWhiteAndRefusesWhatIsNoPng) {
  // Transparent black, half-covered red, opaque blue.
  const std::vector<uint8_t> png = EncodePng(3, 1, {0, 0, 0, 0, 255, 0, 0, 128, 0, 0, 255, 255});
  WorkingImage out;
  std::string reason;
  ASSERT_TRUE(DecodePng(png.data(), png.size(), out, reason)) << reason;
  EXPECT_EQ(PixelsOf(out), (std::vector<uint32_t>{0xFFFFFF, Rgb(255, 127, 127), Rgb(0, 0, 255)}));

  std::vector<uint8_t> cut(png.begin(), png.begin() + png.size() / 2);
  EXPECT_FALSE(DecodePng(cut.data(), cut.size(), out, reason));
  const uint8_t text[] = "not a picture";
  EXPECT_FALSE(DecodePng(text, sizeof text, out, reason));
  EXPECT_FALSE(reason.empty());
}

TEST(PngTest, APictureLargerThanTheWorkingImageIsRefusedBeforeDecoding) {
  std::vector<uint8_t> png = EncodePng(1, 1, {0, 0, 0, 255});
  // IHDR's width and height, then its CRC made anew.
  const uint32_t side = 50000;
  for (size_t at : {16u, 20u}) {
    for (int i = 0; i < 4; ++i) png[at + i] = static_cast<uint8_t>(side >> (24 - 8 * i));
  }
  const uLong crc = crc32(0, png.data() + 12, 17);
  for (int i = 0; i < 4; ++i) png[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
  WorkingImage out;
  std::string reason;
  try {
    DecodePng(png.data(), png.size(), out, reason);
    ADD_FAILURE() << "no error: " << reason;
  } catch (const AppError& e) {
    EXPECT_STREQ(e.what(), kTextImageTooLarge);
  }
}

// A 13 x 11 16-bit PNG by libpng's writer (every Adam7 pass holds pixels),
// its samples running through the whole range.
std::vector<uint8_t> WritePng(int colourType, double gamma, bool transparentColour,
                              bool interlaced) {
  constexpr png_uint_32 kWidth = 13, kHeight = 11, kRowBytes = kWidth * 8;
  std::vector<uint8_t> bytes;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &bytes, [](png_structp p, png_bytep data, size_t size) {
    auto& out = *static_cast<std::vector<uint8_t>*>(png_get_io_ptr(p));
    out.insert(out.end(), data, data + size);
  }, nullptr);
  png_set_IHDR(png, info, kWidth, kHeight, 16, colourType,
               interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, 0, 0);
  png_color_16 first{0, 0x005C, 0xBA1A, 0x6FD3, 0x005C};  // the first pixel, RGB or grey
  if (transparentColour) png_set_tRNS(png, info, nullptr, 0, &first);
  if (gamma != 0) png_set_gAMA(png, info, gamma);
  std::vector<png_byte> pixels(kHeight * kRowBytes);
  for (size_t i = 0; i < pixels.size(); ++i) {
    pixels[i] = static_cast<png_byte>(i * 91 + i * i % 13);
  }
  std::vector<png_bytep> rows;
  for (size_t y = 0; y < kHeight; ++y) rows.push_back(&pixels[y * kRowBytes]);
  png_write_info(png, info);
  png_write_image(png, rows.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return bytes;
}

// libpng's simplified reader mixes the passes of interlaced 16-bit files.
TEST(PngTest, AnInterlacedFileGivesThePictureOfTheSameFileNotInterlaced) {
  const struct {
    int colourType;
    double gamma;
    bool transparentColour;
  } files[] = {{PNG_COLOR_TYPE_GRAY, 0, false},      {PNG_COLOR_TYPE_GRAY_ALPHA, 0, false},
               {PNG_COLOR_TYPE_RGB, 0, false},       {PNG_COLOR_TYPE_RGB_ALPHA, 0, false},
               {PNG_COLOR_TYPE_RGB_ALPHA, 0.55, false}, {PNG_COLOR_TYPE_GRAY, 0.45455, true},
               {PNG_COLOR_TYPE_RGB, 0, true}};
  for (const auto& f : files) {
    WorkingImage pictures[2];
    for (bool interlaced : {false, true}) {
      const std::vector<uint8_t> png =
          WritePng(f.colourType, f.gamma, f.transparentColour, interlaced);
      std::string reason;
      ASSERT_TRUE(DecodePng(png.data(), png.size(), pictures[interlaced], reason)) << reason;
    }
    EXPECT_EQ(PixelsOf(pictures[1]), PixelsOf(pictures[0]))
        << "colour type " << f.colourType << ", gamma " << f.gamma << ", tRNS "
        << f.transparentColour;
  }
}

// A 3 x 1 16-bit grey PNG of levels 32, 64 and 128 (each v * 257), with
// `chunk` (type and data; none when empty) before its pixels.
std::vector<uint8_t> GreyPng16(const std::string& chunk, const std::string& data,
                               bool interlaced) {
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  const auto put = [&](const std::string& type, const std::vector<uint8_t>& body) {
    for (int shift = 24; shift >= 0; shift -= 8) png.push_back(body.size() >> shift & 0xFF);
    std::vector<uint8_t> typed(type.begin(), type.end());
    typed.insert(typed.end(), body.begin(), body.end());
    png.insert(png.end(), typed.begin(), typed.end());
    const uLong crc = crc32(0, typed.data(), static_cast<uInt>(typed.size()));
    for (int shift = 24; shift >= 0; shift -= 8) png.push_back(crc >> shift & 0xFF);
  };
  put("IHDR", {0, 0, 0, 3, 0, 0, 0, 1, 16, 0, 0, 0, static_cast<uint8_t>(interlaced)});
  if (!chunk.empty()) put(chunk, std::vector<uint8_t>(data.begin(), data.end()));
  // Adam7 keeps the pixels of a 3 x 1 picture in passes 1, 4 and 6: x 0, 2, 1.
  const std::vector<uint8_t> raw =
      interlaced ? std::vector<uint8_t>{0, 32, 32, 0, 128, 128, 0, 64, 64}
                 : std::vector<uint8_t>{0, 32, 32, 64, 64, 128, 128};
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<uint8_t> packed(packedSize);
  compress(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()));
  packed.resize(packedSize);
  put("IDAT", packed);
  put("IEND", {});
  return png;
}

// A 16-bit file that says nothing of its colours is sRGB, as browsers show
// it; one that says something keeps libpng's reading (linear without gAMA).
TEST(PngTest, ASixteenBitFileWithoutColourChunkIsSrgb) {
  const std::string gammaOne("\x00\x01\x86\xA0", 4), perceptual("\x00", 1);
  const std::vector<uint32_t> srgb = {Rgb(32, 32, 32), Rgb(64, 64, 64), Rgb(128, 128, 128)};
  const std::vector<uint32_t> linear = {Rgb(99, 99, 99), Rgb(136, 136, 136), Rgb(186, 186, 186)};
  const struct {
    const char* chunk;
    std::string data;
    const std::vector<uint32_t>& expected;
  } files[] = {
      {"", "", srgb},
      {"sRGB", perceptual, srgb},
      {"gAMA", gammaOne, linear},
      {"iCCP", std::string("profile\0\0\x78\x9C\x03\x00\x00\x00\x00\x01", 17), linear},
      {"cICP", std::string("\x01\x0D\x00\x01", 4), linear},
  };
  for (const auto& f : files) {
    for (bool interlaced : {false, true}) {
      const std::vector<uint8_t> png = GreyPng16(f.chunk, f.data, interlaced);
      WorkingImage out;
      std::string reason;
      ASSERT_TRUE(DecodePng(png.data(), png.size(), out, reason)) << f.chunk << ": " << reason;
      EXPECT_EQ(PixelsOf(out), f.expected) << "chunk '" << f.chunk << "', interlaced " << interlaced;
    }
  }
}

// A JPEG of two solid halves, red on the left and blue on the right, with
// an EXIF block giving `orientation` (0: none) spliced in after its start.
std::vector<uint8_t> TwoHalvesJpeg(int orientation) {
  constexpr int kWidth = 32, kHeight = 16;
  WorkingImage halves(kWidth, kHeight);
  for (int32_t y = 0; y < kHeight; ++y) {
    for (int32_t x = 0; x < kWidth; ++x) {
      halves.Row(y)[x] = x < kWidth / 2 ? Rgb(255, 0, 0) : Rgb(0, 0, 255);
    }
  }
  std::vector<uint8_t> jpeg;
  EncodeJpeg(halves, 95, false, jpeg);
  if (orientation != 0) {
    // APP1: "Exif\0\0", big-endian TIFF header, one entry: 0x0112 SHORT 1.
    const uint8_t app1[] = {0xFF, 0xE1, 0, 34, 'E', 'x', 'i', 'f', 0, 0, 'M', 'M', 0, 42, 0, 0,
                            0, 8, 0, 1, 0x01, 0x12, 0, 3, 0, 0, 0, 1, 0,
                            static_cast<uint8_t>(orientation), 0, 0, 0, 0, 0, 0};
    jpeg.insert(jpeg.begin() + 2, app1, app1 + sizeof app1);
  }
  return jpeg;
}

bool Reddish(uint32_t p) { return (p >> 16 & 0xFF) > 200 && (p & 0xFF) < 60; }
bool Bluish(uint32_t p) { return (p & 0xFF) > 200 && (p >> 16 & 0xFF) < 60; }

TEST(JpegTest, StandsUprightAsItsExifOrientationSays) {
  struct Case {
    int orientation;
    int32_t width, height;
    // Where red lies: a point in it, and a point of blue.
    int32_t redX, redY, blueX, blueY;
  };
  const Case cases[] = {
      {0, 32, 16, 4, 8, 28, 8},  {1, 32, 16, 4, 8, 28, 8},  {2, 32, 16, 28, 8, 4, 8},
      {3, 32, 16, 28, 8, 4, 8},  {4, 32, 16, 4, 8, 28, 8},  {5, 16, 32, 8, 4, 8, 28},
      {6, 16, 32, 8, 4, 8, 28},  {7, 16, 32, 8, 28, 8, 4},  {8, 16, 32, 8, 28, 8, 4},
  };
  for (const Case& c : cases) {
    const std::vector<uint8_t> jpeg = TwoHalvesJpeg(c.orientation);
    WorkingImage out;
    std::string reason;
    ASSERT_TRUE(DecodeJpeg(jpeg.data(), jpeg.size(), out, reason)) << reason;
    EXPECT_EQ(out.Width(), c.width) << c.orientation;
    EXPECT_EQ(out.Height(), c.height) << c.orientation;
    EXPECT_TRUE(Reddish(out.Pixel(c.redX, c.redY))) << c.orientation;
    EXPECT_TRUE(Bluish(out.Pixel(c.blueX, c.blueY))) << c.orientation;
    EXPECT_EQ(out.Pixel(c.redX, c.redY) >> 24, 0u) << "the unused byte is clear";
  }
  const std::vector<uint8_t> jpeg = TwoHalvesJpeg(0);
  WorkingImage out;
  std::string reason;
  EXPECT_FALSE(DecodeJpeg(jpeg.data(), 20, out, reason)) << "a header cut short";
}

TEST(PictureFileKindTest, GoesByTheExtensionInAnyCase) {
  const std::pair<const char*, PictureFileKind> cases[] = {
      {"C:\\a\\photo.JPG", PictureFileKind::Jpeg}, {"b.jpeg", PictureFileKind::Jpeg},
      {"logo.PnG", PictureFileKind::Png},          {"plan.bmp", PictureFileKind::Bmp},
      {"anim.gif", PictureFileKind::None},         {"notes.png.txt", PictureFileKind::None},
      {"C:\\x.png\\README", PictureFileKind::None}, {"png", PictureFileKind::None},
  };
  for (const auto& [name, kind] : cases) EXPECT_EQ(PictureFileKindOf(name), kind) << name;
}

}  // namespace
}  // namespace zumorika
