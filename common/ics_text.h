#pragma once
// iCalendar (RFC 5545) content lines: TEXT escaping and folding of lines longer than 75 octets.
#include <string>
#include <string_view>

std::string icsEscapeText(std::string_view text);
// The line folded (CR LF and a blank) so that no physical line exceeds 75 octets, never inside a UTF-8 sequence;
// no line end after the last piece.
std::string icsFoldLine(std::string_view line);
