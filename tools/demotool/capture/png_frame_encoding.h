// A captured frame as PNG bytes: 8-bit RGB, every row Paeth-filtered, deflated by libdeflate at
// its fastest level. Capture writes thousands of frames that are usually converted again, so
// speed comes before the last tenth of size.
#pragma once

#include "capture/back_buffer_reader.h"

#include <cstdint>
#include <vector>

// Empty when the frame is empty or its bytes do not match its size.
std::vector<std::uint8_t> encodeFramePng(const FramePixels& frame);
