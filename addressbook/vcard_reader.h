#pragma once
// A forgiving reader of vCard 2.1, 3.0 and 4.0 files as phones and address books write them: LF or CR LF,
// folded lines, quoted-printable values with soft line breaks, CHARSET= of UTF-8 or GB18030/GBK/GB2312 (text
// without a charset that is not valid UTF-8 is taken as GB18030), bare 2.1 type parameters ("TEL;CELL"),
// quoted and comma-separated parameter values, group prefixes ("item1.URL"). Values come out as UTF-8 text,
// still backslash-escaped; base64 values stay as written.
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

using VCardEntry = std::vector<VCardProperty>;

// The cards between BEGIN:VCARD and END:VCARD (an unfinished last card counts; nested cards are skipped).
std::vector<VCardEntry> readVCardFile(std::string_view bytes);

// A text value with its escapes resolved ("\n" and "\N" a line break, "\," "\;" "\\" the character).
std::string vcardUnescape(std::string_view value);
// The components of a structured value (N, ADR), split at unescaped ";" and unescaped.
std::vector<std::string> vcardComponents(std::string_view value);
// Base64 with blanks and line breaks ignored; nothing when it is not base64.
std::optional<std::string> base64Decode(std::string_view text);
