#pragma once
// Cards from a vCard file (2.1, 3.0 or 4.0) appended to the address book, each field mapped back as the
// export writes it:
//   FN (or N) → 姓名, NICKNAME → 昵称, TITLE → 职务/称, TEL HOME/WORK/CELL → 住宅电话/办公电话/手机 (a TEL without
//   one of those kinds takes the first of 手机, 住宅电话, 办公电话 still empty), ADR → 地址 (country, region,
//   locality, street, extended address, post office box, in that order) and 邮编 (its postal code), EMAIL →
//   电子邮箱, URL HOME/WORK → 个人主页/单位主页 (untyped: the first still empty), NOTE line "OICQ/IP: x" or X-QQ →
//   OICQ/IP, PHOTO (base64 or a data: URI) → a new file in the photo folder.
// The serial number is the card file's next one (the "序号: " line of NOTE older exports wrote is not taken
// back). The card keeps the vCard's UID as its identity (a UID the book already has makes the card one already
// in the book). A second value of a kind, other NOTE lines, ORG and BDAY have no field: they are listed as left
// out.
#include "addressbook/card_book.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

struct CardImportReport {
    int imported = 0;
    std::vector<std::string> skipped; // already in the book (same UID, or same name and mobile number), or empty
    std::vector<std::string> refused; // beyond the book's 1,000 cards
    std::vector<std::string> changed; // a "%" or a line break the card file cannot hold was replaced
    std::vector<std::string> leftOut; // values that have no field
};

// The number of cards in a vCard file's text.
int countVCards(std::string_view bytes);

// Appends the cards of `bytes` to the loaded `book` and saves it once (atomically). Photos go into the photo folder
// under new names ("vcf" + serial number, a suffix when taken, the extension of the picture's kind). On any failure
// the photos written are removed, the book is read again from its unchanged file and the error names the file.
Result<CardImportReport> importVCards(CardBook& book, std::string_view bytes);
