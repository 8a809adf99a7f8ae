// What a TGA or BMP must store for the picture its header declares. stb_image reads zeros past
// the end of its input, so without these checks a few header bytes would pass for a picture of
// the largest size made of garbage. Both take the whole file and return the picture's size, or
// nullopt when the header is unusable or the pixels it declares are not all in the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

struct StoredPictureSize {
    unsigned width = 0;
    unsigned height = 0;
};

// BMP headers of 12 bytes or more, rows bottom-up (positive height) or top-down (negative).
std::optional<StoredPictureSize> bmpStoredSize(const std::uint8_t* data, std::size_t size);

// Plain, colour-mapped and run-length TGA; run-length data is walked packet by packet.
std::optional<StoredPictureSize> tgaStoredSize(const std::uint8_t* data, std::size_t size);
