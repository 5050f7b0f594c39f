#pragma once
// Month files for the diary tests, written and read as the program stores them.
#include "common/text_codec.h"
#include "diary/text_cipher.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

inline std::string monthName(const std::string& year, const std::string& month) {
    return "rjb/rj" + year + month + ".cjf";
}

// A record as a save writes it, lines joined by CR LF (UTF-8).
inline std::string diaryRecord(const std::string& ymd, const std::vector<std::string>& lines,
                               const std::string& stamp) {
    std::string text = "@@@@@@@@@@" + ymd + "@@@@@@@@@@\r\n";
    for (const auto& line : lines)
        text += line + "\r\n";
    return text + "@@@@@@@@" + stamp + "@@@@@@\r\n";
}

inline void storeMonth(const TempWorkDir& dir, const std::string& year, const std::string& month,
                       const std::string& plainUtf8, const std::string& key) {
    dir.write(monthName(year, month), CipherPass(gb(plainUtf8), key));
}

// The deciphered month file, decoded to UTF-8.
inline std::string storedPlain(const TempWorkDir& dir, const std::string& year, const std::string& month,
                               const std::string& key) {
    return decodeGb(CipherPass(dir.read(monthName(year, month)), key));
}

// Names of the files in rjb.
inline std::vector<std::string> rjbFiles(const TempWorkDir& dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir / "rjb", ec))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
