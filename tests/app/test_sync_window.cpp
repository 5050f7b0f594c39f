// "同步" from the launcher and the tray menu with a stand-in for quillet-cli that answers after a moment: the
// windows keep working meanwhile, an open memo book and address book take the new files with what is being
// typed, and the outcome is one message box.
#include "addressbook/address_book_window.h"
#include "app/form1.h"
#include "app/sync_runner.h"
#include "app/tray_icon.h"
#include "memo/memo_book_window.h"
#include "memo/memo_line.h"
#include "support/build_paths.h"
#include "support/fake_mci.h"
#include "support/gui_helpers.h"
#include "support/temp_dir.h"
#include "sync/vdirsyncer_config.h"
#include "ui/ui_names.h"
#include "ui/ui_prompts.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <filesystem>

namespace {

std::string memo(int n, const std::string& text) {
    return buildMemoLine(memoNumber(n), "2026121009", text, "F", "2026120808") + "\r\n";
}

std::string card(int n, const std::string& nickname) {
    return "%0" + std::to_string(n) + "%" + nickname + "%%%%%%%%%%%%######\r\n";
}

class SyncWindowTest : public ::testing::Test {
protected:
    SyncWindowTest() : oldConfig(qgetenv("XDG_CONFIG_HOME")) {
        Prompts::clearShown();
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((dir / "config").string()));
        dir.write("config/quillet/vdirsyncer.conf", "# quillet vdir: /nowhere\n");
        dir.write("bwl/bwl.cjf", gb(memo(1, "早会")));
        dir.write("txl/txl.cjf", gb(card(1, "老王")));
    }
    ~SyncWindowTest() override { qputenv("XDG_CONFIG_HOME", oldConfig); }

    // The stand-in: after a pause (seconds) it puts the files under "next/" in place and says `say`, then exits with
    // `code`. Each is a file of its own, so a run going on keeps reading the one it started.
    void standIn(const std::string& say, int code = 0, const std::string& pause = "1") {
        const std::string name = "quillet-cli-" + std::to_string(++standIns);
        const std::filesystem::path script = dir / name;
        dir.write(name, "#!/bin/sh\n[ \"$1 $3\" = \"--data sync\" ] || exit 9\necho run >>\"$2/runs\"\nsleep " + pause +
                            "\n[ -d \"$2/next\" ] && cp -r \"$2/next/.\" \"$2/\"\n" + say + "\nexit " +
                            std::to_string(code) + "\n");
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        app.syncRunner().setProgram(QString::fromStdString(script.string()));
    }
    bool waitForNotice() {
        return QTest::qWaitFor(
            [] {
                const std::vector<Notice>& shown = Prompts::shown();
                return !shown.empty() && (shown.back().title == "警告" || shown.back().text.starts_with("同步完成"));
            },
            10000);
    }
    void clickSyncItem() {
        Form2* launcher = app.launcher();
        launcher->show();
        clickWidget(control(launcher, "Label1(10)"));
        processEvents();
    }

    TempWorkDir dir;
    QByteArray oldConfig;
    int standIns = 0;
    FakeClock clock{{2026, 12, 8, 8, 5, 0, 0}};
    Form1 app{clock, std::make_unique<FakeMciDevice>()};
};

} // namespace

