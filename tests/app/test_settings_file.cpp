#include "app/settings_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace {
SettingsValues parsed(std::string_view bytes) {
    auto r = parseSettings(bytes, "pavosz.cjf");
    EXPECT_TRUE(std::holds_alternative<SettingsValues>(r));
    return std::holds_alternative<SettingsValues>(r) ? std::get<SettingsValues>(r) : SettingsValues{};
}
std::string problem(std::string_view bytes) {
    auto r = parseSettings(bytes, "/d/pavosz.cjf");
    return std::holds_alternative<SettingsProblem>(r) ? std::get<SettingsProblem>(r).message : "";
}
} // namespace

TEST(SettingsFile, ReadsLinesWholeAndLineFourAsANumber) {
    SettingsValues v = parsed(gb("钥匙 \r\n\r\n  http://a.example.org/  \r\n10\r\n"));
    EXPECT_EQ(v.password, "钥匙 ");
    EXPECT_EQ(v.password3, "");
    EXPECT_EQ(v.MRURL, "  http://a.example.org/  ");
    EXPECT_EQ(v.dss, 10);
    EXPECT_EQ(parsed("a\r\nb\r\nc\r\n 5 \r\n").dss, 5);
    EXPECT_EQ(parsed("a\r\nb\r\nc\r\nabc\r\n").dss, 0);
    EXPECT_EQ(parsed("a\nb\nc\n-3").dss, -3);
    EXPECT_EQ(parsed("a\r\nb\r\nc\r\n 2.5 \r\nextra\r\n").dss, 2);
}

TEST(SettingsFile, WritesTheFourLinesInTheirForms) {
    SettingsValues v{"key", "", "  http://a.example.org/  ", 10};
    EXPECT_EQ(serializeSettings(v), "key\r\n\r\nhttp://a.example.org/\r\n 10 \r\n");
    v.dss = -1;
    EXPECT_EQ(serializeSettings(v), "key\r\n\r\nhttp://a.example.org/\r\n-1 \r\n");
}

TEST(SettingsFile, RoundTripIsByteIdenticalAndStable) {
    TempWorkDir dir;
    const std::string bytes = gb("日记钥匙") + "\x80\r\n" + gb("密码") + "\r\nhttps://www.example.org/\r\n 5 \r\n";
    dir.write("pavosz.cjf", bytes);
    auto r = readSettingsFile(dir / "pavosz.cjf");
    ASSERT_TRUE(std::holds_alternative<SettingsValues>(r));
    ASSERT_TRUE(writeSettingsFile(dir / "pavosz.cjf", std::get<SettingsValues>(r)).ok());
    EXPECT_EQ(dir.read("pavosz.cjf"), bytes);
    ASSERT_TRUE(writeSettingsFile(dir / "pavosz.cjf", std::get<SettingsValues>(r)).ok());
    EXPECT_EQ(dir.read("pavosz.cjf"), bytes);
}

TEST(SettingsFile, ProblemsNameTheFileAndWhat) {
    EXPECT_NE(problem("a\r\nb\r\nc\r\n").find("/d/pavosz.cjf"), std::string::npos);
    EXPECT_NE(problem("a\r\nb\r\nc\r\n").find("3"), std::string::npos);
    EXPECT_NE(problem("").find("0"), std::string::npos);
    EXPECT_NE(problem("a\r\nb\r\nc\r\n40000\r\n").find("溢出"), std::string::npos);
    EXPECT_EQ(problem("a\r\nb\r\nc\r\n32767\r\n"), "");
    TempWorkDir dir;
    auto missing = readSettingsFile(dir / "pavosz.cjf");
    ASSERT_TRUE(std::holds_alternative<SettingsProblem>(missing));
    EXPECT_NE(std::get<SettingsProblem>(missing).message.find("找不到"), std::string::npos);
    EXPECT_FALSE(dir.exists("pavosz.cjf"));
}
