// Builds one line of a device trace: a call name followed by space-separated fields
// (integers, floats that read back bit-exactly, @handles, hex blobs). Knows nothing about
// Direct3D types, so the Windows reference program can share it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class TraceLine {
public:
    explicit TraceLine(std::string_view name) : text_(name) {}

    TraceLine& u(std::uint64_t value);
    TraceLine& i(std::int64_t value);
    // 0x-prefixed, eight hex digits: colours and masks read better this way.
    TraceLine& x(std::uint32_t value);
    // Shortest text that parses back to the same float.
    TraceLine& f(float value);
    TraceLine& floats(const float* values, std::size_t count);
    // @N names a resource; @0 is the null pointer.
    TraceLine& handle(unsigned value);
    // Lower-case hex of the bytes; "-" stands for "no data".
    TraceLine& hex(const void* data, std::size_t size);
    TraceLine& dash();

    const std::string& str() const { return text_; }

private:
    std::string text_;
};
