// The clipboard and the GDI renderer against the real Windows clipboard.
// Each test places data itself, as another program would, then reads it
// back through the tool's own operations.
#ifdef _WIN32

#include <windows.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <future>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "TestPictures.h"
#include "imaging/clipboard/Clipboard.h"
#include "imaging/picture/DrawGraphic_win32.h"
#include "imaging/picture/GdiHandles_win32.h"
#include "imaging/saving/ImageFile.h"
#include "imaging/ImagingTexts.h"
#include "imaging/picture/PictureData_win32.h"
#include "util/AppError.h"

namespace zumorika {
namespace {

using test::Rgb;

class ClipboardWin32Test : public testing::Test {
 protected:
  ClipboardWin32Test()
      : window_(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr)) {}
  ~ClipboardWin32Test() override { EXPECT_EQ(GetOpenClipboardWindow(), nullptr); }

  // Empties the clipboard and places each (format, handle) in order. The
  // clipboard owns the handles afterwards.
  void Place(std::initializer_list<std::pair<UINT, HANDLE>> items) {
    ASSERT_TRUE(OpenClipboard(window_.get()));
    EmptyClipboard();
    for (const auto& [format, handle] : items) {
      EXPECT_NE(SetClipboardData(format, handle), nullptr) << "format " << format;
    }
    CloseClipboard();
  }

  static HGLOBAL GlobalCopy(const void* data, size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(memory), data, size);
    GlobalUnlock(memory);
    return memory;
  }

  static HANDLE Text() {
    static const wchar_t text[] = L"plain text";
    return GlobalCopy(text, sizeof text);
  }

