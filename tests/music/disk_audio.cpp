// Reading and measuring the disk driver's output.
#include "disk_audio.h"

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

constexpr std::size_t kFrameBytes = 4;
constexpr auto kPatience = std::chrono::seconds(20);
constexpr auto kPoll = std::chrono::milliseconds(5);

bool crossesZero(std::int16_t a, std::int16_t b)
{
    return (a < 0 && b >= 0) || (a >= 0 && b < 0);
}

} // namespace

std::size_t DiskAudio::frames() const
{
    std::error_code error;
    const auto bytes = std::filesystem::file_size(path_, error);
    return error ? 0 : static_cast<std::size_t>(bytes) / kFrameBytes;
}

bool DiskAudio::waitForFrames(std::size_t count) const
{
    const auto giveUp = std::chrono::steady_clock::now() + kPatience;
    while (frames() < count) {
        if (std::chrono::steady_clock::now() > giveUp) return false;
        std::this_thread::sleep_for(kPoll);
    }
    return true;
}

std::size_t DiskAudio::waitForSound(std::size_t from) const
{
    const auto giveUp = std::chrono::steady_clock::now() + kPatience;
    for (;;) {
        const std::size_t found = firstSound(left(), from);
        if (found != npos) return found;
        if (std::chrono::steady_clock::now() > giveUp) return npos;
        std::this_thread::sleep_for(kPoll);
    }
}

std::vector<std::int16_t> DiskAudio::left() const
{
    std::ifstream in(path_, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::int16_t> samples(bytes.size() / kFrameBytes);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const auto low = static_cast<std::uint8_t>(bytes[i * kFrameBytes]);
        const auto high = static_cast<std::uint8_t>(bytes[i * kFrameBytes + 1]);
        samples[i] = static_cast<std::int16_t>(low | (high << 8));
    }
    return samples;
}

std::size_t firstSound(const std::vector<std::int16_t>& samples, std::size_t from)
{
    for (std::size_t i = from; i < samples.size(); ++i) {
        if (std::abs(samples[i]) > kSilenceThreshold) return i;
    }
    return DiskAudio::npos;
}

std::size_t lastSound(const std::vector<std::int16_t>& samples)
{
    for (std::size_t i = samples.size(); i-- > 0;) {
        if (std::abs(samples[i]) > kSilenceThreshold) return i;
    }
    return DiskAudio::npos;
}

double rms(const std::vector<std::int16_t>& samples, std::size_t from, std::size_t to)
{
    if (to > samples.size()) to = samples.size();
    if (from >= to) return 0.0;
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) sum += static_cast<double>(samples[i]) * samples[i];
    return std::sqrt(sum / static_cast<double>(to - from));
}

double frequency(const std::vector<std::int16_t>& samples, std::size_t from, std::size_t to, int rate)
{
    if (to > samples.size()) to = samples.size();
    std::size_t first = 0, last = 0, crossings = 0;
    for (std::size_t i = from + 1; i < to; ++i) {
        if (!crossesZero(samples[i - 1], samples[i])) continue;
        if (crossings == 0) first = i;
        last = i;
        ++crossings;
    }
    if (crossings < 2) return 0.0;
    const double halfPeriod = static_cast<double>(last - first) / static_cast<double>(crossings - 1);
    return rate / (2.0 * halfPeriod);
}

std::size_t firstShortHalfPeriod(const std::vector<std::int16_t>& samples, std::size_t from, double maxHalfPeriod)
{
    std::size_t previous = DiskAudio::npos;
    for (std::size_t i = from + 1; i < samples.size(); ++i) {
        if (!crossesZero(samples[i - 1], samples[i])) continue;
        if (previous != DiskAudio::npos && static_cast<double>(i - previous) < maxHalfPeriod) return i;
        previous = i;
    }
    return DiskAudio::npos;
}

double tonePower(const std::vector<std::int16_t>& samples, std::size_t from, std::size_t to, double frequency, int rate)
{
    if (to > samples.size()) to = samples.size();
    const double coefficient = 2.0 * std::cos(2.0 * 3.14159265358979323846 * frequency / rate);
    double previous = 0.0, beforePrevious = 0.0;
    for (std::size_t i = from; i < to; ++i) {
        const double current = samples[i] + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    return previous * previous + beforePrevious * beforePrevious - coefficient * previous * beforePrevious;
}

std::size_t pitchRise(const std::vector<std::int16_t>& samples, std::size_t from, double low, double high, int rate)
{
    const auto window = static_cast<std::size_t>(rate / 100);
    const auto step = static_cast<std::size_t>(rate / 1000);
    for (std::size_t at = from; at + window <= samples.size(); at += step) {
        if (tonePower(samples, at, at + window, high, rate) > tonePower(samples, at, at + window, low, rate)) {
            return at + window / 2;
        }
    }
    return DiskAudio::npos;
}
