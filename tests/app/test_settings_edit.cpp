#include "app/settings_edit.h"
#include "app/settings_file.h"
#include "common/data_paths.h"
#include "common/safe_write.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

struct SettingsEditTest : ::testing::Test {
    TempWorkDir dir;
    Form1State state;
    Form3State desk;

    void SetUp() override {
        state.szfilename = pathToUtf8(dir / "pavosz.cjf");
        state.password = "diary";
        state.password3 = "open";
        state.MRURL = "https://example.org/";
        desk.dss = 5;
        dir.write("pavosz.cjf", "diary\r\nopen\r\nhttps://example.org/\r\n 5 \r\n");
    }
    void TearDown() override { setSafeWriteFaultForTests(nullptr); }

    SettingsBoxes boxes() const { return settingsBoxesFromMemory(state, desk); }
};

} // namespace

TEST_F(SettingsEditTest, BoxesComeFromMemory) {
    state.MRURL = "  padded  ";
    desk.dss = -3;
    SettingsBoxes b = boxes();
    EXPECT_EQ(b.diaryKey, "diary");
    EXPECT_EQ(b.accessKey, "open");
    EXPECT_EQ(b.accessConfirm, "open");
    EXPECT_EQ(b.webAddress, "  padded  ");
    EXPECT_EQ(b.interval, "-3");
}

TEST(SettingsInterval, WholeNumbersFromOneTo546) {
    struct Case {
        const char* text;
        int expected; // 0: refused
    };
    const Case cases[] = {{"1", 1},   {"546", 546}, {" 5 ", 5}, {"+7", 7},          {"010", 10}, {"0", 0},
                          {"547", 0}, {"-1", 0},    {"", 0},    {"  ", 0},          {"abc", 0},  {"5.5", 0},
                          {"5.0", 0}, {"5a", 0},    {"1 0", 0}, {"99999999999", 0}, {"+", 0},    {"５", 0}};
    for (const Case& c : cases) {
        std::optional<int16_t> v = parseInterval(c.text);
        if (c.expected == 0)
            EXPECT_FALSE(v) << "'" << c.text << "'";
        else
            EXPECT_EQ(v, std::optional<int16_t>(c.expected)) << "'" << c.text << "'";
    }
}

TEST_F(SettingsEditTest, ChecksInOrderMismatchThenDiaryKeyThenInterval) {
    SettingsBoxes b = boxes();
    EXPECT_FALSE(checkSettingsBoxes(b));

    b.accessConfirm = "Open";
    b.diaryKey = "日记";
    b.interval = "0";
    auto r = checkSettingsBoxes(b);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->notice.title, "警告");
    EXPECT_EQ(r->notice.text, "注意:您输入的两次密码不相同!");
    EXPECT_EQ(r->notice.icon, NoticeIcon::Exclamation);
    EXPECT_EQ(r->focus, SettingsBox::AccessConfirm);

    b.accessConfirm = b.accessKey;
    r = checkSettingsBoxes(b);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->notice.title, "警告");
    EXPECT_EQ(r->focus, SettingsBox::DiaryKey);

    b.diaryKey = "key ~!@#";
    r = checkSettingsBoxes(b);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->notice.title, "警告");
    EXPECT_NE(r->notice.text.find("546"), std::string::npos);
    EXPECT_EQ(r->focus, SettingsBox::Interval);
}

TEST_F(SettingsEditTest, SaveStoresInMemoryAndRewritesTheFile) {
    SettingsBoxes b{"k2", "", "", "  www.example.org  ", "12"};
    ASSERT_TRUE(saveSettings(b, state, desk));
    EXPECT_EQ(state.password, "k2");
    EXPECT_EQ(state.password3, "");
    EXPECT_EQ(state.MRURL, "www.example.org");
    EXPECT_EQ(desk.dss, 12);
    EXPECT_EQ(state.password2, ""); // not remembered: untouched
    EXPECT_EQ(dir.read("pavosz.cjf"), "k2\r\n\r\nwww.example.org\r\n 12 \r\n");
}

