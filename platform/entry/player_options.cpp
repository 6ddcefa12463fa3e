#include "entry/player_options.h"

#include <charconv>
#include <string_view>
#include <utility>

namespace orv::platform {
namespace {

constexpr std::string_view kHelp =
    "Usage: orvendal [OPTION]...\n"
    "A small arcade game: steer the ship over the star field and keep clear of the orb.\n"
    "\n"
    "  --window     start in a window instead of full screen\n"
    "  --scale N    make that window N times the game's 640x480 (a whole number, 1 to 16)\n"
    "  --help       show this help and exit\n"
    "  --version    show the version and exit\n"
    "\n"
    "In the game, the arrow keys steer, A chooses, Alt+Enter switches between full screen\n"
    "and a window, and Alt+F4 quits.\n"
    "ORVENDAL_VERBOSE=1 lets the messages of SDL and the display libraries reach the terminal.\n";

StartUpChoice Stop(int exit_code, std::string output, std::string error) {
  StartUpChoice choice;
  choice.run = false;
  choice.exit_code = exit_code;
  choice.output = std::move(output);
  choice.error = std::move(error);
  return choice;
}

StartUpChoice Wrong(std::string what) {
  return Stop(2, {}, "orvendal: " + what + " (see orvendal --help)\n");
}

// A whole number from 1 to kLargestWindowScale, or 0.
int ScaleFrom(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 1 ||
      value > kLargestWindowScale)
    return 0;
  return value;
}

}  // namespace

std::string VersionLine() {
  return std::string("orvendal ") + ORV_VERSION;
}

StartUpChoice ReadPlayerOptions(int argc, const char* const* argv) {
  StartUpChoice choice;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    const std::size_t equals = argument.find('=');
    const std::string_view name = argument.substr(0, equals);
    const bool has_value = equals != std::string_view::npos && argument.starts_with("--");
    if (name == "--scale") {
      std::string_view value;
      if (has_value) {
        value = argument.substr(equals + 1);
      } else if (i + 1 < argc) {
        value = argv[++i];
      } else {
        return Wrong("--scale needs a whole number from 1 to " +
                     std::to_string(kLargestWindowScale));
      }
      choice.options.window_scale = ScaleFrom(value);
      if (choice.options.window_scale == 0)
        return Wrong("--scale takes a whole number from 1 to " +
                     std::to_string(kLargestWindowScale) + ", not '" + std::string(value) + "'");
      continue;
    }
    if (has_value && (name == "--window" || name == "--help" || name == "--version"))
      return Wrong(std::string(name) + " takes no value");
    if (argument == "--window") {
      choice.options.windowed = true;
    } else if (argument == "--help") {
      return Stop(0, std::string(kHelp), {});
    } else if (argument == "--version") {
      return Stop(0, VersionLine() + "\n", {});
    } else if (argument.starts_with("-")) {
      return Wrong("unknown option '" + std::string(argument) + "'");
    } else {
      return Wrong("unexpected argument '" + std::string(argument) + "'");
    }
  }
  return choice;
}

}  // namespace orv::platform
