// Running a piece of a test in a child process, for faults that must not
// touch the test runner itself: a file-size limit that makes writes fail
// half-way, or a peak-memory measurement that needs a fresh high-water mark.
#pragma once

#ifndef _WIN32

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

namespace zumorika::stress {

// Runs `body` in a forked child and returns its result (0..255), or -1 when
// the child died from a signal.
inline int RunInChild(const std::function<int()>& body) {
  std::fflush(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    int code = 1;
    try {
      code = body();
    } catch (...) {
      code = 99;
    }
    _exit(code);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Makes every write past `bytes` in this process fail with EFBIG, the way a
// disk that fills half-way makes it fail. Only for use in a child.
inline void LimitFileSize(rlim_t bytes) {
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{bytes, bytes};
  setrlimit(RLIMIT_FSIZE, &limit);
}

// A field of /proc/self/status in kB ("VmHWM", "VmRSS"); -1 when missing.
inline long StatusKb(const std::string& field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.compare(0, field.size() + 1, field + ":") == 0)
      return std::strtol(line.c_str() + field.size() + 1, nullptr, 10);
  }
  return -1;
}

// Starts a new peak-memory measurement: the high-water mark drops to the
// current resident size. False where the kernel does not offer it.
inline bool ResetPeakMemory() {
  std::ofstream out("/proc/self/clear_refs");
  out << "5";
  out.flush();
  return static_cast<bool>(out);
}

}  // namespace zumorika::stress

#endif
