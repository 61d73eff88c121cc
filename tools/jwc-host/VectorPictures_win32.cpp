#include "VectorPictures_win32.h"

#include <windows.h>

#include <cstdint>

#include "HostCommon_win32.h"
#include "util/WinHandles_win32.h"

namespace zumorika::host {
namespace {

constexpr int kFrameWidth = 15000;  // hundredths of a millimetre
constexpr int kFrameHeight = 6000;
constexpr int kMargin = 500;
constexpr int kColumns = 5;
constexpr int kRows = 4;
constexpr int kLineWidth = 25;
constexpr int kTextHeight = 350;
constexpr int kLargestSide = 1 << 16;

void PutLe32(std::string& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutLe16(std::string& out, uint16_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8);
}

// The grid, the header row's fill and the labels, in hundredths of a
// millimetre from the frame's top-left corner.
void DrawTable(HDC dc) {
  const int cellWidth = (kFrameWidth - 2 * kMargin) / kColumns;
  const int cellHeight = (kFrameHeight - 2 * kMargin) / kRows;
  const RECT header = {kMargin, kMargin, kMargin + kColumns * cellWidth, kMargin + cellHeight};
  UniqueHbrush grey(CreateSolidBrush(RGB(217, 217, 217)));
  FillRect(dc, &header, grey.get());

  UniqueHandle<HPEN, DeleteGdiObject> pen(CreatePen(PS_SOLID, kLineWidth, RGB(0, 0, 0)));
  SelectedObject selectedPen(dc, pen.get());
  for (int column = 0; column <= kColumns; ++column) {
    const int x = kMargin + column * cellWidth;
    MoveToEx(dc, x, kMargin, nullptr);
    LineTo(dc, x, kMargin + kRows * cellHeight);
  }
  for (int row = 0; row <= kRows; ++row) {
    const int y = kMargin + row * cellHeight;
    MoveToEx(dc, kMargin, y, nullptr);
    LineTo(dc, kMargin + kColumns * cellWidth, y);
  }

  UniqueHfont font(CreateFontW(-kTextHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                               SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN,
                               L"\xFF2D\xFF33 \x30B4\x30B7\x30C3\x30AF"));  // ＭＳ ゴシック
  SelectedObject selectedFont(dc, font.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  for (int row = 0; row < kRows; ++row) {
    for (int column = 0; column < kColumns; ++column) {
      // 表 and the cell's row and column: "表1-2".
      const std::wstring label = L"\x8868" + std::to_wstring(row + 1) + L"-" +
                                 std::to_wstring(column + 1);
      TextOutW(dc, kMargin + column * cellWidth + 150, kMargin + row * cellHeight + 400,
               label.c_str(), static_cast<int>(label.size()));
    }
  }
}

}  // namespace

bool MakeTableEmf(const std::wstring& path, std::string& error) {
  WindowDc screen(nullptr);
  const RECT frame = {0, 0, kFrameWidth, kFrameHeight};
  HDC dc = CreateEnhMetaFileW(screen.get(), path.c_str(), &frame, L"jwc-host\0table\0");
  if (dc == nullptr) {
    error = LastErrorText("CreateEnhMetaFileW");
    return false;
  }
  // Logical units of 0.01 mm on the reference device, as office programs
  // record: the frame's size in the screen's pixels is the viewport.
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowExtEx(dc, kFrameWidth, kFrameHeight, nullptr);
  SetViewportExtEx(dc,
                   MulDiv(kFrameWidth, GetDeviceCaps(screen.get(), HORZRES),
                          GetDeviceCaps(screen.get(), HORZSIZE) * 100),
                   MulDiv(kFrameHeight, GetDeviceCaps(screen.get(), VERTRES),
                          GetDeviceCaps(screen.get(), VERTSIZE) * 100),
                   nullptr);
  DrawTable(dc);
  UniqueHenhmetafile done(CloseEnhMetaFile(dc));
  if (!done) {
    error = LastErrorText("CloseEnhMetaFile");
    return false;
  }
  return true;
}

bool PlayEmfAsBmp(const std::wstring& path, int width, int height, std::string& bmp,
                  std::string& error) {
  if (width <= 0 || height <= 0 || width > kLargestSide || height > kLargestSide) {
    error = "the size must be 1 to 65536 pixels each way";
    return false;
  }
  UniqueHenhmetafile metafile(GetEnhMetaFileW(path.c_str()));
  if (!metafile) {
    error = LastErrorText("GetEnhMetaFileW");
    return false;
  }
  WindowDc screen(nullptr);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  UniqueHbitmap dib(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  UniqueHdc dc(CreateCompatibleDC(screen.get()));
  if (!dib || bits == nullptr || !dc) {
    error = LastErrorText("CreateDIBSection");
    return false;
  }
  {
    SelectedObject selected(dc.get(), dib.get());
    PatBlt(dc.get(), 0, 0, width, height, WHITENESS);
    SetBkColor(dc.get(), RGB(255, 255, 255));
    SetTextColor(dc.get(), RGB(0, 0, 0));
    const RECT inclusive = {0, 0, width - 1, height - 1};
    PlayEnhMetaFile(dc.get(), metafile.get(), &inclusive);
    GdiFlush();
  }
  const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) / 4 * 4;
  const uint32_t imageSize = stride * static_cast<uint32_t>(height);
  bmp.clear();
  bmp += "BM";
  PutLe32(bmp, 54 + imageSize);
  PutLe32(bmp, 0);
  PutLe32(bmp, 54);
  PutLe32(bmp, 40);
  PutLe32(bmp, static_cast<uint32_t>(width));
  PutLe32(bmp, static_cast<uint32_t>(height));
  PutLe16(bmp, 1);
  PutLe16(bmp, 24);
  for (uint32_t field : {0u, imageSize, 0u, 0u, 0u, 0u}) PutLe32(bmp, field);
  const auto* pixels = static_cast<const uint32_t*>(bits);
  for (int y = height - 1; y >= 0; --y) {
    const uint32_t* row = pixels + static_cast<size_t>(y) * width;
    for (int x = 0; x < width; ++x) {
      bmp += static_cast<char>(row[x] & 0xFF);
      bmp += static_cast<char>((row[x] >> 8) & 0xFF);
      bmp += static_cast<char>((row[x] >> 16) & 0xFF);
    }
    bmp.append(stride - static_cast<uint32_t>(width) * 3, '\0');
  }
  return true;
}

int MakeAndPlayMetafiles(const Options& options) {
  std::string error, bmp;
  if (!options.makeTableEmf.empty() && !MakeTableEmf(options.makeTableEmf, error)) {
    Err("jwc-host: " + error + " for " + WideToUtf8(options.makeTableEmf) + "\n");
    return kSetupFailed;
  }
  if (options.playEmf.empty()) return kOk;
  if (!PlayEmfAsBmp(options.playEmf, options.playWidth, options.playHeight, bmp, error)) {
    Err("jwc-host: " + error + " for " + WideToUtf8(options.playEmf) + "\n");
    return kSetupFailed;
  }
  if (!WriteWholeFile(options.playBmp, bmp)) {
    Err("jwc-host: " + LastErrorText("WriteFile") + " for " + WideToUtf8(options.playBmp) +
        "\n");
    return kSetupFailed;
  }
  return kOk;
}

}  // namespace zumorika::host
