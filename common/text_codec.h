#pragma once
// Files are GB18030 on disk (a superset of GBK: every GBK file decodes the same); text in memory is UTF-8.
// Decoding is lossless: a byte (0x80 and up) that is not part of a valid sequence becomes the private-use
// code point U+10FF00 + byte, and encoding turns that code point back into the same byte, so
// encodeGb(decodeGb(bytes)) == bytes for every byte string. An ASCII byte is always a character of its own,
// so U+10FF00 to U+10FF7F are ordinary characters: a typed one is written as its four-byte code and can never
// put a line break or a field mark into a file. The 128 code points U+10FF80 to U+10FFFF are reserved: a
// valid sequence standing for one of them is kept as its bytes, and a typed one that would not read back as
// typed is written as its four-byte code.
#include <string>
#include <string_view>

std::string decodeGb(std::string_view bytes);
std::string encodeGb(std::string_view utf8);

// Code points of a UTF-8 text: positions inside a line are counted in characters, not bytes.
std::u32string toU32(std::string_view utf8);
std::string fromU32(std::u32string_view text);
std::size_t charCount(std::string_view utf8);
// Characters [first, first + count) counted from 0, clamped to the text.
std::string charMid(std::string_view utf8, std::size_t first, std::size_t count = std::string::npos);

// Width of a text as the fixed-pitch layouts count it: the number of bytes of its encoding
// (ASCII 1, Chinese 2).
std::size_t gbWidth(std::string_view utf8);

// True when the text holds a line or paragraph break of any kind (CR, LF, VT, FF, NEL, U+2028, U+2029):
// one line of a file cannot keep it.
bool holdsLineBreak(std::string_view utf8);

// True when every character is ASCII (a single-byte code).
bool isAscii(std::string_view utf8);