TEST_F(SyncWindowTest, TheLauncherItemSyncsInTheBackgroundAndTheBooksKeepWhatIsTyped) {
    standIn("echo 'sync: Quillet: created 2, updated 0, deleted 0; vdir: created 0, updated 3, deleted 1; "
            "conflicts 0'");
    dir.write("next/bwl/bwl.cjf", gb(memo(1, "早会") + memo(2, "来自手机")));
    dir.write("next/txl/txl.cjf", gb(card(1, "老王") + card(2, "小李")));
    app.openMemoBook();
    Form6* book = app.windowAs<Form6>(WindowId::Form6);
    clickWidget(control(book, "Command1"));
    typeText(control(book, "Text1"), "写了一半");
    app.openAddressBook();
    Form8* cards = app.windowAs<Form8>(WindowId::Form8);
    clickWidget(cards->findChild<QToolBar*>("Toolbar1")->widgetForAction(cards->findChild<QAction*>("tbianjiye")));
    control<QLineEdit>(cards, "Text1(2)")->setFocus();
    typeText(control(cards, "Text1(2)"), "王五");

    clickSyncItem();
    ASSERT_TRUE(app.syncRunner().running());
    // The windows answer while it runs: a second request is told that one is running.
    clickSyncItem();
    ASSERT_EQ(Prompts::shown().size(), 1u);
    EXPECT_EQ(Prompts::shown()[0].text, "同步正在进行,请稍候。");
    EXPECT_TRUE(app.syncRunner().running());

    ASSERT_TRUE(waitForNotice());
    const Notice& done = Prompts::shown().back();
    EXPECT_EQ(done.title, "提示");
    EXPECT_NE(done.text.find("本机收到: 新增 2 条, 更改 0 条, 删除 0 条"), std::string::npos) << done.text;
    EXPECT_NE(done.text.find("发往服务器: 新增 0 条, 更改 3 条, 删除 1 条"), std::string::npos) << done.text;

    book = app.windowAs<Form6>(WindowId::Form6);
    ASSERT_NE(book, nullptr);
    EXPECT_EQ(control<QLabel>(book, "Label4(5)")->text(), "来自手机");
    EXPECT_EQ(control<QPlainTextEdit>(book, "Text1")->toPlainText(), "写了一半");
    EXPECT_FALSE(control<QPlainTextEdit>(book, "Text1")->isReadOnly());
    // The address book holds the new card, and card 1 stays open with its edit.
    EXPECT_EQ(cards->cards().count(), 2);
    EXPECT_EQ(control<QLineEdit>(cards, "Text1(2)")->text(), "王五");
    EXPECT_FALSE(control<QLineEdit>(cards, "Text1(2)")->isReadOnly());
    EXPECT_EQ(control<QComboBox>(cards, "Combo1")->itemText(1), "小李");
}

TEST_F(SyncWindowTest, AFailingRunFromTheTrayMenuGivesAWarningWithTheReason) {
    standIn("echo 'quillet-cli: sync: nothing more done: bwl/bwl.cjf: Permission denied' >&2", 1);
    TrayIcon tray(app, dir / "autostart/q.desktop", "/usr/bin/quillet");
    QAction* sync = nullptr;
    for (QAction* a : tray.menu()->actions())
        if (a->text() == "同步")
            sync = a;
    ASSERT_NE(sync, nullptr);
    tray.menu()->popup(QPoint(100, 100));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(tray.menu()));
    QTest::mouseClick(tray.menu(), Qt::LeftButton, {}, tray.menu()->actionGeometry(sync).center());
    ASSERT_TRUE(waitForNotice());
    const Notice& failed = Prompts::shown().back();
    EXPECT_EQ(failed.title, "警告");
    EXPECT_EQ(failed.text, "同步未能完成:\nsync: nothing more done: bwl/bwl.cjf: Permission denied\n");
}

TEST_F(SyncWindowTest, WithoutAServerThereIsNoSyncItem) {
    std::filesystem::remove(dir / "config/quillet/vdirsyncer.conf");
    EXPECT_EQ(app.launcher()->findChild<QLabel*>("Label1(10)"), nullptr);
    TrayIcon tray(app, dir / "autostart/q.desktop", "/usr/bin/quillet");
    for (QAction* a : tray.menu()->actions())
        EXPECT_FALSE(a->text() == "同步" && a->isVisible());
}

// A change being typed stays tied to its memo when the sync removed an earlier one and the numbers moved up.
TEST_F(SyncWindowTest, AChangeBeingTypedFollowsItsMemoToItsNewNumber) {
    dir.write("bwl/bwl.cjf", gb(memo(1, "早会") + memo(2, "午会")));
    dir.write("next/bwl/bwl.cjf", gb(memo(1, "午会")));
    standIn("echo 'sync: Quillet: created 0, updated 0, deleted 1; vdir: created 0, updated 0, deleted 0; "
            "conflicts 0'");
    app.openMemoBook();
    Form6* book = app.windowAs<Form6>(WindowId::Form6);
    pressWidget(control(book, "Label4(5)"), Qt::RightButton, QPoint(5, 5));
    clickWidget(control(book, "Label2(1)")); // "更  改 "
    typeText(control(book, "Text1"), "改到下午");
    clickSyncItem();
    ASSERT_TRUE(waitForNotice());
    book = app.windowAs<Form6>(WindowId::Form6);
    clickWidget(control(book, "Command1")); // "保存备忘"
    EXPECT_EQ(dir.read("bwl/bwl.cjf"),
              gb(buildMemoLine(memoNumber(1), "2026121009", "改到下午午会", "F", "2026120808") + "\r\n"));
}

