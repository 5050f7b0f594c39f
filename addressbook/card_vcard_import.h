#pragma once
// Cards from a vCard file (2.1, 3.0 or 4.0) appended to the address book, each field mapped back as the
// export writes it:
//   FN (or N) → 姓名, NICKNAME (or Android's X-ANDROID-CUSTOM nickname) → 昵称, TITLE → 职务/称, TEL HOME/WORK/CELL →
//   住宅电话/办公电话/手机 (a TEL without one of those kinds takes the first of 手机, 住宅电话, 办公电话 still empty),
//   ADR → 地址 (country, region, locality, street, extended address, post office box, in that order) and 邮编 (its
//   postal code), EMAIL → 电子邮箱, URL HOME/WORK → 个人主页/单位主页 (untyped: the first still empty; percent-encoded
//   UTF-8 decoded), NOTE line "OICQ/IP: x", X-QQ or a QQ IMPP → OICQ/IP, PHOTO (base64 or a data: URI) → a new file in
//   the photo folder when it holds a whole picture (else the card keeps the default photo).
// Group cards (KIND:group, X-ADDRESSBOOKSERVER-KIND:group) are skipped and listed.
// The serial number is the card file's next one (the "序号: " line of NOTE older exports wrote is not taken
// back). The card keeps the vCard's UID as its identity (a UID the book already has makes the card one already
// in the book). A second value of a kind, other NOTE lines, ORG and BDAY have no field: they are listed as left
// out.
#include "addressbook/card_book.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct VCardEntry;

// One vCard read into a card's entries, as the import reads it.
struct ParsedCard {
    CardEntries entries;
    std::string photoBytes;
    std::string photoExtension;
    std::vector<std::string> leftOut;
    std::string label; // name, nickname or position in the file, for the report
    std::string uid;   // the vCard's UID: the card keeps it
    bool group = false;
};
// The fields of one card of a file (`position` from 1 names a card without name or nickname).
ParsedCard readCardFields(const VCardEntry& entry, int position);
// What the card file cannot hold replaced: "%" by "％", line breaks and control characters by a blank; each change
// listed in `changed`.
void makeCardStorable(ParsedCard& card, std::vector<std::string>& changed);

struct CardImportReport {
    int imported = 0;
    std::vector<std::string> skipped; // already in the book (same UID, or same name and mobile number), or empty
    std::vector<std::string> refused; // beyond the book's 1,000 cards
    std::vector<std::string> changed; // a "%" or a line break the card file cannot hold was replaced
    std::vector<std::string> leftOut; // values that have no field
    // Read with doubt: a card without END:VCARD, a charset guessed, a photo cut off or damaged (left out).
    std::vector<std::string> doubts;
};

// Whether picture bytes decode as a picture; the window passes its toolkit's decoder, the models have only the
// check of the picture's structure (addressbook/picture_check.h).
using PictureDecoder = std::function<bool(std::string_view bytes)>;

// The number of cards in a vCard file's text.
int countVCards(std::string_view bytes);

// Appends the cards of `bytes` to the loaded `book` and saves it once (atomically). Photos go into the photo folder
// under new names ("vcf" + serial number, a suffix when taken, the extension of the picture's kind). On any failure
// the photos written are removed, the book is read again from its unchanged file and the error names the file.
Result<CardImportReport> importVCards(CardBook& book, std::string_view bytes, const PictureDecoder& decodes = {});
