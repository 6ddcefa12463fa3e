// The game's globals at their start values on a headless host with one shown window,
// the journal on, for the input suites.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <string_view>
#include <vector>

#include "shared/game_globals.h"
#include "hosts/headless/headless_host.h"
#include "platform_fixture/shown_window.h"

class InputTest : public orv::test_support::ShownWindowTest<> {
 protected:
  InputTest() { Begin(); }
  ~InputTest() override { Game = InitialGameGlobals(); }

  // Every service, the host and the game's globals back at their start; a new window shown.
  void StartOver() {
    host.Reset();
    ShowWindowAgain();
    Begin();
  }

  orv::platform::Diagnostics& diagnostics() { return host.diagnostics(); }

  // Names the window and the objects that the game's handles hold now, for InputCalls().
  void NameInputObjects() {
    const std::pair<const void*, const char*> handles[] = {{Game.JoystickDevice, "joystick"},
                                                           {Game.KeyboardDevice, "keyboard"},
                                                           {Game.InputObject, "input"},
                                                           {window, "window"}};
    for (const auto& [object, name] : handles) {
      if (object == nullptr)
        continue;
      std::ostringstream text;
      text << object;
      object_names_[text.str()] = name;
    }
  }

  // The DirectInput calls since the journal was last cleared, as "Operation object, arguments"
  // with named objects written by name.
  std::vector<std::string> InputCalls() const {
    std::vector<std::string> calls;
    for (const auto& entry : orv::platform::Diag().journal()) {
      const std::string& operation = entry.operation;
      if (!operation.starts_with("IDirectInput") && !operation.starts_with("DirectInput"))
        continue;
      const auto scope = operation.find("::");
      std::string call = scope == std::string::npos ? operation : operation.substr(scope + 2);
      std::string arguments;
      std::istringstream parts(entry.arguments);
      for (std::string part; std::getline(parts >> std::ws, part, ',');) {
        auto it = object_names_.find(part);
        arguments +=
            (arguments.empty() ? "" : ", ") + (it == object_names_.end() ? part : it->second);
      }
      calls.push_back(arguments.empty() ? call : call + " " + arguments);
    }
    return calls;
  }

  int CountCalls(std::string_view operation) const {
    int count = 0;
    for (const auto& entry : orv::platform::Diag().journal())
      count += entry.operation == operation;
    return count;
  }

 private:
  void Begin() {
    Game = InitialGameGlobals();
    object_names_.clear();
    diagnostics().SetJournalEnabled(true);
  }

  std::map<std::string, std::string> object_names_;
};
