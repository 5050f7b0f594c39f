// Converting files to .lok and back: bytes, names, and every refusal or failure leaving the folder as it was.
#include "common/safe_write.h"
#include "diary/text_cipher.h"
#include "encryptor/lok_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

std::set<std::string> entries(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.insert(e.path().filename().string());
    return names;
}

std::string sampleBytes(std::size_t n) {
    std::string bytes(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<char>((i * 131 + 7) % 251);
    return bytes;
}

class LokFileTest : public ::testing::Test {
protected:
    void TearDown() override {
        setSafeWriteFaultForTests(nullptr);
        setLokRemoveFaultForTests(nullptr);
    }
    // Converting report.txt must fail with a message holding `says` and leave the folder exactly as it was.
    void expectRefused(const std::string& says) {
        const auto before = entries(dir.path());
        const std::string bytes = dir.read("report.txt");
        LokOutcome out = convertLokFile(dir / "report.txt", "pw");
        ASSERT_TRUE(out.failure) << says;
        EXPECT_EQ(out.failure->title, "警告");
        EXPECT_NE(out.failure->text.find(says), std::string::npos) << out.failure->text;
        EXPECT_EQ(entries(dir.path()), before);
        EXPECT_EQ(dir.read("report.txt"), bytes);
    }
    TempWorkDir dir;
};

} // namespace

TEST_F(LokFileTest, ScrambleAndUnscrambleRoundTrip) {
    const std::string plain = "第一行\r\nsecond line\r\n";
    dir.write("report.txt", plain);
    LokOutcome first = convertLokFile(dir / "report.txt", "abc");
    ASSERT_FALSE(first.failure) << first.failure->text;
    EXPECT_TRUE(first.target.scrambling);
    EXPECT_EQ(first.target.path, dir / "report!txt.lok");
    EXPECT_EQ(entries(dir.path()), std::set<std::string>{"report!txt.lok"});
    EXPECT_EQ(dir.read("report!txt.lok"), CipherPass(plain, "abc"));

    // Any password of the same length restores the plain bytes.
    LokOutcome back = convertLokFile(dir / "report!txt.lok", "xyz");
    ASSERT_FALSE(back.failure);
    EXPECT_FALSE(back.target.scrambling);
    EXPECT_EQ(entries(dir.path()), std::set<std::string>{"report.txt"});
    EXPECT_EQ(dir.read("report.txt"), plain);
}

TEST_F(LokFileTest, WrongLengthPasswordThenTheSamePassGivesTheLokFileBack) {
    const std::string plain = "twelve bytes";
    ASSERT_EQ(plain.size(), 12u);
    dir.write("report.txt", plain);
    ASSERT_FALSE(convertLokFile(dir / "report.txt", "abc").failure); // first key position 1
    const std::string lok = dir.read("report!txt.lok");
    ASSERT_FALSE(convertLokFile(dir / "report!txt.lok", "abcd").failure); // first key position 3
    EXPECT_NE(dir.read("report.txt"), plain);
    ASSERT_FALSE(convertLokFile(dir / "report.txt", "abcd").failure);
    EXPECT_EQ(dir.read("report!txt.lok"), lok);
}

TEST_F(LokFileTest, UpperCaseLokNameIsUnscrambled) {
    dir.write("FILE!TXT.LOK", CipherPass("plain", "pw"));
    LokOutcome out = convertLokFile(dir / "FILE!TXT.LOK", "pw");
    ASSERT_FALSE(out.failure);
    EXPECT_EQ(out.target.path, dir / "FILE.TXT");
    EXPECT_EQ(dir.read("FILE.TXT"), "plain");
}

TEST_F(LokFileTest, LongFilesStreamToTheSameBytesAsOnePass) {
    const std::string plain = sampleBytes((std::size_t{3} << 20) + 7); // crosses several chunk boundaries
    dir.write("big.dat", plain);
    ASSERT_FALSE(convertLokFile(dir / "big.dat", "secret").failure);
    EXPECT_EQ(dir.read("big!dat.lok"), CipherPass(plain, "secret"));
}

TEST_F(LokFileTest, EmptyFileGivesEmptyLokFile) {
    dir.write("empty.txt", "");
    ASSERT_FALSE(convertLokFile(dir / "empty.txt", "pw").failure);
    EXPECT_TRUE(dir.exists("empty!txt.lok"));
    EXPECT_EQ(fs::file_size(dir / "empty!txt.lok"), 0u);
}

