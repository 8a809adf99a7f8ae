// Entry names are opaque bytes: a newline, tab, escape sequence or NUL in one must neither
// forge rows nor reach the terminal, nor cut a message short. These render a name safely.
#pragma once

#include <string>
#include <string_view>

// C-style: \n \t \r \\ \" and the other control bytes as \ooo; so are bytes that are not valid
// UTF-8 and UTF-8 control characters (U+0080 to U+009F). Printable UTF-8 stays as it is.
std::string cEscapedName(std::string_view name);

// A JSON string literal, quotes included. A byte that is not valid UTF-8 becomes U+FFFD; the
// caller tells such names apart with isValidUtf8.
std::string jsonString(std::string_view text);

bool isValidUtf8(std::string_view text);

// Lower-case hexadecimal of every byte.
std::string hexBytes(std::string_view bytes);
