#include "display_fixture.h"

#include <cstdint>
#include <sstream>
#include <utility>

#include "display/display.h"

namespace {
LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    ReleaseDisplay();
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}
}  // namespace

std::string JournalObjectText(const void* object) {
  if (object == nullptr)
    return "NULL";
  std::ostringstream text;
  text << "0x" << std::hex << reinterpret_cast<std::uintptr_t>(object);
  return text.str();
}

void DisplayRecordingHost::DebugOutput(std::string_view text) {
  const DisplayObjects& display = Game.Display;
  const std::pair<const void*, const char*> handles[] = {
      {display.DirectDrawObject, "DirectDrawObject"},
      {display.PrimarySurface, "PrimarySurface"},
      {display.BackBuffer, "BackBuffer"},
      {display.DisplayPalette, "DisplayPalette"},
      {display.BackImageSurface, "BackImageSurface"},
      {display.StringsSurface, "StringsSurface"},
      {display.MenuSurface, "MenuSurface"},
      {display.CharacterSurface, "CharacterSurface"},
  };
  for (const auto& [object, name] : handles) {
    if (object != nullptr)
      handle_names_[JournalObjectText(object)] = name;
  }
  HeadlessHost::DebugOutput(text);
}

std::string DisplayRecordingHost::HandleNameOf(const std::string& object_text) const {
  auto it = handle_names_.find(object_text);
  return it == handle_names_.end() ? "?" : it->second;
}

DisplayTest::DisplayTest() : ShownWindowTest({.procedure = TestWindowProc}) {
  Game = InitialGameGlobals();
  SetFocus(window);
  host.diagnostics().SetJournalEnabled(true);
}

DisplayTest::~DisplayTest() {
  DestroyTestWindow();
  Game = InitialGameGlobals();
}

int DisplayTest::CountCalls(std::string_view operation) const {
  int count = 0;
  for (const auto& entry : orv::platform::Diag().journal())
    count += entry.operation == operation;
  return count;
}

std::vector<std::string> DisplayTest::CallArguments(std::string_view operation) const {
  std::vector<std::string> arguments;
  for (const auto& entry : orv::platform::Diag().journal()) {
    if (entry.operation == operation)
      arguments.push_back(entry.arguments);
  }
  return arguments;
}

std::vector<std::string> DisplayTest::ReleasedHandles() const {
  std::vector<std::string> released;
  for (const auto& entry : orv::platform::Diag().journal()) {
    const std::string& operation = entry.operation;
    if (operation.size() > 9 && operation.ends_with("::Release"))
      released.push_back(host.HandleNameOf(entry.arguments));
  }
  return released;
}

std::vector<std::string> DisplayTest::LoadImageNames() const {
  // Arguments: module, "name", type, width, height, flags.
  std::vector<std::string> names;
  for (const std::string& arguments : CallArguments("LoadImageA")) {
    const auto start = arguments.find(", \"") + 3;
    names.push_back(arguments.substr(start, arguments.find("\", ", start) - start));
  }
  return names;
}

LPDIRECTDRAW7 DisplayTest::CreateDisplayObject() {
  LPDIRECTDRAW7 direct_draw = nullptr;
  EXPECT_EQ(
      DirectDrawCreateEx(NULL, reinterpret_cast<LPVOID*>(&direct_draw), IID_IDirectDraw7, NULL),
      DD_OK);
  if (direct_draw == nullptr)
    return nullptr;
  EXPECT_EQ(direct_draw->SetCooperativeLevel(window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE), DD_OK);
  EXPECT_EQ(direct_draw->SetDisplayMode(640, 480, 8, 0, 0), DD_OK);
  return direct_draw;
}
