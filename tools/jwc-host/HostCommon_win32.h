// What every part of jwc-host shares: its exit codes, waiting with this
// thread's messages handled, output as UTF-8, text conversion and whole
// files by wide path.
#pragma once

#include <windows.h>

#include <string>

namespace zumorika::host {

// Exit codes; scripts tell the failures apart by them.
enum ExitCode : int {
  kOk = 0,
  kUsage = 1,
  kSetupFailed = 2,     // files, clipboard
  kStartFailed = 3,     // the tool did not start or showed no window
  kStepFailed = 4,      // a control missing, an expectation not met
  kTimeout = 5,         // the tool did not end in time and was killed
  kUnexpectedBox = 6,   // a message box nobody asked for; the tool was killed
  kToolExitCode = 7,    // the tool ended with a non-zero exit code
  kNoExchangeFile = 8,  // the tool ended without leaving JWC_TEMP.TXT
  kLauncherEarly = 9,   // --launch: the command ended before the tool did
};

constexpr DWORD kPollMs = 20;
constexpr DWORD kSendTimeoutMs = 5000;

// Waits while handling this thread's messages: the clipboard's owner window
// lives here, and Wine asks the owner about the clipboard with sent messages
// that would otherwise stall a reader in the tool for seconds.
void Pause(DWORD ms);

std::wstring ToWide(const std::string& bytes, UINT codePage);
std::string FromWide(const std::wstring& wide, UINT codePage);
std::wstring Utf8ToWide(const std::string& utf8);
std::string WideToUtf8(const std::wstring& wide);

// The console may be a pipe to a Unix process under Wine: bytes are written
// as UTF-8 whatever the console's code page.
void Out(const std::string& utf8);
void Err(const std::string& utf8);

// "CALL failed, error N" with the thread's last error.
std::string LastErrorText(const char* call);

// CreateFileW reports failure as INVALID_HANDLE_VALUE, not null.
HANDLE NullIfInvalid(HANDLE handle);

bool ReadWholeFile(const std::wstring& path, std::string& bytes);
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);
std::wstring FolderOf(const std::wstring& path);  // with its separator
std::wstring NameOf(const std::wstring& path);
std::wstring WithSeparator(std::wstring folder);

}  // namespace zumorika::host
