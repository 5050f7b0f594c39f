#pragma once
// Text files of lines: GB18030 on disk, each line ended by CR LF. Reading also accepts a bare LF and a last
// line without an ending; a CR that is not followed by LF stays part of its line.
#include "common/result.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Splits bytes into raw (still encoded) lines.
std::vector<std::string> splitRawLines(std::string_view bytes);
// Joins raw lines, each followed by CR LF.
std::string joinRawLines(const std::vector<std::string>& lines);

// Decoded lines (UTF-8) of a file; an error when the file cannot be read.
Result<std::vector<std::string>> readTextLines(const std::filesystem::path& path);
// Encodes and writes the lines, each followed by CR LF, through the atomic replace.
Result<void> writeTextLines(const std::filesystem::path& path, const std::vector<std::string>& lines);

std::vector<std::string> decodeLines(std::string_view bytes);
std::string encodeLines(const std::vector<std::string>& lines);
