#pragma once
// Text of a vCard in whatever code page its writer used, decoded by ICU: the charset a property declares
// (CHARSET=BIG5, WINDOWS-1252, ...), else the one ICU's detector finds most likely for the file. A value is
// taken only when every byte decodes; a value no candidate decodes has its undecodable bytes replaced by
// U+FFFD, so no stray byte reaches the card file.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The bytes in the named charset as UTF-8; nothing when ICU does not know the name or a byte does not decode.
std::optional<std::string> decodeCharsetStrictly(std::string_view bytes, const std::string& charset);

// UTF-16 text (with a byte-order mark, or ASCII with every other byte zero) as UTF-8; nothing for other bytes.
std::optional<std::string> utf16ToUtf8(std::string_view bytes);

struct CharsetGuess {
    std::string text;      // UTF-8
    std::string charset;   // what it was decoded as ("Big5", "windows-1252", ...)
    bool replaced = false; // undecodable bytes became U+FFFD
};

// Decodes a value whose charset is unknown with the first charset that decodes every byte: the multi-byte ones
// of `candidates` (the detector's charsets for the whole file, most likely first), then GB18030, then the
// single-byte ones (ISO-8859-1, windows-1252, ... decode almost anything, so a short Chinese value is not taken
// for Latin letters); when none does, GB18030 with U+FFFD for the undecodable bytes.
CharsetGuess guessCharset(std::string_view bytes, const std::vector<std::string>& candidates);
// ICU's detector on the file's bytes: the names of the charsets it finds, most likely first.
std::vector<std::string> detectCharsets(std::string_view bytes);
