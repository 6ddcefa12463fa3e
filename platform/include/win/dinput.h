// DirectInput 7: declared by the input service.
#pragma once

#include "win/base.h"
