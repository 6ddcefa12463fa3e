// A headless host with one plain window and the game's globals at their start values,
// for the display suites. The window's procedure releases the display on WM_DESTROY,
// as the game's does.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "shared/game_globals.h"
#include "hosts/headless/headless_host.h"
#include "platform_fixture/shown_window.h"

// How the platform's journal writes an object's address.
std::string JournalObjectText(const void* object);

// Remembers, at every debug line, which display handle names which object, so that a
// test can name the objects that a failed set-up released.
class DisplayRecordingHost : public orv::platform::HeadlessHost {
 public:
  void DebugOutput(std::string_view text) override;
  // The handle an object was last seen in, or "?" for an object never seen.
  std::string HandleNameOf(const std::string& object_text) const;

 private:
  std::map<std::string, std::string> handle_names_;
};

class DisplayTest : public orv::test_support::ShownWindowTest<DisplayRecordingHost> {
 protected:
  DisplayTest();
  ~DisplayTest() override;

  int CountCalls(std::string_view operation) const;
  // The display handles given back by Release calls since the journal was cleared, in order.
  std::vector<std::string> ReleasedHandles() const;
  // The names of the bitmaps LoadImageA was asked for, in order (resource and file tries).
  std::vector<std::string> LoadImageNames() const;
  // The arguments of each call of `operation`, in order.
  std::vector<std::string> CallArguments(std::string_view operation) const;

  // A DirectDraw object in exclusive 640x480x8 mode on the window, without surfaces.
  LPDIRECTDRAW7 CreateDisplayObject();
};
