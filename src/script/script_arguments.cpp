// Argument readers for script command tokens.
#include "script/script_arguments.h"

#include "script/narrow_to_float.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace {

bool isCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t skipSpace(std::string_view token) {
    std::size_t i = 0;
    while (i < token.size() && isCSpace(token[i])) ++i;
    return i;
}

// The power of ten of the leading non-zero digit of an unsigned decimal (digits, optional point
// and fraction, optional exponent); only its sign matters, to tell overflow from underflow.
long decimalExponent(std::string_view number) {
    long exponent = 0;
    const std::size_t e = number.find_first_of("eE");
    if (e != std::string_view::npos) {
        std::string_view digits = number.substr(e + 1);
        bool negative = false;
        if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) {
            negative = digits[0] == '-';
            digits.remove_prefix(1);
        }
        for (char c : digits) exponent = exponent < 100000 ? exponent * 10 + (c - '0') : exponent;
        if (negative) exponent = -exponent;
        number = number.substr(0, e);
    }
    const std::size_t point = std::min(number.find('.'), number.size());
    const std::size_t firstNonZero = number.find_first_of("123456789");
    if (firstNonZero == std::string_view::npos) return -1;
    const long position = firstNonZero < point ? static_cast<long>(point - firstNonZero - 1)
                                               : -static_cast<long>(firstNonZero - point);
    return position + exponent;
}

}  // namespace

std::int32_t readInteger(std::string_view token) {
    std::size_t i = skipSpace(token);
    bool negative = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) {
        negative = token[i] == '-';
        ++i;
    }
    // Accumulate in 64 bits and stop growing once past the 32-bit range, so long digit runs
    // saturate instead of overflowing.
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; i < token.size() && isDigit(token[i]); ++i) {
        if (magnitude <= limit) magnitude = magnitude * 10 + (token[i] - '0');
    }
    if (negative) {
        return magnitude >= limit ? std::numeric_limits<std::int32_t>::min()
                                  : static_cast<std::int32_t>(-magnitude);
    }
    return magnitude >= limit ? std::numeric_limits<std::int32_t>::max()
                              : static_cast<std::int32_t>(magnitude);
}

float readNumber(std::string_view token) {
    std::size_t i = skipSpace(token);
    const std::size_t start = i;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
    const std::size_t mantissaStart = i;
    std::size_t digits = 0;
    while (i < token.size() && isDigit(token[i])) ++i, ++digits;
    if (i < token.size() && token[i] == '.') {
        ++i;
        while (i < token.size() && isDigit(token[i])) ++i, ++digits;
    }
    if (digits == 0) return 0.0f;
    // An exponent counts only when at least one digit follows its optional sign.
    if (i < token.size() && (token[i] == 'e' || token[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < token.size() && (token[j] == '+' || token[j] == '-')) ++j;
        if (j < token.size() && isDigit(token[j])) {
            while (j < token.size() && isDigit(token[j])) ++j;
            i = j;
        }
    }
    // from_chars reads the isolated decimal text whatever the process locale; it takes no
    // '+' sign, so the sign is applied here.
    const bool negative = token[start] == '-';
    const char* first = token.data() + mantissaStart;
    const char* last = token.data() + i;
    double value = 0.0;
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        value = decimalExponent(token.substr(mantissaStart, i - mantissaStart)) >= 0
                    ? std::numeric_limits<double>::infinity()
                    : 0.0;
    }
    return narrowToFloat(negative ? -value : value);
}

float readTime(std::string_view token, float timeOffset) {
    return static_cast<float>(readInteger(token)) + timeOffset;
}

std::string asciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

std::string readSlot(std::string_view token) { return asciiLower(token); }
