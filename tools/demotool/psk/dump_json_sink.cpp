// The JSON form, for scripts: {"chunks": [...], "damage": null or {...}}. Each chunk carries its
// header fields and "fields": one member per group (a bare value when the group has one
// unnamed value) and one array per list. Strings are written byte for byte, bytes outside
// printable ASCII as \u00XX; floats that JSON cannot hold as the strings "nan", "inf", "-inf".
#include "dump_sink.h"

#include "psk/psk_chunk_type.h"

#include <cmath>
#include <cstdio>

namespace {

std::string jsonString(std::string_view text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char escape[7];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string jsonFloat(float value)
{
    const std::string text = formatDumpFloat(value);
    return std::isfinite(value) ? text : jsonString(text);
}

struct JsonValue {
    std::string operator()(std::int64_t v) const { return std::to_string(v); }
    std::string operator()(std::uint64_t v) const { return std::to_string(v); }
    std::string operator()(float v) const { return jsonFloat(v); }
    std::string operator()(DumpHex v) const { return std::to_string(v.value); }
    std::string operator()(const std::string& v) const { return jsonString(v); }
    std::string operator()(const std::vector<float>& v) const { return array(v); }
    std::string operator()(const std::vector<std::uint64_t>& v) const { return array(v); }

    template <typename T>
    std::string array(const std::vector<T>& values) const
    {
        std::string out = "[";
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (i)
                out += ',';
            out += (*this)(values[i]);
        }
        out += ']';
        return out;
    }
};

std::string itemsJson(const std::vector<DumpItem>& items)
{
    if (items.size() == 1 && items[0].key.empty())
        return std::visit(JsonValue{}, items[0].value);
    std::string out = "{";
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i)
            out += ',';
        out += jsonString(items[i].key);
        out += ':';
        out += std::visit(JsonValue{}, items[i].value);
    }
    out += '}';
    return out;
}

class JsonDumpSink : public DumpSink {
public:
    explicit JsonDumpSink(std::ostream& out) : out_(out) { out_ << "{\"chunks\":["; }

    void beginChunk(const PskChunkHeader& h) override
    {
        out_ << (chunks_++ ? ",\n" : "\n") << "{\"offset\":" << h.offset << ",\"type\":" << h.type
             << ",\"type_name\":" << jsonString(pskChunkTypeName(h.type)) << ",\"version\":" << h.version
             << ",\"object_index\":" << h.objectIndex << ",\"payload_length\":" << h.payloadLength
             << ",\"fields\":{";
        members_ = 0;
        list_.clear();
    }

    void group(std::string_view name, const std::vector<DumpItem>& items) override
    {
        closeList();
        out_ << (members_++ ? "," : "") << jsonString(name) << ":" << itemsJson(items);
    }

    void listItem(std::string_view list, std::string_view, std::size_t, const std::vector<DumpItem>& items) override
    {
        if (list_ != list) {
            closeList();
            out_ << (members_++ ? "," : "") << jsonString(list) << ":[";
            list_ = list;
            listItems_ = 0;
        }
        out_ << (listItems_++ ? "," : "") << itemsJson(items);
    }

    void endChunk() override
    {
        closeList();
        out_ << "}}";
    }

    void finish(const std::optional<PskDamage>& damage) override
    {
        out_ << "\n],\"damage\":";
        if (damage) {
            const char* kind = damage->kind == PskDamageKind::UnknownChunk ? "unknown chunk" : "damaged";
            out_ << "{\"offset\":" << damage->offset << ",\"kind\":\"" << kind
                 << "\",\"reason\":" << jsonString(damage->reason) << "}";
        } else {
            out_ << "null";
        }
        out_ << "}\n";
    }

private:
    void closeList()
    {
        if (!list_.empty())
            out_ << "]";
        list_.clear();
    }

    std::ostream& out_;
    std::size_t chunks_ = 0;
    std::size_t members_ = 0;
    std::string list_;
    std::size_t listItems_ = 0;
};

} // namespace

std::unique_ptr<DumpSink> makeJsonDumpSink(std::ostream& out)
{
    return std::make_unique<JsonDumpSink>(out);
}
