// Parsing of image sequence files.

#include "content2d/image_sequence_file.h"

#include <cstdlib>
#include <string>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view trimLine(std::string_view line)
{
    auto trimmed = [](char c) { return isBlank(c) || c == '\r' || c == '\n'; };
    while (!line.empty() && trimmed(line.front())) line.remove_prefix(1);
    while (!line.empty() && trimmed(line.back())) line.remove_suffix(1);
    return line;
}

// Lines between "\n" separators; runs of separators give no empty pieces.
std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::size_t stop = end == std::string_view::npos ? text.size() : end;
        if (stop > start) lines.push_back(trimLine(text.substr(start, stop - start)));
        start = stop + 1;
    }
    return lines;
}

bool startsWithFps(std::string_view line)
{
    return line.size() >= 3 && lower(line[0]) == 'f' && lower(line[1]) == 'p' && lower(line[2]) == 's';
}

// The number after the first "=" (up to a second one), 0 when the line has no "=".
float rateOf(std::string_view line)
{
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return 0;
    std::string_view value = line.substr(equals + 1);
    value = value.substr(0, value.find('='));
    while (!value.empty() && (isBlank(value.front()) || value.front() == '\r')) value.remove_prefix(1);
    return leadingDecimal(value);
}

// The first two words of a line split at blanks and tabs.
void firstTwoWords(std::string_view line, std::string_view& first, std::string_view& second)
{
    std::string_view* words[2] = {&first, &second};
    first = second = {};
    std::size_t position = 0;
    for (std::string_view* word : words) {
        while (position < line.size() && isBlank(line[position])) ++position;
        const std::size_t start = position;
        while (position < line.size() && !isBlank(line[position])) ++position;
        *word = line.substr(start, position - start);
    }
}

} // namespace

float leadingDecimal(std::string_view text)
{
    std::size_t n = 0;
    if (n < text.size() && (text[n] == '+' || text[n] == '-')) ++n;
    std::size_t digits = 0;
    while (n < text.size() && isDigit(text[n])) ++n, ++digits;
    if (n < text.size() && text[n] == '.') {
        ++n;
        while (n < text.size() && isDigit(text[n])) ++n, ++digits;
    }
    if (digits == 0) return 0;
    if (n < text.size() && (text[n] == 'e' || text[n] == 'E')) {
        std::size_t e = n + 1;
        if (e < text.size() && (text[e] == '+' || text[e] == '-')) ++e;
        if (e < text.size() && isDigit(text[e])) {
            while (e < text.size() && isDigit(text[e])) ++e;
            n = e;
        }
    }
    // The prefix is plain decimal, so strtof reads all of it and nothing else.
    const std::string number(text.substr(0, n));
    return std::strtof(number.c_str(), nullptr);
}

bool isSequenceFileName(std::string_view name)
{
    if (name.size() < 3) return false;
    const std::string_view tail = name.substr(name.size() - 3);
    return lower(tail[0]) == 's' && lower(tail[1]) == 'e' && lower(tail[2]) == 'q';
}

ImageSequenceListing parseImageSequence(std::string_view text)
{
    const std::vector<std::string_view> lines = splitLines(text);
    ImageSequenceListing listing;
    std::size_t next = 0;
    bool hasRate = false;
    float frameStep = 0;
    if (!lines.empty() && startsWithFps(lines[0])) {
        hasRate = true;
        const float rate = rateOf(lines[0]);
        // A rate of 0 or less would give infinite or negative steps: every frame then sits at
        // time 0, so the sequence shows its first frame.
        frameStep = rate > 0 ? 1000.0f / rate : 0.0f;
        next = 1;
    }

    float runningTime = 0;
    for (; next < lines.size(); ++next) {
        const std::string_view line = lines[next];
        if (line.empty() || line.front() == '#') continue;
        ImageSequenceEntry entry;
        if (hasRate) {
            entry.timeMs = runningTime;
            entry.fileName = std::string(line);
            runningTime += frameStep;
        } else {
            std::string_view time, name;
            firstTwoWords(line, time, name);
            entry.timeMs = leadingDecimal(time);
            entry.fileName = std::string(name);
        }
        listing.entries.push_back(std::move(entry));
    }

    if (!listing.entries.empty()) {
        const float count = static_cast<float>(listing.entries.size());
        listing.loopLengthMs = listing.entries.back().timeMs * (count + 1) / count;
    }
    return listing;
}
