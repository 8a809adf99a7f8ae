// Imported scenes as the player draws them: the tests import a glTF with `demotool psk import`,
// capture a demo that plays it with `demotool capture` and measure the frames.
#pragma once

#include "platform/d3dx/picture_decoder.h"

#include <filesystem>
#include <string>
#include <vector>

constexpr unsigned kFrameWidth = 800, kFrameHeight = 600;

// Imports DIR/NAME.gltf to DIR/demo/NAME.psk, captures a demo that plays it for 2 s at the
// given times (ms, comma-separated) and returns the frames in that order; throws with the
// tool's output when a step fails.
std::vector<DecodedPicture> importAndCapture(const std::filesystem::path& dir, const std::string& name,
                                             const std::string& at);

struct Rgb {
    int r, g, b;
};

Rgb pixel(const DecodedPicture& picture, unsigned x, unsigned y);
bool drawn(const DecodedPicture& picture, unsigned x, unsigned y); // anything but the black background

// Bounds in screen positions. These follow D3D9: pixel (x, y) has its centre at (x, y) and
// covers [x − ½, x + ½) × [y − ½, y + ½).
struct Bounds {
    float left = 1e9f, top = 1e9f, right = -1e9f, bottom = -1e9f;
    void add(float x, float y);
};

Bounds drawnBounds(const DecodedPicture& picture);
// Each edge within `tolerance`; prints both for the record.
void expectBounds(const Bounds& measured, const Bounds& expected, float tolerance);
