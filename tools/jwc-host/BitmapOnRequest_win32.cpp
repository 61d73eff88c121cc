#include "BitmapOnRequest_win32.h"

#include <cstring>

namespace zumorika::host {
namespace {

struct Offer {
  std::string dib;
  WNDPROC ownerProc = nullptr;
  bool requested = false;
};

Offer& TheOffer() {
  static Offer offer;
  return offer;
}

// The bitmap GDI makes from the DIB for the screen, as the system itself
// makes CF_BITMAP from a CF_DIB.
HBITMAP BitmapFromDib(const std::string& dib) {
  if (dib.size() < sizeof(BITMAPINFOHEADER)) return nullptr;
  const auto* info = reinterpret_cast<const BITMAPINFO*>(dib.data());
  const BITMAPINFOHEADER& header = info->bmiHeader;
  size_t tableEntries = header.biClrUsed;
  if (tableEntries == 0 && header.biBitCount <= 8) tableEntries = size_t{1} << header.biBitCount;
  size_t offset = header.biSize + tableEntries * sizeof(RGBQUAD);
  if (header.biCompression == BI_BITFIELDS && header.biSize == sizeof(BITMAPINFOHEADER)) {
    offset += 3 * sizeof(DWORD);
  }
  if (offset > dib.size()) return nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateDIBitmap(screen, &header, CBM_INIT, dib.data() + offset, info,
                                  DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Offer& offer = TheOffer();
  if (message == WM_RENDERFORMAT && wParam == CF_BITMAP) {
    offer.requested = true;
    // The clipboard is open for the asking program: set, do not open.
    if (HBITMAP bitmap = BitmapFromDib(offer.dib)) {
      if (!SetClipboardData(CF_BITMAP, bitmap)) DeleteObject(bitmap);
    }
    return 0;
  }
  // At the owner's end nothing renders: the tool has ended by then.
  if (message == WM_RENDERALLFORMATS) return 0;
  return CallWindowProcW(offer.ownerProc, window, message, wParam, lParam);
}

}  // namespace

bool PutDibWithBitmapOnRequest(HWND owner, const std::string& dib, std::string& error) {
  Offer& offer = TheOffer();
  offer.dib = dib;
  offer.requested = false;
  if (offer.ownerProc == nullptr) {
    offer.ownerProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OwnerProc)));
  }
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, dib.size());
  void* locked = memory ? GlobalLock(memory) : nullptr;
  if (locked == nullptr) {
    if (memory) GlobalFree(memory);
    error = "GlobalAlloc failed";
    return false;
  }
  std::memcpy(locked, dib.data(), dib.size());
  GlobalUnlock(memory);
  if (!SetClipboardData(CF_DIB, memory)) {
    GlobalFree(memory);
    error = "SetClipboardData(CF_DIB) failed";
    return false;
  }
  // Delayed rendering: no data now, WM_RENDERFORMAT when asked.
  SetClipboardData(CF_BITMAP, nullptr);
  return true;
}

bool BitmapWasRequested() { return TheOffer().requested; }

}  // namespace zumorika::host
