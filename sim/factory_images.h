// What a tracker holds before anyone configures it: the image of the default settings, encoded for
// its firmware generation. Written out byte for byte rather than built with the project's encoder,
// so that tests against the simulator check the encoder instead of agreeing with it.
#pragma once

#include <cstdint>

#include "config/tracker_settings.h"

ConfigImage factoryImage(std::int32_t generation);