  // A bottom-up 24-bit DIB of the asymmetric test picture.
  static HANDLE Dib(int32_t width, int32_t height) {
    const auto pixels = test::AsymmetricPixels(width, height);
    const size_t stride = (width * 3 + 3) / 4 * 4;
    std::vector<uint8_t> data(sizeof(BITMAPINFOHEADER) + stride * height, 0);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(data.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = 24;
    header->biCompression = BI_RGB;
    for (int32_t y = 0; y < height; ++y) {
      uint8_t* row = data.data() + sizeof(BITMAPINFOHEADER) + (height - 1 - y) * stride;
      for (int32_t x = 0; x < width; ++x) {
        const uint32_t p = pixels[y * width + x];
        row[3 * x] = p & 0xFF;
        row[3 * x + 1] = (p >> 8) & 0xFF;
        row[3 * x + 2] = (p >> 16) & 0xFF;
      }
    }
    return GlobalCopy(data.data(), data.size());
  }

  static HANDLE DeviceBitmap(int32_t width, int32_t height) {
    WindowDc screen(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen.get(), width, height);
    UniqueHdc dc(CreateCompatibleDC(screen.get()));
    SelectedObject selected(dc.get(), bitmap);
    PatBlt(dc.get(), 0, 0, width, height, BLACKNESS);
    return bitmap;
  }

  // An enhanced metafile on the screen as reference device, whose frame is
  // `frame` (hundredths of a millimetre); it fills `painted` (reference
  // device pixels) with red.
  static HENHMETAFILE Metafile(const RECT& frame, const RECT* painted) {
    WindowDc screen(nullptr);
    HDC dc = CreateEnhMetaFileW(screen.get(), nullptr, &frame, nullptr);
    if (painted != nullptr) {
      UniqueHbrush red(CreateSolidBrush(RGB(255, 0, 0)));
      FillRect(dc, painted, red.get());
    }
    return CloseEnhMetaFile(dc);
  }

  // Frame in hundredths of a millimetre covering `pixels` of the screen.
  static RECT FrameForPixels(int32_t width, int32_t height) {
    WindowDc screen(nullptr);
    const int mmX = GetDeviceCaps(screen.get(), HORZSIZE);
    const int mmY = GetDeviceCaps(screen.get(), VERTSIZE);
    const int pxX = GetDeviceCaps(screen.get(), HORZRES);
    const int pxY = GetDeviceCaps(screen.get(), VERTRES);
    return RECT{0, 0, MulDiv(width, mmX * 100, pxX), MulDiv(height, mmY * 100, pxY)};
  }

  // A metafile picture of mapping mode `mm` and extents xExt, yExt whose
  // records set a window extent of `window` (none where a side is 0).
  static HANDLE OldStyleMetafilePicture(LONG mm = MM_ANISOTROPIC, LONG xExt = 2000,
                                        LONG yExt = 1000, SIZE window = {0, 0}) {
    HDC dc = CreateMetaFileW(nullptr);
    if (window.cx != 0 && window.cy != 0) SetWindowExtEx(dc, window.cx, window.cy, nullptr);
    Rectangle(dc, 0, 0, 100, 50);
    HMETAFILE metafile = CloseMetaFile(dc);
    METAFILEPICT pict{mm, xExt, yExt, metafile};
    return GlobalCopy(&pict, sizeof pict);
  }

  // Pixels `hundredths` of a millimetre cover on the screen, across or down.
  static int32_t ScreenPixels(int32_t hundredths, bool across) {
    WindowDc screen(nullptr);
    return MulDiv(hundredths, GetDeviceCaps(screen.get(), across ? HORZRES : VERTRES),
                  GetDeviceCaps(screen.get(), across ? HORZSIZE : VERTSIZE) * 100);
  }

  UniqueHwnd window_;
};

void ExpectLoadFails(TPicture& picture, const char* text) {
  try {
    LoadClipboardPicture(picture);
    ADD_FAILURE() << "no error";
  } catch (const AppError& e) {
    EXPECT_STREQ(e.what(), text);
  }
}

// Which formats count
TEST_F(ClipboardWin32Test, TextAloneIsNoPicture) {
  Place({{CF_UNICODETEXT, Text()}});
  EXPECT_FALSE(ClipboardHasPicture());
  TPicture picture;
  ExpectLoadFails(picture, kTextInvalidClipboardFormat);
  EXPECT_TRUE(picture.IsEmpty());
}

TEST_F(ClipboardWin32Test, TakesADibAsARasterPictureOfItsSize) {
  Place({{CF_UNICODETEXT, Text()}, {CF_DIB, Dib(5, 3)}});
  ASSERT_TRUE(ClipboardHasPicture());
  TPicture picture;
  LoadClipboardPicture(picture);
  ASSERT_EQ(picture.Kind(), PictureKind::Raster);
  EXPECT_EQ(PictureWidth(picture), 5);
  EXPECT_EQ(PictureHeight(picture), 3);
  const WorkingImage image = PrepareWorkingImage(picture);
  const auto expected = test::AsymmetricPixels(5, 3);
  for (int32_t y = 0; y < 3; ++y) {
    for (int32_t x = 0; x < 5; ++x) {
      EXPECT_EQ(image.Pixel(x, y), expected[y * 5 + x]) << x << "," << y;
    }
  }
}

// Order
TEST_F(ClipboardWin32Test, TheFormatPlacedFirstWins) {
  const RECT frame = FrameForPixels(40, 30);
  Place({{CF_ENHMETAFILE, Metafile(frame, nullptr)}, {CF_BITMAP, DeviceBitmap(7, 2)}});
  TPicture picture;
  LoadClipboardPicture(picture);
  EXPECT_EQ(picture.Kind(), PictureKind::Metafile);

  Place({{CF_BITMAP, DeviceBitmap(7, 2)}, {CF_ENHMETAFILE, Metafile(frame, nullptr)}});
  LoadClipboardPicture(picture);
  EXPECT_EQ(picture.Kind(), PictureKind::Raster);
  EXPECT_EQ(PictureWidth(picture), 7);
}

// Its size as it gives it (hundredths of a millimetre), or, where it gives
// none, 100 mm on the longer side with its ratio: from negative extents,
// else from its window extent.
TEST_F(ClipboardWin32Test, TakesAnOldStyleMetafileAsEnhancedAtItsSizeOrItsRatio) {
  const struct {
    const char* what;
    LONG mm, xExt, yExt;
    SIZE window;
    int32_t width, height;  // hundredths of a millimetre
  } rows[] = {
      {"a suggested size", MM_ANISOTROPIC, 2000, 1000, {0, 0}, 2000, 1000},
      {"isotropic, a 2:1 ratio alone", MM_ISOTROPIC, -2, -1, {0, 0}, 10000, 5000},
      {"anisotropic, a 1:2 ratio alone", MM_ANISOTROPIC, -1000, -2000, {300, 300}, 5000, 10000},
      {"no size: the window extent's 2:1", MM_ANISOTROPIC, 0, 0, {100, 50}, 10000, 5000},
      {"no size, no window extent: square", MM_ANISOTROPIC, 0, 0, {0, 0}, 10000, 10000},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    Place({{CF_METAFILEPICT, OldStyleMetafilePicture(row.mm, row.xExt, row.yExt, row.window)}});
    ASSERT_TRUE(ClipboardHasPicture());
    TPicture picture;
    LoadClipboardPicture(picture);
    EXPECT_EQ(picture.Kind(), PictureKind::Metafile);
    EXPECT_NEAR(PictureWidth(picture), ScreenPixels(row.width, true), 1);
    EXPECT_NEAR(PictureHeight(picture), ScreenPixels(row.height, false), 1);
  }
}

// Rendering
// The system's window-text colour, set for one test and put back.
class WindowTextColour {
 public:
  explicit WindowTextColour(COLORREF colour) : saved_(GetSysColor(COLOR_WINDOWTEXT)) {
    Set(colour);
  }
  ~WindowTextColour() { Set(saved_); }

