// Formatting of trace fields; std::to_chars keeps the text independent of the C locale.
#include "platform/d3d9/trace/trace_line.h"

#include <charconv>

TraceLine& TraceLine::u(std::uint64_t value)
{
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    text_ += ' ';
    text_.append(buffer, result.ptr);
    return *this;
}

TraceLine& TraceLine::i(std::int64_t value)
{
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    text_ += ' ';
    text_.append(buffer, result.ptr);
    return *this;
}

TraceLine& TraceLine::x(std::uint32_t value)
{
    static const char digits[] = "0123456789abcdef";
    text_ += " 0x";
    for (int shift = 28; shift >= 0; shift -= 4)
        text_ += digits[(value >> shift) & 0xF];
    return *this;
}

TraceLine& TraceLine::f(float value)
{
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    text_ += ' ';
    text_.append(buffer, result.ptr);
    return *this;
}

TraceLine& TraceLine::floats(const float* values, std::size_t count)
{
    for (std::size_t k = 0; k < count; ++k)
        f(values[k]);
    return *this;
}

TraceLine& TraceLine::handle(unsigned value)
{
    text_ += " @";
    char buffer[16];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    text_.append(buffer, result.ptr);
    return *this;
}

TraceLine& TraceLine::hex(const void* data, std::size_t size)
{
    if (!data || size == 0)
        return dash();
    static const char digits[] = "0123456789abcdef";
    text_ += ' ';
    text_.reserve(text_.size() + size * 2);
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t k = 0; k < size; ++k) {
        text_ += digits[bytes[k] >> 4];
        text_ += digits[bytes[k] & 0xF];
    }
    return *this;
}

TraceLine& TraceLine::dash()
{
    text_ += " -";
    return *this;
}
