#include "HostClipboard_win32.h"

#include <shlobj.h>  // DROPFILES

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "ClipPictures.h"
#include "BitmapOnRequest_win32.h"
#include "HostCommon_win32.h"

namespace zumorika::host {

ClipboardSession::ClipboardSession(HWND owner) {
  // Another program (Wine's clipboard manager) may hold it for a moment.
  for (int attempt = 0; attempt < 100 && !open_; ++attempt) {
    open_ = OpenClipboard(owner) != FALSE;
    if (!open_) Pause(kPollMs);
  }
}

ClipboardSession::~ClipboardSession() {
  if (open_) CloseClipboard();
}

namespace {

struct FreeGlobalMemory {
  void operator()(HGLOBAL memory) const noexcept { GlobalFree(memory); }
};
struct DeleteMetafileHandle {
  void operator()(HMETAFILE metafile) const noexcept { DeleteMetaFile(metafile); }
};
using UniqueGlobal = UniqueHandle<HGLOBAL, FreeGlobalMemory>;
using UniqueEnhMetafile = UniqueHenhmetafile;
using UniqueMetafile = UniqueHandle<HMETAFILE, DeleteMetafileHandle>;

UniqueGlobal GlobalCopy(const void* data, size_t size) {
  UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, size));
  if (!memory) return memory;
  void* locked = GlobalLock(memory.get());
  if (!locked) return UniqueGlobal();
  memcpy(locked, data, size);
  GlobalUnlock(memory.get());
  return memory;
}

// After a successful SetClipboardData the system owns the handle: release()
// keeps our owner from freeing it a second time.
template <typename Owner>
bool HandOver(UINT format, Owner& owner, std::string& error) {
  if (!SetClipboardData(format, owner.get())) {
    error = LastErrorText("SetClipboardData");
    return false;
  }
  owner.release();
  return true;
}

bool PutDib(const std::wstring& path, std::string& error, HWND bitmapOnRequestOwner = nullptr) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) {
    error = "cannot read " + WideToUtf8(path);
    return false;
  }
  // CF_DIB is the file without its 14-byte BITMAPFILEHEADER.
  if (bytes.size() < 14 + sizeof(BITMAPINFOHEADER) || bytes[0] != 'B' ||
      bytes[1] != 'M') {
    error = WideToUtf8(path) + " is no BMP file";
    return false;
  }
  if (bitmapOnRequestOwner != nullptr) {
    return PutDibWithBitmapOnRequest(bitmapOnRequestOwner, bytes.substr(14), error);
  }
  UniqueGlobal memory = GlobalCopy(bytes.data() + 14, bytes.size() - 14);
  if (!memory) {
    error = LastErrorText("GlobalAlloc");
    return false;
  }
  return HandOver(CF_DIB, memory, error);
}

bool PutEmf(const std::wstring& path, std::string& error) {
  UniqueEnhMetafile emf(GetEnhMetaFileW(path.c_str()));
  if (!emf) {
    error = LastErrorText("GetEnhMetaFileW") + " for " + WideToUtf8(path);
    return false;
  }
  return HandOver(CF_ENHMETAFILE, emf, error);
}

bool PutWmf(const Options& options, std::string& error) {
  const std::wstring& path = options.clipSource;
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) {
    error = "cannot read " + WideToUtf8(path);
    return false;
  }
  // A placeable metafile starts with a 22-byte header of its own (key
  // 0x9AC6CDD7, bounds, units per inch) that GDI does not know.
  LONG xExt = 0, yExt = 0;
  size_t skip = 0;
  if (bytes.size() >= 22 &&
      *reinterpret_cast<const uint32_t*>(bytes.data()) == 0x9AC6CDD7u) {
    auto word = [&](size_t at) {
      return *reinterpret_cast<const int16_t*>(bytes.data() + at);
    };
    const int unitsPerInch = static_cast<uint16_t>(word(14));
    if (unitsPerInch > 0) {
      // METAFILEPICT wants the extent in hundredths of a millimetre.
      xExt = MulDiv(word(10) - word(6), 2540, unitsPerInch);
      yExt = MulDiv(word(12) - word(8), 2540, unitsPerInch);
    }
    skip = 22;
  }
  if (bytes.size() <= skip) {
    error = WideToUtf8(path) + " is no metafile";
    return false;
  }
  UniqueMetafile wmf(SetMetaFileBitsEx(static_cast<UINT>(bytes.size() - skip),
                                       reinterpret_cast<const BYTE*>(bytes.data() + skip)));
  if (!wmf) {
    error = LastErrorText("SetMetaFileBitsEx") + " for " + WideToUtf8(path);
    return false;
  }
  METAFILEPICT pict{};
  pict.mm = options.wmfExtentsGiven ? options.wmfMode : MM_ANISOTROPIC;
  pict.xExt = options.wmfExtentsGiven ? options.wmfXExt : xExt;
  pict.yExt = options.wmfExtentsGiven ? options.wmfYExt : yExt;
  pict.hMF = wmf.get();
  UniqueGlobal memory = GlobalCopy(&pict, sizeof pict);
  if (!memory) {
    error = LastErrorText("GlobalAlloc");
    return false;
  }
  if (!HandOver(CF_METAFILEPICT, memory, error)) return false;
  wmf.release();  // now referenced by the clipboard's METAFILEPICT
  return true;
}

