// The preview pane: the scroll box ScrollBox2, the image Image1 inside it
// and the picture they show, with scrolling, painting and the fit toggle.
#pragma once

#include <windows.h>

#include <exception>

#include "imaging/picture/Picture.h"

namespace zumorika {

class PreviewPane {
 public:
  // What the pane hands to its window: clicks and paint errors, which the
  // window's handlers report.
  class Events {
   public:
    virtual void OnImageClick() = 0;
    virtual void OnPaintError(std::exception_ptr error) = 0;

   protected:
    ~Events() = default;
  };

  PreviewPane() = default;
  PreviewPane(const PreviewPane&) = delete;
  PreviewPane& operator=(const PreviewPane&) = delete;

  // The window classes of the scroll box and the image.
  static void RegisterClasses(HINSTANCE instance);
  // Takes over the two windows made from those classes.
  void Attach(HWND scrollBox, HWND image, Events* events);

  // The preview's picture; it belongs to the pane.
  TPicture& Picture() { return picture_; }
  const TPicture& Picture() const { return picture_; }

  // Back to natural-size mode with an empty picture.
  void Reset();
  // Empties the picture and repaints.
  void EmptyPicture();
  // Sizes the image to the picture's own size (natural-size mode).
  void ShowAtOwnSize();
  // Switches between natural-size and fit mode.
  void ToggleFit();
  // Sizes the image again after the scroll box changed size: to the box in
  // fit mode, else the scroll bars follow.
  void Refit();
  void UpdateScrollBox();

 private:
  static LRESULT CALLBACK ScrollBoxProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK ImageProc(HWND, UINT, WPARAM, LPARAM);
  void SetImageSize(int width, int height);
  void FitToScrollBox();
  void Scroll(int bar, WPARAM request);
  void Paint(HDC dc);

  HWND scrollBox_ = nullptr;
  HWND image_ = nullptr;
  Events* events_ = nullptr;
  TPicture picture_;
  bool stretched_ = false;
  bool paintFailed_ = false;
};

}  // namespace zumorika
