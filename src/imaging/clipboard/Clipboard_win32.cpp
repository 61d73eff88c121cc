#include <cstring>
#include <string>
#include <vector>

#include <windows.h>
// DROPFILES, the header of CF_HDROP.
#include <shlobj.h>

#include "imaging/clipboard/Clipboard.h"
#include "imaging/clipboard/ClipboardFormats.h"
#include "imaging/clipboard/ClipboardPictures.h"
#include "imaging/picture/GdiHandles_win32.h"
#include "imaging/ImagingTexts.h"
#include "imaging/clipboard/MetafilePictSize.h"
#include "imaging/clipboard/OwnDibPicture_win32.h"
#include "imaging/picture/PictureData_win32.h"
#include "util/AppError.h"
#include "util/Cp932.h"
#include "util/Files.h"

namespace zumorika {

namespace {

// Clipboard tools, the clipboard history and remote-desktop clients open the
// clipboard for a moment after each copy, so a refused open is tried again
// for about a second before the clipboard counts as unusable.
constexpr int kOpenTries = 10;
constexpr DWORD kOpenRetryMs = 100;

// Sleeps for `ms` while still painting this thread's windows, so that the
// window does not turn white or stale while the clipboard is busy. Only
// paint messages are handled: no input reaches the window in between.
void WaitPainting(DWORD ms) {
  const ULONGLONG deadline = GetTickCount64() + ms;
  for (;;) {
    MSG message;
    const bool painted = PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE) != 0;
    if (painted) DispatchMessageW(&message);
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return;
    // A window that leaves itself invalid is painted again at once: the
    // deadline still holds.
    if (!painted)
      MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_PAINT);
  }
}

bool OpenClipboardRetrying(HWND owner) {
  for (int attempt = 1;; ++attempt) {
    if (OpenClipboard(owner)) return true;
    if (attempt == kOpenTries) return false;
    WaitPainting(kOpenRetryMs);
  }
}

// OpenClipboard needs an owner window that outlives the open. Opens are
// counted: the first opens the clipboard with a hidden window made for the
// purpose, the last closes it and destroys that window.
class ClipboardAccess {
 public:
  ClipboardAccess() {
    if (count_ == 0) {
      owner_.reset(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr));
      if (!OpenClipboardRetrying(owner_.get())) {
        owner_.reset();
        throw AppError(kTextCannotOpenClipboard);
      }
    }
    ++count_;
  }
  ~ClipboardAccess() {
    if (--count_ == 0) {
      CloseClipboard();
      owner_.reset();
    }
  }
  ClipboardAccess(const ClipboardAccess&) = delete;
  ClipboardAccess& operator=(const ClipboardAccess&) = delete;

 private:
  static int count_;
  static UniqueHwnd owner_;
};

int ClipboardAccess::count_ = 0;
UniqueHwnd ClipboardAccess::owner_;

bool IsPngFormat(uint32_t format) {
  // Registered formats start at 0xC000; a name is at most 255 characters.
  if (format < 0xC000) return false;
  wchar_t name[256];
  const int length = GetClipboardFormatNameW(format, name, 256);
  return length > 0 && IsPngFormatName(WideToCp932(std::wstring_view(name, length)));
}

PictureSource ChooseOfferedSource() {
  return ChoosePictureSource([](uint32_t format) { return EnumClipboardFormats(format); },
                             IsPngFormat);
}

// A global memory block locked for reading, unlocked on every way out.
class LockedGlobal {
 public:
  explicit LockedGlobal(HANDLE memory)
      : memory_(memory), data_(memory ? GlobalLock(memory) : nullptr),
        size_(data_ ? GlobalSize(memory) : 0) {}
  ~LockedGlobal() {
    if (data_) GlobalUnlock(memory_);
  }
  LockedGlobal(const LockedGlobal&) = delete;
  LockedGlobal& operator=(const LockedGlobal&) = delete;
  const uint8_t* data() const { return static_cast<const uint8_t*>(data_); }
  size_t size() const { return size_; }

 private:
  HANDLE memory_;
  void* data_;
  size_t size_;
};

// The paths of a CF_HDROP block (DROPFILES, then names that each end in a
// 0, the list ending in an empty one), read within the block's size.
std::vector<std::wstring> DroppedPaths(const uint8_t* block, size_t size) {
  std::vector<std::wstring> paths;
  if (size < sizeof(DROPFILES)) return paths;
  DROPFILES header;
  std::memcpy(&header, block, sizeof header);
  if (header.pFiles < sizeof(DROPFILES) || header.pFiles >= size) return paths;
  const uint8_t* at = block + header.pFiles;
  const uint8_t* end = block + size;
  const size_t unit = header.fWide ? sizeof(wchar_t) : 1;
  for (;;) {
    std::wstring path;
    bool ended = false;
    for (; end - at >= static_cast<ptrdiff_t>(unit); at += unit) {
      wchar_t c = 0;
      if (header.fWide) {
        std::memcpy(&c, at, sizeof c);
      } else {
        c = static_cast<unsigned char>(*at);
      }
      if (c == 0) {
        at += unit;
        ended = true;
        break;
      }
      path.push_back(c);
    }
    if (!ended || path.empty()) break;
    if (!header.fWide) {
      // Names of the system's code page, a byte each so far.
      const std::string narrow(path.begin(), path.end());
      const int n = MultiByteToWideChar(CP_ACP, 0, narrow.data(), static_cast<int>(narrow.size()),
                                        nullptr, 0);
      path.assign(static_cast<size_t>(n), L'\0');
      MultiByteToWideChar(CP_ACP, 0, narrow.data(), static_cast<int>(narrow.size()), path.data(), n);
    }
    paths.push_back(std::move(path));
  }
  return paths;
}

