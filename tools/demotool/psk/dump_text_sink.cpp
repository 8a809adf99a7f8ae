// The text form: a header line per chunk, then one indented line per field group or list item.
#include "dump_sink.h"

#include "psk/psk_chunk_type.h"

#include <charconv>
#include <cmath>
#include <cstdio>

std::string formatDumpFloat(float value)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

namespace {

std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c >= 0x7F) {
                char escape[5];
                std::snprintf(escape, sizeof escape, "\\x%02x", c);
                out += escape;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

struct ValueText {
    std::string operator()(std::int64_t v) const { return std::to_string(v); }
    std::string operator()(std::uint64_t v) const { return std::to_string(v); }
    std::string operator()(float v) const { return formatDumpFloat(v); }
    std::string operator()(DumpHex v) const
    {
        char text[11];
        std::snprintf(text, sizeof text, "0x%08x", v.value);
        return text;
    }
    std::string operator()(const std::string& v) const { return quoted(v); }
    std::string operator()(const std::vector<float>& v) const { return joined(v); }
    std::string operator()(const std::vector<std::uint64_t>& v) const { return joined(v); }

    template <typename T>
    std::string joined(const std::vector<T>& values) const
    {
        std::string out;
        for (const T& value : values) {
            if (!out.empty())
                out += ' ';
            out += (*this)(value);
        }
        return out.empty() ? "(none)" : out;
    }
};

// JSON keys are snake_case; the text reads them as words.
std::string words(std::string_view key)
{
    std::string out(key);
    for (char& c : out)
        c = c == '_' ? ' ' : c;
    return out;
}

std::string itemsText(const std::vector<DumpItem>& items)
{
    std::string out;
    for (const DumpItem& item : items) {
        if (!out.empty())
            out += ", ";
        if (!item.key.empty()) {
            out += words(item.key);
            out += ' ';
        }
        out += std::visit(ValueText{}, item.value);
    }
    return out;
}

class TextDumpSink : public DumpSink {
public:
    explicit TextDumpSink(std::ostream& out) : out_(out) {}

    void beginChunk(const PskChunkHeader& h) override
    {
        out_ << "chunk " << count_++ << " at " << h.offset << ": type " << h.type << ' ' << pskChunkTypeName(h.type)
             << ", version " << h.version << ", object " << h.objectIndex << ", payload " << h.payloadLength
             << " bytes\n";
    }

    void group(std::string_view name, const std::vector<DumpItem>& items) override
    {
        out_ << "  " << words(name) << ": " << itemsText(items) << '\n';
    }

    void listItem(std::string_view, std::string_view item, std::size_t index, const std::vector<DumpItem>& items) override
    {
        out_ << "  " << item << ' ' << index << ": " << itemsText(items) << '\n';
    }

    void endChunk() override {}

    void finish(const std::optional<PskDamage>& damage) override
    {
        if (damage)
            out_ << "damaged at byte " << damage->offset << ": " << damage->reason << '\n';
        else
            out_ << count_ << " chunks, no damage\n";
    }

private:
    std::ostream& out_;
    std::size_t count_ = 0;
};

} // namespace

std::unique_ptr<DumpSink> makeTextDumpSink(std::ostream& out)
{
    return std::make_unique<TextDumpSink>(out);
}
