#include "HostCommon_win32.h"

#include "util/WinHandles_win32.h"

namespace zumorika::host {

void Pause(DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= ms) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
  }
}

// --- Text ------------------------------------------------------------------

std::wstring ToWide(const std::string& bytes, UINT codePage) {
  if (bytes.empty()) return {};
  const int n = MultiByteToWideChar(codePage, 0, bytes.data(),
                                    static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                      wide.data(), n);
  return wide;
}

std::string FromWide(const std::wstring& wide, UINT codePage) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(codePage, 0, wide.data(),
                                    static_cast<int>(wide.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()),
                      bytes.data(), n, nullptr, nullptr);
  return bytes;
}

std::wstring Utf8ToWide(const std::string& utf8) { return ToWide(utf8, CP_UTF8); }
std::string WideToUtf8(const std::wstring& wide) { return FromWide(wide, CP_UTF8); }

// --- Output ----------------------------------------------------------------

void Out(const std::string& utf8) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), utf8.data(),
            static_cast<DWORD>(utf8.size()), &written, nullptr);
}

void Err(const std::string& utf8) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), utf8.data(),
            static_cast<DWORD>(utf8.size()), &written, nullptr);
}

std::string LastErrorText(const char* call) {
  return std::string(call) + " failed, error " + std::to_string(GetLastError());
}

// --- Files -----------------------------------------------------------------

HANDLE NullIfInvalid(HANDLE handle) {
  return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

bool ReadWholeFile(const std::wstring& path, std::string& bytes) {
  UniqueKernelHandle file(NullIfInvalid(CreateFileW(path.c_str(), GENERIC_READ,
                                                    FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                    FILE_ATTRIBUTE_NORMAL, nullptr)));
  if (!file) return false;
  LARGE_INTEGER size{};
  // Up to 2 GB: the benchmark's biggest picture is a 1.2 GB BMP.
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart >= (int64_t{1} << 31)) return false;
  bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
  DWORD got = 0;
  return bytes.empty() ||
         (ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                   &got, nullptr) &&
          got == bytes.size());
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
  UniqueKernelHandle file(NullIfInvalid(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                                    nullptr)));
  if (!file) return false;
  DWORD written = 0;
  return bytes.empty() ||
         (WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                    &written, nullptr) &&
          written == bytes.size());
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring(L".\\")
                                     : path.substr(0, slash + 1);
}

std::wstring NameOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring WithSeparator(std::wstring folder) {
  if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') {
    folder += L'\\';
  }
  return folder;
}

}  // namespace zumorika::host
