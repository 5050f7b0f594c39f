// quillet-cli cards list|vcard|export|import.
#include "support/cli_runner.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace {
const char* kTwoCards = "%01%老张%张三%经理%%%%%%%%%%######\r\n%02%小李%Li Si%%%%%%%%%%%######\r\n";
// A constant: GCC 12 takes "std::string(...) + literal" in a test body for an overflow at -O2.
const std::string kImportedCard = "%03%%王五%%%%1%%%%%%%######\r\n";
} // namespace

TEST(CliCards, ListPrintsSerialNicknameAndName) {
    TempWorkDir dir;
    dir.write("txl/txl.cjf", gb(kTwoCards));
    CliRun r = runCli({"cards", "list"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "01\t老张\t张三\n02\t小李\tLi Si\n");
}

TEST(CliCards, MissingBookIsEmptyAndNotCreated) {
    TempWorkDir dir;
    CliRun r = runCli({"cards", "list"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(dir.exists("txl"));
}

TEST(CliCards, VCardPrintsOneCardPerEntry) {
    TempWorkDir dir;
    dir.write("txl/txl.cjf", gb(kTwoCards));
    CliRun r = runCli({"cards", "vcard"});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.starts_with("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:")) << r.out;
    EXPECT_EQ(runCli({"cards", "vcard"}).out, r.out); // the UIDs given at the first reading are kept
    EXPECT_NE(r.out.find("FN:张三\r\n"), std::string::npos);
    EXPECT_NE(r.out.find("TITLE:经理\r\n"), std::string::npos);
    EXPECT_NE(r.out.find("FN:Li Si\r\n"), std::string::npos);
}

TEST(CliCards, ExportWritesTheFileLikeTheWindow) {
    TempWorkDir dir;
    dir.write("txl/txl.cjf", gb(kTwoCards));
    CliRun r = runCli({"cards", "export", "3", "1"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("│01  │张三          │                │\n"), std::string::npos) << r.out;
    const std::string file = dir.read("dctxl.cjf");
    EXPECT_NE(file.find(gb("│02  │Li Si         │                │\r\n")), std::string::npos);
    EXPECT_EQ(file.substr(file.size() - 4), "\r\n\r\n");
}

TEST(CliCards, ExportDefaultsToTheCommonFields) {
    TempWorkDir dir;
    dir.write("txl/txl.cjf", gb(kTwoCards));
    CliRun r = runCli({"cards", "export"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(
        r.out.find("│序号│姓名          │职务职称        │住宅电话      │办公电话      │手机        │IP电话  │备注"),
        std::string::npos)
        << r.out;
}

TEST(CliCards, BadArgumentsGiveOneLineAndCodeTwo) {
    TempWorkDir dir;
    for (auto args : std::vector<std::vector<std::string>>{{"cards"},
                                                           {"cards", "print"},
                                                           {"cards", "list", "x"},
                                                           {"cards", "export", "14"},
                                                           {"cards", "export", "0"},
                                                           {"cards", "export", "a"}}) {
        CliRun r = runCli(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
}

TEST(CliCards, ImportAppendsTheCardsAndPrintsASummary) {
    TempWorkDir dir;
    dir.write("txl/txl.cjf", gb(kTwoCards));
    dir.write("in.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:张三\r\nEND:VCARD\r\n"
                        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:王五\r\nTEL;TYPE=CELL:1\r\nTEL;TYPE=CELL:2\r\nEND:VCARD\r\n");
    CliRun r = runCli({"cards", "import", "in.vcf"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "imported 1 cards, skipped 1, refused 0, changed fields 0\n"
                     "skipped (1):\n  张三: already in the book\n"
                     "left out, no field for them (1):\n  王五: TEL;CELL 2\n");
    EXPECT_EQ(dir.read("txl/txl.cjf"), gb(kTwoCards + kImportedCard));
    for (auto args : std::vector<std::vector<std::string>>{{"cards", "import"}, {"cards", "import", "a", "b"}})
        EXPECT_EQ(runCli(args).code, 2);
    r = runCli({"cards", "import", "missing.vcf"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("missing.vcf"), std::string::npos);

    // The file is named from where the command is given, whatever folder holds the book.
    dir.write("book/txl/txl.cjf", gb(kTwoCards));
    r = runCli({"--data", "book", "cards", "import", "in.vcf"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(dir.read("book/txl/txl.cjf"), gb(kTwoCards + kImportedCard));
}
