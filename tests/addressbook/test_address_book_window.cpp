// Form8 offscreen, driven through its toolbar, list, boxes and export options.
#include "addressbook/address_book_window.h"
#include "addressbook/photo_picker_window.h"
#include "app/form1.h"
#include "common/safe_write.h"
#include "support/fake_mci.h"
#include "support/gui_helpers.h"
#include "support/temp_dir.h"
#include "ui/ui_names.h"
#include "ui/ui_prompts.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <algorithm>

namespace {

// Records the links the desktop would open.
class UrlSink : public QObject {
    Q_OBJECT
public:
    UrlSink() {
        for (const char* s : {"http", "https", "mailto", "file", "ftp"})
            QDesktopServices::setUrlHandler(s, this, "open");
    }
    ~UrlSink() override {
        for (const char* s : {"http", "https", "mailto", "file", "ftp"})
            QDesktopServices::unsetUrlHandler(s);
    }
    QStringList urls;
public slots:
    void open(const QUrl& url) { urls << url.toString(); }
};

std::string cardLine(const std::string& serial, const std::string& nickname, const std::string& name = "",
                     const std::string& email = "", const std::string& photo = "######") {
    return "%" + serial + "%" + nickname + "%" + name + "%%%%%%%%" + email + "%%%" + photo;
}

const char* kKeys[10] = {"tqianyiye", "thouyiye", "tbianjiye", "txinjianye", "tdiaoruzhaopian",
                         "tbaocun",   "tsousuo",  "tdaochu",   "tdiuqi",     "tguanbi"};

class AddressBookWindowTest : public ::testing::Test {
protected:
    void SetUp() override { Prompts::clearShown(); }
    void writeCards(const std::vector<std::string>& nicknames) {
        std::string bytes;
        for (std::size_t k = 0; k < nicknames.size(); ++k)
            bytes +=
                cardLine(newSerialNumber(static_cast<int>(k)), nicknames[k], "名" + std::to_string(k + 1)) + "\r\n";
        dir.write("txl/txl.cjf", gb(bytes));
    }
    Form8* open() {
        app.openAddressBook();
        Form8* w = app.windowAs<Form8>(WindowId::Form8);
        EXPECT_NE(w, nullptr);
        processEvents();
        return w;
    }
    template <class T = QWidget> T* c(Form8* w, const QString& name) { return control<T>(w, name); }
    QLineEdit* box(Form8* w, int i) { return c<QLineEdit>(w, arrayName("Text1", i)); }
    QComboBox* list(Form8* w) { return c<QComboBox>(w, "Combo1"); }
    // Clicks the toolbar button of a key.
    void command(Form8* w, const char* key) {
        auto* action = w->findChild<QAction*>(key);
        ASSERT_NE(action, nullptr) << key;
        clickWidget(c<QToolBar>(w, "Toolbar1")->widgetForAction(action));
        processEvents();
    }
    void type(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        typeText(edit, text);
    }
    // Picks list entry i as the user would, from the drop-down.
    void pick(Form8* w, int i) {
        QComboBox* combo = list(w);
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(combo->model()->index(i, 0)).center());
        processEvents();
    }
    // Types into the list as the keyboard does (the list holds the focus) and presses Enter.
    void enterInList(Form8* w, const QString& text) {
        QComboBox* combo = list(w);
        combo->setFocus();
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo, text);
        QTest::keyClick(combo, Qt::Key_Return);
        processEvents();
    }
    bool locked(Form8* w) {
        for (int i = 1; i <= 12; ++i)
            if (!box(w, i)->isReadOnly())
                return false;
        return true;
    }
    // The picker the address book opened, when one is shown.
    static Form11* openPicker() {
        for (QWidget* t : QApplication::topLevelWidgets())
            if (auto* picker = qobject_cast<Form11*>(t); picker && picker->isVisible())
                return picker;
        return nullptr;
    }
    QColor colour(Form8* w, int i) { return box(w, i)->palette().color(QPalette::Base); }
    std::string fileText() { return dir.read("txl/txl.cjf"); }

    TempWorkDir dir;
    FakeClock clock{LocalDateTime{2003, 5, 12, 10, 0}};
    Form1 app{clock, std::make_unique<FakeMciDevice>()};
};

const QColor kCyan(0xC0, 0xFF, 0xFF), kBlue(0xC0, 0xC0, 0xFF), kWhite(0xFF, 0xFF, 0xFF);

} // namespace

