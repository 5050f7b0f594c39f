#pragma once
// The files the crash harness kills saves of. Each kind saves version 0 or 1 of its file through the
// program's own models (load, change, save, as a window does) and says whether what is on disk after a kill
// is acceptable: exactly one of the two versions, never a mixture, never nothing.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

struct CrashKind {
    std::string name;
    // Creates the folder's first state (version 0 saved once).
    std::function<void(const std::filesystem::path& dir)> prepare;
    // One whole save of `version` (0 or 1); throws std::runtime_error when the program reports a failure.
    std::function<void(const std::filesystem::path& dir, int version)> save;
    // "" when the files are acceptable, else what is wrong. `outcome` names the state found.
    std::function<std::string(const std::filesystem::path& dir, std::string& outcome)> check;
};

// Every kind; `ref` is a scratch folder for the reference versions.
std::vector<CrashKind> crashKinds(const std::filesystem::path& ref);

std::string readWhole(const std::filesystem::path& path);
