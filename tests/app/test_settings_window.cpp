#include "app/form1.h"
#include "app/launcher_window.h"
#include "app/settings_file.h"
#include "app/settings_window.h"
#include "common/data_paths.h"
#include "common/safe_write.h"
#include "desk/desk_timers.h"
#include "support/fake_mci.h"
#include "support/gui_helpers.h"
#include "support/temp_dir.h"
#include "ui/ui_names.h"
#include "ui/ui_prompts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>

namespace {

const char* const kFile = "diary\r\nopen\r\nhttps://example.org/\r\n 5 \r\n";
const char* const kBoxes[] = {"diary", "open", "open", "https://example.org/", "5"};

class SettingsWindowTest : public ::testing::Test {
protected:
    SettingsWindowTest() : app(clock, std::make_unique<FakeMciDevice>()) {
        Prompts::clearShown();
        dir.write("pavosz.cjf", kFile);
        app.state().szfilename = pathToUtf8(dir / "pavosz.cjf");
        app.state().password = "diary";
        app.state().password3 = "open";
        app.state().MRURL = "https://example.org/";
        app.desk().dss = 5;
        open();
    }
    ~SettingsWindowTest() override {
        setSafeWriteFaultForTests(nullptr);
        Prompts::clearShown();
    }

    void open() {
        app.openSettings();
        form = app.windowAs<Form9>(WindowId::Form9);
        ASSERT_NE(form, nullptr);
    }
    QLineEdit* box(int i) { return control<QLineEdit>(form, arrayName("Text1", i)); }
    void setBox(int i, const QString& text) {
        box(i)->clear();
        box(i)->setFocus();
        typeText(box(i), text);
    }
    void press(int button) { clickWidget(control<QPushButton>(form, arrayName("Command1", button))); }
    bool closed() {
        processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return app.window(WindowId::Form9) == nullptr;
    }
    // The refusal box and the box that got the focus.
    void expectRefused(const char* textPart, int focusBox) {
        ASSERT_EQ(Prompts::shown().size(), 1u);
        EXPECT_EQ(Prompts::shown()[0].title, "警告");
        EXPECT_NE(Prompts::shown()[0].text.find(textPart), std::string::npos) << Prompts::shown()[0].text;
        EXPECT_EQ(form->focusWidget(), box(focusBox));
        EXPECT_FALSE(closed());
        EXPECT_EQ(dir.read("pavosz.cjf"), kFile);
        EXPECT_EQ(app.state().password3, "open");
        EXPECT_EQ(app.desk().dss, 5);
        Prompts::clearShown();
    }

    TempWorkDir dir;
    FakeClock clock{{2026, 12, 8, 9, 0, 0}};
    Form1 app;
    Form9* form = nullptr;
};

} // namespace

TEST_F(SettingsWindowTest, OpensWithTheValuesInMemory) {
    EXPECT_EQ(form->windowTitle(), "☆Quillet>>设置                  Orlin工作室");
    EXPECT_EQ(form->objectName(), "Form9");
    EXPECT_TRUE(duplicateControlNames(form).isEmpty());
    control<QWidget>(form, "Frame1");
    EXPECT_EQ(control<QLabel>(form, "Label1(0)")->text(), "访问密码");
    EXPECT_EQ(control<QLabel>(form, "Label1(1)")->text(), "密码确认");
    EXPECT_EQ(control<QLabel>(form, "Label1(2)")->text(), "默认访问网    址");
    EXPECT_EQ(control<QLabel>(form, "Label1(3)")->text(), "备忘提示间    隔");
    EXPECT_EQ(control<QLabel>(form, "Label1(4)")->text(), "日记密钥");
    EXPECT_EQ(control<QLabel>(form, "Label1(5)")->text(), "(分钟,整数)");
    EXPECT_EQ(control<QPushButton>(form, "Command1(1)")->text(), "保存");
    EXPECT_EQ(control<QPushButton>(form, "Command1(0)")->text(), "取消");
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(box(i)->text().toStdString(), kBoxes[i]) << i;
    EXPECT_EQ(box(0)->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(box(1)->echoMode(), QLineEdit::Password);
    EXPECT_EQ(box(2)->echoMode(), QLineEdit::Password);
}

TEST_F(SettingsWindowTest, MismatchedPasswordsAreRefused) {
    setBox(1, "abc");
    setBox(2, "abd");
    press(1);
    EXPECT_EQ(Prompts::shown()[0].text, "注意:您输入的两次密码不相同!");
    EXPECT_EQ(Prompts::shown()[0].icon, NoticeIcon::Exclamation);
    expectRefused("两次密码", 2);
}

TEST_F(SettingsWindowTest, BadIntervalsAndDiaryKeysAreRefusedBeforeTheQuestion) {
    for (const char* interval : {"abc", "0", "547", "-5", "2.5", "40000", ""}) {
        setBox(4, interval);
        press(1);
        expectRefused("546", 4);
    }
    setBox(4, "5");
    setBox(0, "日记钥匙");
    press(1);
    expectRefused("日记密钥", 0);
}

// Each value is one line of pavosz.cjf: a pasted break would shift the lines and silently change dss, the
// access password and the diary key at the next start.
TEST_F(SettingsWindowTest, PastedLineBreaksAreRefusedAndOtherCharactersStayInTheirLine) {
    const std::pair<int, QString> pasted[] = {
        {0, "key\nmore"}, {1, "a\rb"}, {3, "www.example.org\r\n"}, {4, "5\n0"}, {3, QString("a") + QChar(0x2029)}};
    for (const auto& [i, text] : pasted) {
        box(i)->clear();
        box(i)->setFocus();
        pasteText(box(i), text);
        press(1);
        expectRefused("换行", i);
        setBox(i, kBoxes[i]);
    }
    // A private-use character that once stood for a raw LF byte is written as a character of its own.
    const QString odd = QString("x") + QString::fromUcs4(U"\U0010FF0A\U0010FF25") + "y";
    box(3)->selectAll();
    pasteText(box(3), odd);
    press(1);
    ASSERT_TRUE(closed());
    const std::string bytes = dir.read("pavosz.cjf");
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 4);
    EXPECT_EQ(bytes.find('%'), std::string::npos);
    EXPECT_EQ(std::get<SettingsValues>(readSettingsFile(dir / "pavosz.cjf")).MRURL, odd.toStdString());
}

