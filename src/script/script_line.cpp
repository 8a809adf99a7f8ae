// Line cutting, trimming and tokenising of script text.
#include "script/script_line.h"

#include "script/script_arguments.h"

bool nextLinePiece(std::string_view text, std::size_t& position, std::string_view& piece) {
    while (position < text.size() && text[position] == '\n') ++position;
    if (position >= text.size()) return false;
    std::size_t end = text.find('\n', position);
    if (end == std::string_view::npos) end = text.size();
    piece = text.substr(position, end - position);
    position = end;
    return true;
}

std::string_view trimLine(std::string_view piece) {
    constexpr std::string_view blanks = " \r\n";
    const std::size_t last = piece.find_last_not_of(blanks);
    if (last == std::string_view::npos) return {};
    piece = piece.substr(0, last + 1);
    return piece.substr(piece.find_first_not_of(blanks));
}

bool isBlankOrComment(std::string_view trimmedLine) {
    return trimmedLine.empty() || trimmedLine.front() == '#';
}

namespace {

// Tokens never hold a space or tab; other white space around them (a stray CR, a form feed)
// is trimmed away, which can leave a token empty.
std::string trimToken(std::string_view token) {
    constexpr std::string_view space = " \t\r\n\v\f";
    const std::size_t first = token.find_first_not_of(space);
    if (first == std::string_view::npos) return {};
    const std::size_t last = token.find_last_not_of(space);
    return std::string(token.substr(first, last - first + 1));
}

}  // namespace

ScriptLine tokenizeLine(std::string_view trimmedLine, float timeOffset) {
    ScriptLine line;
    line.text = std::string(trimmedLine);
    line.timeOffset = timeOffset;
    constexpr std::string_view separators = " \t";
    std::size_t index = 0;  // 0 is the keyword, 1..5 the arguments; later tokens are ignored
    std::size_t position = trimmedLine.find_first_not_of(separators);
    while (position != std::string_view::npos && index < 6) {
        std::size_t end = trimmedLine.find_first_of(separators, position);
        if (end == std::string_view::npos) end = trimmedLine.size();
        std::string token = trimToken(trimmedLine.substr(position, end - position));
        if (index == 0) {
            line.keyword = asciiLower(token);
        } else {
            line.args[index - 1] = std::move(token);
        }
        ++index;
        position = trimmedLine.find_first_not_of(separators, end);
    }
    return line;
}
