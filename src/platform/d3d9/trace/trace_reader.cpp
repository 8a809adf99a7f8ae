// Strict field parsing for device traces (std::from_chars: no locale, no exceptions).
#include "platform/d3d9/trace/trace_reader.h"

#include <charconv>

bool TraceReader::next()
{
    while (position_ < text_.size() && error_.empty()) {
        std::size_t end = text_.find('\n', position_);
        if (end == std::string_view::npos)
            end = text_.size();
        line_ = text_.substr(position_, end - position_);
        position_ = end + 1;
        ++lineNumber_;
        if (!line_.empty() && line_.back() == '\r')
            line_.remove_suffix(1);
        fieldPosition_ = 0;
        std::string_view first;
        if (!field(first) || first.front() == '#')
            continue;
        name_ = first;
        return true;
    }
    return false;
}

bool TraceReader::field(std::string_view& token)
{
    while (fieldPosition_ < line_.size() && (line_[fieldPosition_] == ' ' || line_[fieldPosition_] == '\t'))
        ++fieldPosition_;
    if (fieldPosition_ >= line_.size())
        return false;
    std::size_t end = fieldPosition_;
    while (end < line_.size() && line_[end] != ' ' && line_[end] != '\t')
        ++end;
    token = line_.substr(fieldPosition_, end - fieldPosition_);
    fieldPosition_ = end;
    return true;
}

bool TraceReader::fail(const std::string& message)
{
    if (error_.empty())
        error_ = "line " + std::to_string(lineNumber_) + ": " + message;
    return false;
}

bool TraceReader::readUnsigned(std::uint32_t& value)
{
    std::string_view token;
    if (!field(token))
        return fail(std::string(name_) + ": missing field");
    int base = 10;
    if (token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X')) {
        token.remove_prefix(2);
        base = 16;
    }
    auto result = std::from_chars(token.data(), token.data() + token.size(), value, base);
    if (result.ec != std::errc() || result.ptr != token.data() + token.size())
        return fail(std::string(name_) + ": '" + std::string(token) + "' is not an unsigned 32-bit number");
    return true;
}

bool TraceReader::readSigned(std::int32_t& value)
{
    std::string_view token;
    if (!field(token))
        return fail(std::string(name_) + ": missing field");
    auto result = std::from_chars(token.data(), token.data() + token.size(), value);
    if (result.ec != std::errc() || result.ptr != token.data() + token.size())
        return fail(std::string(name_) + ": '" + std::string(token) + "' is not a signed 32-bit number");
    return true;
}

bool TraceReader::readFloat(float& value)
{
    std::string_view token;
    if (!field(token))
        return fail(std::string(name_) + ": missing field");
    auto result = std::from_chars(token.data(), token.data() + token.size(), value);
    if (result.ec != std::errc() || result.ptr != token.data() + token.size())
        return fail(std::string(name_) + ": '" + std::string(token) + "' is not a number");
    return true;
}

bool TraceReader::readFloats(float* values, std::size_t count)
{
    for (std::size_t k = 0; k < count; ++k)
        if (!readFloat(values[k]))
            return false;
    return true;
}

bool TraceReader::readHandle(std::uint32_t& value)
{
    std::string_view token;
    if (!field(token))
        return fail(std::string(name_) + ": missing handle");
    if (token.size() < 2 || token[0] != '@')
        return fail(std::string(name_) + ": '" + std::string(token) + "' is not a handle (@N)");
    auto result = std::from_chars(token.data() + 1, token.data() + token.size(), value);
    if (result.ec != std::errc() || result.ptr != token.data() + token.size())
        return fail(std::string(name_) + ": '" + std::string(token) + "' is not a handle (@N)");
    return true;
}

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

bool TraceReader::readHex(std::vector<std::uint8_t>& bytes, bool& present)
{
    bytes.clear();
    present = false;
    std::string_view token;
    if (!field(token))
        return fail(std::string(name_) + ": missing data");
    if (token == "-")
        return true;
    if (token.size() % 2 != 0)
        return fail(std::string(name_) + ": hex data has an odd number of digits");
    bytes.resize(token.size() / 2);
    for (std::size_t k = 0; k < bytes.size(); ++k) {
        const int high = hexDigit(token[2 * k]), low = hexDigit(token[2 * k + 1]);
        if (high < 0 || low < 0) {
            bytes.clear();
            return fail(std::string(name_) + ": data holds a character that is not a hex digit");
        }
        bytes[k] = static_cast<std::uint8_t>(high << 4 | low);
    }
    present = true;
    return true;
}

bool TraceReader::takeDash()
{
    const std::size_t saved = fieldPosition_;
    std::string_view token;
    if (field(token) && token == "-")
        return true;
    fieldPosition_ = saved;
    return false;
}

bool TraceReader::expectEnd()
{
    std::string_view token;
    if (field(token))
        return fail(std::string(name_) + ": unexpected extra field '" + std::string(token.substr(0, 32)) + "'");
    return true;
}

bool TraceReader::readHeader(TraceHeader& header)
{
    if (!next())
        return failed() ? false : fail("the trace is empty (no Device line)");
    if (name_ != "Device")
        return fail("a trace starts with a Device line, not '" + std::string(name_.substr(0, 32)) + "'");
    if (!readUnsigned(header.width) || !readUnsigned(header.height) || !readUnsigned(header.backBufferFormat) ||
        !readUnsigned(header.depthFormat) || !expectEnd())
        return false;
    if (header.width == 0 || header.height == 0 || header.width > kMaxDimension || header.height > kMaxDimension)
        return fail("back-buffer size " + std::to_string(header.width) + " x " + std::to_string(header.height) +
                    " is out of range");
    return true;
}
