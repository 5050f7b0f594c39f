#pragma once
// Names of .lok files. Scrambling keeps the whole old name: the extension moves behind a "!" and ".lok" is
// appended ("report.txt" -> "report!txt.lok", "a.html" -> "a!html.lok", "README" -> "README!.lok").
// Unscrambling turns the last "!" before ".lok" back into "." and drops it when the extension was empty.
// For three-character extensions this gives exactly the names of the old rule, which counted characters
// from the end of the path, so .lok files made by earlier copies of the program come back unchanged.
#include <optional>
#include <string>
#include <string_view>

// True when the name's last three characters, lower-cased, are "lok": such a file is unscrambled.
bool isLokName(std::string_view name);

// The extension of a file name (after its last "."), "" when it has none.
std::string_view fileExtension(std::string_view name);

// The scrambled name, or nullopt when it could not be turned back into `name` later (an extension holding
// a "!", a name ending in ".").
std::optional<std::string> scrambledFileName(std::string_view name);

// The plain name, or nullopt when the name is not stem + "!" + extension + ".lok" (any case of "lok").
std::optional<std::string> unscrambledFileName(std::string_view name);
