#include "app/form1.h"
#include "app/launcher_window.h"
#include "desk/desk_calendar_window.h"
#include "support/fake_mci.h"
#include "support/gui_helpers.h"
#include "support/temp_dir.h"
#include "ui/ui_names.h"
#include "ui/ui_prompts.h"
#include "ui/ui_style.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

namespace {

// Records the URLs the desktop would open.
class UrlSink : public QObject {
    Q_OBJECT
public:
    UrlSink() {
        QDesktopServices::setUrlHandler("http", this, "open");
        QDesktopServices::setUrlHandler("https", this, "open");
        QDesktopServices::setUrlHandler("file", this, "open");
        QDesktopServices::setUrlHandler("mailto", this, "open");
        QDesktopServices::setUrlHandler("ftp", this, "open");
        QDesktopServices::setUrlHandler("smb", this, "open");
    }
    ~UrlSink() override {
        for (const char* s : {"http", "https", "file", "mailto", "ftp", "smb"})
            QDesktopServices::unsetUrlHandler(s);
    }
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

class LauncherTest : public ::testing::Test {
protected:
    LauncherTest() : app(clock, std::make_unique<FakeMciDevice>()) {
        Prompts::clearShown();
        app.state().password3 = "pw";
        launcher = app.launcher();
        launcher->show();
    }
    QLabel* item(int i) { return control<QLabel>(launcher, arrayName("Label1", i)); }
    QFrame* frame(const char* name) { return control<QFrame>(launcher, name); }
    bool launcherClosed() {
        processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return app.window(WindowId::Form2) == nullptr;
    }

    TempWorkDir dir;
    FakeClock clock{{2026, 12, 8, 7, 5, 0, 0}};
    Form1 app;
    Form2* launcher;
};

} // namespace

TEST_F(LauncherTest, ControlsHaveTheirNamesOnce) {
    EXPECT_TRUE(duplicateControlNames(launcher).isEmpty());
    for (const char* name :
         {"Image1", "Frame1", "Label2", "Text1", "Check1", "Frame2", "Combo1(0)", "Combo1(1)", "Label3(1)", "Label3(2)",
          "Command1(0)", "Command1(1)", "Command2(0)", "Command2(1)", "Image2(9)", "Label1(9)"})
        EXPECT_NE(launcher->findChild<QWidget*>(name), nullptr) << name;
    EXPECT_EQ(item(9)->text(), "   备忘录 ");
    EXPECT_EQ(control<QCheckBox>(launcher, "Check1")->text(), "默认应用");
    EXPECT_EQ(control<QLineEdit>(launcher, "Text1")->echoMode(), QLineEdit::Password);
}

TEST_F(LauncherTest, UnguardedItemsNeverShowThePasswordPanel) {
    UrlSink sink;
    for (int i : {ItemHelp, ItemAbout, ItemBrowser, ItemEncryptor, ItemAlarm}) {
        launcher = app.launcher();
        launcher->show();
        clickWidget(item(i));
        EXPECT_FALSE(frame("Frame1")->isVisible()) << i;
    }
}

TEST_F(LauncherTest, PasswordPanelOpensUnderTheItemAndChecksThePassword) {
    clickWidget(item(ItemMemoBook));
    QFrame* panel = frame("Frame1");
    ASSERT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->y(), item(ItemMemoBook)->y() + item(ItemMemoBook)->height());
    EXPECT_EQ(panel->x(), 4); // 60 twips
    EXPECT_GE(launcher->height(), panel->y() + panel->height());
    auto* text = control<QLineEdit>(launcher, "Text1");
    QTest::keyClicks(text, "nope");
    clickWidget(control<QPushButton>(launcher, "Command1(0)"));
    ASSERT_EQ(Prompts::shown().size(), 1u);
    EXPECT_EQ(Prompts::shown()[0].text, "密码错误!");
    EXPECT_EQ(Prompts::shown()[0].title, "警告");
    EXPECT_TRUE(panel->isVisible()); // for the next try
    EXPECT_TRUE(text->text().isEmpty());
    EXPECT_FALSE(launcherClosed());

    // The settings item puts the panel 160 twips higher.
    clickWidget(item(ItemSettings));
    EXPECT_EQ(panel->y(), item(ItemSettings)->y() + item(ItemSettings)->height() - 10);
    // Enter in the box acts as OK.
    QTest::keyClicks(text, "pw");
    QTest::keyClick(text, Qt::Key_Return);
    EXPECT_EQ(Prompts::shown().size(), 1u);
    EXPECT_TRUE(launcherClosed());
}

