#include "app/form1.h"
#include "app/launcher_window.h"
#include "desk/desk_calendar_window.h"
#include "support/fake_mci.h"
#include "support/gui_helpers.h"
#include "support/temp_dir.h"
#include "ui/ui_names.h"
#include "ui/ui_prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
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
    }
    ~UrlSink() override {
        for (const char* s : {"http", "https", "file"})
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
    EXPECT_FALSE(panel->isVisible());
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
    UrlSink sink;
    app.state().MRURL = "https://www.example.org/start";
    clickWidget(item(ItemBrowser));
    ASSERT_EQ(sink.urls.size(), 1);
    EXPECT_EQ(sink.urls[0], QUrl("https://www.example.org/start"));
    EXPECT_TRUE(launcherClosed());
    launcher = app.launcher();
    launcher->show();
    clickWidget(item(ItemHelp));
    ASSERT_EQ(sink.urls.size(), 2);
    EXPECT_EQ(sink.urls[1], QUrl::fromLocalFile(QString::fromStdString((dir / "pavo.htm").string())));
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
