// Picture files written byte by byte, for the cases stb_image_write cannot make: PNGs of any
// colour type and bit depth (with a palette, a transparency chunk or a lying header) and JPEGs
// that are progressive, grey or CMYK.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PngChunk {
    std::string type;
    std::vector<std::uint8_t> data;
};

// One chunk with its length and CRC.
void appendPngChunk(std::vector<std::uint8_t>& png, const PngChunk& chunk);
std::vector<std::uint8_t> pngIhdr(std::uint32_t width, std::uint32_t height, std::uint8_t bitDepth,
                                  std::uint8_t colourType);
// Signature, IHDR, the extra chunks, IDAT of the rows (each given filter type 0) and IEND.
// rows holds height rows of packed samples in the file's own layout.
std::vector<std::uint8_t> rawPng(std::uint32_t width, std::uint32_t height, std::uint8_t bitDepth,
                                 std::uint8_t colourType, const std::vector<std::vector<std::uint8_t>>& rows,
                                 const std::vector<PngChunk>& extra = {});

enum class JpegLayout { Baseline, Progressive };
// Every component at full resolution. samples: width × height × components bytes (1 grey, 3 RGB, 4 CMYK as stored: Adobe's inverted).
std::vector<std::uint8_t> libjpegEncode(unsigned width, unsigned height, unsigned components,
                                        const std::vector<std::uint8_t>& samples, int quality, JpegLayout layout);
