// One UTF-8 decoder serves both renderings: it says how long the sequence at a position is
// and what it encodes, or that the byte there starts no valid sequence.
#include "name_text.h"

#include <cstdint>
#include <cstdio>

namespace {

struct Sequence {
    std::size_t length = 0;  // 0: not valid UTF-8 here
    std::uint32_t codePoint = 0;
};

Sequence sequenceAt(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(at);
    if (lead < 0x80) return {1, lead};
    std::size_t length = 0;
    std::uint32_t value = 0;
    if ((lead & 0xE0) == 0xC0) length = 2, value = lead & 0x1F;
    else if ((lead & 0xF0) == 0xE0) length = 3, value = lead & 0x0F;
    else if ((lead & 0xF8) == 0xF0) length = 4, value = lead & 0x07;
    else return {};
    if (text.size() - at < length) return {};
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return {};
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    static constexpr std::uint32_t smallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < smallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return {};
    return {length, value};
}

void appendOctal(std::string& out, std::uint8_t byte)
{
    char text[5];
    std::snprintf(text, sizeof text, "\\%03o", byte);
    out += text;
}

} // namespace

std::string cEscapedName(std::string_view name)
{
    std::string out;
    for (std::size_t at = 0; at < name.size();) {
        const char c = name[at];
        const Sequence sequence = sequenceAt(name, at);
        switch (c) {
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        default:
            if (sequence.length == 0 || sequence.codePoint < 0x20 || (sequence.codePoint >= 0x7F && sequence.codePoint < 0xA0)) {
                const std::size_t length = sequence.length ? sequence.length : 1;
                for (std::size_t i = 0; i < length; ++i) appendOctal(out, static_cast<std::uint8_t>(name[at + i]));
                at += length;
                continue;
            }
            out.append(name.substr(at, sequence.length));
            at += sequence.length;
            continue;
        }
        ++at;
    }
    return out;
}

std::string jsonString(std::string_view text)
{
    std::string out = "\"";
    for (std::size_t at = 0; at < text.size();) {
        const Sequence sequence = sequenceAt(text, at);
        if (sequence.length == 0) {
            out += "\\ufffd";
            ++at;
            continue;
        }
        const std::uint32_t c = sequence.codePoint;
        if (c == '"') out += "\\\"";
        else if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else if (c == '\r') out += "\\r";
        else if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
            char escaped[7];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            out.append(text.substr(at, sequence.length));
        }
        at += sequence.length;
    }
    return out + "\"";
}

bool isValidUtf8(std::string_view text)
{
    for (std::size_t at = 0; at < text.size();) {
        const Sequence sequence = sequenceAt(text, at);
        if (sequence.length == 0) return false;
        at += sequence.length;
    }
    return true;
}

std::string hexBytes(std::string_view bytes)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    for (const char c : bytes) {
        const auto byte = static_cast<std::uint8_t>(c);
        out += digits[byte >> 4];
        out += digits[byte & 15];
    }
    return out;
}
