#include "HostSteps.h"

#include <cerrno>
#include <cstdlib>

namespace zumorika::host {
namespace {

struct VerbInfo {
  const char* verb;
  int minArgs;
  int maxArgs;
};

constexpr VerbInfo kVerbs[] = {
    {"set", 2, 2},          {"click", 1, 1},        {"radio", 1, 1},
    {"select", 2, 2},       {"key", 1, 1},          {"move", 2, 2},
    {"close", 0, 0},        {"sysclose", 0, 0},     {"message", 0, 1},
    {"expect-text", 2, 2},  {"expect-check", 2, 2}, {"expect-sel", 2, 2},
    {"expect-focus", 1, 1}, {"expect-pos", 2, 2},   {"expect-open", 0, 0},
    {"print-text", 1, 1},   {"print-rect", 0, 0},   {"sleep", 1, 1},
    {"signal", 1, 1},       {"dialog", 1, 1},
    {"waitfile", 1, 1},     {"mouse", 1, 1},        {"expect-selected", 1, 1},
    {"expect-default", 1, 1}, {"expect-taskbar", 1, 1}, {"expect-centred", 0, 0},
    {"expect-client", 2, 2},  {"minimize", 0, 1},     {"restore", 0, 0},
    {"expect-shown", 1, 1},   {"taskbar-close", 0, 0},
};

// Verbs whose first argument is a control ID.
bool TakesControlId(const std::string& verb) {
  return verb == "set" || verb == "click" || verb == "radio" ||
         verb == "select" || verb == "expect-text" || verb == "expect-check" ||
         verb == "expect-sel" || verb == "expect-focus" || verb == "print-text" ||
         verb == "mouse" || verb == "expect-selected" || verb == "expect-default";
}

}  // namespace

bool ParseInt(const std::string& word, long& value) {
  if (word.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long parsed = std::strtol(word.c_str(), &end, 0);
  if (errno != 0 || end != word.c_str() + word.size()) return false;
  value = parsed;
  return true;
}

bool ParseStep(const std::string& line, Step& step, std::string& error) {
  step = Step{};
  step.source = line;
  std::vector<std::string> words;
  size_t i = 0;
  const size_t n = line.size();
  while (i < n) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      ++i;
      continue;
    }
    if (words.empty() && c == '#') break;  // comment line
    std::string word;
    if (c == '"') {
      ++i;
      bool closed = false;
      while (i < n) {
        if (line[i] == '\\' && i + 1 < n &&
            (line[i + 1] == '"' || line[i + 1] == '\\')) {
          word += line[i + 1];
          i += 2;
        } else if (line[i] == '"') {
          ++i;
          closed = true;
          break;
        } else {
          word += line[i++];
        }
      }
      if (!closed) {
        error = "unterminated quote in: " + line;
        return false;
      }
    } else {
      while (i < n && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' &&
             line[i] != '\n') {
        word += line[i++];
      }
    }
    words.push_back(word);
  }
  if (words.empty()) return true;
  step.verb = words.front();
  for (char& ch : step.verb) {
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  }
  step.args.assign(words.begin() + 1, words.end());
  return true;
}

bool CheckStep(const Step& step, std::string& error) {
  for (const VerbInfo& info : kVerbs) {
    if (step.verb != info.verb) continue;
    const int count = static_cast<int>(step.args.size());
    if (count < info.minArgs || count > info.maxArgs) {
      error = "wrong number of arguments in step: " + step.source;
      return false;
    }
    long number = 0;
    if (TakesControlId(step.verb) && !ParseInt(step.args[0], number)) {
      error = "control ID is no number in step: " + step.source;
      return false;
    }
    if (step.verb == "dialog" && step.args[0] != "ok" && step.args[0] != "cancel") {
      error = "dialog takes ok or cancel in step: " + step.source;
      return false;
    }
    return true;
  }
  error = "unknown step: " + step.source;
  return false;
}

bool ParseScript(const std::string& text, std::vector<Step>& steps,
                 std::string& error) {
  size_t start = 0;
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;
  int lineNumber = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    ++lineNumber;
    Step step;
    if (!ParseStep(text.substr(start, end - start), step, error)) {
      error = "line " + std::to_string(lineNumber) + ": " + error;
      return false;
    }
    if (!step.verb.empty()) {
      if (!CheckStep(step, error)) {
        error = "line " + std::to_string(lineNumber) + ": " + error;
        return false;
      }
      steps.push_back(step);
    }
    start = end + 1;
  }
  return true;
}

const char* StepHelp() {
  return
      "Steps (one per --step, or one per line of a --script file, UTF-8):\n"
      "  set ID TEXT          WM_SETTEXT on the control\n"
      "  click ID             post BM_CLICK (a message box it opens does not block)\n"
      "  radio ID             the same as click, for radio buttons\n"
      "  select ID INDEX      CB_SETCURSEL, then WM_COMMAND CBN_SELCHANGE to its parent\n"
      "  key KEY              post the key to the control that has the focus, through\n"
      "                       the tool's message loop as a typed key: esc, enter, tab,\n"
      "                       up, down, left, right, a letter or digit, or alt+LETTER\n"
      "  mouse ID             press and release the left mouse button on the control\n"
      "  move X Y             move the tool's window to screen position X, Y\n"
      "  close                post WM_CLOSE to the tool's window\n"
      "  sysclose             post WM_SYSCOMMAND SC_CLOSE (the title bar's close button)\n"
      "  minimize [showwindow] post WM_SYSCOMMAND SC_MINIMIZE (the title bar's minimise\n"
      "                       button); with showwindow, ShowWindow SW_MINIMIZE from this\n"
      "                       program, as another program or Win+Down may minimise it\n"
      "  restore              restore the taskbar window, as a click on its button does\n"
      "  taskbar-close        post WM_SYSCOMMAND SC_CLOSE to the taskbar window, as its\n"
      "                       button's Close does; allowed while a message box is open\n"
      "  message [TEXT]       wait for the tool's message box, print its text, check it\n"
      "                       against TEXT when given, and press its OK button; the box\n"
      "                       must be owned by the tool's form or application window\n"
      "  dialog ok|cancel     wait for another dialog of the tool (the folder chooser),\n"
      "                       print its title and press its OK or Cancel button\n"
      "  expect-text ID TEXT  the control's text must be TEXT\n"
      "  expect-check ID 0|1  the button's check state\n"
      "  expect-sel ID N      the combo box's selected index\n"
      "  expect-focus ID      the control that has the keyboard focus\n"
      "  expect-selected ID   the edit box's whole text is selected\n"
      "  expect-default ID    the default button (DM_GETDEFID) is ID and shows the\n"
      "                       default look; no other push button does\n"
      "  expect-taskbar TEXT  the tool's one window with a taskbar button (visible,\n"
      "                       unowned, no tool window) is titled TEXT and owns the form\n"
      "  expect-centred       the window is centred on its monitor's work area\n"
      "  expect-client W H    the window's client area is W x H pixels\n"
      "  expect-shown 0|1     whether the window is shown (visible and not minimised)\n"
      "  expect-pos X Y       the window's screen position\n"
      "  expect-open          the tool is still running with its window\n"
      "  print-text ID        print the control's text\n"
      "  print-rect           print the window's screen rectangle: rect: L T R B\n"
      "  sleep MS             wait\n"
      "  signal PATH          create an empty file (to tell a script the window is up)\n"
      "  waitfile PATH        wait until a file exists (for a script to say go on)\n"
      "Control IDs are decimal or 0x hexadecimal. Lines starting with # are comments.\n";
}

}  // namespace zumorika::host
