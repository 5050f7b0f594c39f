// quillet-cli lok: the same conversion as the window's OK, password from stdin, new path on stdout.
#include "diary/text_cipher.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

TEST(CliLok, ScramblesAndUnscramblesPrintingTheNewPath) {
    TempWorkDir dir;
    dir.write("report.txt", "twelve bytes");
    CliRun scramble = runCli({"lok", "report.txt", "--password-stdin"}, "abc\n");
    ASSERT_EQ(scramble.code, 0) << scramble.err;
    EXPECT_EQ(scramble.out, "report!txt.lok\n");
    EXPECT_EQ(dir.read("report!txt.lok"), CipherPass("twelve bytes", "abc"));
    EXPECT_FALSE(dir.exists("report.txt"));

    CliRun back = runCli({"lok", "--password-stdin", "report!txt.lok"}, "xyz\r\n");
    ASSERT_EQ(back.code, 0) << back.err;
    EXPECT_EQ(back.out, "report.txt\n");
    EXPECT_EQ(dir.read("report.txt"), "twelve bytes");
}

TEST(CliLok, FailuresAndBadArguments) {
    TempWorkDir dir;
    dir.write("report.txt", "plain");
    CliRun empty = runCli({"lok", "report.txt", "--password-stdin"}, "\n");
    EXPECT_EQ(empty.code, 1);
    EXPECT_NE(empty.err.find("加/解密,密码不能为空!"), std::string::npos) << empty.err;
    EXPECT_EQ(runCli({"lok", "report.txt", "--password-stdin"}, "密码\n").code, 1);
    CliRun missing = runCli({"lok", "gone.txt", "--password-stdin"}, "abc\n");
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("文件不存在"), std::string::npos);
    EXPECT_EQ(runCli({"lok", "report.txt"}, "abc\n").code, 2); // no terminal to ask on
    EXPECT_EQ(runCli({"lok"}).code, 2);
    EXPECT_EQ(runCli({"lok", "a", "b", "--password-stdin"}, "abc\n").code, 2);
    EXPECT_EQ(dir.read("report.txt"), "plain");
}
