#include "imaging/saving/JpegEncoder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>

#include <jpeglib.h>
#include <jerror.h>
#include <gtest/gtest.h>

#include "TestPictures.h"
#include "imaging/saving/ImageFile.h"
#include "imaging/ImagingTexts.h"
#include "util/AppError.h"

namespace zumorika {
namespace {

using test::Rgb;

// The markers of a baseline JPEG up to the start of scan.
struct Markers {
  std::map<int, std::vector<uint8_t>> segments;  // marker -> payload (first occurrence)
  std::vector<std::vector<uint8_t>> quantTables;  // DQT payloads in order
  bool hasSof2 = false;
  bool hasAdobe = false;
};

Markers ParseMarkers(const std::vector<uint8_t>& data) {
  Markers m;
  EXPECT_GE(data.size(), 4u);
  EXPECT_EQ(data[0], 0xFF);
  EXPECT_EQ(data[1], 0xD8);  // SOI
  EXPECT_EQ(data[data.size() - 2], 0xFF);
  EXPECT_EQ(data[data.size() - 1], 0xD9);  // EOI
  size_t at = 2;
  while (at + 4 <= data.size() && data[at] == 0xFF) {
    const int marker = data[at + 1];
    const size_t length = data[at + 2] << 8 | data[at + 3];
    std::vector<uint8_t> payload(data.begin() + at + 4, data.begin() + at + 2 + length);
    if (marker == 0xDB) m.quantTables.push_back(payload);
    if (marker == 0xC2) m.hasSof2 = true;
    if (marker == 0xEE) m.hasAdobe = true;
    m.segments.emplace(marker, payload);
    if (marker == 0xDA) break;  // SOS: entropy-coded data follows
    at += 2 + length;
  }
  return m;
}

std::vector<uint8_t> Encode(int32_t width, int32_t height, int quality, bool grey) {
  std::vector<uint8_t> out;
  EncodeJpeg(test::ImageFrom(width, height, test::AsymmetricPixels(width, height)), quality,
             grey, out);
  return out;
}

// libjpeg's scaling of the standard tables (Annex K) with force baseline.
int ScaledQuant(int standard, int quality) {
  const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
  return std::clamp((standard * scale + 50) / 100, 1, 255);
}

constexpr int kStdLuminance[64] = {
    16, 11, 10, 16, 24, 40, 51, 61, 12, 12, 14, 19, 26, 58, 60, 55,
    14, 13, 16, 24, 40, 57, 69, 56, 14, 17, 22, 29, 51, 87, 80, 62,
    18, 22, 37, 56, 68, 109, 103, 77, 24, 35, 55, 64, 81, 104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
constexpr int kStdChrominance[64] = {
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
    24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};
// Zig-zag position -> natural (row-major) index.
constexpr int kZigZag[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
    12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
    35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
    58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// Collects the 8-bit tables of all DQT segments by table id.
std::map<int, std::vector<int>> QuantTables(const Markers& m) {
  std::map<int, std::vector<int>> tables;
  for (const auto& payload : m.quantTables) {
    size_t at = 0;
    while (at < payload.size()) {
      EXPECT_EQ(payload[at] >> 4, 0) << "16-bit table in a baseline file";
      const int id = payload[at] & 0x0F;
      std::vector<int> natural(64);
      for (int i = 0; i < 64; ++i) natural[kZigZag[i]] = payload[at + 1 + i];
      tables[id] = natural;
      at += 65;
    }
  }
  return tables;
}

// Stream structure
TEST(EncodeJpeg, WritesABaselineColourFrameWithHalvedChroma) {
  const Markers m = ParseMarkers(Encode(7, 5, 90, false));
  ASSERT_TRUE(m.segments.count(0xC0));
  EXPECT_FALSE(m.hasSof2);
  EXPECT_FALSE(m.hasAdobe);
  const auto& sof = m.segments.at(0xC0);
  EXPECT_EQ(sof[0], 8);                   // sample precision
  EXPECT_EQ(sof[1] << 8 | sof[2], 5);     // height
  EXPECT_EQ(sof[3] << 8 | sof[4], 7);     // width
  ASSERT_EQ(sof[5], 3);
  EXPECT_EQ(sof[6 + 1], 0x22);            // Y 2 x 2
  EXPECT_EQ(sof[9 + 1], 0x11);            // Cb 1 x 1
  EXPECT_EQ(sof[12 + 1], 0x11);           // Cr 1 x 1
  EXPECT_EQ(sof[6 + 2], 0);
  EXPECT_EQ(sof[9 + 2], 1);               // chroma use table 1
  EXPECT_EQ(sof[12 + 2], 1);
}

TEST(EncodeJpeg, WritesOneComponentForGrey) {
  const Markers m = ParseMarkers(Encode(5, 3, 75, true));
  ASSERT_TRUE(m.segments.count(0xC0));
  const auto& sof = m.segments.at(0xC0);
  ASSERT_EQ(sof[5], 1);
  EXPECT_EQ(sof[6 + 1], 0x11);
  const auto tables = QuantTables(m);
  EXPECT_EQ(tables.size(), 1u);  // no chroma table in use
  EXPECT_EQ(tables.count(0), 1u);
}

TEST(EncodeJpeg, WritesJfifOnePointZeroOneWithUnitlessDensity) {
  const Markers m = ParseMarkers(Encode(3, 2, 90, false));
  ASSERT_TRUE(m.segments.count(0xE0));
  const auto& app0 = m.segments.at(0xE0);
  ASSERT_GE(app0.size(), 14u);
  EXPECT_EQ(std::string(app0.begin(), app0.begin() + 5), std::string("JFIF\0", 5));
  EXPECT_EQ(app0[5], 1);
  EXPECT_EQ(app0[6], 1);                    // version 1.01
  EXPECT_EQ(app0[7], 0);                    // density unit: aspect ratio only
  EXPECT_EQ(app0[8] << 8 | app0[9], 1);     // x density
  EXPECT_EQ(app0[10] << 8 | app0[11], 1);   // y density
  EXPECT_EQ(app0[12], 0);                   // no thumbnail
  EXPECT_EQ(app0[13], 0);
}

// Quality
TEST(EncodeJpeg, ScalesTheStandardTablesByQuality) {
  for (const int quality : {1, 25, 50, 90, 100}) {
    SCOPED_TRACE(quality);
    const auto tables = QuantTables(ParseMarkers(Encode(8, 8, quality, false)));
    ASSERT_EQ(tables.size(), 2u);
    for (int i = 0; i < 64; ++i) {
      ASSERT_EQ(tables.at(0)[i], ScaledQuant(kStdLuminance[i], quality)) << "luminance " << i;
      ASSERT_EQ(tables.at(1)[i], ScaledQuant(kStdChrominance[i], quality)) << "chroma " << i;
    }
  }
  const auto best = QuantTables(ParseMarkers(Encode(8, 8, 100, false)));
  EXPECT_EQ(best.at(0), std::vector<int>(64, 1));
  const auto worst = QuantTables(ParseMarkers(Encode(8, 8, 1, false)));
  EXPECT_EQ(worst.at(1), std::vector<int>(64, 255));
}

// The encoder reads the working rows in place (blue, green, red, unused);
// the files must be byte for byte those of red, green, blue rows in the
// library's plain RGB input, the way they were first made.
std::vector<uint8_t> EncodeFromRgbRows(const WorkingImage& image, int quality, bool grey) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(image.Width());
  cinfo.image_height = static_cast<JDIMENSION>(image.Height());
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  if (grey) jpeg_set_colorspace(&cinfo, JCS_GRAYSCALE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<uint8_t> rgb(static_cast<size_t>(image.Width()) * 3);
  while (cinfo.next_scanline < cinfo.image_height) {
    const uint32_t* src = image.Row(static_cast<int32_t>(cinfo.next_scanline));
    for (int32_t x = 0; x < image.Width(); ++x) {
      rgb[x * 3] = static_cast<uint8_t>(src[x] >> 16);
      rgb[x * 3 + 1] = static_cast<uint8_t>(src[x] >> 8);
      rgb[x * 3 + 2] = static_cast<uint8_t>(src[x]);
    }
    JSAMPROW row = rgb.data();
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::vector<uint8_t> out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

TEST(EncodeJpeg, WritesTheSameBytesAsFromRgbRows) {
  struct Case {
    int32_t width, height;
    int quality;
    bool grey;
  };
  // Sizes that leave partial blocks and partial 16-row groups at the edges.
  const Case cases[] = {
      {37, 23, 90, false}, {37, 23, 100, false}, {37, 23, 1, false}, {37, 23, 90, true},
      {37, 23, 100, true}, {16, 16, 75, false},  {1, 1, 90, false},   {53, 41, 50, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " q" << c.quality
                                    << (c.grey ? " grey" : " colour"));
    const WorkingImage image =
        test::ImageFrom(c.width, c.height, test::AsymmetricPixels(c.width, c.height));
    std::vector<uint8_t> ours;
    EncodeJpeg(image, c.quality, c.grey, ours);
    EXPECT_EQ(ours, EncodeFromRgbRows(image, c.quality, c.grey));
  }
}

// Colours
struct Decoded {
  int width = 0, height = 0, components = 0;
  std::vector<uint8_t> samples;
};

Decoded Decode(const std::vector<uint8_t>& data) {
  jpeg_decompress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&cinfo, TRUE);
  jpeg_start_decompress(&cinfo);
  Decoded d;
  d.width = static_cast<int>(cinfo.output_width);
  d.height = static_cast<int>(cinfo.output_height);
  d.components = cinfo.output_components;
  d.samples.resize(static_cast<size_t>(d.width) * d.height * d.components);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = d.samples.data() + static_cast<size_t>(cinfo.output_scanline) * d.width * d.components;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return d;
}

TEST(EncodeJpeg, KeepsRedAndBlueInPlaceAndTheTopRowFirst) {
  // Top half red, bottom half blue, a green block on the left: flat areas
  // survive compression at quality 100 to within a few levels.
  const int32_t width = 24, height = 16;
  std::vector<uint32_t> pixels(width * height);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      pixels[y * width + x] = x < 8 ? Rgb(0, 255, 0) : (y < 8 ? Rgb(255, 0, 0) : Rgb(0, 0, 255));
    }
  }
  std::vector<uint8_t> data;
  EncodeJpeg(test::ImageFrom(width, height, pixels), 100, false, data);
  const Decoded d = Decode(data);
  ASSERT_EQ(d.width, width);
  ASSERT_EQ(d.height, height);
  ASSERT_EQ(d.components, 3);
  auto at = [&](int x, int y) { return &d.samples[(y * width + x) * 3]; };
  EXPECT_GT(at(19, 3)[0], 230);  // top right: red
  EXPECT_LT(at(19, 3)[2], 25);
  EXPECT_LT(at(19, 12)[0], 25);  // bottom right: blue
  EXPECT_GT(at(19, 12)[2], 230);
  EXPECT_GT(at(3, 3)[1], 230);   // left: green
}

// Library errors
TEST(EncodeJpeg, RaisesTheLibraryMessageCodeForAnImageTooWide) {
  std::vector<uint8_t> out;
  const WorkingImage wide(65501, 1);
  try {
    EncodeJpeg(wide, 90, false, out);
    FAIL() << "no error";
  } catch (const AppError& e) {
    EXPECT_EQ(std::string(e.what()), kTextJpegErrorPrefix + std::to_string(JERR_IMAGE_TOO_BIG));
    EXPECT_EQ(std::string(e.what()).rfind("JPEG \x83\x47\x83\x89\x81\x5b #", 0), 0u);
  }
  EXPECT_TRUE(out.empty());
  // The encoder is usable again after the error.
  EncodeJpeg(WorkingImage(65500, 1), 90, true, out);
  EXPECT_FALSE(out.empty());
}

TEST(SaveImageFile, LetsAJpegErrorThroughAndWritesNoFile) {
  test::ScratchFolder folder;
  const std::vector<uint32_t> pixels(65501, Rgb(10, 20, 30));
  const TPicture picture = PictureFromPixels(65501, 1, pixels.data());
  ImageSaveSettings settings;
  settings.FileKind = 1;
  const std::string path = folder.File("wide.JPG");
  EXPECT_THROW(SaveImageFile(path, picture, settings), AppError);
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(SaveImageFile, UsesTheLowByteOfTheQuality) {
  test::ScratchFolder folder;
  const TPicture picture = PictureFromPixels(8, 8, test::AsymmetricPixels(8, 8).data());
  ImageSaveSettings settings;
  settings.FileKind = 1;
  settings.JpegColor = 0;
  settings.JpegQuality = 256 + 100;
  const std::string path = folder.File("q.JPG");
  ASSERT_TRUE(SaveImageFile(path, picture, settings));
  const Markers m = ParseMarkers(test::ReadAllBytes(path));
  EXPECT_EQ(m.segments.at(0xC0)[5], 1);  // grey
  EXPECT_EQ(QuantTables(m).at(0), std::vector<int>(64, 1));
}

}  // namespace
}  // namespace zumorika
