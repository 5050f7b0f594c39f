// vCard 3.0 output, read back by a strict reader: CR LF only, folded lines of at most 75 octets, valid
// UTF-8, BEGIN/VERSION/FN/N/END present, only the four text escapes, base64 that decodes to the photo.
#include "addressbook/card_vcard.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <stdexcept>

namespace {

struct Property {
    std::string name;
    std::map<std::string, std::string> params;
    std::string value; // raw, still escaped
};

bool validUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        auto c = static_cast<unsigned char>(s[i]);
        const int n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (n == 0 || i + n > s.size())
            return false;
        for (int k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += static_cast<std::size_t>(n);
    }
    return true;
}

// Physical lines to logical lines; throws on a bare CR or LF, an over-long line or a missing final CR LF.
std::vector<std::string> unfold(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = text.find("\r\n");
        if (end == std::string_view::npos)
            throw std::runtime_error("text does not end with CR LF");
        std::string_view line = text.substr(0, end);
        if (line.find_first_of("\r\n") != std::string_view::npos)
            throw std::runtime_error("bare CR or LF");
        if (line.size() > 75)
            throw std::runtime_error("line longer than 75 octets");
        if (!line.empty() && (line[0] == ' ' || line[0] == '\t')) {
            if (lines.empty())
                throw std::runtime_error("continuation without a line");
            lines.back() += line.substr(1);
        } else {
            lines.emplace_back(line);
        }
        text.remove_prefix(end + 2);
    }
    for (const std::string& l : lines)
        if (!validUtf8(l))
            throw std::runtime_error("invalid UTF-8");
    return lines;
}

Property parseLine(const std::string& line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos)
        throw std::runtime_error("no colon: " + line);
    Property p;
    std::string head = line.substr(0, colon);
    p.value = line.substr(colon + 1);
    std::size_t semi = head.find(';');
    p.name = head.substr(0, semi);
    if (p.name.empty() || p.name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ-") != std::string::npos)
        throw std::runtime_error("bad name: " + p.name);
    while (semi != std::string::npos) {
        const std::size_t next = head.find(';', semi + 1);
        const std::string param = head.substr(semi + 1, next == std::string::npos ? next : next - semi - 1);
        const std::size_t eq = param.find('=');
        if (eq == std::string::npos || eq == 0 || eq + 1 == param.size())
            throw std::runtime_error("bad parameter: " + param);
        p.params[param.substr(0, eq)] = param.substr(eq + 1);
        semi = next;
    }
    return p;
}

// One text value: the escapes \\ \, \; \n only, and no bare , or ; (components are split by the caller).
std::string unescapeText(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == ',' || c == ';')
            throw std::runtime_error("unescaped separator in a text value");
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == value.size())
            throw std::runtime_error("dangling backslash");
        const char e = value[i];
        if (e == 'n' || e == 'N')
            out += '\n';
        else if (e == '\\' || e == ',' || e == ';')
            out += e;
        else
            throw std::runtime_error("unknown escape");
    }
    return out;
}

// Components of a structured value, split at unescaped ";".
std::vector<std::string> components(std::string_view value) {
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            parts.back() += value.substr(i, 2);
            ++i;
        } else if (value[i] == ';') {
            parts.emplace_back();
        } else {
            parts.back() += value[i];
        }
    }
    for (std::string& part : parts)
        part = unescapeText(part);
    return parts;
}

std::string base64Decode(std::string_view text) {
    static const std::string digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    if (text.size() % 4 != 0)
        throw std::runtime_error("base64 length");
    std::string out;
    for (std::size_t i = 0; i < text.size(); i += 4) {
        uint32_t group = 0;
        int pad = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const char c = text[i + k];
            if (c == '=' && i + 4 == text.size() && k >= 2) {
                ++pad;
                group <<= 6;
                continue;
            }
            const std::size_t d = digits.find(c);
            if (d == std::string::npos || pad > 0)
                throw std::runtime_error("bad base64");
            group = group << 6 | static_cast<uint32_t>(d);
        }
        for (int k = 0; k < 3 - pad; ++k)
            out += static_cast<char>((group >> (16 - 8 * k)) & 0xFF);
    }
    return out;
}

