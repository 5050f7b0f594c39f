#pragma once
// The content lines of a vCard or iCalendar file as written, so that a rewrite can carry the lines it does not
// own through unchanged, folds and all.
#include <string>
#include <string_view>
#include <vector>

struct ContentLine {
    std::string raw;  // the physical lines, each ended by CR LF
    std::string text; // unfolded
    std::string name; // the property's name in upper case, without a group prefix ("item1.")
    std::string value() const;
};

// Lines end in CR LF or LF; a line that starts with a blank or a tab continues the one before.
std::vector<ContentLine> contentLines(std::string_view bytes);
