// One compositing layer: which image it shows, where, how opaque, and how position and
// opacity move over script time. The layer hands its placement to the image before each draw
// and computes the next placement after it, so motion shows one frame late.
#pragma once

class ImageBlitter;

struct Layer {
    ImageBlitter* content = nullptr;  // an image of the Scripter's image slots, not owned
    bool additive = false;
    float x = 0.0f;
    float y = 0.0f;
    float alpha = 1.0f;  // unclamped; only the value handed to the image is clamped
    float dx = 0.0f;     // pixels per second
    float dy = 0.0f;
    float dAlpha = 0.0f;  // opacity per second
    float posStartTime = 0.0f;
    float alphaStartTime = 0.0f;
    float baseX = 0.0f;
    float baseY = 0.0f;
    float baseAlpha = 1.0f;

    // Places and draws the image at script time t, then advances the layer for the next draw.
    void draw(float scriptTimeMs);
};

// Opacity handed to the image: 0 to 1. NaN (from infinite rates) reads as 0.
float clampedLayerAlpha(float alpha);
