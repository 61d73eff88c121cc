// The step language of jwc-host: one step per line or per --step argument,
// words split at blanks, a word in double quotes may hold blanks ("\"" and
// "\\" inside quotes stand for a quote and a backslash).
#pragma once

#include <string>
#include <vector>

namespace zumorika::host {

struct Step {
  std::string verb;               // lower-case verb, e.g. "click"
  std::vector<std::string> args;  // UTF-8 words after the verb
  std::string source;             // the line as written, for messages
};

// Splits one line into a step. Returns false with a reason in error for an
// unterminated quote; an empty or comment line ("#...") gives an empty verb.
bool ParseStep(const std::string& line, Step& step, std::string& error);

// Checks the verb and its argument count against the table of verbs.
bool CheckStep(const Step& step, std::string& error);

// Parses a whole script (UTF-8 text, LF or CR LF lines, an optional BOM).
bool ParseScript(const std::string& text, std::vector<Step>& steps,
                 std::string& error);

// Reads a decimal integer with an optional sign; the whole word must be used.
bool ParseInt(const std::string& word, long& value);

// The help text listing the verbs.
const char* StepHelp();

}  // namespace zumorika::host
