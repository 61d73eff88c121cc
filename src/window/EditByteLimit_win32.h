// An edit box that holds at most a number of bytes of Shift-JIS text, where
// a double-byte character counts twice: typing and pasting past it are
// undone, text the program sets stands.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace zumorika {

class EditByteLimit {
 public:
  EditByteLimit() = default;
  EditByteLimit(const EditByteLimit&) = delete;
  EditByteLimit& operator=(const EditByteLimit&) = delete;

  // Holds `edit`, whose text is `initial`, to `maxBytes`.
  void Attach(HWND edit, std::size_t maxBytes, const wchar_t* initial);
  // The edit box's EN_CHANGE: undoes a change that went past the limit.
  void OnChange();

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

  HWND edit_ = nullptr;
  std::size_t maxBytes_ = 0;
  std::wstring accepted_;
  bool programmatic_ = false;
};

}  // namespace zumorika
