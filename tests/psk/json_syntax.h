// A strict JSON syntax check for the dump's --json output (RFC 8259 grammar, no extensions),
// so the tests catch a stray comma or an unescaped byte without a JSON library.
#pragma once

#include <string_view>

bool isValidJson(std::string_view text);
