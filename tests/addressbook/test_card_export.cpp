// The boxed export text (dctxl.cjf), to the character.
#include "addressbook/card_export.h"
#include "common/safe_write.h"
#include "common/text_codec.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

const LocalDateTime kMay2003{2003, 5, 12, 9, 30};

struct Book {
    FakeClock clock{kMay2003};
    CardBook book;
    Book(const TempWorkDir& dir, const std::string& lines) : book(dir.path(), clock) {
        dir.write("txl/txl.cjf", gb(lines));
        book.load();
    }
};

const std::string kTitle = "                          通讯录(2003-5-12)\r\n";

} // namespace

TEST(CardExport, TheWorkedExampleComesOutIdentical) {
    TempWorkDir dir;
    Book b(dir, "%01%老张%张三%%%%%%%%%%%######\r\n%02%小李%Li Si%%%%%%%%%%%######\r\n");
    const std::string expected = "                          通讯录(2003-5-12)\r\n"
                                 "┌──┬──────────┬───────┬────────┐\r\n"
                                 "│序号│昵称                │姓名          │备注            │\r\n"
                                 "├──┼──────────┼───────┼────────┤\r\n"
                                 "│01  │老张                │张三          │                │\r\n"
                                 "├──┼──────────┼───────┼────────┤\r\n"
                                 "│02  │小李                │Li Si         │                │\r\n"
                                 "└──┴──────────┴───────┴────────┘\r\n";
    Result<std::string> text = b.book.exportCards({1, 2, 3});
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, expected);
    // The file holds the text as one more line, so it ends with an extra CR LF.
    EXPECT_EQ(dir.read("dctxl.cjf"), gb(expected) + "\r\n");
}

TEST(CardExport, ACharacterOutsideGbkTakesTwoColumnsLikeAnyChinese) {
    TempWorkDir dir;
    Book b(dir, "%01%\xF0\xA0\x80\x80x%张三\r\n%02%\xE2\x82\xAC%x\r\n"); // U+20000 (four bytes) and "€" (two)
    const std::string text = buildExportText(b.book, {2}, kMay2003);
    EXPECT_NE(text.find("│\xF0\xA0\x80\x80x" + std::string(17, ' ') + "│"), std::string::npos) << text;
    EXPECT_NE(text.find("│\xE2\x82\xAC" + std::string(18, ' ') + "│"), std::string::npos) << text;
}

TEST(CardExport, NoCardsGivesHeaderAndRuleWithoutBottom) {
    TempWorkDir dir;
    Book b(dir, "");
    EXPECT_EQ(buildExportText(b.book, {1}, kMay2003), kTitle + "┌──┬────────┐\r\n"
                                                               "│序号│备注            │\r\n"
                                                               "├──┼────────┤\r\n");
}

TEST(CardExport, NoFieldsGivesTheRemarksColumnAlone) {
    TempWorkDir dir;
    Book b(dir, "%01%a\r\n%02%b\r\n");
    EXPECT_EQ(buildExportText(b.book, {}, kMay2003), kTitle + "┌────────┐\r\n"
                                                              "│备注            │\r\n"
                                                              "├────────┤\r\n"
                                                              "│                │\r\n"
                                                              "├────────┤\r\n"
                                                              "│                │\r\n"
                                                              "└────────┘\r\n");
}

TEST(CardExport, CellsArePaddedToDisplayWidth) {
    TempWorkDir dir;
    // A 3-character Chinese name gets 8 blanks in the 姓名 column (14); a value exactly as wide as its
    // column gets none; a wider one is cut at the column's width, never inside a character.
    Book b(dir, "%0001%%王小明\r\n%02%%12345678901234\r\n%03%%张三李四王五赵六钱七\r\n%04%%a张三李四王五赵六\r\n");
    const std::string text = buildExportText(b.book, {1, 3}, kMay2003);
    EXPECT_NE(text.find("│0001│王小明        │                │\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("│02  │12345678901234│                │\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("│03  │张三李四王五赵│                │\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("│04  │a张三李四王五 │                │\r\n"), std::string::npos) << text;
}

TEST(CardExport, HeadersAndBarsFollowTheColumnWidths) {
    TempWorkDir dir;
    Book b(dir, "");
    const std::string text = buildExportText(b.book, {6, 8, 13}, kMay2003);
    auto bar = [](int n) {
        std::string s;
        for (int i = 0; i < n; ++i)
            s += "─";
        return s;
    };
    const std::string header = "│办公电话 " + std::string(5, ' ') + "│IP电话  │单位主页" + std::string(32, ' ') +
                               "│备注" + std::string(12, ' ') + "│\r\n";
    EXPECT_NE(text.find(header), std::string::npos) << text;
    EXPECT_NE(text.find("┌" + bar(7) + "┬" + bar(4) + "┬" + bar(20) + "┬" + bar(8) + "┐\r\n"), std::string::npos)
        << text;
}

TEST(CardExport, FieldsGoInFieldOrderAndOthersAreIgnored) {
    TempWorkDir dir;
    Book b(dir, "%01%老张%张三\r\n");
    EXPECT_EQ(buildExportText(b.book, {3, 1, 3, 14, 0, 99}, kMay2003), buildExportText(b.book, {1, 3}, kMay2003));
}

TEST(CardExport, StoredEditsAreExported) {
    TempWorkDir dir;
    Book b(dir, "%01%老张%张三%%%%%%%%%%%######\r\n");
    CardEntries texts;
    texts[0] = "01";
    texts[2] = "张四";
    b.book.storeCard(1, texts, "######");
    EXPECT_NE(buildExportText(b.book, {3}, kMay2003).find("│张四          │"), std::string::npos);
}

TEST(CardExport, CommonPresetAndDateForm) {
    EXPECT_EQ(commonExportFields(), (std::vector<int>{1, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(shortDateText({2026, 12, 8}), "2026-12-8");
    EXPECT_EQ(shortDateText({2003, 1, 31}), "2003-1-31");
}

TEST(CardExport, FailedWriteKeepsTheOldFile) {
    TempWorkDir dir;
    Book b(dir, "%01%a\r\n");
    dir.write("dctxl.cjf", "old");
    setSafeWriteFaultForTests([](std::string_view step, const std::filesystem::path&) {
        return step == "write" ? std::string("no space left on device") : std::string();
    });
    Result<std::string> text = b.book.exportCards({1});
    setSafeWriteFaultForTests(nullptr);
    ASSERT_FALSE(text);
    EXPECT_EQ(text.error().reason, "no space left on device");
    EXPECT_EQ(dir.read("dctxl.cjf"), "old");
}

TEST(CardExport, EveryLineAlignsInAGbkView) {
    TempWorkDir dir;
    Book b(dir, "%01%老张%张三%经理%010-1%020-2%13900000000%12345%北京市%100000%a@b.cn%www.a.cn%www.b.cn\r\n"
                "%02%%Li Si\r\n");
    const std::string text = buildExportText(b.book, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}, kMay2003);
    std::size_t start = text.find("\r\n") + 2, width = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        const std::size_t w = gbWidth(text.substr(start, end - start));
        if (width == 0)
            width = w;
        EXPECT_EQ(w, width) << text.substr(start, end - start);
    }
}
