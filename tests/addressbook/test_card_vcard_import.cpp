// vCard files into the card book: sample files of several writers, the export read back, and the rules of the
// card file (no "%" or line breaks, duplicates, 1,000 cards, one atomic save).
#include "addressbook/card_vcard.h"
#include "addressbook/card_vcard_import.h"
#include "common/safe_write.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

std::string fixture(const char* name) {
    Result<std::string> bytes = readFileBytes(testDataDir() / "vcard" / name);
    return bytes ? *bytes : std::string();
}

// Fields 1..13, then the photo file's bytes ("" without one).
std::vector<std::string> cardOf(const CardBook& book, int row) {
    std::vector<std::string> out;
    for (int field = 1; field <= kCardEntryFields; ++field)
        out.push_back(book.field(row, field));
    std::optional<fs::path> photo =
        book.field(row, kPhotoField) == kNoPhoto ? std::nullopt : book.photoPath(book.field(row, kPhotoField));
    Result<std::string> bytes = photo ? readFileBytes(*photo) : Result<std::string>(std::string());
    out.push_back(bytes ? *bytes : "(unreadable)");
    return out;
}

struct Book {
    FakeClock clock{{2026, 12, 8}};
    CardBook book;
    explicit Book(const TempWorkDir& dir, const std::string& lines = "") : book(dir.path(), clock) {
        dir.write("txl/txl.cjf", gb(lines));
        book.load();
    }
};

std::string picture(const char* name) {
    Result<std::string> bytes = readFileBytes(testDataDir() / "vcard" / name);
    return bytes ? *bytes : std::string();
}

} // namespace

TEST(CardVCardImport, SampleFilesOfSeveralWritersMapToTheFields) {
    struct Case {
        const char* file;
        std::vector<std::vector<std::string>> cards; // fields 1..13
        std::vector<std::string> skipped, changed, leftOut;
    };
    const Case cases[] = {
        {"phone-2.1-qp.vcf",
         {{"01", "", "王五", "", "010-66668888", "", "138 0013 8000", "", "上海市浦东新区世纪大道100号环球金融中心",
           "200120", "wangwu@example.com", "", ""},
          {"02", "", "Mike", "", "", "", "+86 135 0000 2222", "", "", "", "mike@example.org", "", ""}},
         {"王五 138 0013 8000: already in the book"},
         {},
         {"王五: TEL;CELL 139-0000-1111", "王五: TEL 010-66669999", "王五: NOTE 老同学", "王五: NOTE 爱喝茶，周末有空",
          "Mike: EMAIL mike.home@example.org"}},
        {"gb18030-3.0.vcf",
         {{"01", "老赵", "赵六", "总工程师", "", "020-8888 7777", "13600001234", "10001",
           "中国广东省广州市天河路385号太古汇一座", "510620", "zhao6@example.cn", "http://zhao6.example.cn/", ""}},
         {},
         {},
         {"赵六: ORG 某某科技有限公司", "赵六: EMAIL zhao6@work.example.cn",
          "赵六: NOTE 通讯录里的备注一行很长很长很长很长很长很长很长很长很长很长很长很长很长很长很长很长"}},
        {"v4.vcf",
         {{"01", "小七", "孙七", "产品经理 50％ 时间", "+86-21-5555-6666", "", "+86-137-0000-5555", "20002",
           "上海南京路1号, 3楼", "200001", "sun7@example.com", "https://sun7.example.com/",
           "https://corp.example.com/"}},
         {},
         {"孙七: 职务/称: \"%\" -> \"％\""},
         {"孙七: NOTE 第一行", "孙七: NOTE 第二行"}},
    };
    for (const Case& c : cases) {
        TempWorkDir dir;
        Book b(dir);
        Result<CardImportReport> report = importVCards(b.book, fixture(c.file));
        ASSERT_TRUE(report) << c.file << report.error().reason;
        EXPECT_EQ(report->imported, static_cast<int>(c.cards.size())) << c.file;
        EXPECT_EQ(report->skipped, c.skipped) << c.file;
        EXPECT_EQ(report->changed, c.changed) << c.file;
        EXPECT_EQ(report->leftOut, c.leftOut) << c.file;
        CardBook reread(dir.path(), b.clock); // what the file holds now
        reread.load();
        ASSERT_EQ(reread.count(), static_cast<int>(c.cards.size())) << c.file;
        for (std::size_t k = 0; k < c.cards.size(); ++k) {
            std::vector<std::string> got = cardOf(reread, static_cast<int>(k) + 1);
            got.pop_back();
            EXPECT_EQ(got, c.cards[k]) << c.file << " card " << k + 1;
        }
    }
}

