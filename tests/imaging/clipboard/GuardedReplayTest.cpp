// Clipboard data replayed through the real Windows path with nothing
// readable after it: each input's last byte ends a page and the next page
// is no-access, so any read past the data, by the tool or by GDI on the
// tool's behalf, faults and fails the run, naming the input. The inputs:
// every DIB seed of the fuzz corpus (packed DIBs, and BMP files as
// --clip-bmp places them), any corpus folders named in
// ZUMORIKA_REPLAY_CORPUS (';' between them, e.g. one grown by scripts/fuzz),
// a table of hostile DIBs of every header kind and compression, and
// metafiles recorded here, whole and spoilt.
#ifdef _WIN32

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestPictures.h"
#include "imaging/decoding/DibLayout.h"
#include "imaging/saving/ImageFile.h"
#include "imaging/clipboard/MetafilePictSize.h"
#include "imaging/clipboard/OwnDibPicture_win32.h"
#include "imaging/picture/PictureData_win32.h"
#include "imaging/decoding/PictureDecoding.h"
#include "util/AppError.h"

namespace zumorika {
namespace {

// The input being replayed and its guard page, for the fault handler.
std::string g_input;
const uint8_t* g_guardStart = nullptr;
size_t g_guardSize = 0;

LONG CALLBACK OnFault(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD& record = *info->ExceptionRecord;
  if (record.ExceptionCode != EXCEPTION_ACCESS_VIOLATION || record.NumberParameters < 2) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  const auto* address = reinterpret_cast<const uint8_t*>(record.ExceptionInformation[1]);
  if (address < g_guardStart || address >= g_guardStart + g_guardSize) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  // Caught before any handler of GDI's own could hide it.
  std::fprintf(stderr, "FAULT: %s was read %u bytes past its end\n", g_input.c_str(),
               static_cast<unsigned>(address - g_guardStart));
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), 3);
  return EXCEPTION_CONTINUE_SEARCH;
}