// The properties of each card; throws on any departure from the format.
std::vector<std::vector<Property>> readVCards(std::string_view text) {
    std::vector<std::vector<Property>> cards;
    std::vector<Property> card;
    bool open = false;
    for (const std::string& line : unfold(text)) {
        Property p = parseLine(line);
        if (p.name == "BEGIN") {
            if (open || p.value != "VCARD")
                throw std::runtime_error("bad BEGIN");
            open = true;
            card.clear();
        } else if (p.name == "END") {
            if (!open || p.value != "VCARD" || card.empty() || card[0].name != "VERSION" || card[0].value != "3.0")
                throw std::runtime_error("bad END or VERSION");
            auto has = [&](const char* n) {
                return std::any_of(card.begin(), card.end(), [&](const Property& q) { return q.name == n; });
            };
            if (!has("FN") || !has("N"))
                throw std::runtime_error("FN or N missing");
            cards.push_back(card);
            open = false;
        } else if (!open) {
            throw std::runtime_error("property outside a card");
        } else {
            card.push_back(p);
        }
    }
    if (open)
        throw std::runtime_error("card not ended");
    return cards;
}

const Property* find(const std::vector<Property>& card, const std::string& name, const std::string& type = "") {
    for (const Property& p : card)
        if (p.name == name && (type.empty() || (p.params.count("TYPE") && p.params.at("TYPE") == type)))
            return &p;
    return nullptr;
}

struct Book {
    FakeClock clock{{2026, 12, 8}};
    CardBook book;
    Book(const TempWorkDir& dir, const std::string& lines) : book(dir.path(), clock) {
        dir.write("txl/txl.cjf", gb(lines));
        book.load();
    }
};

std::string jpegBytes() {
    std::string bytes = "\xFF\xD8\xFF\xE0";
    for (int i = 0; i < 700; ++i)
        bytes += static_cast<char>((i * 37 + 11) % 256);
    return bytes;
}

} // namespace

TEST(CardVCard, ACardWithAPhotoParsesBack) {
    TempWorkDir dir;
    dir.write("txl/txlphoto/zs.jpg", jpegBytes());
    Book b(
        dir,
        "%01%老张%张三%经理,总监;兼\\顾问%010-12345678%020-8765%13900000000%123456%北京市海淀区中关村大街一号某某大厦"
        "十二层%100080%zs@example.cn%www.zs.cn%http://corp.example.cn/%zs.jpg\r\n");
    const std::string text = cardsToVCards(b.book);
    std::vector<std::vector<Property>> cards;
    ASSERT_NO_THROW(cards = readVCards(text)) << text;
    ASSERT_EQ(cards.size(), 1u);
    const auto& card = cards[0];
    EXPECT_EQ(unescapeText(find(card, "FN")->value), "张三");
    EXPECT_EQ(components(find(card, "N")->value)[0], "张三");
    EXPECT_EQ(unescapeText(find(card, "NICKNAME")->value), "老张");
    EXPECT_EQ(unescapeText(find(card, "TITLE")->value), "经理,总监;兼\\顾问");
    EXPECT_EQ(unescapeText(find(card, "TEL", "HOME")->value), "010-12345678");
    EXPECT_EQ(unescapeText(find(card, "TEL", "WORK")->value), "020-8765");
    EXPECT_EQ(unescapeText(find(card, "TEL", "CELL")->value), "13900000000");
    const std::vector<std::string> adr = components(find(card, "ADR")->value);
    ASSERT_EQ(adr.size(), 7u);
    EXPECT_EQ(adr[2], "北京市海淀区中关村大街一号某某大厦十二层");
    EXPECT_EQ(adr[5], "100080");
    EXPECT_EQ(unescapeText(find(card, "EMAIL")->value), "zs@example.cn");
    EXPECT_EQ(find(card, "URL", "HOME")->value, "www.zs.cn");
    EXPECT_EQ(find(card, "URL", "WORK")->value, "http://corp.example.cn/");
    EXPECT_EQ(unescapeText(find(card, "NOTE")->value), "OICQ/IP: 123456");
    const Property* photo = find(card, "PHOTO");
    ASSERT_TRUE(photo);
    EXPECT_EQ(photo->params.at("ENCODING"), "b");
    EXPECT_EQ(photo->params.at("TYPE"), "JPEG");
    EXPECT_EQ(base64Decode(photo->value), jpegBytes());
}

