// The clipboard as jwc-host sets it up for the tool: the picture or text the
// options name, placed format by format as real programs place it (the bytes
// of those pictures come from ClipPictures), checked to have stayed, and its
// formats listed on request.
#pragma once

#include <windows.h>

#include "HostOptions_win32.h"
#include "util/WinHandles_win32.h"

namespace zumorika::host {

using UniqueWindow = UniqueHwnd;

// The clipboard open for as long as this lives.
class ClipboardSession {
 public:
  explicit ClipboardSession(HWND owner);
  ClipboardSession(const ClipboardSession&) = delete;
  ClipboardSession& operator=(const ClipboardSession&) = delete;
  ~ClipboardSession();
  bool is_open() const { return open_; }

 private:
  bool open_ = false;
};

// Fills the clipboard as the options ask and lists its formats when asked.
// The clipboard needs an owner window; a message-only one will do, and it
// must live as long as the clipboard is held for the tool. Returns kOk, or
// kSetupFailed after printing why.
int SetUpClipboard(const Options& options, UniqueWindow& owner);

}  // namespace zumorika::host