// `bytes` copied to the end of readable pages, a no-access page after them.
class GuardedCopy {
 public:
  GuardedCopy(const std::string& name, const uint8_t* bytes, size_t size) {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const size_t page = system.dwPageSize;
    const size_t readable = (size + page - 1) / page * page + page;
    base_ = static_cast<uint8_t*>(
        VirtualAlloc(nullptr, readable + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (base_ == nullptr) return;
    DWORD old = 0;
    VirtualProtect(base_ + readable, page, PAGE_NOACCESS, &old);
    data_ = base_ + readable - size;
    if (size != 0) std::memcpy(data_, bytes, size);
    size_ = size;
    g_input = name;
    g_guardStart = base_ + readable;
    g_guardSize = page;
  }
  ~GuardedCopy() {
    g_guardStart = nullptr;
    if (base_ != nullptr) VirtualFree(base_, 0, MEM_RELEASE);
  }
  GuardedCopy(const GuardedCopy&) = delete;
  GuardedCopy& operator=(const GuardedCopy&) = delete;
  const uint8_t* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  uint8_t* base_ = nullptr;
  uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

class GuardedReplay : public testing::Test {
 protected:
  static void SetUpTestSuite() { handler_ = AddVectoredExceptionHandler(1, OnFault); }
  static void TearDownTestSuite() { RemoveVectoredExceptionHandler(handler_); }

  // The picture saved band by band, as OK saves it: a BMP of each depth
  // the bands convert to, and a JPEG.
  void Save(const TPicture& picture) {
    if (int64_t{PictureWidth(picture)} * PictureHeight(picture) > 4'000'000) return;
    for (const ImageSaveSettings& settings : {ImageSaveSettings{0, 0, 1, 100, 0},
                                              ImageSaveSettings{0, 3, 1, 100, 0},
                                              ImageSaveSettings{1, 2, 1, 75, 0}}) {
      SaveImageFile(folder_.File("replay"), picture, settings);
    }
  }

  // A packed DIB through every reader: the program's own DIB as a section
  // (its runs unpacked by GDI) and saved, and the portable decoders.
  void ReplayDib(const std::string& name, const std::vector<uint8_t>& bytes) {
    const GuardedCopy copy(name, bytes.data(), bytes.size());
    ASSERT_NE(copy.data(), nullptr);
    try {
      PackedDib layout;
      std::string reason;
      if (ReadPackedDib(copy.data(), copy.size(), layout, reason)) {
        std::unique_ptr<GdiBitmapPicture> own = PictureFromOwnDib(layout, UniqueHpalette());
        if (own != nullptr) {
          TPicture picture;
          picture.Assign(std::move(own));
          Save(picture);
        }
      }
      WorkingImage image;
      DecodePackedDib(copy.data(), copy.size(), image, reason);
      ComposeTransparentDib(copy.data(), copy.size(), image);
    } catch (const AppError&) {
      // too large to hold: refused before anything is read
    }
    ++replayed_;
  }

  // Enhanced metafile bytes as GDI takes them in, then played and saved.
  void ReplayMetafile(const std::string& name, const std::vector<uint8_t>& bytes, bool old) {
    const GuardedCopy copy(name, bytes.data(), bytes.size());
    ASSERT_NE(copy.data(), nullptr);
    const UINT size = static_cast<UINT>(copy.size());
    METAFILEPICT pict{MM_ANISOTROPIC, 2000, 1000, nullptr};
    if (old) {
      // A picture without a size takes its ratio from the records' bytes.
      const HimetricSize suggested = SuggestedSizeFor(0, 0, copy.data(), copy.size());
      EXPECT_GT(suggested.width, 0) << name;
    }
    UniqueHenhmetafile metafile(old ? SetWinMetaFileBits(size, copy.data(), nullptr, &pict)
                                   : SetEnhMetaFileBits(size, copy.data()));
    if (metafile) {
      try {
        TPicture picture;
        picture.Assign(CopyMetafilePicture(metafile.get()));
        Save(picture);
      } catch (const AppError&) {
      }
    }
    ++replayed_;
  }

  test::ScratchFolder folder_;
  int replayed_ = 0;
  static PVOID handler_;
};

PVOID GuardedReplay::handler_ = nullptr;

std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
  return test::ReadAllBytes(path.string());
}

std::vector<std::filesystem::path> CorpusFolders() {
  std::vector<std::filesystem::path> folders = {ZUMORIKA_PICTURE_CORPUS};
  if (const char* more = std::getenv("ZUMORIKA_REPLAY_CORPUS")) {
    std::string list = more;
    for (size_t start = 0; start <= list.size();) {
      const size_t end = std::min(list.find(';', start), list.size());
      if (end > start) folders.emplace_back(list.substr(start, end - start));
      start = end + 1;
    }
  }
  return folders;
}

// Every DIB of the corpus: a seed whose first byte picks the clipboard DIB
// reader, and every BMP file's DIB (the file less its 14-byte header).
TEST_F(GuardedReplay, EveryDibOfTheCorpus) {
  int seeds = 0;
  for (const std::filesystem::path& folder : CorpusFolders()) {
    ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      const std::vector<uint8_t> seed = ReadFile(entry.path());
      if (seed.empty()) continue;
      const std::string name = entry.path().filename().string();
      if (seed[0] % 4 == 0) ReplayDib(name, std::vector<uint8_t>(seed.begin() + 1, seed.end()));
      if (seed[0] % 4 == 2 && seed.size() > 15) {
        ReplayDib(name + " (BMP file's DIB)", std::vector<uint8_t>(seed.begin() + 15, seed.end()));
      }
      ++seeds;
    }
  }
  EXPECT_GT(seeds, 20);
  std::printf("replayed %d DIBs from %d seeds\n", replayed_, seeds);
}

// A 5 x 3 DIB: header of `headerSize` bytes, masks after a plain header
// with bit fields, a colour table for 8 bits or fewer, then the rows (or
// a few runs), every field as a careful program writes it.
std::vector<uint8_t> PlainDib(uint32_t headerSize, uint32_t bits, uint32_t compression) {
  std::vector<uint8_t> dib(headerSize, 0);
  auto put32 = [&](size_t at, uint32_t v) { std::memcpy(dib.data() + at, &v, 4); };
  auto put16 = [&](size_t at, uint16_t v) { std::memcpy(dib.data() + at, &v, 2); };
  const int32_t width = 5, height = 3;
  put32(0, headerSize);
  if (headerSize == 12) {
    put16(4, width);
    put16(6, height);
    put16(8, 1);
    put16(10, static_cast<uint16_t>(bits));
  } else {
    put32(4, width);
    put32(8, height);
    put16(12, 1);
    put16(14, static_cast<uint16_t>(bits));
    put32(16, compression);
    if (headerSize >= 56) put32(52, 0xFF000000);
  }
  const uint32_t masks[4] = {0xF800, 0x07E0, 0x001F, 0};
  if (headerSize >= 52) std::memcpy(dib.data() + 40, masks, 12);
  if (headerSize == 40 && (compression == BI_BITFIELDS || compression == 6)) {
    dib.insert(dib.end(), reinterpret_cast<const uint8_t*>(masks),
               reinterpret_cast<const uint8_t*>(masks) + (compression == 6 ? 16 : 12));
  }
  const size_t entries = bits <= 8 ? size_t{1} << bits : 0;
  for (size_t i = 0; i < entries * (headerSize == 12 ? 3 : 4); ++i) {
    dib.push_back(static_cast<uint8_t>(i * 29));
  }
  const size_t bitsAt = dib.size();
  if (compression == BI_RLE8 || compression == BI_RLE4) {
    dib.insert(dib.end(), {3, 0x21, 0, 3, 0x12, 0x34, 0x56, 0, 0, 0, 2, 0x11, 0, 2, 1, 1, 0, 1});
  } else {
    const size_t stride = (size_t{width} * bits + 31) / 32 * 4;
    for (size_t i = 0; i < stride * height; ++i) dib.push_back(static_cast<uint8_t>(i * 13 + 7));
  }
  if (headerSize != 12) put32(20, static_cast<uint32_t>(dib.size() - bitsAt));
  return dib;
}

// Every header kind, depth and compression; each written well, then with
// its lengths and counts at their limits and its data cut short.
TEST_F(GuardedReplay, HostileDibsOfEveryKind) {
  struct Spoil {
    const char* name;
    size_t at;
    uint32_t value;
  };
  const Spoil spoils[] = {
      {"biSizeImage past the block", 20, 0x7FFFFFF0}, {"biSizeImage all ones", 20, 0xFFFFFFFF},
      {"biSizeImage 0", 20, 0},                       {"biClrUsed 256", 32, 256},
      {"biClrUsed 257", 32, 257},                     {"biClrUsed all ones", 32, 0xFFFFFFFF},
      {"biWidth huge", 4, 0x7FFFFFFF},                {"biHeight INT_MIN", 8, 0x80000000},
      {"biHeight -1 (top-down)", 8, 0xFFFFFFFF},      {"biHeight 65535", 8, 65535},
  };
  for (uint32_t headerSize : {12u, 40u, 44u, 52u, 56u, 108u, 124u}) {
    for (uint32_t compression : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 11u}) {
      for (uint32_t bits : {0u, 1u, 2u, 4u, 8u, 16u, 24u, 32u, 64u}) {
        if (headerSize == 12 && compression != 0) continue;
        const std::vector<uint8_t> dib = PlainDib(headerSize, bits, compression);
        const std::string kind = "header " + std::to_string(headerSize) + ", compression " +
                                 std::to_string(compression) + ", " + std::to_string(bits) +
                                 " bits";
        ReplayDib(kind, dib);
        for (size_t cut : {size_t{1}, size_t{4}, dib.size() / 2, dib.size() - headerSize}) {
          if (cut == 0 || cut >= dib.size()) continue;
          ReplayDib(kind + ", " + std::to_string(cut) + " bytes short",
                    std::vector<uint8_t>(dib.begin(), dib.end() - static_cast<ptrdiff_t>(cut)));
        }
        for (const Spoil& spoil : spoils) {
          if (headerSize == 12 || spoil.at + 4 > headerSize) continue;
          std::vector<uint8_t> spoilt = dib;
          std::memcpy(spoilt.data() + spoil.at, &spoil.value, 4);
          ReplayDib(kind + ", " + spoil.name, spoilt);
        }
      }
    }
  }
  std::printf("replayed %d hostile DIBs\n", replayed_);
}