TEST(CardVCard, PhotosThatDoNotLoadAreLeftOut) {
    TempWorkDir dir;
    dir.write("txl/txlphoto/note.jpg", "not a picture");
    dir.write("txl/txlphoto/moren.gif", "GIF89a....");
    dir.write("secret.gif", "GIF89a secret");
    dir.write("txl/txlphoto/ok.gif", "GIF87a-tiny");
    dir.write("txl/txlphoto/ok.bmp", "BM" + std::string(60, '\0'));
    Book b(dir, "%01%甲%%%%%%%%%%%%######\r\n%02%乙%%%%%%%%%%%%note.jpg\r\n%03%丙%%%%%%%%%%%%../../secret.gif\r\n"
                "%04%丁%%%%%%%%%%%%gone.jpg\r\n%05%戊%%%%%%%%%%%%ok.gif\r\n%06%己%%%%%%%%%%%%ok.bmp\r\n");
    std::vector<std::vector<Property>> cards;
    ASSERT_NO_THROW(cards = readVCards(cardsToVCards(b.book)));
    ASSERT_EQ(cards.size(), 6u);
    EXPECT_EQ(find(cards[5], "PHOTO")->params.at("TYPE"), "BMP");
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(find(cards[i], "PHOTO")) << i;
    ASSERT_TRUE(find(cards[4], "PHOTO"));
    EXPECT_EQ(find(cards[4], "PHOTO")->params.at("TYPE"), "GIF");
    EXPECT_EQ(base64Decode(find(cards[4], "PHOTO")->value), "GIF87a-tiny");
}

TEST(CardVCard, NameFallsBackToNicknameAndEmptyFieldsAreLeftOut) {
    TempWorkDir dir;
    Book b(dir, "%07%小李\r\nabc\r\n");
    std::vector<std::vector<Property>> cards;
    ASSERT_NO_THROW(cards = readVCards(cardsToVCards(b.book)));
    ASSERT_EQ(cards.size(), 2u);
    EXPECT_EQ(unescapeText(find(cards[0], "FN")->value), "小李");
    EXPECT_EQ(find(cards[0], "N")->value, ";;;;");
    for (const char* absent : {"NOTE", "TITLE", "TEL", "ADR", "EMAIL", "URL", "PHOTO"})
        EXPECT_FALSE(find(cards[0], absent)) << absent;
    EXPECT_FALSE(find(cards[1], "NOTE"));
    EXPECT_EQ(unescapeText(find(cards[1], "FN")->value), "名片");
}

TEST(CardVCard, FoldingNeverSplitsACharacter) {
    std::string value;
    for (int i = 0; i < 60; ++i)
        value += "通";
    const std::string folded = vcardLine("NOTE:" + value);
    std::vector<std::string> lines;
    ASSERT_NO_THROW(lines = unfold(folded));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "NOTE:" + value);
    EXPECT_EQ(vcardEscape("a,b;c\\d\r\ne\nf"), "a\\,b\\;c\\\\d\\ne\\nf");
    EXPECT_EQ(base64Encode(""), "");
    EXPECT_EQ(base64Encode("f"), "Zg==");
    EXPECT_EQ(base64Encode("fo"), "Zm8=");
    EXPECT_EQ(base64Encode("foobar"), "Zm9vYmFy");
}