bool PutText(const std::wstring& text, std::string& error) {
  UniqueGlobal memory = GlobalCopy(text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  if (!memory) {
    error = LastErrorText("GlobalAlloc");
    return false;
  }
  return HandOver(CF_UNICODETEXT, memory, error);
}

// The registered format browsers and Wine name a PNG file's bytes by.
UINT PngFormat() { return RegisterClipboardFormatW(L"PNG"); }

bool PutBytes(UINT format, const std::string& bytes, std::string& error) {
  UniqueGlobal memory = GlobalCopy(bytes.data(), bytes.size());
  if (!memory) {
    error = LastErrorText("GlobalAlloc");
    return false;
  }
  return HandOver(format, memory, error);
}

bool ReadSourcePicture(const std::wstring& path, StraightPicture& picture, std::string& error) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) {
    error = "cannot read " + WideToUtf8(path);
    return false;
  }
  if (!ReadBmpPicture(bytes, picture, error)) {
    error = WideToUtf8(path) + ": " + error;
    return false;
  }
  return true;
}

// A browser's "Copy image": its own PNG of the picture first, then the
// premultiplied DIBs; the system makes CF_BITMAP (and CF_DIB when absent).
bool PutBrowserPicture(const std::wstring& path, bool withDib, std::string& error) {
  StraightPicture picture;
  return ReadSourcePicture(path, picture, error) &&
         PutBytes(PngFormat(), EncodePng(picture), error) &&
         PutBytes(CF_DIBV5, MakeDib(picture, DibLayout::kV5Premultiplied), error) &&
         (!withDib || PutBytes(CF_DIB, MakeDib(picture, DibLayout::kInfoPremultiplied), error));
}

bool PutPaintPicture(const std::wstring& path, std::string& error) {
  StraightPicture picture;
  return ReadSourcePicture(path, picture, error) &&
         PutBytes(CF_DIB, MakeDib(picture, DibLayout::kInfoOpaqueZero), error);
}

bool PutPngFile(const std::wstring& path, std::string& error) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) {
    error = "cannot read " + WideToUtf8(path);
    return false;
  }
  return PutBytes(PngFormat(), bytes, error);
}

// CF_HDROP as Explorer places it: a DROPFILES header, then each full path
// in UTF-16 with its NUL, then one more NUL. The files need not exist.
bool PutFileList(const std::vector<std::wstring>& paths, std::string& error) {
  DROPFILES header{};
  header.pFiles = sizeof header;
  header.fWide = TRUE;
  std::wstring list;
  for (const std::wstring& path : paths) {
    wchar_t full[MAX_PATH * 4] = {};
    if (!GetFullPathNameW(path.c_str(), MAX_PATH * 4, full, nullptr)) {
      error = LastErrorText("GetFullPathNameW") + " for " + WideToUtf8(path);
      return false;
    }
    list += full;
    list += L'\0';
  }
  list += L'\0';
  std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
  bytes.append(reinterpret_cast<const char*>(list.data()), list.size() * sizeof(wchar_t));
  return PutBytes(CF_HDROP, bytes, error);
}

