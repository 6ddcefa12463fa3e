// Writes a captured frame as an RGB PNG.
#pragma once

#include <string>

#include "hosts/headless/headless_host.h"

bool WritePng(const orv::platform::CapturedFrame& frame, const std::string& path);
