#include "window/PreviewPane_win32.h"

#include <algorithm>

#include "imaging/picture/DrawGraphic_win32.h"
#include "util/WinHandles_win32.h"
#include "window/FormLayout_win32.h"
#include "window/WindowObject_win32.h"

namespace zumorika {

namespace {

// The pane behind its two windows, set by Attach; null before.
PreviewPane* PaneOf(HWND window) {
  return reinterpret_cast<PreviewPane*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace

void PreviewPane::RegisterClasses(HINSTANCE instance) {
  auto face = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  RegisterWindowClass(instance, kScrollBoxClass, ScrollBoxProc, face);
  RegisterWindowClass(instance, kImageClass, ImageProc, face);
}

void PreviewPane::Attach(HWND scrollBox, HWND image, Events* events) {
  scrollBox_ = scrollBox;
  image_ = image;
  events_ = events;
  for (HWND window : {scrollBox, image})
    if (window != nullptr) ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void PreviewPane::Reset() {
  stretched_ = false;
  picture_.Clear();
  paintFailed_ = false;
  ::InvalidateRect(image_, nullptr, TRUE);
}

void PreviewPane::EmptyPicture() {
  picture_.Clear();
  if (image_ != nullptr) ::InvalidateRect(image_, nullptr, TRUE);
}

void PreviewPane::ShowAtOwnSize() { SetImageSize(PictureWidth(picture_), PictureHeight(picture_)); }

void PreviewPane::ToggleFit() {
  stretched_ = !stretched_;
  if (stretched_) {
    FitToScrollBox();
  } else {
    ShowAtOwnSize();
  }
  ::InvalidateRect(image_, nullptr, TRUE);
}

void PreviewPane::Refit() {
  if (stretched_) {
    FitToScrollBox();
  } else {
    UpdateScrollBox();
  }
}

void PreviewPane::FitToScrollBox() {
  RECT client{};
  ::GetClientRect(scrollBox_, &client);
  SetImageSize(client.right, client.bottom);
}

void PreviewPane::SetImageSize(int width, int height) {
  ::SetWindowPos(image_, nullptr, 0, 0, std::max(width, 0), std::max(height, 0),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  UpdateScrollBox();
}

void PreviewPane::UpdateScrollBox() {
  RECT imageRect{};
  ::GetWindowRect(image_, &imageRect);
  int contentWidth = imageRect.right - imageRect.left;
  int contentHeight = imageRect.bottom - imageRect.top;
  // Showing one bar narrows the other direction, so settle in a few rounds.
  for (int round = 0; round < 3; ++round) {
    RECT client{};
    ::GetClientRect(scrollBox_, &client);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMin = 0;
    info.nMax = std::max(contentWidth - 1, 0);
    info.nPage = static_cast<UINT>(std::max<LONG>(client.right, 1));
    ::SetScrollInfo(scrollBox_, SB_HORZ, &info, TRUE);
    info.nMax = std::max(contentHeight - 1, 0);
    info.nPage = static_cast<UINT>(std::max<LONG>(client.bottom, 1));
    ::SetScrollInfo(scrollBox_, SB_VERT, &info, TRUE);
  }
  int x = ::GetScrollPos(scrollBox_, SB_HORZ);
  int y = ::GetScrollPos(scrollBox_, SB_VERT);
  ::SetWindowPos(image_, nullptr, -x, -y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PreviewPane::Scroll(int bar, WPARAM request) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  ::GetScrollInfo(scrollBox_, bar, &info);
  int pos = info.nPos;
  int page = static_cast<int>(info.nPage);
  switch (LOWORD(request)) {
    case SB_LINEUP: pos -= 16; break;
    case SB_LINEDOWN: pos += 16; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_TOP: pos = info.nMin; break;
    case SB_BOTTOM: pos = info.nMax; break;
    // Tracking: the picture follows the thumb while it is dragged.
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = info.nTrackPos; break;
    default: return;
  }
  pos = std::clamp(pos, info.nMin, std::max(info.nMin, info.nMax - page + 1));
  info.fMask = SIF_POS;
  info.nPos = pos;
  ::SetScrollInfo(scrollBox_, bar, &info, TRUE);
  UpdateScrollBox();
}

void PreviewPane::Paint(HDC dc) {
  if (picture_.IsEmpty()) return;
  if (stretched_) {
    RECT client{};
    ::GetClientRect(image_, &client);
    DrawGraphicStretched(dc, client, picture_);
  } else {
    DrawGraphic(dc, 0, 0, picture_);
  }
}

LRESULT CALLBACK PreviewPane::ScrollBoxProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  PreviewPane* pane = PaneOf(window);
  if (pane != nullptr) {
    if (message == WM_HSCROLL) {
      pane->Scroll(SB_HORZ, wParam);
      return 0;
    }
    if (message == WM_VSCROLL) {
      pane->Scroll(SB_VERT, wParam);
      return 0;
    }
    if (message == WM_NCDESTROY) ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK PreviewPane::ImageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  PreviewPane* pane = PaneOf(window);
  if (pane != nullptr) {
    switch (message) {
      case WM_PAINT: {
        PaintDc paint(window);
        // A picture that fails to draw would fail again on the repaint that
        // the error box itself causes; report it once, then draw nothing.
        if (!pane->paintFailed_) {
          try {
            pane->Paint(paint.get());
          } catch (...) {
            pane->paintFailed_ = true;
            pane->events_->OnPaintError(std::current_exception());
          }
        }
        return 0;
      }
      case WM_LBUTTONDOWN:
        pane->events_->OnImageClick();
        return 0;
      case WM_NCDESTROY:
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
      default:
        break;
    }
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace zumorika
