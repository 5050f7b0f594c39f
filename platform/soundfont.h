#pragma once
// The General MIDI SoundFont the tunes are played with: $QUILLET_SOUNDFONT when it names a file, else the
// first found of the places where Debian, Fedora and Arch install one.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

std::vector<std::filesystem::path> soundFontCandidates(const std::string& fromEnvironment);
// Empty when none of the candidates is a file.
std::filesystem::path findSoundFont(const std::string& fromEnvironment,
                                    const std::function<bool(const std::filesystem::path&)>& isFile);
std::filesystem::path findSoundFont();

// The message shown once when a tune cannot play for want of a SoundFont.
std::string noSoundFontMessage();
