#pragma once
// The MCI command strings the player understands, split into their parts. Keywords and aliases match without
// regard to case, as MCI's do; a file name may stand in double quotes, so it can hold blanks.
//   OPEN <file> [TYPE <device type>] [ALIAS <alias>]
//   STATUS <alias> <item>
//   PLAY <alias> [FROM <position>]
//   CLOSE <alias>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct MciCommand {
    enum class Verb { Open, Status, Play, Close };
    Verb verb = Verb::Open;
    std::string name;            // OPEN: the file; the others: the alias
    std::string type;            // OPEN ... TYPE; empty when not given
    std::string alias;           // OPEN ... ALIAS; empty when not given
    std::string item;            // STATUS: the item asked for, lower case ("mode")
    std::optional<int64_t> from; // PLAY ... FROM
};

// Nothing when the text is not one of the forms above (an unknown word, a missing value, an open quote).
// An unquoted file name ends at the first blank, so the rest of a name with blanks makes the command fail.
std::optional<MciCommand> parseMciCommand(std::string_view text);

// The words of a command; a word in double quotes keeps its blanks and loses the quotes. Nothing when a
// quote is left open.
std::optional<std::vector<std::string>> splitMciWords(std::string_view text);

// Names compared as MCI compares aliases and keywords: ASCII letters without regard to case.
bool sameMciName(std::string_view a, std::string_view b);