// A card keeps its identity through a rename, the moves after a discard of another card and a reload, and its
// vCard changes only when the card itself changes.
TEST(CardVCard, EachCardKeepsItsUidAndItsVCard) {
    TempWorkDir dir;
    Book b(dir, "%01%老张%张三%%%%13900000000%%%%%%%######\r\n%02%小李%李四%%%%%%%%%%%######\r\n"
                "%03%阿五%王五%%%%%%%%%%%######\r\n%04%阿五%王五%%%%%%%%%%%######\r\n");
    const auto uids = [](const CardBook& book) {
        std::vector<std::string> out;
        for (const auto& card : readVCards(cardsToVCards(book)))
            out.push_back(find(card, "UID")->value);
        return out;
    };
    const std::vector<std::string> first = uids(b.book);
    ASSERT_EQ(first.size(), 4u);
    EXPECT_TRUE(
        std::regex_match(first[0], std::regex("[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}")))
        << first[0];
    EXPECT_EQ(std::set<std::string>(first.begin(), first.end()).size(), 4u); // alike cards, each its own UID

    CardEntries renamed;
    for (int i = 0; i < kCardEntryFields; ++i)
        renamed[static_cast<std::size_t>(i)] = b.book.field(2, i + 1);
    renamed[2] = "李四海";
    ASSERT_FALSE(b.book.storeCard(2, renamed, kNoPhoto));
    ASSERT_TRUE(b.book.saveAll().ok());
    const std::string second = cardToVCard(b.book, 2), third = cardToVCard(b.book, 3), fourth = cardToVCard(b.book, 4);
    ASSERT_TRUE(b.book.discard(1).ok());
    b.book.load();
    EXPECT_EQ(uids(b.book), (std::vector<std::string>{first[1], first[2], first[3]}));
    EXPECT_EQ(b.book.field(1, 1), "01");
    EXPECT_EQ(cardToVCard(b.book, 1), second);
    EXPECT_EQ(cardToVCard(b.book, 2), third);
    EXPECT_EQ(cardToVCard(b.book, 3), fourth);
}

// Cards written into the book by another program: moved, renumbered or changed ones keep their identities by
// their content, a new one gets a new identity; a side file that is missing or garbage is rebuilt.
TEST(CardVCard, ABookEditedElsewhereIsMatchedAndItsSideFileRebuilt) {
    TempWorkDir dir;
    Book b(dir, "%01%老张%张三%%%%13900000000%%%%%%%######\r\n%02%小李%李四%%%%%%%%%%%######\r\n"
                "%03%阿五%王五%%%%%%%%%%%######\r\n");
    ASSERT_TRUE(b.book.saveAll().ok());
    const std::vector<std::string> first{b.book.uid(1), b.book.uid(2), b.book.uid(3)};
    dir.write("txl/txl.cjf", gb("%01%新人%赵六%%%%%%%%%%%######\r\n%02%阿五%王五%%%%%%%%%%%######\r\n"
                                "%03%老张%张三%经理%%%13900000000%%%%%%%######\r\n%04%小李%李四%%%%%%%%%%%######\r\n"));
    b.book.load();
    EXPECT_EQ(b.book.uid(2), first[2]); // moved and renumbered
    EXPECT_EQ(b.book.uid(3), first[0]); // given a title: same name and mobile number
    EXPECT_EQ(b.book.uid(4), first[1]);
    EXPECT_EQ(std::set<std::string>({b.book.uid(1), first[0], first[1], first[2]}).size(), 4u);
    const std::string added = b.book.uid(1);
    // An edit here while another program puts a card in front: the edit and its identity go where the card is.
    CardEntries edited;
    edited[2] = "王五五";
    ASSERT_FALSE(b.book.storeCard(2, edited, kNoPhoto));
    dir.write("txl/txl.cjf", gb("%01%前%前%%%%%%%%%%%######\r\n") + dir.read("txl/txl.cjf"));
    ASSERT_TRUE(b.book.saveAll().ok());
    EXPECT_EQ(b.book.field(3, 3), "王五五");
    EXPECT_EQ(b.book.findUid(first[2]), 3);
    EXPECT_EQ(b.book.findUid(added), 2);
    ASSERT_TRUE(b.book.discard(1).ok());
    for (const std::string& side : {std::string("\xFF\xFEgarbage\r\n%%%\r\n"), std::string()}) {
        if (side.empty())
            std::filesystem::remove(dir / "txl/txl.uid");
        else
            dir.write("txl/txl.uid", side);
        ASSERT_FALSE(b.book.load().error);
        ASSERT_EQ(b.book.count(), 4);
        EXPECT_EQ(std::set<std::string>({b.book.uid(1), b.book.uid(2), b.book.uid(3), b.book.uid(4)}).size(), 4u);
        EXPECT_NE(b.book.uid(1), added);
        ASSERT_TRUE(b.book.saveAll().ok());
        EXPECT_TRUE(dir.read("txl/txl.uid").starts_with("quillet-uid 1\r\n" + b.book.uid(1) + " "));
    }
}
