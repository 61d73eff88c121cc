// Time marks of the start-up, for the benchmark's breakdown of where the
// time to the first idle goes. Compiled in only where ZUMORIKA_STARTUP_MARKS
// is defined (the zumorika-marks.exe that scripts/bench-wine builds); in the
// tool itself every call is empty.
//
// Each mark names the step that ends at it. When the program ends, the
// marks are written to "startup-marks.txt" beside the executable, one line
// each: the step's name and the milliseconds since the process was created.
#pragma once

#ifdef ZUMORIKA_STARTUP_MARKS

#include <windows.h>

#include <cstdio>
#include <string>

namespace zumorika {

class StartupMarks {
 public:
  static void Mark(const char* step) {
    StartupMarks& marks = Instance();
    if (marks.count_ < kMaxMarks) {
      FILETIME now;
      GetSystemTimePreciseAsFileTime(&now);
      marks.marks_[marks.count_++] = {step, Ticks(now)};
    }
  }
  // The first time the message loop would wait: the window is shown, painted
  // and idle.
  static void MarkIdleOnce() {
    StartupMarks& marks = Instance();
    MSG message;
    if (!marks.idle_ && !PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
      marks.idle_ = true;
      Mark("first paint, to idle");
    }
  }
  static void Write() {
    const StartupMarks& marks = Instance();
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return;
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    std::wstring file(path, length);
    file.erase(file.find_last_of(L'\\') + 1);
    file += L"startup-marks.txt";
    FILE* out = _wfopen(file.c_str(), L"w");
    if (out == nullptr) return;
    for (int i = 0; i < marks.count_; ++i) {
      const double ms = static_cast<double>(marks.marks_[i].ticks - Ticks(created)) / 1e4;
      std::fprintf(out, "%s\t%.2f\n", marks.marks_[i].step, ms);
    }
    std::fclose(out);
  }

 private:
  static constexpr int kMaxMarks = 16;
  struct Entry {
    const char* step;
    unsigned long long ticks;
  };
  static StartupMarks& Instance() {
    static StartupMarks marks;
    return marks;
  }
  static unsigned long long Ticks(const FILETIME& time) {
    return static_cast<unsigned long long>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
  }
  Entry marks_[kMaxMarks] = {};
  int count_ = 0;
  bool idle_ = false;
};

}  // namespace zumorika

#define ZUMORIKA_STARTUP_MARK(step) ::zumorika::StartupMarks::Mark(step)
#define ZUMORIKA_STARTUP_IDLE() ::zumorika::StartupMarks::MarkIdleOnce()
#define ZUMORIKA_STARTUP_WRITE() ::zumorika::StartupMarks::Write()

#else

#define ZUMORIKA_STARTUP_MARK(step) static_cast<void>(0)
#define ZUMORIKA_STARTUP_IDLE() static_cast<void>(0)
#define ZUMORIKA_STARTUP_WRITE() static_cast<void>(0)

#endif
