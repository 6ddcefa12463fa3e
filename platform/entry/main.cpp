// The portable start-up code: what the Windows C runtime does before and after WinMain.
#include <string>

#include "core/host.h"
#include "core/reset.h"
#include "entry/command_line.h"
#include "entry/program_host.h"
#include "platform.h"

int main(int argc, char** argv) {
  auto host = orv::platform::CreateProgramHost();
  if (!host)
    return 1;
  orv::platform::InstallHost(host.get());

  std::string command_line = orv::platform::JoinCommandLine(argc, argv);
  const int exit_code =
      WinMain(GetModuleHandleA(nullptr), nullptr, command_line.data(), SW_SHOWDEFAULT);

  // Whatever the program left open goes with the process, while the host still exists.
  orv::platform::ResetAllServices();
  orv::platform::InstallHost(nullptr);
  return exit_code;
}
