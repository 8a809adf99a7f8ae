#include "scene/configuration.h"

#include <algorithm>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <locale.h>

namespace {

// The "C" locale's space class.
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// The code page's lower case in the "C" locale: only A–Z change.
std::string lowered(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return text;
}

// Skips a run of '=' at `pos`, then takes the text up to the next '=' or the end.
std::string_view field(std::string_view line, std::size_t& pos)
{
    while (pos < line.size() && line[pos] == '=') ++pos;
    const std::size_t start = pos;
    while (pos < line.size() && line[pos] != '=') ++pos;
    return line.substr(start, pos - start);
}

locale_t cLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

} // namespace

int parseCInt(const char* text)
{
    // strtol saturates where atoi's overflow is undefined; the int range is kept by clamping.
    const long value = strtol_l(text, nullptr, 10, cLocale());
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

float parseCFloat(const char* text) { return static_cast<float>(strtod_l(text, nullptr, cLocale())); }

void Configuration::parse(std::string_view text)
{
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos) text = text.substr(0, nul);

    std::size_t pos = 0;
    while (pos < text.size()) {
        // Runs of line feeds give no empty lines.
        while (pos < text.size() && text[pos] == '\n') ++pos;
        const std::size_t end = std::min(text.find('\n', pos), text.size());
        std::string_view line = text.substr(pos, end - pos);
        pos = end;

        while (!line.empty() && (line.front() == '\r' || line.front() == '\n')) line.remove_prefix(1);
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;

        std::size_t scan = 0;
        const std::string_view rawKey = field(line, scan);
        if (rawKey.empty()) continue; // the line holds nothing but '=' characters
        std::string key = lowered(trimmed(rawKey));
        std::string_view value;
        if (scan < line.size()) {
            ++scan; // the '=' that ended the key
            value = trimmed(field(line, scan));
        }
        entries_.try_emplace(std::move(key), value);
    }
}

const char* Configuration::getString(std::string_view key) const
{
    const auto found = entries_.find(lowered(key));
    return found == entries_.end() ? nullptr : found->second.c_str();
}

int Configuration::getInt(std::string_view key) const
{
    const char* value = getString(key);
    return value ? parseCInt(value) : 0;
}

float Configuration::getFloat(std::string_view key) const
{
    const char* value = getString(key);
    return value ? parseCFloat(value) : 0.0f;
}

std::vector<std::pair<std::string_view, std::string_view>> Configuration::withPrefix(std::string_view prefix) const
{
    const std::string low = lowered(prefix);
    std::vector<std::pair<std::string_view, std::string_view>> out;
    for (auto it = entries_.lower_bound(low); it != entries_.end() && it->first.starts_with(low); ++it) {
        out.emplace_back(it->first, it->second);
    }
    return out;
}
