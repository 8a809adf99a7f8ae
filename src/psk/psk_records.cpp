#include "psk/psk_records.h"

namespace {

// Multiplying by the single-precision 1/255 (not dividing) is what the format's colours mean;
// the two differ in the last bit for some bytes.
constexpr float kOneOver255 = 1.0f / 255.0f;

float channel(std::uint32_t argb, int shift)
{
    return static_cast<float>((argb >> shift) & 0xFFu) * kOneOver255;
}

} // namespace

PskColour PskColour::fromArgb(std::uint32_t argb)
{
    return {argb, channel(argb, 16), channel(argb, 8), channel(argb, 0), channel(argb, 24)};
}

PskTransform composeTransformSample(const PskTransform& nodeTransform, std::uint32_t componentFlags,
                                    const PskTransformSample& sample)
{
    PskTransform result = nodeTransform;
    if (componentFlags & kPskTrackPosition)
        result.position = sample.position;
    if (componentFlags & kPskTrackRotation)
        result.rotation = sample.rotation;
    if (componentFlags & kPskTrackScale)
        result.scale = sample.scale;
    return result;
}
