#pragma once
// Cards as vCard 3.0 (RFC 2426) for other address books: UTF-8 text, lines ended by CR LF and folded at
// 75 octets (a continuation line starts with one blank), text values escaped ("\\", "\,", "\;", "\n").
#include "addressbook/card_book.h"

#include <optional>
#include <string>
#include <string_view>

// A card's picture as embedded in the vCard: its bytes and TYPE (JPEG, GIF, PNG or BMP, told by the file's
// first bytes). Nothing for a card without a photo or whose photo cannot be read as one of those.
struct CardPicture {
    std::string type;
    std::string bytes;
};
std::optional<CardPicture> cardPicture(const CardBook& book, int row);
// The picture kind told by the first bytes: "JPEG", "GIF", "PNG" or "BMP"; nothing for other content.
std::optional<std::string> pictureType(std::string_view bytes);

std::string vcardEscape(std::string_view text);
// A home page as a vCard URL: every byte outside ASCII percent-encoded (%E4%BE%8B), so that readers that take URLs
// as ASCII keep it whole. Escaping (vcardEscape) comes after.
std::string urlForVCard(std::string_view url);
// A URL read from a vCard with its percent-encoded UTF-8 characters decoded again (ASCII escapes such as %20 stay):
// the home page reads as it was typed.
std::string urlFromVCard(std::string_view url);
// One content line, folded.
std::string vcardLine(std::string_view line);
std::string base64Encode(std::string_view bytes);

// The UID of card `row`: "quillet-card-" and 16 hex digits of the 64-bit FNV-1a hash of its name, a unit
// separator (0x1F) and its mobile number (fields 3 and 7, the pair the import takes to recognise a card already in
// the book). A card with neither hashes all of fields 2..13, each followed by 0x1F. So the UID stays the same in
// every export while name and mobile stay, whatever the card's serial number or position.
std::string cardUid(const CardBook& book, int row);
// The vCard of card `row` (1..count) under `uid`.
std::string cardToVCard(const CardBook& book, int row, const std::string& uid);
// Every card, one vCard after another; cards with the same UID get "-2", "-3", ... in book order.
std::string cardsToVCards(const CardBook& book);
