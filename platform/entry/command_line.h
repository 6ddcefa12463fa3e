// The command line WinMain receives, rebuilt from the C runtime's argument vector.
#pragma once

#include <string>

namespace orv::platform {

// The arguments after the program name, joined by spaces and quoted so that Windows'
// own splitting would give them back: an argument with a space, a tab or a quote, or
// an empty one, is put in quotes, with its quotes and the backslashes before them
// escaped by backslashes.
std::string JoinCommandLine(int argc, const char* const* argv);

}  // namespace orv::platform
