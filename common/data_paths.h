#pragma once
// Data paths are the working directory at the moment the path is formed, joined with fixed folder and file
// names ("pavosz.cjf", "bwl/bwl.cjf", ...) using the platform's separator.
#include <filesystem>
#include <initializer_list>
#include <string_view>

std::filesystem::path dataPath(std::initializer_list<std::string_view> parts);
// The same under a given working directory (models take it as an input so tests can choose it).
std::filesystem::path dataPathIn(const std::filesystem::path& workDir, std::initializer_list<std::string_view> parts);
// A path from UTF-8 text and back (file names typed or shown by the user).
std::filesystem::path pathFromUtf8(std::string_view utf8);
std::string pathToUtf8(const std::filesystem::path& path);