TEST_F(SettingsEditTest, RememberedPasswordFollowsTheNewOne) {
    state.mryy = true;
    state.password2 = "open";
    SettingsBoxes b = boxes();
    b.accessKey = b.accessConfirm = "新密码";
    ASSERT_TRUE(saveSettings(b, state, desk));
    EXPECT_EQ(state.password3, "新密码");
    EXPECT_EQ(state.password2, "新密码");
    EXPECT_EQ(dir.read("pavosz.cjf"), gb("diary\r\n新密码\r\nhttps://example.org/\r\n 5 \r\n"));
}

TEST_F(SettingsEditTest, SavingTwiceGivesByteIdenticalFiles) {
    dir.write("pavosz.cjf", gb("钥匙\r\n密码\r\n  http://example.org  \r\n10\r\n"));
    state.password = "钥匙";
    state.password3 = "密码";
    state.MRURL = "  http://example.org  ";
    desk.dss = 10;
    ASSERT_TRUE(saveSettings(boxes(), state, desk));
    std::string first = dir.read("pavosz.cjf");
    EXPECT_EQ(first, gb("钥匙\r\n密码\r\nhttp://example.org\r\n 10 \r\n"));
    ASSERT_TRUE(saveSettings(boxes(), state, desk));
    EXPECT_EQ(dir.read("pavosz.cjf"), first);
}

TEST_F(SettingsEditTest, SaveLeavesTheMemoCountAlone) {
    desk.reminderTicks = 30;
    SettingsBoxes b = boxes();
    b.interval = "1";
    ASSERT_TRUE(saveSettings(b, state, desk));
    EXPECT_EQ(desk.reminderTicks, 30);
}

TEST_F(SettingsEditTest, FailedWriteKeepsTheOldFileAndRollsMemoryBack) {
    state.mryy = true;
    state.password2 = "open";
    const std::string oldFile = dir.read("pavosz.cjf");
    setSafeWriteFaultForTests([](std::string_view step, const std::filesystem::path&) {
        return step == "rename" ? std::string("Permission denied") : std::string();
    });
    SettingsBoxes b{"new", "new3", "new3", "new-url", "9"};
    Result<void> r = saveSettings(b, state, desk);
    ASSERT_FALSE(r);
    EXPECT_NE(r.error().path.find("pavosz.cjf"), std::string::npos);
    EXPECT_NE(r.error().reason.find("Permission denied"), std::string::npos);
    EXPECT_EQ(dir.read("pavosz.cjf"), oldFile);
    EXPECT_EQ(state.password, "diary");
    EXPECT_EQ(state.password3, "open");
    EXPECT_EQ(state.password2, "open");
    EXPECT_EQ(state.MRURL, "https://example.org/");
    EXPECT_EQ(desk.dss, 5);
    // The notice the window shows names the file and the reason.
    Notice n = writeFailureNotice(r.error());
    EXPECT_EQ(n.title, "警告");
    EXPECT_NE(n.text.find("pavosz.cjf"), std::string::npos);
}

TEST_F(SettingsEditTest, SaveCreatesAMissingFile) {
    std::filesystem::remove(dir / "pavosz.cjf");
    ASSERT_TRUE(saveSettings(boxes(), state, desk));
    EXPECT_EQ(dir.read("pavosz.cjf"), "diary\r\nopen\r\nhttps://example.org/\r\n 5 \r\n");
}

TEST(SettingsQuestion, AsksBeforeSaving) {
    Notice q = saveSettingsQuestion();
    EXPECT_EQ(q.title, "提醒");
    EXPECT_EQ(q.text, "确实要保存设置吗?");
    EXPECT_EQ(q.icon, NoticeIcon::Question);
    EXPECT_EQ(q.buttons, NoticeButtons::YesNo);
}

TEST_F(SettingsEditTest, SaveRefusesLineBreaksInAnyValue) {
    for (const char* text : {"a\nb", "a\r", "\va", "a\u0085", "a\u2028b"}) {
        SettingsBoxes b = boxes();
        b.accessKey = b.accessConfirm = text;
        EXPECT_FALSE(saveSettings(b, state, desk)) << text;
        EXPECT_EQ(state.password3, "open");
        EXPECT_EQ(dir.read("pavosz.cjf"), "diary\r\nopen\r\nhttps://example.org/\r\n 5 \r\n");
    }
}
