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
// One content line, folded.
std::string vcardLine(std::string_view line);
std::string base64Encode(std::string_view bytes);

// The formatted name (FN) of a card with neither name nor nickname.
inline constexpr std::string_view kUnnamedCard = "名片";

// The vCard of card `row` (1..count). Its UID is the card's identity in the book (CardBook::uid) and nothing in
// it depends on the card's serial number or position, so it changes only when the card itself changes.
std::string cardToVCard(const CardBook& book, int row);
// Every card, one vCard after another.
std::string cardsToVCards(const CardBook& book);
