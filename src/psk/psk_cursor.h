// Bounded little-endian reads over one chunk's payload. The first read that would pass the end
// stops the cursor: it remembers the file offset of that field and why, and every later read
// yields zero, so a payload reader can read straight through and check `failed` once. Counts
// are checked against the bytes left before anything is allocated for them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

class PskCursor {
public:
    // `fileOffset` is where data[0] sits in the file, for the damage report.
    PskCursor(std::span<const std::uint8_t> data, std::uint64_t fileOffset) : data_(data), base_(fileOffset) {}

    std::uint8_t u8(const char* field);
    std::uint16_t u16(const char* field);
    std::uint32_t u32(const char* field);
    std::int32_t i32(const char* field) { return static_cast<std::int32_t>(u32(field)); }
    float f32(const char* field);
    void f32s(float* out, std::size_t count, const char* field);
    std::string string(const char* field); // u16 length, then the bytes

    // True when `count` items of `itemSize` bytes fit in what is left; otherwise the cursor
    // stops at `countOffset`, the file offset of the count that claimed them.
    bool fits(std::uint64_t count, std::uint64_t itemSize, std::uint64_t countOffset, const char* field);
    // Stops the cursor at `fieldOffset` (a file offset) for a reason of the caller's.
    void fail(std::uint64_t fieldOffset, std::string reason);

    bool failed() const { return failed_; }
    std::uint64_t failureOffset() const { return failureOffset_; }
    const std::string& failureReason() const { return failureReason_; }
    std::uint64_t offset() const { return base_ + position_; }
    std::size_t remaining() const { return data_.size() - position_; }

private:
    const std::uint8_t* take(std::size_t size, const char* field);

    std::span<const std::uint8_t> data_;
    std::uint64_t base_;
    std::size_t position_ = 0;
    bool failed_ = false;
    std::uint64_t failureOffset_ = 0;
    std::string failureReason_;
};