// The open clipboard's data as bytes; copied files are read by their wide
// paths, so any name opens whatever the code page.
class OpenClipboardBytes : public ClipboardBytes {
 public:
  bool Read(uint32_t format, const std::function<void(const uint8_t*, size_t)>& use) override {
    const LockedGlobal data(GetClipboardData(format));
    if (data.data() == nullptr) return false;
    use(data.data(), data.size());
    return true;
  }
  std::vector<std::string> CopiedFiles() override {
    const LockedGlobal drop(GetClipboardData(CF_HDROP));
    paths_ = drop.data() ? DroppedPaths(drop.data(), drop.size()) : std::vector<std::wstring>();
    std::vector<std::string> names;
    for (const std::wstring& path : paths_) names.push_back(WideToCp932(path));
    return names;
  }
  bool ReadCopiedFile(size_t index, std::vector<uint8_t>& bytes) override {
    if (index >= paths_.size()) return false;
    UniqueFile file(_wfopen(paths_[index].c_str(), L"rb"));
    return file && ReadAll(file.get(), bytes);
  }

 private:
  std::vector<std::wstring> paths_;
};

UniqueHpalette CopyPalette(HPALETTE source) {
  if (source == nullptr) return UniqueHpalette();
  const UINT count = GetPaletteEntries(source, 0, 0, nullptr);
  if (count == 0) return UniqueHpalette();
  std::vector<uint8_t> storage(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
  auto* logical = reinterpret_cast<LOGPALETTE*>(storage.data());
  logical->palVersion = 0x300;
  logical->palNumEntries = static_cast<WORD>(count);
  GetPaletteEntries(source, 0, count, logical->palPalEntry);
  UniqueHpalette copy(CreatePalette(logical));
  if (!copy) RaiseSystemError(GetLastError());
  return copy;
}

// The colour table of a DIB section: from the offered palette when there is
// one, else the section's own.
std::vector<RGBQUAD> ColourTableFor(HBITMAP source, HPALETTE palette, int bits) {
  std::vector<RGBQUAD> table(size_t{1} << bits);
  if (palette != nullptr) {
    std::vector<PALETTEENTRY> entries(table.size());
    const UINT n = GetPaletteEntries(palette, 0, static_cast<UINT>(entries.size()), entries.data());
    for (UINT i = 0; i < n; ++i) {
      table[i] = RGBQUAD{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
    }
    return table;
  }
  UniqueHdc dc(CreateCompatibleDC(nullptr));
  if (!dc) RaiseSystemError(GetLastError());
  SelectedObject selected(dc.get(), source);
  GetDIBColorTable(dc.get(), 0, static_cast<UINT>(table.size()), table.data());
  return table;
}

std::unique_ptr<GdiBitmapPicture> CopyClipboardBitmap(HBITMAP source, HPALETTE clipboardPalette) {
  BITMAP description{};
  if (GetObjectW(source, sizeof description, &description) == 0) {
    throw AppError(kTextUnsupportedClipboardData);
  }
  const int32_t width = description.bmWidth;
  const int32_t height = description.bmHeight < 0 ? -description.bmHeight : description.bmHeight;
  const int bits = description.bmBitsPixel * description.bmPlanes;
  UniqueHpalette palette = CopyPalette(clipboardPalette);
  if (width <= 0 || height <= 0) {
    return std::make_unique<GdiBitmapPicture>(UniqueHbitmap(), std::move(palette), 0, 0, bits,
                                              false);
  }

  WindowDc screen(nullptr);
  // The copy keeps the bitmap's kind: a device bitmap stays a device bitmap
  // (monochrome when it has one plane of one bit), a DIB section stays one
  // of the same depth.
  UniqueHbitmap copy;
  bool monochrome = false;
  if (description.bmBits == nullptr) {
    monochrome = description.bmPlanes == 1 && description.bmBitsPixel == 1;
    copy.reset(monochrome ? CreateBitmap(width, height, 1, 1, nullptr)
                          : CreateCompatibleBitmap(screen.get(), width, height));
  } else {
    std::vector<uint8_t> storage(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* info = reinterpret_cast<BITMAPINFO*>(storage.data());
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = width;
    info->bmiHeader.biHeight = height;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = static_cast<WORD>(bits);
    info->bmiHeader.biCompression = BI_RGB;
    if (bits <= 8) {
      const std::vector<RGBQUAD> table = ColourTableFor(source, clipboardPalette, bits);
      std::copy(table.begin(), table.end(), info->bmiColors);
    }
    void* pixels = nullptr;
    copy.reset(CreateDIBSection(screen.get(), info, DIB_RGB_COLORS, &pixels, nullptr, 0));
  }
  if (!copy) RaiseSystemError(GetLastError());

  UniqueHdc sourceDc(CreateCompatibleDC(screen.get()));
  UniqueHdc targetDc(CreateCompatibleDC(screen.get()));
  if (!sourceDc || !targetDc) RaiseSystemError(GetLastError());
  {
    SelectedObject selectedSource(sourceDc.get(), source);
    SelectedObject selectedTarget(targetDc.get(), copy.get());
    if (!selectedSource.ok() || !selectedTarget.ok()) RaiseSystemError(GetLastError());
    PatBlt(targetDc.get(), 0, 0, width, height, WHITENESS);
    SelectedPalette targetPalette(targetDc.get(), palette.get());
    SelectedPalette sourcePalette(sourceDc.get(), clipboardPalette);
    if (!BitBlt(targetDc.get(), 0, 0, width, height, sourceDc.get(), 0, 0, SRCCOPY)) {
      RaiseSystemError(GetLastError());
    }
  }
  return std::make_unique<GdiBitmapPicture>(std::move(copy), std::move(palette), width, height,
                                            bits, monochrome);
}

// An old-style metafile picture whose METAFILEPICT gives no size (negative
// extents: only a ratio; zero: nothing), converted here with the size
// SuggestedSizeFor gives it: the system's conversion would stretch it over
// the whole screen. Null for a picture that gives its size, which the
// system converts as it always has.
std::unique_ptr<MetafilePicture> UnsizedMetafilePicture() {
  const LockedGlobal block(GetClipboardData(CF_METAFILEPICT));
  if (block.data() == nullptr || block.size() < sizeof(METAFILEPICT)) return nullptr;
  METAFILEPICT offered;
  std::memcpy(&offered, block.data(), sizeof offered);
  if (!NeedsSuggestedSize(offered.mm, offered.xExt, offered.yExt)) return nullptr;
  const UINT size = GetMetaFileBitsEx(offered.hMF, 0, nullptr);
  if (size == 0) throw AppError(kTextUnsupportedClipboardData);
  std::vector<uint8_t> bits(size);
  if (GetMetaFileBitsEx(offered.hMF, size, bits.data()) != size) {
    throw AppError(kTextUnsupportedClipboardData);
  }
  const HimetricSize suggested = SuggestedSizeFor(offered.xExt, offered.yExt, bits.data(), size);
  const METAFILEPICT sized{offered.mm, suggested.width, suggested.height, nullptr};
  const UniqueHenhmetafile converted(SetWinMetaFileBits(size, bits.data(), nullptr, &sized));
  if (!converted) RaiseSystemError(GetLastError());
  return CopyMetafilePicture(converted.get());
}

HPALETTE OfferedPalette() {
  return IsClipboardFormatAvailable(CF_PALETTE) ? static_cast<HPALETTE>(GetClipboardData(CF_PALETTE))
                                                : nullptr;
}

}  // namespace

bool ClipboardHasPicture() {
  ClipboardAccess access;
  return ChooseOfferedSource().kind != PictureSourceKind::None;
}

void LoadClipboardPicture(TPicture& picture) {
  ClipboardAccess access;
  const PictureSource source = ChooseOfferedSource();
  if (source.kind == PictureSourceKind::None) throw AppError(kTextInvalidClipboardFormat);

  // Pictures that arrive as bytes become a 32-bit DIB section, drawn and
  // saved as any clipboard bitmap is.
  OpenClipboardBytes bytes;
  if (source.kind == PictureSourceKind::Png || source.kind == PictureSourceKind::CopiedFile) {
    const WorkingImage decoded = PictureFromBytes(bytes, source);
    picture = PictureFromPixels(decoded.Width(), decoded.Height(), decoded.Row(0));
    return;
  }

  std::unique_ptr<PictureData> loaded;
  if (source.kind == PictureSourceKind::Bitmap) {
    // The program's own DIB is the picture, fetched once and kept at its
    // own depth; CF_BITMAP would be made from it (under Wine copied from
    // the server a second time) and copied again.
    const auto takeDib = [&](const uint8_t*, size_t, const PackedDib& layout) {
      loaded = PictureFromOwnDib(layout, CopyPalette(OfferedPalette()));
      return loaded != nullptr;
    };
    if (!TakeOwnDib(bytes, source, takeDib)) {
      const auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
      if (bitmap == nullptr) throw AppError(kTextUnsupportedClipboardData);
      loaded = CopyClipboardBitmap(bitmap, OfferedPalette());
    }
  } else {
    // An old-style metafile picture that gives its size is fetched through
    // the system's conversion; the handle of the offered format itself is
    // not used.
    if (source.offered == kCfMetafilePict) loaded = UnsizedMetafilePicture();
    if (!loaded) {
      const auto metafile = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
      if (metafile == nullptr) throw AppError(kTextUnsupportedClipboardData);
      loaded = CopyMetafilePicture(metafile);
    }
  }
  picture.Assign(std::move(loaded));
}

}  // namespace zumorika