TEST_F(AddressBookWindowTest, ControlsTitleAndStartingLook) {
    writeCards({"老张", "小李"});
    Form8* w = open();
    EXPECT_EQ(w->objectName(), "Form8");
    EXPECT_EQ(w->windowTitle(), "☆Quillet>>通讯录" + QString(18, ' ') + "Orlin工作室");
    EXPECT_TRUE(duplicateControlNames(w).isEmpty()) << duplicateControlNames(w).join(",").toStdString();
    const QStringList labels = {"前一页", "后一页", "编辑页",   "新建页", "调入照片",
                                "保存",   "搜索",   "导出文本", "丢弃",   "关闭"};
    const QList<QAction*> actions = c<QToolBar>(w, "Toolbar1")->actions();
    ASSERT_EQ(actions.size(), 10);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(actions[i]->objectName(), kKeys[i]);
        EXPECT_EQ(actions[i]->text(), labels[i]);
        EXPECT_FALSE(actions[i]->icon().isNull());
    }
    const int widths[13] = {4, 20, 14, 16, 14, 14, 12, 8, 30, 6, 40, 40, 40};
    for (int i = 0; i < 13; ++i) {
        EXPECT_EQ(box(w, i)->maxLength(), widths[i]) << i;
        EXPECT_TRUE(box(w, i)->isReadOnly()) << i;
        EXPECT_EQ(colour(w, i), kCyan) << i;
        const QColor text = i == 0 ? QColor(0, 0, 0x80) : i <= 9 ? QColor(0, 0x80, 0x80) : QColor(0, 0, 0xFF);
        EXPECT_EQ(box(w, i)->palette().color(QPalette::Text), text) << i;
    }
    EXPECT_EQ(c<QLabel>(w, "Label1(3)")->text(), "职务/称");
    EXPECT_EQ(c<QLabel>(w, "Label1(13)")->text(), " 照 片");
    EXPECT_EQ(c<QLabel>(w, "Label2")->text(), "记录");
    EXPECT_EQ(c<QLabel>(w, "Label3(1)")->text(), "(该项目暂不支持)");
    EXPECT_EQ(c<QGroupBox>(w, "Frame2")->title(), "导出选项");
    EXPECT_FALSE(c(w, "Frame2")->isVisible());
    EXPECT_FALSE(c(w, "Frame3")->isVisible());
    EXPECT_TRUE(c<QTimer>(w, "Timer1")->isSingleShot()); // runs after each change of the lock, not on its own
    EXPECT_EQ(w->width(), 441);
    EXPECT_EQ(c(w, "Image1")->size(), QSize(105, 89));
    EXPECT_EQ(list(w)->count(), 2);
    EXPECT_EQ(list(w)->currentText(), "老张");
    EXPECT_EQ(box(w, 0)->text(), "01");
    EXPECT_EQ(box(w, 2)->text(), "名1");
    EXPECT_EQ(w->zpfilename, "######");
}

TEST_F(AddressBookWindowTest, MissingBookOpensAnEmptyCardForEntry) {
    Form8* w = open();
    EXPECT_TRUE(dir.exists("txl/txl.cjf"));
    EXPECT_FALSE(locked(w));
    EXPECT_TRUE(box(w, 0)->isReadOnly());
    EXPECT_EQ(box(w, 0)->text(), "");
    EXPECT_EQ(list(w)->currentText(), "此处选择名片");
    type(box(w, 1), "老张");
    EXPECT_EQ(list(w)->currentText(), "老张"); // the list's text follows the nickname box
    Prompts::setNextAnswer(NoticeAnswer::Yes);
    command(w, "tbaocun");
    EXPECT_EQ(fileText(), gb("%01%老张" + std::string(11, '%') + "%######\r\n")); // numbered by its row
    EXPECT_TRUE(locked(w));
    EXPECT_EQ(list(w)->count(), 1);
}

TEST_F(AddressBookWindowTest, PagingWrapsAround) {
    writeCards({"一", "二", "三", "四", "五"});
    Form8* w = open();
    command(w, "tqianyiye");
    EXPECT_EQ(w->currentCard(), 5);
    EXPECT_EQ(box(w, 1)->text(), "五");
    EXPECT_EQ(list(w)->currentText(), "五");
    command(w, "thouyiye");
    EXPECT_EQ(w->currentCard(), 1);
    EXPECT_EQ(box(w, 0)->text(), "01");
    command(w, "thouyiye");
    EXPECT_EQ(box(w, 1)->text(), "二");
}

