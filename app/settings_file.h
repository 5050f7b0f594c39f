#pragma once
// "pavosz.cjf": four lines, each ended by CR LF: the diary key, the access password, the default web
// address and the memo-check interval in the standard print form (" 5 "). Nothing is trimmed on reading;
// the web address is trimmed of blanks when it is saved.
#include "common/program_state.h"
#include "common/result.h"

#include <filesystem>
#include <string>
#include <variant>

struct SettingsValues {
    std::string password;
    std::string password3;
    std::string MRURL;
    int16_t dss = 0;
};

// Why start-up cannot use the file: the text shown in the "警告" box before the program ends.
struct SettingsProblem {
    std::string message;
};

std::variant<SettingsValues, SettingsProblem> readSettingsFile(const std::filesystem::path& path);
std::variant<SettingsValues, SettingsProblem> parseSettings(std::string_view bytes, const std::string& pathText);
std::string serializeSettings(const SettingsValues& values);
Result<void> writeSettingsFile(const std::filesystem::path& path, const SettingsValues& values);

// Leading and trailing blanks removed.
std::string trimBlanks(std::string_view text);
