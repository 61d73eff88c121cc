// The clipboard rules against the in-memory clipboard of builds without
// Windows; the same rules meet the real clipboard in the Windows tests.
#ifndef _WIN32

#include <gtest/gtest.h>

#include "TestPictures.h"
#include "imaging/clipboard/Clipboard.h"
#include "imaging/clipboard/ClipboardFormats.h"
#include "imaging/clipboard/ClipboardStandIn.h"
#include "imaging/decoding/BmpReader.h"
#include "imaging/saving/ImageFile.h"
#include "imaging/ImagingTexts.h"
#include "util/AppError.h"

#include <cstdio>
#include <cstring>

namespace zumorika {
namespace {

std::shared_ptr<const WorkingImage> Bitmap(int32_t width, int32_t height) {
  return std::make_shared<WorkingImage>(
      test::ImageFrom(width, height, test::AsymmetricPixels(width, height)));
}

void ExpectLoadFails(TPicture& picture, const char* text) {
  try {
    LoadClipboardPicture(picture);
    ADD_FAILURE() << "no error";
  } catch (const AppError& e) {
    EXPECT_STREQ(e.what(), text);
  }
  EXPECT_EQ(StandInClipboardOpenCount(), 0) << "clipboard left open";
}

class ClipboardTest : public testing::Test {
 protected:
  ~ClipboardTest() override { SetStandInClipboard({}); }
};

// Which formats count
TEST_F(ClipboardTest, TextAloneIsNoPicture) {
  SetStandInClipboard({{kCfText, nullptr}, {kCfDib, nullptr}, {0xC123, nullptr}});
  EXPECT_FALSE(ClipboardHasPicture());
  TPicture picture;
  ExpectLoadFails(picture, kTextInvalidClipboardFormat);
  EXPECT_TRUE(picture.IsEmpty());
}

TEST_F(ClipboardTest, EachTableFormatCounts) {
  for (const uint32_t format : {kCfBitmap, kCfMetafilePict, kCfEnhMetafile}) {
    SetStandInClipboard({{kCfText, nullptr}, {format, nullptr}});
    EXPECT_TRUE(ClipboardHasPicture()) << format;
    EXPECT_EQ(StandInClipboardOpenCount(), 0);
  }
}

// Loading
TEST_F(ClipboardTest, TakesABitmapAsARasterPictureOfItsSize) {
  SetStandInClipboard({{kCfText, nullptr}, {kCfBitmap, Bitmap(5, 3)}, {kCfPalette, nullptr}});
  TPicture picture;
  LoadClipboardPicture(picture);
  EXPECT_EQ(picture.Kind(), PictureKind::Raster);
  EXPECT_EQ(PictureWidth(picture), 5);
  EXPECT_EQ(PictureHeight(picture), 3);
  const WorkingImage working = PrepareWorkingImage(picture);
  const auto expected = test::AsymmetricPixels(5, 3);
  for (int32_t y = 0; y < 3; ++y) {
    for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(working.Pixel(x, y), expected[y * 5 + x]);
  }
  EXPECT_EQ(StandInClipboardOpenCount(), 0);
}

TEST_F(ClipboardTest, TheFirstOfferedFormatWinsEvenWhenItCannotBeFetched) {
  // A metafile whose data cannot be fetched, placed first, fails the load
  // although a bitmap follows: nothing after the first format is tried.
  SetStandInClipboard({{kCfEnhMetafile, nullptr}, {kCfBitmap, Bitmap(2, 2)}});
  TPicture picture = PictureFromPixels(1, 1, test::AsymmetricPixels(1, 1).data());
  ExpectLoadFails(picture, kTextUnsupportedClipboardData);
  EXPECT_EQ(PictureWidth(picture), 1) << "the previous picture stays";
}

// A 150 x 60 mm frame recorded on a 1024 x 768 pixel, 320 x 240 mm device:
// 480 x 192 pixels of its own, its top-left quarter black.
std::shared_ptr<const StandInMetafile> Table() {
  auto table = std::make_shared<StandInMetafile>();
  table->geometry = MetafileGeometry{15000, 6000, 1024, 768, 320, 240};
  table->fills.push_back({0, 0, 7500, 3000, 0});
  return table;
}

// Lines and text are played at 300 dpi of the paper width, the size the
// picture will be printed at; the picture's own size, which places it,
// stays.
TEST_F(ClipboardTest, SavesAMetafileAtPrintResolutionOfThePastedWidth) {
  struct Case {
    const char* what;
    uint32_t format;
    double widthMm;
    int32_t width, height;       // of the saved file
    int32_t blackRight, blackBottom;
  };
  const Case cases[] = {
      {"enhanced, 200 mm", kCfEnhMetafile, 200, 2362, 945, 1181, 473},  // 472.5 rounds up
      {"old-style, converted, 200 mm", kCfMetafilePict, 200, 2362, 945, 1181, 473},
      {"narrower than its own size", kCfEnhMetafile, 40, 480, 192, 240, 96},
  };
  const test::ScratchFolder folder;
  for (const Case& c : cases) {
    SetStandInClipboard({{kCfText, nullptr}, StandInOffer::Metafile(c.format, Table())});
    TPicture picture;
    LoadClipboardPicture(picture);
    EXPECT_EQ(picture.Kind(), PictureKind::Metafile) << c.what;
    EXPECT_EQ(PictureWidth(picture), 480) << c.what;
    EXPECT_EQ(PictureHeight(picture), 192) << c.what;
    const std::string path = folder.File("table.BMP");
    ASSERT_TRUE(SaveImageFile(path, picture, ImageSaveSettings{0, 3, 1, 100, c.widthMm}));
    WorkingImage saved;
    std::string reason;
    ASSERT_TRUE(ReadBmpFile(path, saved, reason)) << c.what << ": " << reason;
    ASSERT_EQ(saved.Width(), c.width) << c.what;
    ASSERT_EQ(saved.Height(), c.height) << c.what;
    EXPECT_EQ(saved.Pixel(c.blackRight - 1, c.blackBottom - 1), 0u) << c.what;
    EXPECT_EQ(saved.Pixel(c.blackRight, 0), kWhitePixel) << c.what;
    EXPECT_EQ(saved.Pixel(0, c.blackBottom), kWhitePixel) << c.what;
  }
}

TEST_F(ClipboardTest, ABitmapWhoseDataIsMissingIsUnsupported) {
  SetStandInClipboard({{kCfBitmap, nullptr}});
  TPicture picture;
  ExpectLoadFails(picture, kTextUnsupportedClipboardData);
  EXPECT_TRUE(picture.IsEmpty());
}

// Pictures as real programs place them. The bitmap stands for the one the
// system synthesizes: its transparent pixels have turned black.
std::vector<uint8_t> TransparentDib(uint32_t headerSize, uint32_t fourthByte) {
  std::vector<uint8_t> dib(headerSize, 0);
  const uint32_t fields[] = {headerSize, 2, 1};
  std::memcpy(dib.data(), fields, sizeof fields);
  dib[12] = 1;   // planes
  dib[14] = 32;  // bits
  if (headerSize >= 56) dib[55] = 0xFF;  // alpha mask 0xFF000000
  // Transparent, then opaque blue.
  const uint8_t pixels[] = {0, 0, 0, 0, 0xFF, 0, 0, static_cast<uint8_t>(fourthByte)};
  dib.insert(dib.end(), pixels, pixels + sizeof pixels);
  if (fourthByte == 0) dib[dib.size() - 1] = 0;
  return dib;
}

// A 2 x 1 24-bit DIB: `first`, then blue.
std::vector<uint8_t> OpaqueDib(uint32_t first) {
  std::vector<uint8_t> dib(40, 0);
  const uint32_t fields[] = {40, 2, 1};
  std::memcpy(dib.data(), fields, sizeof fields);
  dib[12] = 1;   // planes
  dib[14] = 24;  // bits
  const uint8_t pixels[] = {static_cast<uint8_t>(first), static_cast<uint8_t>(first >> 8),
                            static_cast<uint8_t>(first >> 16), 0xFF, 0, 0, 0, 0};
  dib.insert(dib.end(), pixels, pixels + sizeof pixels);
  return dib;
}

std::string WriteFile(const test::ScratchFolder& folder, const std::string& name,
                      const std::vector<uint8_t>& bytes) {
  const std::string path = folder.File(name);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  return path;
}

std::vector<uint8_t> BmpOf(const std::vector<uint8_t>& dib) {
  std::vector<uint8_t> file = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  file.insert(file.end(), dib.begin(), dib.end());
  return file;
}

TEST_F(ClipboardTest, TakesWhatRealProgramsPlaceInTheirOrder) {
  const test::ScratchFolder folder;
  WorkingImage synthesized(2, 1);
  synthesized.Row(0)[0] = 0;
  synthesized.Row(0)[1] = test::Rgb(0, 0, 255);
  const auto black = std::make_shared<const WorkingImage>(std::move(synthesized));
  const std::vector<uint8_t> bmp = BmpOf(TransparentDib(124, 0xFF));
  const std::string picture = WriteFile(folder, "logo.BMP", bmp);
  constexpr uint32_t kPng = 0xC100;
  constexpr uint32_t white = 0xFFFFFF, blue = 0x0000FF, green = 0x00FF00;
  std::vector<uint8_t> cutShort = OpaqueDib(green);
  cutShort.pop_back();
  struct Case {
    const char* name;
    std::vector<StandInOffer> offers;
    uint32_t firstPixel;  // 1: none, the load fails
  };
  const Case cases[] = {
      {"browser: PNG, premultiplied CF_DIBV5, synthesized CF_DIB and CF_BITMAP",
       {StandInOffer::WithBytes(kPng, {}, "PNG"),
        StandInOffer::WithBytes(kCfDibV5, TransparentDib(124, 0xFF)),
        StandInOffer::WithBytes(kCfDib, TransparentDib(40, 0xFF)), {kCfBitmap, black}},
       white},
      {"Firefox's CF_DIB with the alpha byte kept",
       {StandInOffer::WithBytes(kCfDib, TransparentDib(40, 0xFF)), {kCfBitmap, black}}, white},
      {"paint program: fourth bytes all 0",
       {StandInOffer::WithBytes(kCfDib, TransparentDib(40, 0)), {kCfBitmap, black}}, 0},
      {"an opaque DIB of the program's own is the picture, not the system's bitmap",
       {StandInOffer::WithBytes(kCfDib, OpaqueDib(green)), {kCfBitmap, black}}, green},
      {"of two opaque own DIBs, the first",
       {StandInOffer::WithBytes(kCfDibV5, OpaqueDib(green)),
        StandInOffer::WithBytes(kCfDib, OpaqueDib(0)), {kCfBitmap, black}}, green},
      {"of two own DIBs, the one whose alpha means something",
       {StandInOffer::WithBytes(kCfDibV5, OpaqueDib(green)),
        StandInOffer::WithBytes(kCfDib, TransparentDib(40, 0xFF)), {kCfBitmap, black}}, white},
      {"a DIB after CF_BITMAP is the system's, not the source's",
       {{kCfBitmap, black}, StandInOffer::WithBytes(kCfDibV5, TransparentDib(124, 0xFF))}, 0},
      {"a DIB of a header kind no reader knows leaves the bitmap",
       {StandInOffer::WithBytes(kCfDibV5, {20, 0, 0, 0, 2, 0, 0, 0}), {kCfBitmap, black}}, 0},
      // The system would make its bitmap by the DIB's own lengths.
      {"a DIB whose parts lie past its block is refused, not left to the system",
       {StandInOffer::WithBytes(kCfDibV5, {124, 0, 0}), {kCfBitmap, black}}, 1},
      {"the same with its rows cut short",
       {StandInOffer::WithBytes(kCfDib, cutShort), {kCfBitmap, black}}, 1},
      {"copied file", {StandInOffer::CopiedFiles({picture})}, white},
      {"a metafile or bitmap wins over a copied file",
       {StandInOffer::CopiedFiles({picture}), {kCfBitmap, black}}, 0},
      {"a PNG that is not one", {StandInOffer::WithBytes(kPng, {1, 2, 3}, "image/png")}, 1},
      {"a registered format of another name", {StandInOffer::WithBytes(kPng, {}, "PNGX")}, 1},
  };
  for (const Case& c : cases) {
    SetStandInClipboard(c.offers);
    TPicture loaded;
    try {
      LoadClipboardPicture(loaded);
      ASSERT_NE(c.firstPixel, 1u) << c.name;
      const WorkingImage working = PrepareWorkingImage(loaded);
      EXPECT_EQ(working.Pixel(0, 0), c.firstPixel) << c.name;
      EXPECT_EQ(working.Pixel(1, 0), blue) << c.name;
    } catch (const AppError& e) {
      EXPECT_EQ(c.firstPixel, 1u) << c.name << ": " << e.what();
    }
    EXPECT_EQ(StandInClipboardOpenCount(), 0) << c.name;
  }
}

// A second line with the path in 「」.
std::string Quoted(const std::string& path) { return "\n\x81\x75" + path + "\x81\x76"; }

TEST_F(ClipboardTest, ACopiedFileThatIsNoPictureIsNamedInTheMessage) {
  const test::ScratchFolder folder;
  const std::string text = WriteFile(folder, "notes.txt", {'a'});
  const std::string broken = WriteFile(folder, "broken.jpg", {1, 2, 3});
  const std::string missing = folder.File("gone.png");
  const std::string several = std::string(kTextCopiedFilesSeveral);
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{text, broken}, several},
      {{text}, std::string(kTextCopiedFileNotPicture) + Quoted(text)},
      {{missing}, std::string(kTextCopiedFileCannotOpen) + Quoted(missing)},
      {{broken}, std::string(kTextCopiedFileBroken) + Quoted(broken)},
  };
  for (const auto& [files, message] : cases) {
    SetStandInClipboard({StandInOffer::CopiedFiles(files)});
    EXPECT_TRUE(ClipboardHasPicture());
    TPicture picture;
    ExpectLoadFails(picture, message.c_str());
    EXPECT_TRUE(picture.IsEmpty());
  }
}

// Access
TEST_F(ClipboardTest, ReportsAClipboardThatCannotBeOpened) {
  SetStandInClipboard({{kCfBitmap, Bitmap(2, 2)}}, /*openable=*/false);
  try {
    ClipboardHasPicture();
    ADD_FAILURE() << "no error";
  } catch (const AppError& e) {
    EXPECT_STREQ(e.what(), kTextCannotOpenClipboard);
  }
  TPicture picture;
  ExpectLoadFails(picture, kTextCannotOpenClipboard);
  EXPECT_TRUE(picture.IsEmpty());
}

}  // namespace
}  // namespace zumorika

#endif