TEST_F(AddressBookWindowTest, PagingAnEmptyBookStaysOnTheEmptyCard) {
    writeCards({});
    Form8* w = open();
    command(w, "tqianyiye");
    EXPECT_EQ(w->currentCard(), 1);
    command(w, "thouyiye");
    EXPECT_EQ(w->currentCard(), 1);
    EXPECT_EQ(fileText(), "");
}

TEST_F(AddressBookWindowTest, NewCardGetsTheNextSerialAndSaveAddsIt) {
    writeCards({"一", "二", "三"});
    Form8* w = open();
    const std::string second = w->cards().uid(2);
    clickWidget(list(w)->lineEdit()); // the focus in the card list, as after a search
    command(w, "txinjianye");
    EXPECT_EQ(QApplication::focusWidget(), box(w, 1)); // typing goes into the new card's first field
    EXPECT_EQ(w->currentCard(), 4);
    EXPECT_EQ(box(w, 0)->text(), "04");
    EXPECT_FALSE(locked(w));
    for (int i = 1; i <= 12; ++i) {
        EXPECT_EQ(box(w, i)->text(), "");
        EXPECT_EQ(colour(w, i), i == 1 ? kBlue : kWhite); // the focused box is light blue
    }
    EXPECT_EQ(w->zpfilename, "######");
    EXPECT_EQ(list(w)->count(), 3);
    type(box(w, 1), "四");
    type(box(w, 2), "  王五  ");
    Prompts::setNextAnswer(NoticeAnswer::Yes);
    command(w, "tbaocun");
    ASSERT_EQ(Prompts::shown().size(), 1u);
    EXPECT_EQ(Prompts::shown()[0].title, "敬告");
    EXPECT_EQ(Prompts::shown()[0].text, "确实要保存名片编辑么?");
    EXPECT_EQ(Prompts::shown()[0].buttons, NoticeButtons::YesNo);
    EXPECT_EQ(w->cards().count(), 4);
    EXPECT_EQ(list(w)->count(), 4);
    EXPECT_EQ(list(w)->itemText(3), "四");
    EXPECT_TRUE(locked(w));
    EXPECT_EQ(colour(w, 5), kCyan);
    EXPECT_NE(fileText().find(gb("%04%四%王五%")), std::string::npos);
    EXPECT_EQ(w->cards().uid(2), second);
    EXPECT_FALSE(w->cards().uid(4).empty());
    EXPECT_NE(w->cards().uid(4), second);
}

TEST_F(AddressBookWindowTest, SaveInBrowseModeDoesNothingAndNoKeepsEditing) {
    writeCards({"一"});
    Form8* w = open();
    const std::string before = fileText();
    command(w, "tbaocun");
    EXPECT_TRUE(Prompts::shown().empty());
    command(w, "tbianjiye");
    EXPECT_FALSE(locked(w));
    type(box(w, 2), "改");
    Prompts::setNextAnswer(NoticeAnswer::No);
    command(w, "tbaocun");
    EXPECT_EQ(Prompts::shown().size(), 1u);
    EXPECT_FALSE(locked(w));
    EXPECT_EQ(fileText(), before);
}

TEST_F(AddressBookWindowTest, PercentSignIsRefusedNamingTheField) {
    writeCards({"一", "二"});
    Form8* w = open();
    const std::string before = fileText();
    command(w, "tbianjiye");
    type(box(w, 2), "50%");
    Prompts::setNextAnswer(NoticeAnswer::Yes);
    command(w, "tbaocun");
    ASSERT_EQ(Prompts::shown().size(), 2u);
    EXPECT_EQ(Prompts::shown()[1].title, "敬告");
    EXPECT_NE(Prompts::shown()[1].text.find("[姓名]"), std::string::npos);
    EXPECT_EQ(fileText(), before);
    EXPECT_FALSE(locked(w));
    // Paging away would store the value: it is refused the same way and the card stays.
    command(w, "thouyiye");
    EXPECT_EQ(w->currentCard(), 1);
    EXPECT_EQ(Prompts::shown().size(), 3u);
}

TEST_F(AddressBookWindowTest, EditsSurvivePagingAndReachTheFileWithTheNextSave) {
    writeCards({"一", "二", "三"});
    Form8* w = open();
    command(w, "thouyiye");
    command(w, "tbianjiye");
    type(box(w, 4), "010-1234");
    command(w, "thouyiye");
    EXPECT_FALSE(locked(w)); // paging keeps the mode
    type(box(w, 5), "020-5678");
    Prompts::setNextAnswer(NoticeAnswer::Yes);
    command(w, "tbaocun");
    const std::string file = fileText();
    EXPECT_NE(file.find(gb("%02%二%名2%%010-1234%")), std::string::npos);
    EXPECT_NE(file.find(gb("%03%三%名3%%%020-5678%")), std::string::npos);
}

