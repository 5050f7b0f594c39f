#pragma once
// Where the source and the built programs are. Only build_paths.cpp is compiled with these absolute paths,
// so every other test object is the same in every checkout and the compiler cache shares it.
#include <filesystem>
#include <string>

std::filesystem::path sourceDir();
// quillet-cli, and the app itself (window builds only).
std::string cliProgram();
std::string appProgram();
