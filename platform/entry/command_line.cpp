#include "entry/command_line.h"

#include <string_view>

namespace orv::platform {
namespace {

void AppendArgument(std::string& line, std::string_view argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string_view::npos) {
    line += argument;
    return;
  }
  line += '"';
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes are literal unless a quote follows them.
    line.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    line += c;
  }
  // Before the closing quote the backslashes are doubled too.
  line.append(backslashes * 2, '\\');
  line += '"';
}

}  // namespace

std::string JoinCommandLine(int argc, const char* const* argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1)
      line += ' ';
    AppendArgument(line, argv[i]);
  }
  return line;
}

}  // namespace orv::platform