TEST_F(AddressBookWindowTest, DiscardOfAnUnsavedNewCardDoesNothing) {
    writeCards({"一"});
    Form8* w = open();
    command(w, "txinjianye");
    command(w, "tdiuqi");
    EXPECT_TRUE(Prompts::shown().empty());
    EXPECT_EQ(w->cards().count(), 1);
}

TEST_F(AddressBookWindowTest, DiscardLeavesABlankLastEntry) {
    writeCards({"一", "二", "三"});
    Form8* w = open();
    const std::string third = w->cards().uid(3);
    command(w, "thouyiye");
    Prompts::setNextAnswer(NoticeAnswer::Yes);
    command(w, "tdiuqi");
    ASSERT_EQ(Prompts::shown().size(), 1u);
    EXPECT_EQ(Prompts::shown()[0].text, "确实要丢弃当前的名片吗?");
    EXPECT_EQ(w->cards().count(), 2);
    EXPECT_EQ(w->currentCard(), 1);
    ASSERT_EQ(list(w)->count(), 3);
    EXPECT_EQ(list(w)->itemText(0), "一");
    EXPECT_EQ(list(w)->itemText(1), "三");
    EXPECT_EQ(list(w)->itemText(2), "");
    EXPECT_EQ(w->cards().uid(2), third); // moved up with its identity
    EXPECT_EQ(fileText(), gb(cardLine("01", "一", "名1") + "\r\n" + cardLine("02", "三", "名3") + "\r\n"));
    EXPECT_EQ(dir.read("txl/mphs2003.cjf"), gb("记录[" + cardLine("02", "二", "名2") + "]已删除\r\n"));
    Prompts::clearShown();
    pick(w, 2);
    ASSERT_EQ(Prompts::shown().size(), 1u);
    EXPECT_EQ(Prompts::shown()[0].text, "你选择的记录为空记录或已经被删除！");
    EXPECT_EQ(Prompts::shown()[0].icon, NoticeIcon::Information);
    EXPECT_EQ(list(w)->currentText(), "一");
    EXPECT_EQ(w->currentCard(), 1);
}

TEST_F(AddressBookWindowTest, DiscardAnsweredNoChangesNothing) {
    writeCards({"一", "二"});
    Form8* w = open();
    const std::string before = fileText();
    Prompts::setNextAnswer(NoticeAnswer::No);
    command(w, "tdiuqi");
    EXPECT_EQ(fileText(), before);
    EXPECT_FALSE(dir.exists("txl/mphs2003.cjf"));
}

TEST_F(AddressBookWindowTest, PickingAnEntryShowsItsCard) {
    writeCards({"一", "二", "三"});
    Form8* w = open();
    pick(w, 2);
    EXPECT_EQ(w->currentCard(), 3);
    EXPECT_EQ(box(w, 2)->text(), "名3");
    EXPECT_TRUE(Prompts::shown().empty());
}

TEST_F(AddressBookWindowTest, SearchShowsTheLastMatch) {
    writeCards({"laozhang", "xiaoli", "laozhang", "xiaowang"});
    Form8* w = open();
    command(w, "tsousuo");
    EXPECT_TRUE(list(w)->hasFocus() || list(w)->lineEdit()->hasFocus());
    EXPECT_EQ(list(w)->currentText(), "请输入[姓名],然后回车确认!");
    enterInList(w, "laozhang");
    EXPECT_EQ(w->currentCard(), 3);
    EXPECT_EQ(box(w, 2)->text(), "名3");
    enterInList(w, "nobody");
    EXPECT_EQ(w->currentCard(), 3);
    EXPECT_TRUE(Prompts::shown().empty());
    EXPECT_EQ(list(w)->count(), 4); // Enter never adds an entry
}

