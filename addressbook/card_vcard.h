#pragma once
// Cards as vCard 3.0 (RFC 2426) for other address books: UTF-8 text, lines ended by CR LF and folded at
// 75 octets (a continuation line starts with one blank), text values escaped ("\\", "\,", "\;", "\n").
#include "addressbook/card_book.h"

#include <optional>
#include <string>
#include <string_view>

// A card's picture as embedded in the vCard: its bytes and TYPE (JPEG, GIF or PNG, told by the file's
// first bytes). Nothing for a card without a photo or whose photo cannot be read as one of those.
struct CardPicture {
    std::string type;
    std::string bytes;
};
std::optional<CardPicture> cardPicture(const CardBook& book, int row);

std::string vcardEscape(std::string_view text);
// One content line, folded.
std::string vcardLine(std::string_view line);
std::string base64Encode(std::string_view bytes);

// The vCard of card `row` (1..count).
std::string cardToVCard(const CardBook& book, int row);
// Every card, one vCard after another.
std::string cardsToVCards(const CardBook& book);
