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

// Every field of every card and the photo bytes come back from an export read into an empty book.
TEST(CardVCardImport, ExportReadBackIntoAnEmptyBookGivesTheSameCards) {
    TempWorkDir from;
    from.write("txl/txlphoto/a.jpg", picture("red.jpg"));
    from.write("txl/txlphoto/b.png", picture("blue.png"));
    from.write("txl/txlphoto/c.bmp", picture("green.bmp"));
    Book source(from,
                "%01%老张%张三%经理,总监;兼\\顾问%010-12345678%020-8765%13900000000%123456%北京市海淀区中关村大街"
                "一号某某大厦十二层 某某公司研发部(请走东门)%100080%zs@example.cn%www.zs.cn%http://corp.example.cn/"
                "%a.jpg\r\n"
                "%02%Li%Li Si%Engineer, R;D%%%+1 555 0100%%1 Main St., Springfield%%li@example.com%%%b.png\r\n"
                "%03%%%%%%%%%%%%%######\r\n"
                "%04%小李%%%%%%QQ 5566%%%%%http://x.example/%c.bmp\r\n");
    const std::string vcards = cardsToVCards(source.book);
    TempWorkDir to;
    Book target(to);
    Result<CardImportReport> report = importVCards(target.book, vcards);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->imported, 3) << vcards; // the empty card 3 is skipped
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
                                   "甲 100%: 昵称: control character -> blank", "甲 100%: 姓名: \"%\" -> \"％\"",
                                   "甲 100%: 职务/称: line break -> blank", "甲 100%: 地址: line break -> blank"}));
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