TEST_F(LauncherTest, WrongPasswordKeepsTheLauncherWhenTheFocusFallsOnTheCalendar) {
    Form3* desk = app.showDeskCalendar(); // its focus closes the launcher: open it again above
    ASSERT_TRUE(launcherClosed());
    launcher = app.launcher();
    launcher->show();
    launcher->activateWindow();
    clickWidget(item(ItemDiary));
    auto* text = control<QLineEdit>(launcher, "Text1");
    QTest::keyClicks(text, "nope");
    QTest::keyClick(text, Qt::Key_Return);
    ASSERT_EQ(Prompts::shown().size(), 1u);
    // The box closes and the window system hands the focus to the desk calendar.
    desk->activateWindow();
    processEvents();
    ASSERT_FALSE(launcherClosed());
    (void)QTest::qWaitFor([&] { return launcher->isActiveWindow(); }, 500);
    EXPECT_TRUE(launcher->isActiveWindow());
    EXPECT_TRUE(text->hasFocus());
    EXPECT_TRUE(text->text().isEmpty());
    // A click on the calendar afterwards still dismisses it.
    desk->activateWindow();
    (void)QTest::qWaitFor([&] { return launcherClosed(); }, 500);
    EXPECT_TRUE(launcherClosed());
}

TEST_F(LauncherTest, PasswordIsMaskedWithStarsAndEscCancelsEachPanel) {
    launcher->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(launcher));
    clickWidget(item(ItemMemoBook));
    auto* text = control<QLineEdit>(launcher, "Text1");
    QTest::keyClicks(text, "abc");
    EXPECT_EQ(text->displayText(), "***");
    QTest::keyClick(text, Qt::Key_Escape);
    EXPECT_FALSE(frame("Frame1")->isVisible());
    EXPECT_TRUE(text->text().isEmpty());
    clickWidget(item(ItemAlarm));
    ASSERT_TRUE(frame("Frame2")->isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(frame("Frame2")->isVisible());
    EXPECT_EQ(app.desk().dshh, "--");
    EXPECT_FALSE(launcherClosed());
}

TEST_F(LauncherTest, MessageBoxesSpeakChineseShowTheirTitleAndEscAnswersNo) {
    clickWidget(item(ItemDiary));
    QTest::keyClicks(control<QLineEdit>(launcher, "Text1"), "nope");
    QTest::keyClick(control<QLineEdit>(launcher, "Text1"), Qt::Key_Return);
    ASSERT_EQ(Prompts::shown().size(), 1u);
    // Qt's own Chinese texts are not loaded here: the boxes carry theirs.
    std::unique_ptr<QMessageBox> wrong(Prompts::makeBox(launcher, Prompts::shown()[0]));
    wrong->show();
    processEvents();
    ASSERT_EQ(wrong->buttons().size(), 1);
    EXPECT_EQ(wrong->buttons()[0]->text(), "确定");
    EXPECT_GE(wrong->width(), wrong->fontMetrics().horizontalAdvance("警告") + 180);
    std::unique_ptr<QMessageBox> question(
        Prompts::makeBox(launcher, Notice{"提醒", "保存?", NoticeIcon::Question, NoticeButtons::YesNo}));
    question->show();
    processEvents();
    QStringList texts;
    for (QAbstractButton* b : question->buttons())
        texts << b->text();
    texts.sort();
    EXPECT_EQ(texts, (QStringList{"否", "是"}));
    QTest::keyClick(question.get(), Qt::Key_Escape);
    EXPECT_EQ(question->result(), QMessageBox::No);
    // Where Qt's translation is installed, it is loaded for every other text Qt shows.
    ASSERT_TRUE(loadQtChineseTexts());
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "取消");
}

TEST_F(LauncherTest, RememberedPasswordPrefillsTheNextPanel) {
    clickWidget(item(ItemDiary));
    control<QCheckBox>(launcher, "Check1")->setChecked(true);
    QTest::keyClicks(control<QLineEdit>(launcher, "Text1"), "wrong");
    clickWidget(control<QPushButton>(launcher, "Command1(0)"));
    EXPECT_TRUE(app.state().mryy);
    EXPECT_EQ(app.state().password2, "wrong");
    clickWidget(item(ItemAddressBook));
    EXPECT_EQ(control<QLineEdit>(launcher, "Text1")->text(), "wrong");
    clickWidget(control<QPushButton>(launcher, "Command1(1)"));
    EXPECT_FALSE(frame("Frame1")->isVisible());
    EXPECT_TRUE(control<QLineEdit>(launcher, "Text1")->text().isEmpty());
}