TEST_F(AddressBookWindowTest, LinksOpenOnlyInBrowseModeAndOnlySafely) {
    auto links = [](const std::string& serial, const std::string& email, const std::string& home,
                    const std::string& corp) {
        return "%" + serial + std::string(9, '%') + "%" + email + "%" + home + "%" + corp + "%######\r\n";
    };
    dir.write("txl/txl.cjf", gb(links("01", "zs@example.cn", "www.zs.cn", "C:\\Windows\\calc.exe") +
                                links("02", "a b@c.cn", "file:///etc/passwd", "https://corp.cn/x") + "%03%丙\r\n"));
    UrlSink sink;
    Form8* w = open();
    for (int i : {10, 11, 12})
        clickWidget(box(w, i));
    EXPECT_EQ(sink.urls, (QStringList{"mailto:zs@example.cn", "http://www.zs.cn"}));
    sink.urls.clear();
    command(w, "thouyiye");
    for (int i : {10, 11, 12})
        clickWidget(box(w, i));
    EXPECT_EQ(sink.urls, QStringList{"https://corp.cn/x"});
    sink.urls.clear();
    command(w, "thouyiye"); // an empty card opens nothing
    for (int i : {10, 11, 12})
        clickWidget(box(w, i));
    command(w, "tqianyiye");
    command(w, "tqianyiye");
    command(w, "tbianjiye"); // in edit mode a click only places the cursor
    for (int i : {10, 11, 12})
        clickWidget(box(w, i));
    EXPECT_TRUE(sink.urls.isEmpty());
}

TEST_F(AddressBookWindowTest, FocusColoursAndArrowKeys) {
    writeCards({"一"});
    Form8* w = open();
    box(w, 3)->setFocus();
    processEvents();
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(colour(w, i), kCyan) << i;
    QTest::keyClick(box(w, 3), Qt::Key_Down);
    EXPECT_TRUE(box(w, 4)->hasFocus());
    QTest::keyClick(box(w, 4), Qt::Key_Up);
    EXPECT_TRUE(box(w, 3)->hasFocus());
    box(w, 12)->setFocus();
    QTest::keyClick(box(w, 12), Qt::Key_Down);
    EXPECT_TRUE(box(w, 1)->hasFocus());
    QTest::keyClick(box(w, 1), Qt::Key_Up);
    EXPECT_TRUE(box(w, 12)->hasFocus());
    box(w, 0)->setFocus();
    QTest::keyClick(box(w, 0), Qt::Key_Down);
    EXPECT_TRUE(box(w, 1)->hasFocus());
    command(w, "tbianjiye");
    box(w, 5)->setFocus();
    processEvents();
    EXPECT_EQ(colour(w, 5), kBlue);
    EXPECT_EQ(colour(w, 6), kWhite);
    box(w, 6)->setFocus();
    processEvents();
    EXPECT_EQ(colour(w, 5), kWhite);
    EXPECT_EQ(colour(w, 6), kBlue);
}

