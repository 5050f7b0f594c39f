#pragma once
// Numbers as the program reads and writes them in its texts and files.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Numeric value of a text: leading blanks skipped, an optional sign, decimal digits with blanks between
// them skipped, an optional decimal point and fraction; reading stops at the first other character.
// An empty or non-numeric text gives 0.
double numericValue(std::string_view text);

// Conversion to a signed 16-bit integer: rounded to the nearest whole number, a half to the even
// neighbour; nothing when the value lies outside -32768..32767 (an overflow the caller must handle).
std::optional<int16_t> toInt16(double value);

// numericValue then toInt16.
std::optional<int16_t> textToInt16(std::string_view text);

// "0" + digit below 10, else the decimal digits: the two-digit form of dates and times.
std::string twoDigits(int value);
// Years are written with four digits.
std::string fourDigits(int value);
// "Text of" a number: decimal, no blanks, no leading zeros.
std::string textOf(int value);
// Standard print form of a number on a line of its own: a sign position (blank or "-"), the digits and one
// trailing blank; 5 is " 5 ", -3 is "-3 ".
std::string printForm(int value);
