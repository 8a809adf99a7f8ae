// Words come from the registered filters' short names, lower-cased, in the order the stages
// are applied when packing (delta, then compression).
#include "filter_chain_text.h"

#include "archive/block_codec.h"
#include "archive/cflrh_delta16.h"
#include "archive/cflrh_delta32.h"
#include "archive/cflrh_delta8.h"
#include "archive/cflrh_none.h"
#include "archive/cflrh_zlib.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <map>

namespace {

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::optional<std::uint32_t> parseRawId(const std::string& text)
{
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* first = text.data() + (hex ? 2 : 0);
    const char* last = text.data() + text.size();
    if (first == last)
        return std::nullopt;
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value, hex ? 16 : 10);
    if (error != std::errc() || end != last)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<std::uint32_t> parseFilterChain(const std::string& text)
{
    static const std::map<std::string, std::uint32_t> words = {
        {"none", CFLRH_None::filterId},
        {"zlib", CFLRH_Zlib::filterId},
        {"delta8", CFLRH_Delta8::filterId},
        {"delta16", CFLRH_Delta16::filterId},
        {"delta32", CFLRH_Delta32::filterId},
        {"delta8+zlib", CFLRH_Delta8::filterId | CFLRH_Zlib::filterId},
        {"delta16+zlib", CFLRH_Delta16::filterId | CFLRH_Zlib::filterId},
        {"delta32+zlib", CFLRH_Delta32::filterId | CFLRH_Zlib::filterId},
    };
    const std::string key = lowerCase(text);
    const auto word = words.find(key);
    const std::optional<std::uint32_t> id = word != words.end() ? std::optional(word->second) : parseRawId(key);
    if (!id || !resolveFilterChain(*id))
        return std::nullopt;
    return id;
}

std::string filterIdWords(std::uint32_t id)
{
    const std::optional<FilterChain> chain = resolveFilterChain(id);
    if (!chain)
        return "unknown";
    std::string words;
    for (const CFLResourceFilter* stage : {chain->delta, chain->compression, chain->outer}) {
        if (!stage || (stage == chain->compression && chain->delta && stage->id() == CFLRH_None::filterId))
            continue;
        // Two appends: `"+" + string` draws a false -Wrestrict from GCC 12 at -O3.
        if (!words.empty()) words += '+';
        words += lowerCase(stage->name());
    }
    return words;
}

std::string filterIdHex(std::uint32_t id)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", id);
    return text;
}