// A metafile recorded on the screen, as bytes: rectangles and a text.
std::vector<uint8_t> RecordedMetafile(bool old) {
  WindowDc screen(nullptr);
  const RECT frame = {0, 0, 3000, 2000};
  HDC dc = old ? CreateMetaFileW(nullptr) : CreateEnhMetaFileW(screen.get(), nullptr, &frame, nullptr);
  Rectangle(dc, 5, 5, 60, 40);
  TextOutW(dc, 10, 10, L"table", 5);
  std::vector<uint8_t> bytes;
  if (old) {
    HMETAFILE metafile = CloseMetaFile(dc);
    bytes.resize(GetMetaFileBitsEx(metafile, 0, nullptr));
    GetMetaFileBitsEx(metafile, static_cast<UINT>(bytes.size()), bytes.data());
    DeleteMetaFile(metafile);
  } else {
    UniqueHenhmetafile metafile(CloseEnhMetaFile(dc));
    bytes.resize(GetEnhMetaFileBits(metafile.get(), 0, nullptr));
    GetEnhMetaFileBits(metafile.get(), static_cast<UINT>(bytes.size()), bytes.data());
  }
  return bytes;
}

// Whole, cut short, and with the sizes in their headers and first records
// past the data.
TEST_F(GuardedReplay, MetafilesWholeAndSpoilt) {
  for (bool old : {false, true}) {
    const std::vector<uint8_t> whole = RecordedMetafile(old);
    ASSERT_GT(whole.size(), 32u);
    const std::string kind = old ? "old-style metafile" : "enhanced metafile";
    ReplayMetafile(kind, whole, old);
    for (size_t keep : {size_t{8}, size_t{40}, whole.size() / 2, whole.size() - 1}) {
      ReplayMetafile(kind + " cut to " + std::to_string(keep) + " bytes",
                     std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(keep)),
                     old);
    }
    // EMR_HEADER's nSize (4) and nBytes (48); METAHEADER's mtSize (6) and
    // the first record's size (18).
    for (size_t at : old ? std::vector<size_t>{6, 18} : std::vector<size_t>{4, 48}) {
      for (uint32_t value : {0x7FFFFFF0u, 0xFFFFFFFFu, 0u}) {
        std::vector<uint8_t> spoilt = whole;
        std::memcpy(spoilt.data() + at, &value, 4);
        ReplayMetafile(kind + ", the size at " + std::to_string(at) + " spoilt", spoilt, old);
      }
    }
  }
}

}  // namespace
}  // namespace zumorika

#endif  // _WIN32
