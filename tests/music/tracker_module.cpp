// Writes the test module: header, one sample, order list, two patterns, sample data.
#include "tracker_module.h"

#include <cmath>
#include <numbers>
#include <string>

namespace {

constexpr int kCycle = 32;  // bytes of the looped sample
constexpr double kPalClock = 7093789.2;

void putBig16(std::vector<std::uint8_t>& out, int value)
{
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

void putText(std::vector<std::uint8_t>& out, const std::string& text, std::size_t width)
{
    for (std::size_t i = 0; i < width; ++i) out.push_back(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
}

void putCell(std::vector<std::uint8_t>& out, int sample, int period, int effect, int parameter)
{
    out.push_back(static_cast<std::uint8_t>((sample & 0xF0) | ((period >> 8) & 0x0F)));
    out.push_back(static_cast<std::uint8_t>(period & 0xFF));
    out.push_back(static_cast<std::uint8_t>(((sample & 0x0F) << 4) | (effect & 0x0F)));
    out.push_back(static_cast<std::uint8_t>(parameter));
}

void putPattern(std::vector<std::uint8_t>& out, int period)
{
    for (int row = 0; row < 64; ++row) {
        // The note on every row, so playback started anywhere sounds at once; speed and tempo
        // on every row, since a seek does not replay earlier rows' effects.
        putCell(out, 1, period, 0, 0);
        putCell(out, 0, 0, 0xF, 1);
        putCell(out, 0, 0, 0xF, 160);
        putCell(out, 0, 0, 0, 0);
    }
}

} // namespace

double modPitch(int period)
{
    return kPalClock / (2.0 * period) / kCycle;
}

std::vector<std::uint8_t> risingTrackerModule()
{
    std::vector<std::uint8_t> out;
    putText(out, "rising test tone", 20);
    putText(out, "sine cycle", 22);
    putBig16(out, kCycle / 2);  // length in words
    out.push_back(0);           // finetune
    out.push_back(64);          // volume
    putBig16(out, 0);           // loop start
    putBig16(out, kCycle / 2);  // loop length
    for (int unused = 1; unused < 31; ++unused) {
        putText(out, "", 22);
        putBig16(out, 0);
        out.push_back(0);
        out.push_back(0);
        putBig16(out, 0);
        putBig16(out, 1);
    }
    out.push_back(2);    // song length in orders
    out.push_back(127);  // restart position (unused)
    for (int order = 0; order < 128; ++order) out.push_back(order == 1 ? 1 : 0);
    putText(out, "M.K.", 4);
    putPattern(out, kModLowPeriod);
    putPattern(out, kModHighPeriod);
    for (int i = 0; i < kCycle; ++i) {
        const double value = 100.0 * std::sin(2.0 * std::numbers::pi * i / kCycle);
        out.push_back(static_cast<std::uint8_t>(static_cast<std::int8_t>(std::lround(value))));
    }
    return out;
}
