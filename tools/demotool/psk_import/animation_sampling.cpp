#include "animation_sampling.h"

#include <algorithm>
#include <cmath>

namespace {

template <typename Key>
void widen(const Key* keys, unsigned count, double& first, double& last)
{
    for (unsigned i = 0; i < count; ++i) {
        first = std::min(first, keys[i].mTime);
        last = std::max(last, keys[i].mTime);
    }
}

// Index of the last key at or before `ticks` and the weight towards the next one.
template <typename Key>
std::pair<unsigned, float> locate(const Key* keys, unsigned count, double ticks)
{
    if (ticks <= keys[0].mTime)
        return {0, 0.0f};
    for (unsigned i = 0; i + 1 < count; ++i) {
        if (ticks < keys[i + 1].mTime) {
            const double span = keys[i + 1].mTime - keys[i].mTime;
            const double w = span > 0.0 ? (ticks - keys[i].mTime) / span : 0.0;
            return {i, static_cast<float>(w)};
        }
    }
    return {count - 1, 0.0f};
}

aiVector3D lerpKeys(const aiVectorKey* keys, unsigned count, double ticks)
{
    const auto [i, w] = locate(keys, count, ticks);
    if (w == 0.0f || i + 1 >= count)
        return keys[i].mValue;
    return keys[i].mValue + (keys[i + 1].mValue - keys[i].mValue) * w;
}

aiQuaternion slerpKeys(const aiQuatKey* keys, unsigned count, double ticks)
{
    const auto [i, w] = locate(keys, count, ticks);
    if (w == 0.0f || i + 1 >= count)
        return keys[i].mValue;
    aiQuaternion out;
    aiQuaternion::Interpolate(out, keys[i].mValue, keys[i + 1].mValue, w);
    return out.Normalize();
}

} // namespace

double ticksPerSecond(const aiAnimation& animation)
{
    // Assimp's convention for files that leave the rate open.
    return animation.mTicksPerSecond > 0.0 ? animation.mTicksPerSecond : 25.0;
}

std::optional<SampleClock> sampleClockFor(const aiAnimation& animation, float fps)
{
    double first = animation.mDuration > 0.0 ? 0.0 : 1e300;
    double last = animation.mDuration > 0.0 ? animation.mDuration : -1e300;
    for (unsigned c = 0; c < animation.mNumChannels; ++c) {
        const aiNodeAnim* channel = animation.mChannels[c];
        widen(channel->mPositionKeys, channel->mNumPositionKeys, first, last);
        widen(channel->mRotationKeys, channel->mNumRotationKeys, first, last);
        widen(channel->mScalingKeys, channel->mNumScalingKeys, first, last);
    }
    if (!(last > first) || !(fps > 0.0f))
        return std::nullopt;
    const double msPerTick = 1000.0 / ticksPerSecond(animation);
    const double startMs = std::max(0.0, first * msPerTick);
    const double endMs = last * msPerTick;
    if (!(endMs < 4.0e9) || std::llround(endMs) <= std::llround(startMs))
        return std::nullopt;
    SampleClock clock;
    clock.startMs = static_cast<std::uint32_t>(std::llround(startMs));
    clock.endMs = static_cast<std::uint32_t>(std::llround(endMs));
    const double intervals = std::round((clock.endMs - clock.startMs) * static_cast<double>(fps) / 1000.0);
    clock.count = static_cast<std::uint32_t>(std::clamp(intervals, 1.0, 1.0e6)) + 1;
    return clock;
}

SourceTrs evaluateChannel(const aiNodeAnim& channel, double ticks, const SourceTrs& rest)
{
    SourceTrs trs = rest;
    if (channel.mNumPositionKeys > 0)
        trs.position = lerpKeys(channel.mPositionKeys, channel.mNumPositionKeys, ticks);
    if (channel.mNumRotationKeys > 0)
        trs.rotation = slerpKeys(channel.mRotationKeys, channel.mNumRotationKeys, ticks);
    if (channel.mNumScalingKeys > 0)
        trs.scale = lerpKeys(channel.mScalingKeys, channel.mNumScalingKeys, ticks);
    return trs;
}
