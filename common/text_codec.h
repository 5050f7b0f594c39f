#pragma once
// Files are GB18030 on disk (a superset of GBK: every GBK file decodes the same); text in memory is UTF-8.
// Decoding is lossless: a byte that is not part of a valid sequence becomes the private-use code point
// U+10FF00 + byte, and encoding turns that code point back into the same byte, so
// encodeGb(decodeGb(bytes)) == bytes for every byte string. (The 256 code points of that range are reserved:
// a valid sequence that stands for one of them is kept as raw bytes, and typed ones are written as raw bytes.)
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

// True when every character is ASCII (a single-byte code).
bool isAscii(std::string_view utf8);
