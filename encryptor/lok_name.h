#pragma once
// Names of .lok files. Scrambling keeps the whole old name: the extension moves behind a "!" and ".lok" is
// appended ("report.txt" -> "report!txt.lok", "a.html" -> "a!html.lok", "README" -> "README!.lok").
// Three-character extensions follow the old rule exactly, which counts characters from the end of the name:
// unscrambling turns the fourth-last character before ".lok" into "." when it is a "!" ("c!t!t.lok" ->
// "c.t!t"). Other names turn their last "!" back into "." and drop it when the extension was empty.
// So .lok files made by earlier copies of the program come back unchanged.
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
