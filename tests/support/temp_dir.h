#pragma once
// A fresh temporary working folder per test; the process's working directory moves into it and back.
#include <filesystem>
#include <string>
#include <string_view>

class TempWorkDir {
public:
    TempWorkDir();
    ~TempWorkDir();
    TempWorkDir(const TempWorkDir&) = delete;
    TempWorkDir& operator=(const TempWorkDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(std::string_view relative) const;
    // Writes bytes to a file below the folder, creating parent folders.
    void write(std::string_view relative, std::string_view bytes) const;
    std::string read(std::string_view relative) const;
    bool exists(std::string_view relative) const;

private:
    std::filesystem::path m_path;
    std::filesystem::path m_previous;
};

// Folder of the committed test fixtures (tests/data).
std::filesystem::path testDataDir();
// A GB18030 byte string from UTF-8 text: fixtures are written as the program would store them.
std::string gb(std::string_view utf8);
