#pragma once
// What a click on a card's link boxes may open. Card data comes from a file anyone can edit, so a click
// opens only a web address or a mail address: never a local path, a program or another kind of link.
#include <optional>
#include <string>
#include <string_view>

// The e-mail box: "mailto:" + the text trimmed of blanks, when it is an address without blanks, control
// characters or a "?" (which would add headers such as attachments); nothing otherwise.
std::optional<std::string> mailLinkFor(std::string_view boxText);

// A home-page box: the trimmed text when it starts with "http://" or "https://" (any letter case) and
// names a host; a text without a scheme whose host part looks like a web host ("www.example.com/a",
// "example.com:8080") gets "http://" in front. Anything else (other schemes, local or network paths) gives
// nothing.
std::optional<std::string> webLinkFor(std::string_view boxText);