bool FillClipboard(const Options& options, HWND owner, std::string& error) {
  ClipboardSession clipboard(owner);
  if (!clipboard.is_open()) {
    error = LastErrorText("OpenClipboard");
    return false;
  }
  if (!EmptyClipboard()) {
    error = LastErrorText("EmptyClipboard");
    return false;
  }
  switch (options.clip) {
    case ClipKind::kBmp: return PutDib(options.clipSource, error);
    case ClipKind::kBmpBitmapOnRequest: return PutDib(options.clipSource, error, owner);
    case ClipKind::kEmf: return PutEmf(options.clipSource, error);
    case ClipKind::kWmf: return PutWmf(options, error);
    case ClipKind::kText: return PutText(options.clipSource, error);
    case ClipKind::kBrowser: return PutBrowserPicture(options.clipSource, false, error);
    case ClipKind::kBrowserDib: return PutBrowserPicture(options.clipSource, true, error);
    case ClipKind::kPaint: return PutPaintPicture(options.clipSource, error);
    case ClipKind::kPng: return PutPngFile(options.clipSource, error);
    case ClipKind::kFiles: return PutFileList(options.clipFiles, error);
    default: return true;
  }
}

UINT FormatOf(ClipKind kind) {
  switch (kind) {
    case ClipKind::kBmp:
    case ClipKind::kBmpBitmapOnRequest: return CF_DIB;
    case ClipKind::kEmf: return CF_ENHMETAFILE;
    case ClipKind::kWmf: return CF_METAFILEPICT;
    case ClipKind::kText: return CF_UNICODETEXT;
    case ClipKind::kBrowser:
    case ClipKind::kBrowserDib:
    case ClipKind::kPng: return PngFormat();
    case ClipKind::kPaint: return CF_DIB;
    case ClipKind::kFiles: return CF_HDROP;
    default: return 0;
  }
}

// Whether the clipboard still holds what we put there. Under Wine the X11
// clipboard manager takes the data over asynchronously, and a late sync from
// an earlier run can replace it; the tool must meet our picture.
bool ClipboardHolds(const Options& options, HWND owner) {
  ClipboardSession clipboard(owner);
  if (!clipboard.is_open()) return false;
  const UINT format = FormatOf(options.clip);
  if (format == 0) return CountClipboardFormats() == 0;
  return IsClipboardFormatAvailable(format) && GetClipboardData(format) != nullptr;
}

bool PrepareClipboard(const Options& options, HWND owner, std::string& error) {
  if (options.clip == ClipKind::kKeep) return true;
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (!FillClipboard(options, owner, error)) return false;
    Pause(150);
    if (ClipboardHolds(options, owner)) return true;
  }
  error = "the clipboard did not keep its content";
  return false;
}

// A standard format by its constant's name, a registered one by its name
// in quotes; "?" for the private ranges.
std::string FormatName(UINT format) {
  static const char* const kStandard[] = {
      nullptr,       "CF_TEXT",    "CF_BITMAP",      "CF_METAFILEPICT", "CF_SYLK",
      "CF_DIF",      "CF_TIFF",    "CF_OEMTEXT",     "CF_DIB",          "CF_PALETTE",
      "CF_PENDATA",  "CF_RIFF",    "CF_WAVE",        "CF_UNICODETEXT",  "CF_ENHMETAFILE",
      "CF_HDROP",    "CF_LOCALE",  "CF_DIBV5"};
  if (format < sizeof kStandard / sizeof kStandard[0] && kStandard[format]) {
    return kStandard[format];
  }
  wchar_t name[256] = {};
  if (GetClipboardFormatNameW(format, name, 256) > 0) return "\"" + WideToUtf8(name) + "\"";
  return "?";
}

// The formats in the clipboard's own order, the ones the system would
// synthesize included: the order the tool meets them in.
bool PrintFormats(HWND owner, std::string& error) {
  ClipboardSession clipboard(owner);
  if (!clipboard.is_open()) {
    error = LastErrorText("OpenClipboard");
    return false;
  }
  for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format)) {
    Out("format: " + std::to_string(format) + " " + FormatName(format) + "\n");
  }
  return true;
}

}  // namespace

int SetUpClipboard(const Options& options, UniqueWindow& owner) {
  owner.reset(CreateWindowExW(0, L"STATIC", L"jwc-host", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr));
  std::string error;
  if (!owner || !PrepareClipboard(options, owner.get(), error) ||
      (options.listFormats && !PrintFormats(owner.get(), error))) {
    Err("jwc-host: clipboard: " + (owner ? error : LastErrorText("CreateWindowExW")) + "\n");
    return kSetupFailed;
  }
  return kOk;
}

}  // namespace zumorika::host
