// Reads a device trace line by line and field by field, checking every field, so that a
// malformed or hostile trace yields a message with its line number instead of a crash.
// Plain C++ without Direct3D types: the Windows reference program compiles it too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The first line of every trace: "Device width height backBufferFormat depthFormat".
struct TraceHeader {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t backBufferFormat = 0;
    std::uint32_t depthFormat = 0; // 0: no automatic depth-stencil surface
};

class TraceReader {
public:
    static constexpr std::uint32_t kMaxDimension = 16384;

    explicit TraceReader(std::string_view text) : text_(text) {}

    // Moves to the next line that is neither blank nor a "#" comment; false at the end.
    bool next();
    std::string_view name() const { return name_; }
    std::size_t lineNumber() const { return lineNumber_; }

    // Each reader consumes one field; on a missing or malformed field it records an error
    // and returns false.
    bool readUnsigned(std::uint32_t& value);
    bool readSigned(std::int32_t& value);
    bool readFloat(float& value);
    bool readFloats(float* values, std::size_t count);
    bool readHandle(std::uint32_t& value);
    // Hex bytes, or "-" for none (present = false).
    bool readHex(std::vector<std::uint8_t>& bytes, bool& present);
    // True (and consumed) when the next field is "-".
    bool takeDash();
    // Fails unless every field of the line was read.
    bool expectEnd();

    // Reads the header line; fails on anything else or on an unusable size.
    bool readHeader(TraceHeader& header);

    bool fail(const std::string& message);
    bool failed() const { return !error_.empty(); }
    // "line N: message".
    const std::string& error() const { return error_; }

private:
    bool field(std::string_view& token);

    std::string_view text_;
    std::size_t position_ = 0;
    std::string_view line_;
    std::size_t fieldPosition_ = 0;
    std::string_view name_;
    std::size_t lineNumber_ = 0;
    std::string error_;
};