TEST(CardVCardImport, PhotosAreStoredUnderNewNames) {
    TempWorkDir dir;
    dir.write("txl/txlphoto/vcf01.jpg", "someone else's photo");
    Book b(dir);
    ASSERT_TRUE(importVCards(b.book, fixture("phone-2.1-qp.vcf")));
    ASSERT_TRUE(importVCards(b.book, fixture("v4.vcf")));
    EXPECT_EQ(b.book.field(1, kPhotoField), "vcf01-2.jpg");
    EXPECT_EQ(cardOf(b.book, 1).back(), picture("red.jpg"));
    EXPECT_EQ(b.book.field(2, kPhotoField), kNoPhoto);
    EXPECT_EQ(b.book.field(3, kPhotoField), "vcf03.png");
    EXPECT_EQ(cardOf(b.book, 3).back(), picture("blue.png"));
    EXPECT_EQ(dir.read("txl/txlphoto/vcf01.jpg"), "someone else's photo");
}

// Every field of every card and the photo bytes come back from an export read into an empty book, also a
// backslash followed by "n" and URLs with commas and Chinese paths.
TEST(CardVCardImport, ExportReadBackIntoAnEmptyBookGivesTheSameCards) {
    TempWorkDir from;
    from.write("txl/txlphoto/a.jpg", picture("red.jpg"));
    from.write("txl/txlphoto/b.png", picture("blue.png"));
    from.write("txl/txlphoto/c.bmp", picture("green.bmp"));
    Book source(from,
                "%01%老张%张三%经理,总监;兼\\顾问%010-12345678%020-8765%13900000000%123456%北京市海淀区中关村大街"
                "一号某某大厦十二层 某某公司研发部(请走东门)%100080%zs@example.cn%www.zs.cn%http://corp.example.cn/"
                "%a.jpg\r\n"
                "%02%Li%Li\\nSi%Engineer, R;D\\n%%%+1 555 0100%%1 Main St., Springfield%%li@example.com%"
                "http://x.cn/路径?q=a,b;c%file:///C:\\new,x%b.png\r\n"
                "%03%%%%%%%%%%%%%######\r\n"
                "%04%小李%%%%%%QQ 5566%%%%%http://x.example/%c.bmp\r\n");
    const std::string vcards = cardsToVCards(source.book);
    TempWorkDir to;
    Book target(to);
    Result<CardImportReport> report = importVCards(target.book, vcards);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->imported, 3) << vcards; // the empty card 3 is skipped
    EXPECT_NE(vcards.find("URL;TYPE=HOME:http://x.cn/%E8%B7%AF%E5%BE%84?q=a\\,b\\;c\r\n"), std::string::npos);
    EXPECT_NE(vcards.find("URL;TYPE=WORK:file:///C:\\\\new\\,x\r\n"), std::string::npos);
    EXPECT_TRUE(report->leftOut.empty());
    EXPECT_TRUE(report->changed.empty());
    EXPECT_EQ(cardOf(target.book, 1), cardOf(source.book, 1));
    EXPECT_EQ(cardOf(target.book, 2), cardOf(source.book, 2));
    EXPECT_EQ(target.book.uid(1), source.book.uid(1)); // the vCard's UID is the card's identity
    EXPECT_EQ(target.book.uid(3), source.book.uid(4));
    target.book.load();
    EXPECT_EQ(target.book.uid(2), source.book.uid(2));
    Result<CardImportReport> again = importVCards(target.book, vcards);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->imported, 0); // every UID is in the book already
    std::vector<std::string> fourth = cardOf(source.book, 4);
    fourth[0] = "03";
    EXPECT_EQ(cardOf(target.book, 3), fourth);
}

TEST(CardVCardImport, TextsTheCardFileCannotHoldAreReplacedAndListed) {
    TempWorkDir dir;
    Book b(dir);
    Result<CardImportReport> report =
        importVCards(b.book, "BEGIN:VCARD\nVERSION:3.0\nFN:甲 100%\nTITLE:a\\nb\nADR:;;路\\n一号;;;;\n"
                             "NICKNAME:x\0y\fz\tw\nEND:VCARD\n"s);
    ASSERT_TRUE(report);
    EXPECT_EQ(b.book.field(1, 3), "甲 100％");
    EXPECT_EQ(b.book.field(1, 4), "a b");
    EXPECT_EQ(b.book.field(1, 9), "路 一号");
    EXPECT_EQ(b.book.field(1, 2), "x y z\tw");
    EXPECT_EQ(report->changed, (std::vector<std::string>{
                                   "甲 100%: 昵称: line break -> blank", "甲 100%: 昵称: control character -> blank",
                                   "甲 100%: 姓名: \"%\" -> \"％\"", "甲 100%: 职务/称: line break -> blank",
                                   "甲 100%: 地址: line break -> blank"}));
}

