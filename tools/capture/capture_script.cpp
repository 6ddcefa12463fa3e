#include "capture_script.h"

#include <iomanip>
#include <map>
#include <sstream>

#include "platform.h"

namespace {
const std::map<std::string, std::uint8_t>& KeyNames() {
  static const std::map<std::string, std::uint8_t> keys = {
      {"UP", DIK_UP}, {"DOWN", DIK_DOWN},     {"LEFT", DIK_LEFT},     {"RIGHT", DIK_RIGHT},
      {"A", DIK_A},   {"B", DIK_B},           {"C", DIK_C},           {"X", DIK_X},
      {"Y", DIK_Y},   {"Z", DIK_Z},           {"L", DIK_L},           {"R", DIK_R},
      {"M", DIK_M},   {"ESCAPE", DIK_ESCAPE}, {"RETURN", DIK_RETURN}, {"SPACE", DIK_SPACE},
  };
  return keys;
}
}  // namespace

std::optional<std::vector<CaptureCommand>> ParseCaptureScript(std::istream& input,
                                                              std::string& error) {
  std::vector<CaptureCommand> commands;
  std::string line;
  for (int number = 1; std::getline(input, line); ++number) {
    if (auto comment = line.find('#'); comment != std::string::npos)
      line.erase(comment);
    std::istringstream words(line);
    CaptureCommand command;
    std::string verb;
    if (!(words >> command.at_ms)) {
      if (words.eof() && line.find_first_not_of(" \t\r") == std::string::npos)
        continue;
      error = "line " + std::to_string(number) + ": expected a time in milliseconds";
      return std::nullopt;
    }
    words >> verb;
    auto fail = [&](const std::string& what) {
      error = "line " + std::to_string(number) + ": " + what;
      return std::nullopt;
    };
    if (verb == "press" || verb == "release") {
      std::string key;
      words >> key;
      auto found = KeyNames().find(key);
      if (found == KeyNames().end())
        return fail("unknown key '" + key + "'");
      command.kind =
          verb == "press" ? CaptureCommand::Kind::kPress : CaptureCommand::Kind::kRelease;
      command.key = found->second;
      commands.push_back(command);
    } else if (verb == "capture") {
      if (!(words >> command.path))
        return fail("capture needs a file name");
      command.kind = CaptureCommand::Kind::kCapture;
      commands.push_back(command);
    } else if (verb == "sequence") {
      std::string prefix;
      int count = 0;
      std::uint64_t every_ms = 0;
      if (!(words >> prefix >> count >> every_ms) || count <= 0 || count > 10000 || every_ms == 0) {
        return fail("sequence needs a prefix, a count and an interval");
      }
      for (int i = 0; i < count; ++i) {
        std::ostringstream path;
        path << prefix << std::setw(4) << std::setfill('0') << i << ".png";
        commands.push_back(
            {command.at_ms + every_ms * i, CaptureCommand::Kind::kCapture, 0, path.str()});
      }
    } else if (verb == "close") {
      command.kind = CaptureCommand::Kind::kClose;
      commands.push_back(command);
    } else {
      return fail("unknown command '" + verb + "'");
    }
  }
  return commands;
}

const char* DefaultCaptureScript() {
  return R"(# The title menu once the frame-rate text shows.
2500 capture title.png
# Start, then steer the ship down to the orb's height and right into it.
3000 press A
3050 release A
3200 press DOWN
4900 release DOWN
5000 press RIGHT
6000 capture play.png
# Contact: the menu is back with the cursor on Start.
7400 release RIGHT
7500 capture menu-again.png
7600 close
)";
}