 private:
  static void Set(COLORREF colour) {
    const INT element = COLOR_WINDOWTEXT;
    SetSysColors(1, &element, &colour);
  }
  COLORREF saved_;
};

TEST_F(ClipboardWin32Test, ShowsMonochromeZeroBitsBlackWhateverTheWindowTextColour) {
  // 8 x 2, one bit per pixel, rows word-aligned: 1 bits white, 0 bits black.
  // Under a high-contrast black theme the window-text colour is white; the
  // picture must not come out all white.
  for (COLORREF windowText : {RGB(0, 0, 0), RGB(255, 255, 255)}) {
    WindowTextColour theme(windowText);
    ASSERT_EQ(GetSysColor(COLOR_WINDOWTEXT), windowText);
    const uint8_t bits[] = {0xF0, 0, 0x0F, 0};
    Place({{CF_BITMAP, CreateBitmap(8, 2, 1, 1, bits)}});
    TPicture picture;
    LoadClipboardPicture(picture);
    const WorkingImage image = PrepareWorkingImage(picture);
    const uint32_t black = Rgb(0, 0, 0);
    for (int32_t x = 0; x < 8; ++x) {
      EXPECT_EQ(image.Pixel(x, 0), x < 4 ? kWhitePixel : black) << x << " " << windowText;
      EXPECT_EQ(image.Pixel(x, 1), x < 4 ? black : kWhitePixel) << x << " " << windowText;
    }
  }
}

TEST_F(ClipboardWin32Test, TakesTheOfferedPaletteWithAnEightBitBitmap) {
  // An 8-bit DIB section whose pixels are indexes 0 and 1; the offered
  // palette says 0 is red and 1 is blue.
  WindowDc screen(nullptr);
  std::vector<uint8_t> storage(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
  auto* info = reinterpret_cast<BITMAPINFO*>(storage.data());
  info->bmiHeader = {sizeof(BITMAPINFOHEADER), 3, -1, 1, 8, BI_RGB, 0, 0, 0, 0, 0};
  info->bmiColors[0] = RGBQUAD{0, 0, 255, 0};
  info->bmiColors[1] = RGBQUAD{255, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen.get(), info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(dib, nullptr);
  static_cast<uint8_t*>(bits)[0] = 0;
  static_cast<uint8_t*>(bits)[1] = 1;
  static_cast<uint8_t*>(bits)[2] = 0;
  std::vector<uint8_t> paletteStorage(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY));
  auto* logical = reinterpret_cast<LOGPALETTE*>(paletteStorage.data());
  logical->palVersion = 0x300;
  logical->palNumEntries = 2;
  logical->palPalEntry[0] = PALETTEENTRY{255, 0, 0, 0};
  logical->palPalEntry[1] = PALETTEENTRY{0, 0, 255, 0};
  Place({{CF_BITMAP, dib}, {CF_PALETTE, CreatePalette(logical)}});
  TPicture picture;
  LoadClipboardPicture(picture);
  ASSERT_EQ(PictureWidth(picture), 3);
  const WorkingImage image = PrepareWorkingImage(picture);
  EXPECT_EQ(image.Pixel(0, 0), Rgb(255, 0, 0));
  EXPECT_EQ(image.Pixel(1, 0), Rgb(0, 0, 255));
  EXPECT_EQ(image.Pixel(2, 0), Rgb(255, 0, 0));
}

TEST_F(ClipboardWin32Test, LeavesWhatAMetafileDoesNotPaintWhite) {
  const RECT painted = {0, 0, 20, 10};
  Place({{CF_ENHMETAFILE, Metafile(FrameForPixels(60, 40), &painted)}});
  TPicture picture;
  LoadClipboardPicture(picture);
  const int32_t width = PictureWidth(picture), height = PictureHeight(picture);
  EXPECT_NEAR(width, 60, 1);
  EXPECT_NEAR(height, 40, 1);
  const WorkingImage image = PrepareWorkingImage(picture);
  ASSERT_EQ(image.Width(), width);
  EXPECT_EQ(image.Pixel(5, 5), Rgb(255, 0, 0));
  EXPECT_EQ(image.Pixel(width - 2, height - 2), kWhitePixel);
  EXPECT_EQ(image.Pixel(40, 5), kWhitePixel);
}

// A metafile of which nothing can be played is no white picture; one that
// plays and paints nothing is.
TEST_F(ClipboardWin32Test, RefusesAMetafileThatPlaysNothingAndKeepsOneThatPaintsNothing) {
  TPicture unplayable;
  unplayable.Assign(std::make_unique<MetafilePicture>(
      UniqueHenhmetafile(), MetafileGeometry{1000, 500, 1024, 768, 320, 240}));
  ASSERT_EQ(PictureWidth(unplayable), 32);
  try {
    PrepareWorkingImage(unplayable);
    ADD_FAILURE() << "no error";
  } catch (const AppError& e) {
    EXPECT_STREQ(e.what(), kTextMetafileNotPlayed);
  }
  test::ScratchFolder folder;
  EXPECT_THROW(SaveImageFile(folder.File("none.BMP"), unplayable, ImageSaveSettings{}), AppError);

  Place({{CF_ENHMETAFILE, Metafile(FrameForPixels(30, 20), nullptr)}});
  TPicture blank;
  LoadClipboardPicture(blank);
  const WorkingImage image = PrepareWorkingImage(blank);
  ASSERT_FALSE(image.IsEmpty());
  EXPECT_EQ(image.Pixel(0, 0), kWhitePixel);
  EXPECT_EQ(image.Pixel(image.Width() - 1, image.Height() - 1), kWhitePixel);
}

TEST_F(ClipboardWin32Test, GivesAnEmptyFileForAZeroWideFrame) {
  Place({{CF_ENHMETAFILE, Metafile(RECT{0, 0, 0, 500}, nullptr)}});
  TPicture picture;
  LoadClipboardPicture(picture);
  EXPECT_EQ(picture.Kind(), PictureKind::Metafile);
  EXPECT_EQ(PictureWidth(picture), 0);
  EXPECT_TRUE(PrepareWorkingImage(picture).IsEmpty());
  test::ScratchFolder folder;
  const std::string path = folder.File("zero.BMP");
  ASSERT_TRUE(SaveImageFile(path, picture, ImageSaveSettings{}));
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
}

// Raster pictures are drawn a band at a time, metafiles whole: each kind
// must give the file of the whole working image.
TEST_F(ClipboardWin32Test, SavesEachKindAsTheWholeWorkingImageDoes) {
  std::vector<uint8_t> monochromeBits((37 + 15) / 16 * 2 * 35);
  for (size_t i = 0; i < monochromeBits.size(); ++i) monochromeBits[i] = static_cast<uint8_t>(i * 37);
  const RECT painted = {3, 5, 41, 33};
  const std::pair<const char*, std::function<void()>> kinds[] = {
      {"device bitmap from a DIB", [&] { Place({{CF_DIB, Dib(37, 35)}}); }},
      {"monochrome", [&] { Place({{CF_BITMAP, CreateBitmap(37, 35, 1, 1, monochromeBits.data())}}); }},
      {"metafile", [&] { Place({{CF_ENHMETAFILE, Metafile(FrameForPixels(45, 37), &painted)}}); }},
  };
  const ImageSaveSettings settings[] = {{0, 0, 1, 100}, {0, 2, 1, 100}, {0, 3, 1, 100}, {1, 2, 1, 90}};
  test::ScratchFolder folder;
  for (const auto& [name, place] : kinds) {
    place();
    TPicture picture;
    LoadClipboardPicture(picture);
    ASSERT_GT(PictureHeight(picture), 16) << name;
    for (const ImageSaveSettings& s : settings) {
      SCOPED_TRACE(testing::Message() << name << ", kind " << s.FileKind << " depth " << s.BmpDepth);
      const std::string path = folder.File("kind");
      ASSERT_TRUE(SaveImageFile(path, picture, s));
      EXPECT_EQ(test::ReadAllBytes(path), test::FileFromWholeWorkingImage(picture, s));
    }
  }
}

// A packed DIB of `bits` per pixel, 37 x 35, as a program places it: the
// header (40 bytes, or 12 for a BITMAPCOREHEADER, or 124), masks or colour
// table, then the stored rows, whose bytes come from `pixel` (stored row,
// byte index in the row). Run-length data is given whole instead.
struct DibRecipe {
  const char* name;
  uint32_t headerSize;
  uint16_t bits;
  uint32_t compression;
  bool topDown;
  uint32_t tableEntries;  // written and declared (0: none, or all for a core header)
  std::vector<uint32_t> masks;
  std::vector<uint8_t> runs;  // run-length pixel data
  int64_t sizeImage = -1;     // biSizeImage as stored; -1: the runs' true length
};

constexpr int32_t kDibWidth = 37, kDibHeight = 35;

std::vector<uint8_t> MakeDib(const DibRecipe& r) {
  std::vector<uint8_t> dib(r.headerSize, 0);
  auto put32 = [&](size_t at, uint32_t v) { std::memcpy(dib.data() + at, &v, 4); };
  auto put16 = [&](size_t at, uint16_t v) { std::memcpy(dib.data() + at, &v, 2); };
  put32(0, r.headerSize);
  if (r.headerSize == 12) {
    put16(4, kDibWidth);
    put16(6, kDibHeight);
    put16(8, 1);
    put16(10, r.bits);
  } else {
    put32(4, kDibWidth);
    put32(8, static_cast<uint32_t>(r.topDown ? -kDibHeight : kDibHeight));
    put16(12, 1);
    put16(14, r.bits);
    put32(16, r.compression);
    put32(20, static_cast<uint32_t>(r.sizeImage < 0 ? r.runs.size() : r.sizeImage));
    put32(32, r.headerSize == 12 ? 0 : r.tableEntries);
    for (size_t i = 0; i < r.masks.size() && r.headerSize >= 56; ++i) put32(40 + 4 * i, r.masks[i]);
  }
  if (r.headerSize == 40) {
    for (uint32_t mask : r.masks) {
      for (int i = 0; i < 4; ++i) dib.push_back(static_cast<uint8_t>(mask >> (8 * i)));
    }
  }
  for (uint32_t i = 0; i < r.tableEntries; ++i) {
    dib.push_back(static_cast<uint8_t>(i * 53));
    dib.push_back(static_cast<uint8_t>(255 - i * 31));
    dib.push_back(static_cast<uint8_t>(i * 97 + 40));
    if (r.headerSize != 12) dib.push_back(0);
  }
  if (!r.runs.empty()) {
    dib.insert(dib.end(), r.runs.begin(), r.runs.end());
    return dib;
  }
  const size_t stride = (size_t{kDibWidth} * r.bits + 31) / 32 * 4;
  for (size_t row = 0; row < kDibHeight; ++row) {
    for (size_t i = 0; i < stride; ++i) {
      // Fourth bytes all 255: a 32-bit DIB without alpha.
      const bool fourth = r.bits == 32 && i % 4 == 3;
      dib.push_back(fourth ? 0xFF : static_cast<uint8_t>((row * 29 + i * 7) ^ (i >> 2)));
    }
  }
  return dib;
}

// Run-length rows: a run, literal pixels, a jump that skips pixels, an end
// of line; the picture ends early, so its top rows are skipped too.
std::vector<uint8_t> Runs(bool fourBits) {
  std::vector<uint8_t> runs;
  for (uint8_t row = 0; row < 30; ++row) {
    runs.insert(runs.end(), {9, static_cast<uint8_t>(fourBits ? 0x3C : row * 5)});
    runs.insert(runs.end(), {0, 4, 0x12, 0x34, 0x56, 0x78});
    if (row % 3 == 0) runs.insert(runs.end(), {0, 2, 5, 0});
    runs.insert(runs.end(), {3, static_cast<uint8_t>(fourBits ? 0x9A : 200), 0, 0});
  }
  runs.insert(runs.end(), {0, 1});
  return runs;
}

// The pixels of the bitmap the system makes from the clipboard's DIB.
std::vector<uint32_t> SystemBitmapPixels(HWND owner) {
  std::vector<uint32_t> pixels(size_t{kDibWidth} * kDibHeight);
  if (!OpenClipboard(owner)) return {};
  const auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), kDibWidth, -kDibHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  WindowDc screen(nullptr);
  const int rows = GetDIBits(screen.get(), bitmap, 0, kDibHeight, pixels.data(), &info, DIB_RGB_COLORS);
  CloseClipboard();
  if (rows != kDibHeight) return {};
  for (uint32_t& p : pixels) p &= 0xFFFFFF;
  return pixels;
}

// The program's own DIB is the picture: of every depth, the pixels of the
// bitmap the system would make from it, and saved band by band as the whole
// working image is.
TEST_F(ClipboardWin32Test, TakesAProgramsOwnDibOfEachDepthAsTheSystemsBitmapShowsIt) {
  const DibRecipe recipes[] = {
      {"1 bit", 40, 1, BI_RGB, false, 2, {}, {}},
      {"4 bits, 9 colours declared", 40, 4, BI_RGB, false, 9, {}, {}},
      {"8 bits, top-down", 40, 8, BI_RGB, true, 256, {}, {}},
      {"8 bits, core header", 12, 8, BI_RGB, false, 256, {}, {}},
      {"16 bits", 40, 16, BI_RGB, false, 0, {}, {}},
      {"16 bits 5-6-5", 40, 16, BI_BITFIELDS, false, 0, {0xF800, 0x07E0, 0x001F}, {}},
      {"24 bits", 40, 24, BI_RGB, false, 0, {}, {}},
      {"24 bits, top-down", 40, 24, BI_RGB, true, 0, {}, {}},
      {"32 bits, top-down", 40, 32, BI_RGB, true, 0, {}, {}},
      {"32 bits, V5 header, red and blue swapped", 124, 32, BI_BITFIELDS, false, 0,
       {0x000000FF, 0x0000FF00, 0x00FF0000, 0}, {}},
      {"8-bit runs", 40, 8, BI_RLE8, false, 256, {}, Runs(false)},
      {"4-bit runs", 40, 4, BI_RLE4, false, 16, {}, Runs(true)},
      // GDI reads biSizeImage bytes of runs: these must read the block's.
      {"8-bit runs, biSizeImage past the block", 40, 8, BI_RLE8, false, 256, {}, Runs(false),
       0x7FFFFFF0},
      {"4-bit runs, biSizeImage 0", 40, 4, BI_RLE4, false, 16, {}, Runs(true), 0},
  };
  const ImageSaveSettings settings[] = {{0, 0, 1, 100}, {0, 2, 1, 100}, {0, 3, 1, 100}, {1, 2, 1, 90}};
  test::ScratchFolder folder;
  for (const DibRecipe& recipe : recipes) {
    SCOPED_TRACE(recipe.name);
    // The system's bitmap of the same DIB with its true length.
    DibRecipe truthful = recipe;
    truthful.sizeImage = -1;
    const std::vector<uint8_t> truthfulDib = MakeDib(truthful);
    Place({{CF_DIB, GlobalCopy(truthfulDib.data(), truthfulDib.size())}});
    const std::vector<uint32_t> expected = SystemBitmapPixels(window_.get());
    ASSERT_FALSE(expected.empty());
    const std::vector<uint8_t> dib = MakeDib(recipe);
    Place({{CF_DIB, GlobalCopy(dib.data(), dib.size())}});
    TPicture picture;
    LoadClipboardPicture(picture);
    ASSERT_EQ(PictureWidth(picture), kDibWidth);
    ASSERT_EQ(PictureHeight(picture), kDibHeight);
    // Kept as a DIB section of its own depth (runs unpacked to 24 bits), no
    // bitmap of the display's.
    DIBSECTION section{};
    ASSERT_EQ(GetObjectW(static_cast<const GdiBitmapPicture*>(picture.Data())->Bitmap(),
                         sizeof section, &section),
              static_cast<int>(sizeof section));
    EXPECT_EQ(section.dsBm.bmBitsPixel, recipe.runs.empty() ? recipe.bits : 24);
    const WorkingImage image = PrepareWorkingImage(picture);
    int wrong = 0;
    for (int32_t y = 0; y < kDibHeight; ++y) {
      for (int32_t x = 0; x < kDibWidth; ++x) {
        const uint32_t want = expected[size_t{static_cast<size_t>(y)} * kDibWidth + x];
        if (image.Pixel(x, y) != want && ++wrong <= 3) {
          ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << image.Pixel(x, y)
                        << " wanted " << want;
        }
      }
    }
    for (const ImageSaveSettings& s : settings) {
      const std::string path = folder.File("own");
      ASSERT_TRUE(SaveImageFile(path, picture, s));
      EXPECT_EQ(test::ReadAllBytes(path), test::FileFromWholeWorkingImage(picture, s))
          << "kind " << s.FileKind << " depth " << s.BmpDepth;
    }
  }
}

// The system would make CF_BITMAP from such a DIB by its own lengths,
// reading past the block: it is never asked to.
TEST_F(ClipboardWin32Test, RefusesAnOwnDibWhoseRowsAreCutShort) {
  std::vector<uint8_t> dib = MakeDib({"24 bits", 40, 24, BI_RGB, false, 0, {}, {}});
  dib.resize(dib.size() - 100);
  Place({{CF_DIB, GlobalCopy(dib.data(), dib.size())}});
  TPicture picture;
  ExpectLoadFails(picture, kTextUnsupportedClipboardData);
}

TEST_F(ClipboardWin32Test, KeepsThePictureWhenTheClipboardHoldsNone) {
  Place({{CF_UNICODETEXT, Text()}});
  TPicture picture = PictureFromPixels(2, 2, test::AsymmetricPixels(2, 2).data());
  ExpectLoadFails(picture, kTextInvalidClipboardFormat);
  EXPECT_EQ(PictureWidth(picture), 2);
}

// Another program's window holding the clipboard open: a window of a
// thread of its own, as another program's is, which opens the clipboard as
// the object is made and closes it as it ends.
class ClipboardHeldElsewhere {
 public:
  ClipboardHeldElsewhere() : thread_([this] { Hold(); }) { opened_ = held_.get_future().get(); }
  ~ClipboardHeldElsewhere() {
    release_.set_value();
    thread_.join();
  }
  bool opened() const { return opened_; }