TEST(CardVCardImport, TheBookStopsAtAThousandCards) {
    TempWorkDir dir;
    std::string lines;
    for (int k = 1; k <= kCardCapacity - 1; ++k)
        lines += "%" + std::to_string(k) + "%n%名" + std::to_string(k) + "%%%%%%%%%%%######\r\n";
    Book b(dir, lines);
    Result<CardImportReport> report = importVCards(b.book, "BEGIN:VCARD\r\nFN:甲\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:"
                                                           "乙\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:丙\r\nEND:VCARD\r\n");
    ASSERT_TRUE(report);
    EXPECT_EQ(report->imported, 1);
    EXPECT_EQ(report->refused, (std::vector<std::string>{"乙", "丙"}));
    EXPECT_EQ(b.book.count(), kCardCapacity);
    EXPECT_EQ(b.book.field(kCardCapacity, 1), "1000");
}

TEST(CardVCardImport, AFailedSaveLeavesTheBookAndThePhotoFolderAsTheyWere) {
    TempWorkDir dir;
    const std::string before = "%01%老张%张三%%%%%%%%%%%######\r\n";
    Book b(dir, before);
    setSafeWriteFaultForTests([](std::string_view step, const fs::path& target) {
        return step == "rename" && target.filename() == "txl.cjf" ? std::string("disk full") : std::string();
    });
    Result<CardImportReport> report = importVCards(b.book, fixture("phone-2.1-qp.vcf"));
    setSafeWriteFaultForTests(nullptr);
    ASSERT_FALSE(report);
    EXPECT_NE(report.error().path.find("txl.cjf"), std::string::npos);
    EXPECT_EQ(report.error().reason, "disk full");
    EXPECT_EQ(dir.read("txl/txl.cjf"), gb(before));
    EXPECT_TRUE(fs::is_empty(dir / "txl/txlphoto") || !dir.exists("txl/txlphoto"));
    EXPECT_EQ(b.book.count(), 1);
}

namespace {

// Every list of the report, each entry marked with its list.
std::vector<std::string> listed(const CardImportReport& r) {
    std::vector<std::string> out;
    for (const auto& [mark, list] : {std::pair{"skipped: ", &r.skipped},
                                     {"changed: ", &r.changed},
                                     {"left out: ", &r.leftOut},
                                     {"doubt: ", &r.doubts}})
        for (const std::string& entry : *list)
            out.push_back(mark + entry);
    return out;
}

// A picture as older phones write it: base64 lines of 76 digits without indent, then an empty line.
std::string bareBase64(std::string_view bytes) {
    const std::string digits = base64Encode(bytes);
    std::string out;
    for (std::size_t at = 0; at < digits.size(); at += 76)
        out += digits.substr(at, 76) + "\r\n";
    return out + "\r\n";
}

} // namespace