// The interval's runs say nothing when they succeed and a failure once, until a run succeeds again.
TEST_F(SyncWindowTest, TheIntervalTellsAFailureOnceAndASuccessNothing) {
    dir.write("config/quillet/sync.conf", "interval=1\n");
    standIn("echo 'quillet-cli: the server is away' >&2", 1, "0.1");
    auto* minute = app.syncRunner().findChild<QTimer*>();
    ASSERT_NE(minute, nullptr);
    minute->start(50); // a minute passes quickly here
    const auto runs = [&] {
        const std::string text = dir.exists("runs") ? dir.read("runs") : std::string();
        return std::count(text.begin(), text.end(), '\n');
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return runs() >= 3 && !app.syncRunner().running(); }, 15000));
    ASSERT_EQ(Prompts::shown().size(), 1u);
    EXPECT_EQ(Prompts::shown()[0].title, "警告");
    standIn("echo 'sync: Quillet: created 0, updated 0, deleted 0; vdir: created 0, updated 0, deleted 0; conflicts 0'",
            0, "0.1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return runs() >= 5 && !app.syncRunner().running(); }, 15000));
    standIn("echo 'quillet-cli: the server is away' >&2", 1, "0.1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Prompts::shown().size() == 2u; }, 15000));
    EXPECT_EQ(Prompts::shown()[1].title, "警告");
}

// The real quillet-cli with a server that does not answer: the memo reaches the vdir, vdirsyncer's failure is the
// warning's reason and the vdir's count follows it.
TEST_F(SyncWindowTest, TheRealCommandLineToolsFailureReachesTheWarning) {
    dir.write("config/quillet/vdirsyncer.conf",
              vdirsyncerConfig({"http://127.0.0.1:9/", "user", "echo x"}, dir / "sync/vdir",
                               dir / "config/quillet/vdirsyncer-status"));
    app.syncRunner().setProgram(QString::fromStdString(cliProgram()));
    clickSyncItem();
    ASSERT_TRUE(waitForNotice());
    const Notice& failed = Prompts::shown().back();
    EXPECT_EQ(failed.title, "警告");
    EXPECT_NE(failed.text.find("vdirsyncer"), std::string::npos) << failed.text;
    EXPECT_NE(failed.text.find("发往服务器: 新增 2 条"), std::string::npos) << failed.text;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "sync/vdir/memos"), {}), 1);
}

// A new card being typed stays on screen after the cards the sync brought, and its save keeps them all.
TEST_F(SyncWindowTest, ANewCardBeingTypedComesAfterTheCardsTheSyncBrought) {
    standIn("echo 'sync: Quillet: created 1, updated 0, deleted 0; vdir: created 0, updated 0, deleted 0; "
            "conflicts 0'");
    dir.write("next/txl/txl.cjf", gb(card(1, "老王") + card(2, "小李")));
    app.openAddressBook();
    Form8* cards = app.windowAs<Form8>(WindowId::Form8);
    auto* toolbar = cards->findChild<QToolBar*>("Toolbar1");
    clickWidget(toolbar->widgetForAction(cards->findChild<QAction*>("txinjianye")));
    typeText(control(cards, "Text1(1)"), "新朋友");
    clickSyncItem();
    ASSERT_TRUE(waitForNotice());
    EXPECT_EQ(control<QLineEdit>(cards, "Text1(0)")->text(), "03");
    EXPECT_EQ(control<QLineEdit>(cards, "Text1(1)")->text(), "新朋友");
    clickWidget(toolbar->widgetForAction(cards->findChild<QAction*>("tbaocun"))); // "敬告" answered Yes
    EXPECT_EQ(dir.read("txl/txl.cjf"), gb(card(1, "老王") + card(2, "小李") + card(3, "新朋友")));
}

// While a message box waits for an answer the books are left as they are, and read again once it is answered.
TEST_F(SyncWindowTest, TheBooksWaitForAMessageBoxToBeAnswered) {
    standIn("echo 'sync: Quillet: created 1, updated 0, deleted 0; vdir: created 0, updated 0, deleted 0; "
            "conflicts 0'");
    dir.write("next/bwl/bwl.cjf", gb(memo(1, "早会") + memo(2, "来自手机")));
    app.openMemoBook();
    QPointer<QWidget> book = app.window(WindowId::Form6);
    clickSyncItem();
    QDialog box;
    box.setModal(true);
    box.show();
    ASSERT_TRUE(waitForNotice());
    processEvents();
    EXPECT_EQ(app.window(WindowId::Form6), book.data());
    box.accept();
    ASSERT_TRUE(QTest::qWaitFor([&] { return book.isNull(); }, 3000));
    EXPECT_EQ(control<QLabel>(app.window(WindowId::Form6), "Label4(5)")->text(), "来自手机");
}