TEST_F(LauncherTest, BrowserAndHelpOpenThroughTheDesktop) {
    dir.write("pavo.htm", "<html></html>");
    dir.write("start page.htm", "<html></html>");
    const QUrl local = QUrl::fromLocalFile(QString::fromStdString((dir / "start page.htm").string()));
    dir.write("docs/program", "#!/bin/sh\n");
    std::filesystem::permissions(dir / "docs/program", std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
    const QUrl folder = QUrl::fromLocalFile(QString::fromStdString((dir / "docs").string()));
    const std::pair<std::string, QUrl> cases[] = {
        {"https://www.example.org/start", QUrl("https://www.example.org/start")},
        {"www.example.org", QUrl("http://www.example.org")},
        {" example.org:8080/a ", QUrl("http://example.org:8080/a")},
        {"mailto:me@example.org", QUrl("mailto:me@example.org")},
        {"start page.htm", local},
        {"missing page.htm", QUrl()},
        {"ftp://example.org/x", QUrl("ftp://example.org/x")},
        {"smb://server/share", QUrl("smb://server/share")},
        {"docs", folder},
        {"docs/program", QUrl()},
        {folder.toString().toStdString() + "/program", QUrl()},
        {"javascript:alert(1)", QUrl()},
        {"file:///no/such/file.htm", QUrl()},
    };
    for (const auto& [mrurl, expected] : cases) {
        UrlSink sink;
        app.state().MRURL = mrurl;
        launcher = app.launcher();
        launcher->show();
        clickWidget(item(ItemBrowser));
        EXPECT_EQ(sink.urls, expected.isEmpty() ? QList<QUrl>() : QList<QUrl>{expected}) << mrurl;
        EXPECT_TRUE(launcherClosed());
    }
    UrlSink sink;
    launcher = app.launcher();
    launcher->show();
    clickWidget(item(ItemHelp));
    ASSERT_EQ(sink.urls.size(), 1);
    EXPECT_EQ(sink.urls[0], QUrl::fromLocalFile(QString::fromStdString((dir / "pavo.htm").string())));
}

TEST_F(LauncherTest, AlarmPanelSetsAndTheItemTurnsItOff) {
    clickWidget(item(ItemAlarm));
    QFrame* panel = frame("Frame2");
    ASSERT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->y(), item(ItemAlarm)->y() + 16); // 240 twips
    EXPECT_EQ(control<QComboBox>(launcher, "Combo1(0)")->currentText(), "07");
    EXPECT_EQ(control<QComboBox>(launcher, "Combo1(1)")->currentText(), "05");
    EXPECT_EQ(control<QComboBox>(launcher, "Combo1(0)")->count(), 25);
    EXPECT_EQ(control<QComboBox>(launcher, "Combo1(1)")->count(), 61);
    control<QComboBox>(launcher, "Combo1(1)")->setCurrentText("--");
    clickWidget(control<QPushButton>(launcher, "Command2(0)"));
    EXPECT_EQ(app.desk().dshh, "07");
    EXPECT_EQ(app.desk().dsmm, "--");
    EXPECT_FALSE(launcher->isVisible());
    EXPECT_FALSE(launcherClosed()); // hidden, not closed

    // The next opening reads "关定时 "; clicking it clears the alarm without the panel.
    app.closeLauncher();
    ASSERT_TRUE(launcherClosed());
    launcher = app.launcher();
    launcher->show();
    EXPECT_EQ(item(ItemAlarm)->text(), "关定时 ");
    app.desk().txyybz = true;
    clickWidget(item(ItemAlarm));
    EXPECT_FALSE(frame("Frame2")->isVisible());
    EXPECT_EQ(app.desk().dshh, "--");
    EXPECT_FALSE(app.desk().txyybz);
    EXPECT_TRUE(launcherClosed());
}

TEST_F(LauncherTest, HoverHighlightsOneItem) {
    moveOver(item(3));
    QTest::mouseMove(item(3));
    EXPECT_TRUE(item(3)->font().bold());
    EXPECT_EQ(item(3)->frameShape(), QFrame::Box);
    moveOver(item(5));
    QTest::mouseMove(item(5));
    EXPECT_FALSE(item(3)->font().bold());
    EXPECT_TRUE(item(5)->font().bold());
    moveOver(launcher, QPoint(launcher->width() - 2, launcher->height() - 2));
    EXPECT_FALSE(item(5)->font().bold());
}

#include "test_launcher_window.moc"

// A launcher low on the screen moves up when a panel makes it grow; Esc without a panel closes it; the
// alarm item of a launcher hidden by the alarm panel's OK reads "关定时 " when it is shown again.
TEST_F(LauncherTest, PanelsStayOnTheScreenEscClosesAndTheAlarmCaptionFollows) {
    const QRect area = launcher->screen()->availableGeometry();
    launcher->move(area.left() + 20, area.bottom() + 1 - launcher->height());
    clickWidget(item(ItemMemoBook));
    ASSERT_TRUE(frame("Frame1")->isVisible());
    EXPECT_TRUE(area.contains(launcher->frameGeometry())) << launcher->frameGeometry().bottom();
    clickWidget(item(ItemAlarm));
    EXPECT_TRUE(area.contains(launcher->frameGeometry()));
    clickWidget(control<QPushButton>(launcher, "Command2(0)"));
    ASSERT_FALSE(launcher->isVisible());
    launcher->show();
    EXPECT_EQ(item(ItemAlarm)->text(), "关定时 ");

    launcher->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(launcher));
    QTest::keyClick(launcher, Qt::Key_Escape);
    EXPECT_TRUE(launcherClosed());
}