// What phones, Outlook and servers really write, each case a small file: the card file afterwards and every
// entry of the report.
TEST(CardVCardImport, WhatOtherWritersSendIsReadExactlyOrListed) {
    const std::string jpeg = picture("red.jpg");
    std::string png = picture("blue.png");
    png[60] = static_cast<char>(png[60] ^ 0x55); // inside the picture data: only the chunk's CRC tells
    const std::string card = "BEGIN:VCARD\r\nVERSION:2.1\r\n";
    struct Case {
        std::string vcf;
        std::string file; // txl.cjf in UTF-8
        std::vector<std::string> report;
    };
    const Case cases[] = {
        {"BEGIN:VCARD\nFN:甲\nTEL;CELL:1\nBEGIN:VCARD\nFN:乙\nEND:VCARD\nBEGIN:VCARD\nVERSION:3.0\n",
         "%01%%甲%%%%1%%%%%%%######\r\n%02%%乙%%%%%%%%%%%######\r\n",
         {"skipped: card 3 of the file: empty", "doubt: 甲: no END:VCARD, the card may be cut off",
          "doubt: card 3 of the file: no END:VCARD, the card may be cut off"}},
        {"BEGIN:VCARD\nFN:甲\nTITLE:a\u2028b\u2029c\xC2\x85"
         "d\vf\nNOTE:OICQ/IP: 55\u2028备注\nEND:VCARD\n",
         "%01%%甲%a b c d f%%%%55%%%%%%######\r\n",
         {"changed: 甲: 职务/称: line break -> blank", "left out: 甲: NOTE 备注"}},
        {"BEGIN:VCARD\nFN;CHARSET=BIG5:\xB1\x69\xA4\x54\nADR;CHARSET=WINDOWS-1252:;;Caf\xE9;;;;\nEND:VCARD\n",
         "%01%%張三%%%%%%Café%%%%%######\r\n",
         {}},
        {"BEGIN:VCARD\nFN:\xD5\xC5\xC8\xFD\nEND:VCARD\n",
         "%01%%张三%%%%%%%%%%%######\r\n",
         {"doubt: 张三: charset guessed: GB18030"}}, // short: the detector would say Latin-1
        {"BEGIN:VCARD\nFN:Jos\xE9 M\xFCller\nEND:VCARD\n",
         "%01%%José Müller%%%%%%%%%%%######\r\n",
         {"doubt: José Müller: charset guessed: ISO-8859-1"}},
        {"BEGIN:VCARD\nFN;CHARSET=UTF-8:\xFF\xFE\nEND:VCARD\n",
         "%01%%ÿþ%%%%%%%%%%%######\r\n",
         {"doubt: ÿþ: charset guessed: ISO-8859-1"}}, // not UTF-8 as declared: detected
        {"BEGIN:VCARD\nFN:甲\nX-ANDROID-CUSTOM:vnd.android.cursor.item/nickname;小甲;1;;;;;;;;;;;;;\n"
         "item1.IMPP;X-SERVICE-TYPE=QQ;type=pref:x-apple:12345\nIMPP:xmpp:a@b\n"
         "X-ANDROID-CUSTOM:vnd.android.cursor.item/relation;乙;1\nEND:VCARD\n",
         "%01%小甲%甲%%%%%12345%%%%%%######\r\n",
         {"left out: 甲: IMPP xmpp:a@b", "left out: 甲: X-ANDROID-CUSTOM vnd.android.cursor.item/relation 乙"}},
        {"BEGIN:VCARD\nVERSION:4.0\nKIND:group\nFN:同事\nEND:VCARD\nBEGIN:VCARD\nVERSION:3.0\n"
         "X-ADDRESSBOOKSERVER-KIND:GROUP\nFN:家人\nEND:VCARD\n",
         "",
         {"skipped: 同事: a group, not a card", "skipped: 家人: a group, not a card"}},
        {card + "FN:甲\r\nPHOTO;ENCODING=BASE64;TYPE=JPEG:\r\n" + bareBase64(jpeg) + "TEL;CELL:1\r\nEND:VCARD\r\n",
         "%01%%甲%%%%1%%%%%%%vcf01.jpg\r\n",
         {}},
        {card + "FN:甲\r\nPHOTO;ENCODING=Base64;JPEG:" + base64Encode(jpeg) + "\r\nEND:VCARD\r\n",
         "%01%%甲%%%%%%%%%%%vcf01.jpg\r\n",
         {}},
        {card + "FN:甲\r\nPHOTO;ENCODING=b:" + base64Encode(jpeg.substr(0, jpeg.size() - 40)) + "\r\nEND:VCARD\r\n",
         "%01%%甲%%%%%%%%%%%######\r\n",
         {"doubt: 甲: PHOTO cut off or damaged, the card keeps the default photo"}},
        {"\xFF\xFE" +
             std::string("B\0E\0G\0I\0N\0:\0V\0C\0A\0R\0D\0\n\0F\0N\0:\0\x32\x75\n\0E\0N\0D\0:\0V\0C\0A\0R\0D\0", 52),
         "%01%%甲%%%%%%%%%%%######\r\n",
         {}},
    };
    for (const Case& c : cases) {
        TempWorkDir dir;
        Book b(dir);
        Result<CardImportReport> report = importVCards(b.book, c.vcf);
        ASSERT_TRUE(report) << c.vcf;
        EXPECT_EQ(dir.read("txl/txl.cjf"), gb(c.file)) << c.vcf;
        EXPECT_EQ(listed(*report), c.report) << c.vcf;
        if (c.file.find("vcf01.jpg") != std::string::npos) {
            EXPECT_EQ(dir.read("txl/txlphoto/vcf01.jpg"), jpeg);
        }
    }
}
