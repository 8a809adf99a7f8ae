#include "psk/psk_cursor.h"

#include <bit>
#include <cstring>

const std::uint8_t* PskCursor::take(std::size_t size, const char* field)
{
    if (failed_)
        return nullptr;
    if (size > remaining()) {
        fail(offset(), std::string("the payload ends inside the ") + field);
        return nullptr;
    }
    const std::uint8_t* bytes = data_.data() + position_;
    position_ += size;
    return bytes;
}

std::uint8_t PskCursor::u8(const char* field)
{
    const std::uint8_t* bytes = take(1, field);
    return bytes ? bytes[0] : 0;
}

std::uint16_t PskCursor::u16(const char* field)
{
    const std::uint8_t* bytes = take(2, field);
    return bytes ? static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8)) : 0;
}

std::uint32_t PskCursor::u32(const char* field)
{
    const std::uint8_t* bytes = take(4, field);
    if (!bytes)
        return 0;
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

float PskCursor::f32(const char* field)
{
    return std::bit_cast<float>(u32(field));
}

void PskCursor::f32s(float* out, std::size_t count, const char* field)
{
    for (std::size_t i = 0; i < count; ++i)
        out[i] = f32(field);
}

std::string PskCursor::string(const char* field)
{
    const std::uint64_t lengthOffset = offset();
    const std::uint16_t length = u16(field);
    if (failed_)
        return {};
    if (length > remaining()) {
        fail(lengthOffset, std::string("the ") + field + " of " + std::to_string(length) + " bytes runs past the payload (" +
                               std::to_string(remaining()) + " left)");
        return {};
    }
    const std::uint8_t* bytes = take(length, field);
    return std::string(reinterpret_cast<const char*>(bytes), length);
}

bool PskCursor::fits(std::uint64_t count, std::uint64_t itemSize, std::uint64_t countOffset, const char* field)
{
    if (failed_)
        return false;
    if (itemSize != 0 && count > remaining() / itemSize) {
        fail(countOffset, std::string("the ") + field + " " + std::to_string(count) + " needs more than the " +
                           std::to_string(remaining()) + " bytes left in the payload");
        return false;
    }
    return true;
}

void PskCursor::fail(std::uint64_t fieldOffset, std::string reason)
{
    if (failed_)
        return;
    failed_ = true;
    failureOffset_ = fieldOffset;
    failureReason_ = std::move(reason);
}