TEST_F(AddressBookWindowTest, TimerSetsTheCursorsByMode) {
    writeCards({"一"});
    Form8* w = open();
    QTest::qWait(150);
    for (int i : {10, 11, 12})
        EXPECT_EQ(box(w, i)->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(c(w, "Image1")->cursor().shape(), Qt::ArrowCursor);
    command(w, "tbianjiye");
    QTest::qWait(150);
    for (int i : {10, 11, 12})
        EXPECT_EQ(box(w, i)->cursor().shape(), Qt::IBeamCursor);
    EXPECT_EQ(c(w, "Image1")->cursor().shape(), Qt::BitmapCursor);
}

TEST_F(AddressBookWindowTest, ExportOptionsAndView) {
    writeCards({"老张", "小李"});
    Form8* w = open();
    command(w, "tdaochu");
    EXPECT_TRUE(c(w, "Frame2")->isVisible());
    EXPECT_TRUE(c<QRadioButton>(w, "Option1(1)")->isChecked());
    EXPECT_FALSE(c(w, "Option1(0)")->isEnabled());
    EXPECT_FALSE(c(w, "Option1(2)")->isEnabled());
    for (int i = 0; i < 14; ++i) {
        const bool common = i == 0 || (i >= 2 && i <= 7);
        EXPECT_EQ(c<QCheckBox>(w, arrayName("Check1", i))->isChecked(), common) << i;
        EXPECT_EQ(c<QCheckBox>(w, arrayName("Check1", i))->isEnabled(), common) << i;
    }
    for (int i = 3; i <= 7; ++i) {
        auto* check = c<QCheckBox>(w, arrayName("Check1", i));
        clickWidget(check, Qt::LeftButton, QPoint(8, check->height() / 2)); // on the tick box itself
    }
    clickWidget(c<QPushButton>(w, "Command1(0)"));
    EXPECT_FALSE(c(w, "Frame2")->isVisible());
    EXPECT_TRUE(c(w, "Frame3")->isVisible());
    EXPECT_EQ(w->width(), 687);
    const QString expected = QString(26, ' ') + "通讯录(2003-5-12)\n"
                                                "┌──┬───────┬────────┐\n"
                                                "│序号│姓名          │备注            │\n"
                                                "├──┼───────┼────────┤\n"
                                                "│01  │名1           │                │\n"
                                                "├──┼───────┼────────┤\n"
                                                "│02  │名2           │                │\n"
                                                "└──┴───────┴────────┘\n";
    EXPECT_EQ(c<QPlainTextEdit>(w, "Text2")->toPlainText(), expected);
    EXPECT_EQ(dir.read("dctxl.cjf"), gb(QString(expected).replace("\n", "\r\n").toStdString()) + "\r\n");
    clickWidget(c<QPushButton>(w, "Command2(0)"));
    ASSERT_EQ(Prompts::shown().size(), 1u);
    EXPECT_EQ(Prompts::shown()[0].title, "提醒");
    EXPECT_EQ(Prompts::shown()[0].text, "抱歉,暂不支持该功能!");
    clickWidget(c<QPushButton>(w, "Command2(1)"));
    EXPECT_EQ(w->width(), 441);
    EXPECT_FALSE(c(w, "Frame3")->isVisible());
    EXPECT_TRUE(c<QPlainTextEdit>(w, "Text2")->toPlainText().isEmpty());
    command(w, "tdaochu");
    clickWidget(c<QPushButton>(w, "Command1(1)"));
    EXPECT_FALSE(c(w, "Frame2")->isVisible());
}

TEST_F(AddressBookWindowTest, PhotosFallBackToTheDefault) {
    QImage red(20, 20, QImage::Format_RGB32);
    red.fill(Qt::red);
    dir.write("txl/txl.cjf",
              gb(cardLine("01", "甲", "", "", "zs.png") + "\r\n" + cardLine("02", "乙", "", "", "gone.jpg") + "\r\n" +
                 cardLine("03", "丙", "", "", "../../zs.png") + "\r\n"));
    std::filesystem::create_directories(dir / "txl/txlphoto");
    ASSERT_TRUE(red.save(QString::fromStdString((dir / "txl/txlphoto/zs.png").string())));
    Form8* w = open();
    auto* photo = c<QLabel>(w, "Image1");
    EXPECT_EQ(w->zpfilename, "zs.png");
    EXPECT_EQ(photo->pixmap().toImage().pixelColor(photo->pixmap().width() / 2, photo->pixmap().height() / 2),
              QColor(Qt::red));
    command(w, "thouyiye");
    EXPECT_EQ(w->zpfilename, "######"); // moren.gif is missing too: the built-in portrait is shown
    EXPECT_EQ(w->cards().field(2, 14), "######");
    EXPECT_FALSE(photo->pixmap().isNull());
    command(w, "thouyiye");
    EXPECT_EQ(w->zpfilename, "######");
    // The file changes only when a card is stored and saved.
    EXPECT_NE(fileText().find("gone.jpg"), std::string::npos);
}

TEST_F(AddressBookWindowTest, PhotoPickerOpensOnlyInEditMode) {
    writeCards({"一"});
    Form8* w = open();
    command(w, "tdiaoruzhaopian");
    clickWidget(c(w, "Image1"));
    EXPECT_EQ(w->findChild<Form11*>(), nullptr);
    EXPECT_EQ(openPicker(), nullptr);
    command(w, "tbianjiye");
    command(w, "tdiaoruzhaopian");
    Form11* picker = openPicker();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->order, 1);
    picker->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    clickWidget(c(w, "Image1"));
    picker = openPicker();
    ASSERT_NE(picker, nullptr);
    picker->close();
}

TEST_F(AddressBookWindowTest, ANewCardBeyondAThousandIsRefused) {
    writeCards(std::vector<std::string>(1000, "n"));
    Form8* w = open();
    command(w, "txinjianye");
    ASSERT_EQ(Prompts::shown().size(), 1u);
    EXPECT_EQ(Prompts::shown()[0].title, "敬告");
    EXPECT_EQ(w->currentCard(), 1);
    EXPECT_TRUE(locked(w));
    EXPECT_EQ(box(w, 0)->text(), "01");
}

TEST_F(AddressBookWindowTest, CloseButtonClosesTheWindow) {
    writeCards({"一"});
    Form8* w = open();
    command(w, "tguanbi");
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(app.window(WindowId::Form8), nullptr);
    (void)w;
}

