// One script line cut apart: the text is split into pieces at line feeds (runs of them count
// as one), a piece is trimmed of spaces, CR and LF (not tabs), and a command line is cut into
// a lower-cased keyword and up to five arguments at runs of spaces and tabs.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// Yields the next non-empty piece between line feeds, starting at position; false at the end.
bool nextLinePiece(std::string_view text, std::size_t& position, std::string_view& piece);

// Trailing, then leading spaces, carriage returns and line feeds.
std::string_view trimLine(std::string_view piece);

// A trimmed line that is empty or starts with '#' holds no command.
bool isBlankOrComment(std::string_view trimmedLine);

struct ScriptLine {
    std::string text;                 // the whole trimmed line, for messages
    std::string keyword;              // first token, lower-cased; empty when the line has none
    std::array<std::string, 5> args;  // tokens 2 to 6; missing ones are empty
    float timeOffset = 0.0f;          // offset of the file the line comes from
};

ScriptLine tokenizeLine(std::string_view trimmedLine, float timeOffset);
