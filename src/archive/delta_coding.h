// Delta coding over little-endian unsigned values of one width (1, 2 or 4 bytes), shared by
// the three delta filters. Arithmetic wraps at the value width; the bytes after the last whole
// value are copied unchanged, so the output always has the input's length.
#pragma once

#include "archive/cfl_resource_filter.h"

#include <cstddef>
#include <cstdint>

namespace delta_coding {

template <typename Word>
Word loadWord(const std::uint8_t* bytes)
{
    Word value = 0;
    for (std::size_t i = 0; i < sizeof(Word); ++i)
        value = static_cast<Word>(value | (static_cast<Word>(bytes[i]) << (8 * i)));
    return value;
}

template <typename Word>
void storeWord(std::uint8_t* bytes, Word value)
{
    for (std::size_t i = 0; i < sizeof(Word); ++i)
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Replaces every value after the first by its difference to the previous input value.
template <typename Word>
FilterBytes encode(std::span<const std::uint8_t> input)
{
    FilterBytes out(input.begin(), input.end());
    const std::size_t count = input.size() / sizeof(Word);
    Word previous = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const Word value = loadWord<Word>(input.data() + i * sizeof(Word));
        if (i > 0)
            storeWord<Word>(out.data() + i * sizeof(Word), static_cast<Word>(value - previous));
        previous = value;
    }
    return out;
}

// Running sum: every value after the first adds the previous decoded value.
template <typename Word>
FilterBytes decode(std::span<const std::uint8_t> input)
{
    FilterBytes out(input.begin(), input.end());
    const std::size_t count = input.size() / sizeof(Word);
    Word sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const Word value = loadWord<Word>(input.data() + i * sizeof(Word));
        sum = i == 0 ? value : static_cast<Word>(sum + value);
        storeWord<Word>(out.data() + i * sizeof(Word), sum);
    }
    return out;
}

} // namespace delta_coding
