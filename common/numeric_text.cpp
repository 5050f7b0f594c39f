#include "common/numeric_text.h"

#include <cmath>

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

double numericValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    double sign = 1;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        sign = text[i] == '-' ? -1 : 1;
        ++i;
    }
    double value = 0;
    double scale = 0; // 0 while in the whole part, then 0.1, 0.01, ...
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (isBlank(c))
            continue;
        if (c == '.' && scale == 0) {
            scale = 0.1;
            continue;
        }
        if (!isDigit(c))
            break;
        if (scale == 0) {
            value = value * 10 + (c - '0');
        } else {
            value += (c - '0') * scale;
            scale /= 10;
        }
    }
    return sign * value;
}

std::optional<int16_t> toInt16(double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    double rounded = std::nearbyint(value); // default rounding mode: a half goes to the even neighbour
    if (rounded < -32768 || rounded > 32767)
        return std::nullopt;
    return static_cast<int16_t>(rounded);
}

std::optional<int16_t> textToInt16(std::string_view text) {
    return toInt16(numericValue(text));
}

std::string twoDigits(int value) {
    return value < 10 && value >= 0 ? "0" + std::to_string(value) : textOf(value);
}

std::string fourDigits(int value) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    if (digits.size() < 4)
        digits.insert(0, 4 - digits.size(), '0');
    return value < 0 ? "-" + digits : digits;
}

std::string textOf(int value) {
    return std::to_string(value);
}

std::string printForm(int value) {
    return (value < 0 ? "-" : " ") + std::to_string(value < 0 ? -value : value) + " ";
}
