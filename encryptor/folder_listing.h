#pragma once
// What the encryptor's folder and file lists show: the subfolders of a folder, and its files that match
// the file pattern. Patterns follow the old file list box: "*" and "?" wildcards, several patterns
// separated by ";", letters matched without regard to case, "*.*" for every file and "*." for files
// without an extension. Hidden entries (names starting with ".") are left out.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

bool patternMatches(std::string_view pattern, std::string_view name);

// Names of the subfolders and of the matching regular files, sorted as the user reads them (letters
// without regard to case). An unreadable folder lists nothing.
std::vector<std::string> listSubfolders(const std::filesystem::path& folder);
std::vector<std::string> listMatchingFiles(const std::filesystem::path& folder, std::string_view pattern);

// True when the folder's entries can be read.
bool folderReadable(const std::filesystem::path& folder);

// A folder path joined with a name, with exactly one separator between ("/" + "a" is "/a").
std::string joinFolder(std::string_view folder, std::string_view name);
