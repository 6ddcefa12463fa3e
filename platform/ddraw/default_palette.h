// The colours of an 8-bit display that has no palette attached.
#pragma once

#include "win/base.h"

namespace orv::platform {

// 256 entries: the top three bits of the index select red, the next three green and
// the low two blue, each spread evenly from 0 to 255.
const PALETTEENTRY* DefaultDisplayPalette();

}  // namespace orv::platform