// A save that fails must not leave a "已删除" line for a card that is still there.
TEST_F(AddressBookWindowTest, DiscardIsLoggedOnlyAfterTheSaveSucceeded) {
    writeCards({"一", "二"});
    Form8* w = open();
    const std::string before = fileText();
    setSafeWriteFaultForTests([](std::string_view step, const std::filesystem::path& target) {
        return step == "rename" && target.filename() == "txl.cjf" ? std::string("read-only file system")
                                                                  : std::string();
    });
    command(w, "tdiuqi"); // Yes, then the failure
    setSafeWriteFaultForTests(nullptr);
    ASSERT_EQ(Prompts::shown().size(), 2u);
    EXPECT_NE(Prompts::shown()[1].text.find("read-only file system"), std::string::npos);
    EXPECT_EQ(fileText(), before);
    EXPECT_FALSE(dir.exists("txl/mphs2003.cjf"));
    EXPECT_EQ(w->cards().count(), 2);
    EXPECT_EQ(box(w, 1)->text(), "一");
}

// A pasted private-use character that once stood for a raw "%" byte is no field mark in the file.
TEST_F(AddressBookWindowTest, PastedPrivateUseCharactersStayInTheirField) {
    writeCards({"一"});
    Form8* w = open();
    command(w, "tbianjiye");
    const QString odd = "50" + QString::fromUcs4(U"\U0010FF25\U0010FF0A");
    box(w, 2)->setFocus();
    box(w, 2)->selectAll();
    pasteText(box(w, 2), odd);
    command(w, "tbaocun"); // Yes
    const std::string bytes = fileText();
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '%'), 14);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 1);
    Form8* again = open();
    EXPECT_EQ(box(again, 2)->text(), odd);
}

// Another program may write txl.cjf while the book is open: a save carries the edits into what the file
// holds then, and a card changed on both sides is kept twice rather than lost.
TEST_F(AddressBookWindowTest, ChangesMadeElsewhereSinceLoadingAreKept) {
    writeCards({"一", "二"});
    Form8* w = open();
    writeCards({"一", "二", "外"});
    command(w, "tbianjiye");
    type(box(w, 2), "改名");
    command(w, "tbaocun"); // Yes, then the notice of the merge
    ASSERT_EQ(Prompts::shown().size(), 2u);
    EXPECT_EQ(Prompts::shown()[1].title, "敬告");
    EXPECT_EQ(fileText(), gb(cardLine("01", "一", "改名") + "\r\n" + cardLine("02", "二", "名2") + "\r\n" +
                             cardLine("03", "外", "名3") + "\r\n"));
    EXPECT_EQ(list(w)->itemText(2), "外");

    // Card 2 changed elsewhere while it is edited here: both versions stay.
    dir.write("txl/txl.cjf", gb(cardLine("01", "一", "改名") + "\r\n" + cardLine("02", "二", "别处") + "\r\n"));
    Prompts::clearShown();
    pick(w, 1);
    command(w, "tbianjiye");
    type(box(w, 2), "这里");
    command(w, "tbaocun");
    ASSERT_EQ(Prompts::shown().size(), 2u);
    EXPECT_NE(Prompts::shown()[1].text.find("两个版本"), std::string::npos);
    EXPECT_EQ(fileText(), gb(cardLine("01", "一", "改名") + "\r\n" + cardLine("02", "二", "别处") + "\r\n" +
                             cardLine("03", "二", "这里") + "\r\n"));

    // A card discarded here after it was changed elsewhere is not discarded.
    dir.write("txl/txl.cjf", gb(cardLine("01", "一", "又改") + "\r\n"));
    Prompts::clearShown();
    pick(w, 0);
    command(w, "tdiuqi");
    ASSERT_EQ(Prompts::shown().size(), 2u);
    EXPECT_NE(Prompts::shown()[1].text.find("没有丢弃"), std::string::npos);
    EXPECT_EQ(fileText(), gb(cardLine("01", "一", "又改") + "\r\n"));
    EXPECT_FALSE(dir.exists("txl/mphs2003.cjf"));
}

#include "test_address_book_window.moc"

