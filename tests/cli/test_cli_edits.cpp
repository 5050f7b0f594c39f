// quillet-cli's writing commands for cards and memos: the window's rules at their edges, one saved step each.
#include "support/cli_runner.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {

struct Step {
    std::vector<std::string> args;
    int code;
    const char* cards; // the card file afterwards (UTF-8), or the memo file for memo steps
};

void runSteps(const TempWorkDir& dir, const char* file, const std::vector<Step>& steps) {
    for (const Step& s : steps) {
        CliRun r = runCli(s.args);
        EXPECT_EQ(r.code, s.code) << s.args[1] << " " << (s.args.size() > 2 ? s.args[2] : "") << r.err;
        EXPECT_EQ(dir.read(file), gb(s.cards)) << s.args[1] << " " << (s.args.size() > 2 ? s.args[2] : "");
    }
}

} // namespace

TEST(CliEdits, CardsAndMemosChangeByTheWindowsRules) {
    TempWorkDir dir;
    dir.write("txl/txl.cjf", gb("%01%老张%张三%经理%%%%%%%%%%a.jpg\r\n%2%%李四%%%%%%%%%%%######\r\n"));
    const char* two = "%01%老张%张三%经理%%%%%%%%%%a.jpg\r\n%2%%李四%%%%%%%%%%%######\r\n";
    const char* edited = "%01%老张%张三%%%%139%%%%%%%a.jpg\r\n%2%%李四%%%%%%%%%%%######\r\n";
    const char* added = "%01%老张%张三%%%%139%%%%%%%a.jpg\r\n%2%%李四%%%%%%%%%%%######\r\n"
                        "%03%%王五%%%%%%%123456%%%%######\r\n";
    const char* deleted = "%01%老张%张三%%%%139%%%%%%%a.jpg\r\n%2%%王五%%%%%%%123456%%%%######\r\n";
    runSteps(dir, "txl/txl.cjf",
             {{{"cards", "edit", "1", "职务/称=1234567890123456x"}, 1, two}, // 17 characters: one too many
              {{"cards", "edit", "1", "邮编=a%b"}, 1, two},
              {{"cards", "edit", "1", "9=a\nb"}, 1, two},
              {{"cards", "edit", "1", "9=a\u2028b"}, 1, two},
              {{"cards", "edit", "1", "1=02"}, 2, two}, // the serial belongs to the position
              {{"cards", "edit", "1", "照片=x.jpg"}, 2, two},
              {{"cards", "edit", "1", "手机=1", "7=2"}, 2, two},
              {{"cards", "edit", "3", "手机=1"}, 1, two},
              {{"cards", "edit", "1", "职务/称=", "手机=  139  "}, 0, edited},
              {{"cards", "add", "姓名=王五", "邮编=123456"}, 0, added}, // six characters fit
              {{"cards", "delete", "02"}, 0, deleted},
              {{"cards", "delete", "3"}, 1, deleted}});
    const std::time_t now = std::time(nullptr);
    const std::string log = "txl/mphs" + std::to_string(std::localtime(&now)->tm_year + 1900) + ".cjf";
    EXPECT_EQ(dir.read(log), gb("记录[%2%%李四%%%%%%%%%%%######]已删除\r\n"));

    std::string full;
    for (int k = 1; k <= 1000; ++k)
        full += "%" + std::to_string(k) + "%%%%%%%%%%%%%######\r\n";
    dir.write("txl/txl.cjf", full);
    EXPECT_EQ(runCli({"cards", "add", "姓名=x"}).code, 1);
    EXPECT_EQ(dir.read("txl/txl.cjf"), full);
    EXPECT_EQ(runCli({"cards", "delete", "1000"}).code, 0);
    EXPECT_EQ(runCli({"cards", "add", "姓名=x"}).out, "1000\n");

    dir.write("bwl/bwl.cjf",
              gb("1   @@2024031514@@开会@@F@@2024030109\r\nshort\r\n3   @@2024031609@@b@@T@@2024030109\r\n"));
    const std::string kept = "1   @@2024031514@@开会@@F@@2024030109\r\nshort\r\n3   @@2024031609@@b@@T@@2024030109\r\n";
    runSteps(dir, "bwl/bwl.cjf",
             {{{"memo", "done", "2"}, 1, kept.c_str()},
              {{"memo", "edit", "2", "x"}, 1, kept.c_str()},
              {{"memo", "edit", "1", "2024023125"}, 2, kept.c_str()},
              {{"memo", "edit", "1", ""}, 2, kept.c_str()},
              {{"memo", "done", "4"}, 1, kept.c_str()},
              {{"memo", "done", "3"}, 0, kept.c_str()}, // cancelled already
              {{"memo", "delete", "2"},
               0,
               "1   @@2024031514@@开会@@F@@2024030109\r\n2   @@2024031609@@b@@T@@2024030109\r\n"}});
    EXPECT_EQ(runCli({"memo", "edit", "2", "2049123124", "交", "报告"}).code, 0);
    EXPECT_EQ(runCli({"memo", "done", "1"}).code, 0);
    EXPECT_EQ(runCli({"memo", "edit", "1", "改"}).code, 0);
    CliRun list = runCli({"memo", "list"});
    EXPECT_EQ(list.out, "1\t2024031514\tF\t改\n2\t2049123124\tF\t交 报告\n"); // a change makes a memo active
}