TEST_F(SettingsWindowTest, AnsweringNoStoresNothing) {
    setBox(0, "other");
    Prompts::setNextAnswer(NoticeAnswer::No);
    press(1);
    ASSERT_EQ(Prompts::shown().size(), 1u);
    EXPECT_EQ(Prompts::shown()[0].text, "确实要保存设置吗?");
    EXPECT_EQ(Prompts::shown()[0].title, "提醒");
    EXPECT_EQ(Prompts::shown()[0].buttons, NoticeButtons::YesNo);
    EXPECT_FALSE(closed());
    EXPECT_EQ(app.state().password, "diary");
    EXPECT_EQ(dir.read("pavosz.cjf"), kFile);
}

TEST_F(SettingsWindowTest, SaveStoresEverySettingAndRewritesTheFile) {
    app.state().mryy = true;
    app.state().password2 = "open";
    setBox(0, "newkey");
    setBox(1, "新密码");
    setBox(2, "新密码");
    setBox(3, "  www.example.org/主页  ");
    setBox(4, "12");
    Prompts::setNextAnswer(NoticeAnswer::Yes);
    press(1);
    EXPECT_TRUE(closed());
    EXPECT_EQ(app.state().password, "newkey");
    EXPECT_EQ(app.state().password3, "新密码");
    EXPECT_EQ(app.state().password2, "新密码");
    EXPECT_EQ(app.state().MRURL, "www.example.org/主页");
    EXPECT_EQ(app.desk().dss, 12);
    EXPECT_EQ(dir.read("pavosz.cjf"), gb("newkey\r\n新密码\r\nwww.example.org/主页\r\n 12 \r\n"));

    // The next opening shows the trimmed address.
    open();
    EXPECT_EQ(box(3)->text(), "www.example.org/主页");
}

TEST_F(SettingsWindowTest, EmptyPasswordsSaveAnEmptyAccessPassword) {
    setBox(1, "");
    setBox(2, "");
    press(1);
    EXPECT_TRUE(closed());
    EXPECT_EQ(app.state().password3, "");
    EXPECT_EQ(app.state().password2, ""); // not remembered: left alone
    EXPECT_EQ(dir.read("pavosz.cjf"), "diary\r\n\r\nhttps://example.org/\r\n 5 \r\n");
}

TEST_F(SettingsWindowTest, SavingTwiceWithoutChangesGivesIdenticalBytes) {
    dir.write("pavosz.cjf", "diary\r\nopen\r\nhttps://example.org/\r\n5\r\n");
    press(1);
    ASSERT_TRUE(closed());
    const std::string first = dir.read("pavosz.cjf");
    EXPECT_EQ(first, kFile);
    open();
    press(1);
    ASSERT_TRUE(closed());
    EXPECT_EQ(dir.read("pavosz.cjf"), first);
}

