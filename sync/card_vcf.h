#pragma once
// A card as a vdir's .vcf file and back.
//
// Writing over a file that is there: only the properties of fields that changed are written anew from the
// card (cardToVCard's lines: FN and N, NICKNAME, TITLE, TEL HOME/WORK/CELL, ADR, EMAIL, URL HOME/WORK, NOTE
// "OICQ/IP: …" with the NOTE's other lines, PHOTO when the card has one), each replacing the property the import
// would have read that field from. Every other line stays as the file has it: the properties of unchanged fields
// (with the other program's types, and a value the card holds cut to its width), and all Quillet cannot hold
// (ORG, BDAY, a second phone or e-mail, a fax, CATEGORIES, another program's X- properties, a photo while the
// card has none). A new file is cardToVCard's.
//
// Reading: the import's rules (addressbook/card_vcard_import.h; a photo only when it is a whole picture), and then what
// the card file cannot hold: "%" and line breaks are replaced, and a value longer than its field's width is cut to it;
// every change is noted with the card's name.
#include "addressbook/card_book.h"

#include <string>
#include <string_view>
#include <vector>

// The hash of a card as the sync compares it: its record line without the serial number (which moves with the
// card's position).
std::string cardSyncHash(const CardBook& book, int row);

struct CardFromFile {
    CardEntries entries; // fields 1..13; the serial (field 1) empty
    std::string uid;     // the vCard's UID, empty when it has none
    std::string label;   // name, nickname or "card <uid>"
    std::string photo;   // the bytes of a whole picture in PHOTO; empty when there is none
    std::string photoExtension;
    std::vector<std::string> notes;
    std::string refusal; // why the file cannot be a card (no vCard in it, a group); empty when it can
};
CardFromFile cardFromVcf(std::string_view bytes);
// True when the file read as a card gives the card's fields 2..13.
bool cardMatchesVcf(const CardBook& book, int row, const CardFromFile& file);
// The .vcf text of card `row`, `existing` the file's present text (empty for a new file).
std::string cardVcf(const CardBook& book, int row, std::string_view existing);
