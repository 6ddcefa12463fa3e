// The journal's one way of writing arguments, and every service writing it so.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/journal_text.h"
#include "hosts/headless/headless_host.h"
#include "platform.h"

namespace {

using orv::platform::Hex;
using orv::platform::JournalText;

TEST(JournalTextTest, WritesEachKindOfArgumentOneWay) {
  const RECT rect = {1, -2, 30, 40};
  const GUID guid = {0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
  struct Case {
    std::string written;
    std::string expected;
  };
  const Case cases[] = {
      {JournalText(static_cast<const char*>(nullptr)), "NULL"},
      {JournalText(static_cast<HWND>(nullptr)), "NULL"},
      {JournalText(static_cast<const RECT*>(nullptr)), "NULL"},
      {JournalText(nullptr), "NULL"},
      {JournalText("Recorder"), "\"Recorder\""},
      {JournalText(MAKEINTRESOURCEA(2)), "#2"},
      {JournalText(reinterpret_cast<HWND>(0x10A0F0)), "0x10a0f0"},
      {JournalText(reinterpret_cast<const void*>(0xABCDEF12)), "0xabcdef12"},
      {JournalText(Hex(0x13)), "0x13"},
      {JournalText(Hex(0)), "0x0"},
      {JournalText(Hex(0xAB, 4)), "0x00AB"},
      {JournalText(&rect), "(1 -2 30 40)"},
      {JournalText(guid), "{6F1D2B61-D5A0-11CF-BFC7-444553540000}"},
      {JournalText(-5, DWORD{4000000000u}), "-5, 4000000000"},
      {JournalText(std::string("made already")), "made already"},
      {JournalText(), ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.written, c.expected);
}

TEST(JournalTextTest, AFieldOfAMissingRecordIsNull) {
  const MSG msg = {reinterpret_cast<HWND>(0x20), WM_CLOSE, 0, 0, 0, {0, 0}};
  EXPECT_EQ(orv::platform::FieldText(&msg, &MSG::message), "16");
  EXPECT_EQ(orv::platform::FieldText(static_cast<const MSG*>(nullptr), &MSG::message), "NULL");
}

TEST(JournalTextTest, EveryServiceWritesANullPointerAsNull) {
  orv::platform::HeadlessHost host;
  host.diagnostics().SetJournalEnabled(true);
  LPDIRECTDRAW7 direct_draw = nullptr;
  struct Case {
    const char* operation;
    std::function<void()> call;
    std::string arguments;
  };
  const Case cases[] = {
      {"GetModuleHandleA", [] { GetModuleHandleA(nullptr); }, "NULL"},
      {"OutputDebugStringA", [] { OutputDebugStringA(nullptr); }, "NULL"},
      {"IsWindow", [] { IsWindow(nullptr); }, "NULL"},
      {"MessageBoxA", [] { MessageBoxA(nullptr, nullptr, nullptr, MB_OK); },
       "NULL, NULL, NULL, 0x0000"},
      {"CreateCompatibleDC", [] { DeleteDC(CreateCompatibleDC(nullptr)); }, "NULL"},
      {"LoadImageA", [] { LoadImageA(nullptr, nullptr, IMAGE_BITMAP, 0, 0, 0); },
       "NULL, NULL, 0, 0, 0, 0"},
      {"DirectDrawCreateEx",
       [&] {
         DirectDrawCreateEx(nullptr, reinterpret_cast<LPVOID*>(&direct_draw), IID_IDirectDraw7,
                            nullptr);
       },
       "NULL, NULL"},
      {"IDirectDraw7::SetCooperativeLevel",
       [&] { direct_draw->SetCooperativeLevel(nullptr, DDSCL_NORMAL); }, "NULL, 0x8"},
      {"IDirectDraw7::CreateSurface",
       [&] { direct_draw->CreateSurface(nullptr, nullptr, nullptr); }, "NULL"},
  };
  for (const Case& c : cases) {
    host.diagnostics().ClearJournal();
    c.call();
    ASSERT_FALSE(host.diagnostics().journal().empty()) << c.operation;
    EXPECT_EQ(host.diagnostics().journal()[0].operation, c.operation);
    EXPECT_EQ(host.diagnostics().journal()[0].arguments, c.arguments) << c.operation;
  }
  ASSERT_NE(direct_draw, nullptr);
  direct_draw->Release();
}

}  // namespace
