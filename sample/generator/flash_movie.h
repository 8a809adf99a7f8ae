// A minimal Flash movie: the 800 × 600 stage, one empty frame, the body zlib-compressed.
#pragma once

#include <cstdint>
#include <vector>

std::vector<std::uint8_t> emptyFlashMovie();