TEST_F(LokFileTest, PermissionBitsCarryOver) {
    dir.write("private.txt", "secret");
    fs::permissions(dir / "private.txt", fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_FALSE(convertLokFile(dir / "private.txt", "pw").failure);
    EXPECT_EQ(fs::status(dir / "private!txt.lok").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(LokFileTest, FailureAtEveryWriteStepLeavesTheFileUnchanged) {
    dir.write("report.txt", sampleBytes(5000));
    for (const char* step : {"write", "fsync", "rename"}) {
        setSafeWriteFaultForTests([step](std::string_view s, const fs::path&) {
            return s == step ? std::string("No space left on device") : std::string();
        });
        expectRefused("No space left on device");
    }
}

TEST_F(LokFileTest, OldFileThatCannotBeRemovedTakesTheNewOneBack) {
    dir.write("report.txt", "plain");
    setLokRemoveFaultForTests([](const fs::path&) { return std::string("Device or resource busy"); });
    expectRefused("无法删除原文件,所以新文件已经删除,原文件没有改动");
}

// A source deleted while it was being converted: the finished .lok is now the only copy, and it stays.
TEST_F(LokFileTest, ASourceDeletedMidwayKeepsTheFinishedLokFile) {
    dir.write("report.txt", "plain");
    setSafeWriteFaultForTests([this](std::string_view step, const fs::path&) {
        if (step == "rename")
            fs::remove(dir / "report.txt");
        return std::string();
    });
    LokOutcome out = convertLokFile(dir / "report.txt", "pw");
    ASSERT_TRUE(out.failure);
    EXPECT_NE(out.failure->text.find("已经保留"), std::string::npos) << out.failure->text;
    setSafeWriteFaultForTests(nullptr);
    ASSERT_FALSE(convertLokFile(dir / "report!txt.lok", "pw").failure);
    EXPECT_EQ(dir.read("report.txt"), "plain");
}

TEST_F(LokFileTest, RefusalsChangeNothing) {
    dir.write("report.txt", "plain");
    dir.write("report!txt.lok", "other");
    dir.write("notes.lok", "not ours");
    fs::create_directory(dir / "folder.txt");
    const auto before = entries(dir.path());
    struct Case {
        const char* file;
        const char* says;
    } cases[] = {{"report.txt", "目标文件已经存在"},
                 {"notes.lok", "无法从文件名还原"},
                 {"folder.txt", "不是普通文件"},
                 {"gone.txt", "文件不存在"},
                 {"a.b!cd", "加密后无法还原"}};
    for (const Case& c : cases) {
        LokOutcome out = convertLokFile(dir / c.file, "pw");
        ASSERT_TRUE(out.failure) << c.file;
        EXPECT_EQ(out.failure->title, "警告");
        EXPECT_NE(out.failure->text.find(c.says), std::string::npos) << out.failure->text;
        EXPECT_EQ(entries(dir.path()), before);
    }
    EXPECT_EQ(dir.read("report.txt"), "plain");
    EXPECT_EQ(dir.read("report!txt.lok"), "other");
}

TEST_F(LokFileTest, ReadOnlyFileIsRefused) {
    dir.write("report.txt", "plain");
    fs::permissions(dir / "report.txt", fs::perms::owner_read | fs::perms::group_read);
    expectRefused("只读");
}

TEST_F(LokFileTest, UnwritableFolderIsRefused) {
    dir.write("sub/report.txt", "plain");
    fs::permissions(dir / "sub", fs::perms::owner_read | fs::perms::owner_exec);
    LokOutcome out = convertLokFile(dir / "sub/report.txt", "pw");
    fs::permissions(dir / "sub", fs::perms::owner_all);
    ASSERT_TRUE(out.failure);
    EXPECT_NE(out.failure->text.find("文件夹不能写入"), std::string::npos);
    EXPECT_EQ(entries(dir / "sub"), std::set<std::string>{"report.txt"});
    EXPECT_EQ(dir.read("sub/report.txt"), "plain");
}

TEST(LokPasswords, ChecksInTheWindowsOrder) {
    EXPECT_EQ(lokPasswordProblem("", "")->text, "加/解密,密码不能为空!");
    EXPECT_EQ(lokPasswordProblem("abc", "")->text, "加/解密,密码不能为空!");
    EXPECT_EQ(lokPasswordProblem("abc", "abd")->text, "两次密码不匹配!");
    EXPECT_EQ(lokPasswordProblem("abc", "abd")->title, "警告");
    EXPECT_EQ(lokPasswordProblem("密码", "密码")->text, cipherPasswordProblem("密码")->text);
    EXPECT_FALSE(lokPasswordProblem("a b~1", "a b~1"));
}

TEST_F(LokFileTest, ViewStartsWithAnEmptyLineAndDecodesGb) {
    dir.write("two.txt", gb("第一行\r\nline two\r\n"));
    Result<std::string> view = lokViewText(dir / "two.txt");
    ASSERT_TRUE(view);
    EXPECT_EQ(*view, "\r\n第一行\r\nline two");
    EXPECT_FALSE(lokViewText(dir / "missing.txt"));
}

TEST_F(LokFileTest, ViewReadsAtMostTheFirstMebibyte) {
    std::string line(99, 'x');
    line += "\r\n"; // 101 bytes a line
    std::string big;
    while (big.size() < 3 * kLokViewLimit)
        big += line;
    dir.write("big.txt", big);
    Result<std::string> view = lokViewText(dir / "big.txt");
    ASSERT_TRUE(view);
    const std::size_t wholeLines = kLokViewLimit / line.size();
    const std::size_t shownLines = static_cast<std::size_t>(std::count(view->begin(), view->end(), 'x')) / 99;
    EXPECT_EQ(shownLines, wholeLines);
    EXPECT_NE(view->find("只显示开头的 1 MiB"), std::string::npos);
    EXPECT_LT(view->size(), kLokViewLimit + 200);
}