// A .vcf file dragged from a file manager onto the card: the drag reaches the window as the platform delivers it.
TEST_F(AddressBookWindowTest, ADroppedVCardFileIsImportedAfterAQuestion) {
    writeCards({"一"});
    dir.write("new.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:王五\r\nNICKNAME:五哥\r\nEND:VCARD\r\n"
                         "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:赵六\r\nEND:VCARD\r\n");
    dir.write("other.txt", "BEGIN:VCARD\r\nFN:x\r\nEND:VCARD\r\n");
    dir.write("NONE.VCF", "not a vCard\r\n");
    Form8* w = open();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    const auto drag = [&](const char* file) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString((dir / file).string()))});
        const QPoint at = box(w, 2)->mapTo(w, box(w, 2)->rect().center());
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w->windowHandle(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w->windowHandle(), &drop);
        processEvents();
        return true;
    };
    EXPECT_FALSE(drag("other.txt"));
    ASSERT_TRUE(drag("NONE.VCF"));
    ASSERT_EQ(Prompts::shown().size(), 1u);
    EXPECT_TRUE(Prompts::shown()[0].text.starts_with("文件中没有名片:\n")) << Prompts::shown()[0].text;
    Prompts::clearShown();
    Prompts::setNextAnswer(NoticeAnswer::No);
    ASSERT_TRUE(drag("new.vcf"));
    ASSERT_EQ(Prompts::shown().size(), 1u);
    EXPECT_EQ(Prompts::shown()[0].text, "导入 2 张名片?");
    EXPECT_EQ(Prompts::shown()[0].buttons, NoticeButtons::YesNo);
    EXPECT_EQ(w->cards().count(), 1);
    Prompts::clearShown();
    Prompts::setNextAnswer(NoticeAnswer::Yes);
    ASSERT_TRUE(drag("new.vcf"));
    ASSERT_EQ(Prompts::shown().size(), 2u);
    EXPECT_EQ(Prompts::shown()[1].text, "导入了 2 张名片。");
    EXPECT_EQ(w->cards().count(), 3);
    EXPECT_EQ(list(w)->count(), 3);
    EXPECT_EQ(list(w)->itemText(1), "五哥");
    EXPECT_NE(fileText().find(gb("%02%五哥%王五%")), std::string::npos);
    command(w, "tbianjiye"); // a card being edited is not reloaded under the user
    EXPECT_FALSE(drag("new.vcf"));
}

// Leaving a new card with something typed (后一页, a list pick) and closing with edits not yet saved (关闭,
// the close box) ask 是/否/取消 first: 取消 goes back to the card, 否 drops the work, 是 saves it.
TEST_F(AddressBookWindowTest, UnsavedCardsAreOfferedForSavingBeforeTheyAreDropped) {
    writeCards({"一"});
    const std::string before = fileText();
    Form8* w = open();
    command(w, "txinjianye");
    type(box(w, 2), "新人");
    Prompts::setNextAnswer(NoticeAnswer::Cancel);
    command(w, "thouyiye");
    ASSERT_EQ(Prompts::shown().size(), 1u);
    EXPECT_EQ(Prompts::shown()[0].title, "敬告");
    EXPECT_EQ(Prompts::shown()[0].buttons, NoticeButtons::YesNoCancel);
    EXPECT_EQ(w->currentCard(), 2);
    EXPECT_EQ(box(w, 2)->text(), "新人");
    Prompts::setNextAnswer(NoticeAnswer::No);
    command(w, "thouyiye");
    EXPECT_EQ(w->currentCard(), 1);
    EXPECT_EQ(fileText(), before);

    command(w, "tbianjiye");
    type(box(w, 4), "010-1234");
    Prompts::setNextAnswer(NoticeAnswer::Cancel);
    command(w, "tguanbi");
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(app.window(WindowId::Form8), w);
    EXPECT_EQ(box(w, 4)->text(), "010-1234");
    Prompts::setNextAnswer(NoticeAnswer::Yes);
    w->close(); // the window's close box
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(app.window(WindowId::Form8), nullptr);
    EXPECT_NE(fileText().find(gb("%01%一%名1%%010-1234%")), std::string::npos);
}

// In browse mode the boxes keep their light cyan when the focus leaves them and a long name shows its
// start; Esc puts the export options away.
TEST_F(AddressBookWindowTest, BrowseModeKeepsItsLookAndEscClosesTheExportOptions) {
    dir.write("txl/txl.cjf", gb(cardLine("01", "长名", "一二三四五六七八九十甲乙丙丁") + "\r\n"));
    Form8* w = open();
    EXPECT_EQ(box(w, 2)->cursorPosition(), 0);
    clickWidget(box(w, 3));
    clickWidget(list(w)->lineEdit());
    ASSERT_FALSE(box(w, 3)->hasFocus());
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(colour(w, i), kCyan) << i;
    command(w, "tdaochu");
    ASSERT_TRUE(c(w, "Frame2")->isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(c(w, "Frame2")->isVisible());
}
