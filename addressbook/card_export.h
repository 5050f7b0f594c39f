#pragma once
// The boxed text table of the address book export (dctxl.cjf): a title with the date, a border of box
// characters, a header row, one row per card separated by rules, and an empty remarks column on the right.
// Widths are display columns as a GBK text view counts them (an ASCII character 1, a Chinese character 2).
#include "addressbook/card_book.h"

#include <string>
#include <vector>

// The date in the title, as the system's short date form shows it: "2003-5-12".
std::string shortDateText(const LocalDateTime& date);

// The export text of the selected fields (numbers 1..13; others and repeats are ignored, order is the
// field order), every line ended by CR LF.
std::string buildExportText(const CardBook& book, const std::vector<int>& fields, const LocalDateTime& today);

// The fields of the "常用" preset: 序号, 姓名, 职务/称, 住宅电话, 办公电话, 手机, OICQ/IP.
std::vector<int> commonExportFields();
