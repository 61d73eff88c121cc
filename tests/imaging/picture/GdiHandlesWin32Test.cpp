// The error raised when GDI cannot create a bitmap or drawing context. The
// failure itself needs a machine out of memory, so the error's text is
// checked from the codes such a failure leaves behind.
#ifdef _WIN32

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "imaging/picture/GdiHandles_win32.h"
#include "imaging/ImagingTexts.h"
#include "util/AppError.h"

namespace zumorika {
namespace {

std::string RaisedText(DWORD error) {
  try {
    RaiseSystemError(error);
  } catch (const AppError& e) {
    return e.what();
  }
  return "(nothing raised)";
}

TEST(RaiseSystemError, GivesTheSystemTextWithoutItsLineEnd) {
  for (const DWORD error : {DWORD{ERROR_NOT_ENOUGH_MEMORY}, DWORD{ERROR_INVALID_PARAMETER}}) {
    const std::string text = RaisedText(error);
    ASSERT_FALSE(text.empty()) << error;
    EXPECT_NE(text, kTextOutOfResources) << error;
    const char last = text.back();
    EXPECT_TRUE(last != '\r' && last != '\n' && last != ' ') << error << ": " << text;
  }
}

TEST(RaiseSystemError, FallsBackToOutOfResourcesWithoutASystemText) {
  EXPECT_EQ(RaisedText(0), kTextOutOfResources);
  // A code from the application range has no system text.
  EXPECT_EQ(RaisedText(0x2000FFFFu), kTextOutOfResources);
}

}  // namespace
}  // namespace zumorika

#endif  // _WIN32