TEST_F(SettingsWindowTest, CancelAndTheCloseBoxStoreNothing) {
    setBox(0, "changed");
    setBox(4, "99");
    press(0);
    EXPECT_TRUE(closed());
    EXPECT_EQ(app.state().password, "diary");
    EXPECT_EQ(app.desk().dss, 5);
    open();
    EXPECT_EQ(box(0)->text(), "diary");
    setBox(0, "changed");
    form->close();
    EXPECT_TRUE(closed());
    EXPECT_EQ(app.state().password, "diary");
    EXPECT_TRUE(Prompts::shown().empty());
    EXPECT_EQ(dir.read("pavosz.cjf"), kFile);
}

TEST_F(SettingsWindowTest, EscCancelsAndThePasswordShowsStars) {
    EXPECT_EQ(box(1)->displayText(), "****");
    EXPECT_EQ(box(2)->displayText(), "****");
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    setBox(0, "changed");
    QTest::keyClick(box(0), Qt::Key_Escape);
    EXPECT_TRUE(closed());
    EXPECT_EQ(app.state().password, "diary");
    EXPECT_TRUE(Prompts::shown().empty());
}

TEST_F(SettingsWindowTest, FailedWriteKeepsTheFileAndTheWindowAndRollsBack) {
    setSafeWriteFaultForTests([](std::string_view step, const std::filesystem::path&) {
        return step == "write" ? std::string("No space left on device") : std::string();
    });
    setBox(0, "lost");
    setBox(4, "9");
    press(1);
    ASSERT_EQ(Prompts::shown().size(), 2u); // the question, then the failure
    const Notice& failure = Prompts::shown()[1];
    EXPECT_EQ(failure.title, "警告");
    EXPECT_NE(failure.text.find("pavosz.cjf"), std::string::npos);
    EXPECT_NE(failure.text.find("No space left on device"), std::string::npos);
    EXPECT_FALSE(closed());
    EXPECT_EQ(dir.read("pavosz.cjf"), kFile);
    EXPECT_EQ(app.state().password, "diary");
    EXPECT_EQ(app.desk().dss, 5);
    // The typed values are still there; once the disk is back, the same press saves them.
    setSafeWriteFaultForTests(nullptr);
    EXPECT_EQ(box(0)->text(), "lost");
    press(1);
    EXPECT_TRUE(closed());
    EXPECT_EQ(app.state().password, "lost");
    EXPECT_EQ(dir.read("pavosz.cjf"), "lost\r\nopen\r\nhttps://example.org/\r\n 9 \r\n");
}

TEST_F(SettingsWindowTest, NewIntervalCountsOnFromTheRunningCount) {
    DeskTimers timers(app.desk(), app.music(), app.clock());
    int checks = 0, lastCheckTick = 0, tick = 0;
    timers.onMemoCheck = [&] {
        ++checks;
        lastCheckTick = tick;
    };
    app.desk().dss = 1;
    form->close();
    ASSERT_TRUE(closed());
    for (tick = 1; tick <= 30; ++tick)
        timers.tickTimer2();
    ASSERT_EQ(app.desk().reminderTicks, 30);
    open();
    setBox(4, "5");
    press(1);
    ASSERT_TRUE(closed());
    EXPECT_EQ(app.desk().reminderTicks, 30);
    for (tick = 31; tick <= 300; ++tick)
        timers.tickTimer2();
    EXPECT_EQ(checks, 1);
    EXPECT_EQ(lastCheckTick, 300);
}

TEST_F(SettingsWindowTest, LauncherUsesTheNewAccessPasswordAtOnce) {
    setBox(1, "fresh");
    setBox(2, "fresh");
    press(1);
    ASSERT_TRUE(closed());
    Prompts::clearShown();
    Form2* launcher = app.launcher();
    launcher->show();
    launcher->clickItem(ItemSettings);
    auto* text = control<QLineEdit>(launcher, "Text1");
    QTest::keyClicks(text, "open");
    clickWidget(control<QPushButton>(launcher, "Command1(0)"));
    ASSERT_EQ(Prompts::shown().size(), 1u);
    EXPECT_EQ(Prompts::shown()[0].text, "密码错误!");
    EXPECT_TRUE(closed()); // the settings window did not open
    Prompts::clearShown();
    launcher->clickItem(ItemSettings);
    QTest::keyClicks(text, "fresh");
    clickWidget(control<QPushButton>(launcher, "Command1(0)"));
    EXPECT_TRUE(Prompts::shown().empty());
    EXPECT_FALSE(closed()); // the settings window is open again
}