 private:
  void Hold() {
    const UniqueHwnd window(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr,
                                            GetModuleHandleW(nullptr), nullptr));
    const bool opened = window && OpenClipboard(window.get());
    held_.set_value(opened);
    release_.get_future().wait();
    if (opened) CloseClipboard();
  }

  std::promise<bool> held_;
  std::promise<void> release_;
  bool opened_ = false;
  std::thread thread_;
};

TEST_F(ClipboardWin32Test, ReportsAClipboardHeldByAnotherWindow) {
  Place({{CF_DIB, Dib(5, 3)}});
  TPicture picture;
  {
    const ClipboardHeldElsewhere held;
    ASSERT_TRUE(held.opened());
    EXPECT_THROW(ClipboardHasPicture(), AppError);
    ExpectLoadFails(picture, kTextCannotOpenClipboard);
    EXPECT_TRUE(picture.IsEmpty());
  }
  // Free again, the same clipboard gives its picture.
  LoadClipboardPicture(picture);
  EXPECT_EQ(PictureWidth(picture), 5);
}

TEST(DrawGraphicStretched, RepeatsPixelsToFillTheRectangle) {
  const std::vector<uint32_t> pixels = {Rgb(255, 0, 0), Rgb(0, 0, 255)};
  const TPicture picture = PictureFromPixels(2, 1, pixels.data());
  WindowDc screen(nullptr);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  UniqueHbitmap target(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  UniqueHdc dc(CreateCompatibleDC(screen.get()));
  {
    SelectedObject selected(dc.get(), target.get());
    DrawGraphicStretched(dc.get(), RECT{0, 0, 4, 2}, picture);
    GdiFlush();
  }
  const auto* p = static_cast<const uint32_t*>(bits);
  for (int i : {0, 1, 4, 5}) EXPECT_EQ(p[i] & 0xFFFFFF, Rgb(255, 0, 0)) << i;
  for (int i : {2, 3, 6, 7}) EXPECT_EQ(p[i] & 0xFFFFFF, Rgb(0, 0, 255)) << i;
}

}  // namespace
}  // namespace zumorika

#endif
