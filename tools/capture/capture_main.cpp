// Runs the game from WinMain on the headless host with a scripted input over virtual
// time and writes chosen frames as PNG files.
//   orvendal_capture [--script FILE] [--out DIR]
// Without a script it captures the pictures of the README.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "capture_script.h"
#include "hosts/headless/headless_host.h"
#include "platform.h"
#include "png_writer.h"

namespace {
int Usage() {
  std::fputs("usage: orvendal_capture [--script FILE] [--out DIR]\n", stderr);
  return 2;
}
}  // namespace

int main(int argc, char** argv) {
  std::string script_path;
  std::string out_dir = ".";
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--script") == 0 && i + 1 < argc) {
      script_path = argv[++i];
    } else if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
      out_dir = argv[++i];
    } else {
      return Usage();
    }
  }

  std::string text = DefaultCaptureScript();
  if (!script_path.empty()) {
    std::ifstream file(script_path);
    if (!file) {
      std::fprintf(stderr, "cannot read %s\n", script_path.c_str());
      return 1;
    }
    std::ostringstream contents;
    contents << file.rdbuf();
    text = contents.str();
  }
  std::istringstream input(text);
  std::string error;
  const auto commands = ParseCaptureScript(input, error);
  if (!commands) {
    std::fprintf(stderr, "%s: %s\n", script_path.empty() ? "script" : script_path.c_str(),
                 error.c_str());
    return 1;
  }

  orv::platform::HeadlessHost host;
  std::vector<std::pair<std::uint64_t, std::string>> captures;  // due time, path
  bool ok = true;
  for (const auto& command : *commands) {
    const std::uint64_t at_us = command.at_ms * 1000;
    switch (command.kind) {
      case CaptureCommand::Kind::kPress:
        host.At(at_us, [key = command.key](auto& h) { h.PressKey(key); });
        break;
      case CaptureCommand::Kind::kRelease:
        host.At(at_us, [key = command.key](auto& h) { h.ReleaseKey(key); });
        break;
      case CaptureCommand::Kind::kCapture:
        captures.emplace_back(at_us, out_dir + "/" + command.path);
        break;
      case CaptureCommand::Kind::kClose:
        host.At(at_us, [](auto& h) { h.RequestClose(); });
        break;
    }
  }
  std::sort(captures.begin(), captures.end());
  std::size_t next_capture = 0;
  // Each capture takes the first frame presented at or after its time.
  host.OnPresent([&](const orv::platform::CapturedFrame& frame) {
    while (next_capture < captures.size() && captures[next_capture].first <= frame.time_us) {
      const std::string& path = captures[next_capture++].second;
      if (WritePng(frame, path)) {
        std::printf("%s (%.3f s)\n", path.c_str(), frame.time_us / 1e6);
      } else {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        ok = false;
      }
    }
  });

  char command_line[] = "";
  const int code = WinMain(GetModuleHandleA(NULL), NULL, command_line, SW_SHOWDEFAULT);
  for (const auto& line : host.debug_lines())
    std::fputs(line.c_str(), stderr);
  if (next_capture < captures.size()) {
    std::fprintf(stderr, "the game ended before %zu capture(s)\n", captures.size() - next_capture);
    ok = false;
  }
  return ok ? code : 1;
}
