#pragma once
// A forgiving reader of vCard 2.1, 3.0 and 4.0 files as phones and address books write them: UTF-8 or UTF-16,
// LF or CR LF, folded lines, quoted-printable values with soft line breaks, base64 lines that older phones do not
// indent, text values in base64, CHARSET= of any code page ICU knows (text without a charset that is not valid UTF-8,
// or that does not decode in its declared charset, is decoded as ICU's detector finds most likely, and the guess is
// noted), bare 2.1 type parameters ("TEL;CELL"), quoted and comma-separated parameter values, group prefixes
// ("item1.URL"). Values come out as UTF-8 text, still backslash-escaped, with every kind of line or paragraph break
// (CR, CR LF, VT, FF, U+0085, U+2028, U+2029) as LF; base64 values stay as written.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct VCardProperty {
    std::string name;                          // upper case, without group
    std::vector<std::string> types;            // TYPE values and bare parameters, upper case
    std::map<std::string, std::string> params; // other parameters: upper-case name, value as written
    std::string value;                         // UTF-8 (quoted-printable and charset already decoded)

    bool hasType(std::string_view type) const;
    std::string param(const std::string& name) const; // "" when absent
};

// The properties of one card, in file order.
struct VCardEntry : std::vector<VCardProperty> {
    bool finished = true;           // false: the card ended without END:VCARD (cut off, or another card began)
    std::vector<std::string> notes; // charsets guessed for its values ("charset guessed: Big5")
};

// The cards between BEGIN:VCARD and END:VCARD. A card without END:VCARD ends where the next BEGIN:VCARD or the
// file ends; only a card that follows an empty AGENT property (vCard 2.1) is nested, and is skipped.
std::vector<VCardEntry> readVCardFile(std::string_view bytes);

// A text value with its escapes resolved ("\n" and "\N" a line break, "\," "\;" "\\" the character).
std::string vcardUnescape(std::string_view value);
// The components of a structured value (N, ADR), split at unescaped ";" and unescaped.
std::vector<std::string> vcardComponents(std::string_view value);
// Base64 with blanks and line breaks ignored; nothing when it is not base64.
std::optional<std::string> base64Decode(std::string_view text);
