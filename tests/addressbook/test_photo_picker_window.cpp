// Form11 offscreen: opened by the address book, choosing, copying and confirming photos.
#include "addressbook/address_book_window.h"
#include "addressbook/photo_picker_window.h"
#include "app/form1.h"
#include "common/safe_write.h"
#include "support/fake_mci.h"
#include "support/gui_helpers.h"
#include "support/temp_dir.h"
#include "ui/ui_prompts.h"

#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QToolBar>

namespace fs = std::filesystem;

namespace {

class PhotoPickerTest : public ::testing::Test {
protected:
    void SetUp() override {
        Prompts::clearShown();
        dir.write("txl/txl.cjf", gb("%01%老张%张三%%%%%%%%%%%######\r\n"));
        picture(Qt::red, "txl/txlphoto/in.jpg");
        picture(Qt::blue, "pics/a.jpg");
        picture(Qt::green, "pics/b.JPG");
        dir.write("pics/notes.txt", "not a picture");
        dir.write("pics/fake.jpg", "not a picture either");
        std::filesystem::create_directories(dir / "pics/sub");
    }
    void picture(Qt::GlobalColor colour, const std::string& relative) {
        QImage image(30, 30, QImage::Format_RGB32);
        image.fill(colour);
        fs::create_directories((dir / relative).parent_path());
        ASSERT_TRUE(image.save(QString::fromStdString((dir / relative).string()), "JPG"));
    }
    // Opens the address book in edit mode and its picker.
    Form11* openPicker() {
        app.openAddressBook();
        book = app.windowAs<Form8>(WindowId::Form8);
        EXPECT_NE(book, nullptr);
        for (const char* key : {"tbianjiye", "tdiaoruzhaopian"})
            book->findChild<QAction*>(key)->trigger();
        processEvents();
        for (QWidget* t : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<Form11*>(t); p && p->isVisible())
                return p;
        ADD_FAILURE() << "no picker";
        return nullptr;
    }
    template <class T = QWidget> T* c(Form11* p, const char* name) { return control<T>(p, name); }
    QString pathBox(Form11* p) { return c<QLineEdit>(p, "Text1")->text(); }
    QStringList files(Form11* p) {
        QStringList names;
        for (int i = 0; i < c<QListWidget>(p, "File1")->count(); ++i)
            names << c<QListWidget>(p, "File1")->item(i)->text();
        return names;
    }
    void clickFile(Form11* p, const QString& name, bool twice = false) {
        auto* list = c<QListWidget>(p, "File1");
        const auto found = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        const QPoint at = list->visualItemRect(found[0]).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        if (twice) // the second press of a double click
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        processEvents();
    }
    // Confirms through the picture: the pointer goes over the button, then the lit look is clicked.
    void confirm(Form11* p) {
        moveOver(c(p, "Image1"));
        ASSERT_TRUE(c(p, "Image2")->isVisible());
        clickWidget(c(p, "Image2"));
        processEvents();
    }
    bool pickerOpen() {
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (QWidget* t : QApplication::topLevelWidgets())
            if (qobject_cast<Form11*>(t) && t->isVisible())
                return true;
        return false;
    }
    QColor photoCentre() {
        const QPixmap pixmap = control<QLabel>(book, "Image1")->pixmap();
        return pixmap.toImage().pixelColor(pixmap.width() / 2, pixmap.height() / 2);
    }
    static bool near(const QColor& a, const QColor& b) {
        return std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40 &&
               std::abs(a.blue() - b.blue()) < 40;
    }
    QString folder(const std::string& relative) {
        return QString::fromStdString(fs::weakly_canonical(dir / relative).string());
    }

    TempWorkDir dir;
    FakeClock clock{LocalDateTime{2003, 5, 12, 10, 0}};
    Form1 app{clock, std::make_unique<FakeMciDevice>()};
    Form8* book = nullptr;
};

} // namespace

TEST_F(PhotoPickerTest, ControlsTitleAndOpening) {
    Form11* p = openPicker();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->objectName(), "Form11");
    EXPECT_EQ(p->windowTitle(), "☆Quillet>>打开文件" + QString(18, ' ') + "Orlin工作室");
    EXPECT_TRUE(duplicateControlNames(p).isEmpty());
    for (const char* name : {"Drive1", "Dir1", "Combo1", "File1", "Text1", "Image1", "Image2", "Frame1"})
        c(p, name);
    auto* patterns = c<QComboBox>(p, "Combo1");
    QStringList entries;
    for (int i = 0; i < patterns->count(); ++i)
        entries << patterns->itemText(i);
    EXPECT_EQ(entries, (QStringList{"*.txt", "*.dat", "*.doc", "*.rtf", "*.wps", "*.xls", "*.mdb", "*.dbf", "*.*"}));
    EXPECT_EQ(p->order, 1);
    EXPECT_EQ(patterns->currentText(), "*.jpg");
    EXPECT_EQ(p->folder(), folder("txl/txlphoto"));
    EXPECT_EQ(pathBox(p), folder("txl/txlphoto") + "/");
    EXPECT_EQ(files(p), QStringList{"in.jpg"});
    EXPECT_FALSE(c(p, "Image2")->isVisible());
    EXPECT_GE(c<QComboBox>(p, "Drive1")->findText("/"), 0);
}

TEST_F(PhotoPickerTest, AFileInThePhotoFolderIsOnlyNamed) {
    Form11* p = openPicker();
    clickFile(p, "in.jpg");
    EXPECT_EQ(pathBox(p), folder("txl/txlphoto") + "/in.jpg");
    setSafeWriteFaultForTests([](std::string_view, const fs::path&) { return std::string("no write expected"); });
    confirm(p);
    setSafeWriteFaultForTests(nullptr);
    EXPECT_TRUE(Prompts::shown().empty());
    EXPECT_EQ(book->zpfilename, "in.jpg");
    EXPECT_TRUE(near(photoCentre(), Qt::red));
    EXPECT_FALSE(pickerOpen());
}

TEST_F(PhotoPickerTest, AFileElsewhereIsCopiedAndShown) {
    dir.write("txl/txlphoto/a.jpg", "old");
    Form11* p = openPicker();
    p->setFolder(folder("pics"));
    EXPECT_EQ(pathBox(p), folder("pics") + "/");
    EXPECT_EQ(files(p), (QStringList{"a.jpg", "b.JPG", "fake.jpg"}));
    clickFile(p, "a.jpg");
    confirm(p);
    EXPECT_EQ(book->zpfilename, "a.jpg");
    EXPECT_EQ(dir.read("txl/txlphoto/a.jpg"), dir.read("pics/a.jpg"));
    EXPECT_TRUE(near(photoCentre(), Qt::blue));
    EXPECT_FALSE(pickerOpen());
    // The card takes the photo when it is saved.
    Prompts::setNextAnswer(NoticeAnswer::Yes);
    book->findChild<QAction*>("tbaocun")->trigger();
    EXPECT_NE(dir.read("txl/txl.cjf").find("%a.jpg\r\n"), std::string::npos);
}

TEST_F(PhotoPickerTest, DoubleClickConfirmsAtOnce) {
    Form11* p = openPicker();
    p->setFolder(folder("pics"));
    clickFile(p, "b.JPG", true);
    EXPECT_EQ(book->zpfilename, "b.JPG");
    EXPECT_TRUE(dir.exists("txl/txlphoto/b.JPG"));
    EXPECT_FALSE(pickerOpen());
}

TEST_F(PhotoPickerTest, ANonPictureLeavesTheDefaultPhoto) {
    Form11* p = openPicker();
    p->setFolder(folder("pics"));
    auto* patterns = c<QComboBox>(p, "Combo1");
    patterns->setEditText("*.*");
    QTest::keyClick(patterns->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(files(p), (QStringList{"a.jpg", "b.JPG", "fake.jpg", "notes.txt"}));
    for (const char* name : {"notes.txt", "fake.jpg"}) {
        clickFile(p, name);
        confirm(p);
        EXPECT_EQ(book->zpfilename, "######");
        EXPECT_FALSE(dir.exists(std::string("txl/txlphoto/") + name)) << name;
    }
    ASSERT_EQ(Prompts::shown().size(), 2u);
    EXPECT_NE(Prompts::shown()[0].text.find("不是图片"), std::string::npos);
    EXPECT_FALSE(control<QLabel>(book, "Image1")->pixmap().isNull());
}

TEST_F(PhotoPickerTest, NothingHappensWithoutAFileOrForAnotherPurpose) {
    Form11* p = openPicker();
    confirm(p); // the path box names the folder
    EXPECT_TRUE(pickerOpen());
    clickFile(p, "in.jpg");
    p->order = 2;
    confirm(p);
    EXPECT_TRUE(pickerOpen());
    EXPECT_EQ(book->zpfilename, "######");
    p->close();
}

TEST_F(PhotoPickerTest, AFailedCopyGivesAMessageAndChangesNothing) {
    Form11* p = openPicker();
    p->setFolder(folder("pics"));
    clickFile(p, "a.jpg");
    setSafeWriteFaultForTests([](std::string_view step, const fs::path&) {
        return step == "rename" ? std::string("permission denied") : std::string();
    });
    confirm(p);
    setSafeWriteFaultForTests(nullptr);
    ASSERT_EQ(Prompts::shown().size(), 1u);
    EXPECT_NE(Prompts::shown()[0].text.find("permission denied"), std::string::npos);
    EXPECT_EQ(book->zpfilename, "######");
    EXPECT_FALSE(dir.exists("txl/txlphoto/a.jpg"));
    EXPECT_TRUE(pickerOpen());
    p->close();
}

TEST_F(PhotoPickerTest, ATypedPathMustNameAFileAndNamesTheCopy) {
    Form11* p = openPicker();
    clickFile(p, "in.jpg");
    auto* path = c<QLineEdit>(p, "Text1");
    path->setText(folder("pics") + "/missing.jpg");
    confirm(p);
    ASSERT_EQ(Prompts::shown().size(), 1u);
    EXPECT_EQ(Prompts::shown()[0].title, "警告");
    EXPECT_TRUE(pickerOpen());
    path->setText(folder("pics") + "/a.jpg"); // the list still has in.jpg selected
    confirm(p);
    EXPECT_EQ(book->zpfilename, "a.jpg");
    EXPECT_EQ(dir.read("txl/txlphoto/a.jpg"), dir.read("pics/a.jpg"));
    EXPECT_NE(dir.read("txl/txlphoto/in.jpg"), dir.read("pics/a.jpg"));
}

TEST_F(PhotoPickerTest, FoldersDrivesAndTheRoot) {
    Form11* p = openPicker();
    p->setFolder(folder("pics"));
    auto* dirs = c<QListWidget>(p, "Dir1");
    QListWidgetItem* sub = nullptr;
    for (int i = 0; i < dirs->count(); ++i)
        if (dirs->item(i)->text().trimmed() == "sub")
            sub = dirs->item(i);
    ASSERT_NE(sub, nullptr);
    QTest::mouseClick(dirs->viewport(), Qt::LeftButton, {}, dirs->visualItemRect(sub).center());
    QTest::mouseDClick(dirs->viewport(), Qt::LeftButton, {}, dirs->visualItemRect(sub).center());
    EXPECT_EQ(p->folder(), folder("pics/sub"));
    EXPECT_EQ(pathBox(p), folder("pics/sub") + "/");
    auto* drives = c<QComboBox>(p, "Drive1");
    const int root = drives->findText("/");
    ASSERT_GE(root, 0);
    drives->setCurrentIndex(root);
    emit drives->activated(root);
    EXPECT_EQ(p->folder(), "/");
    EXPECT_EQ(pathBox(p), "/"); // a root folder is shown as itself
    p->close();
}

TEST_F(PhotoPickerTest, NamesWithDotsAreTakenAndLargeNonPicturesRefused) {
    picture(Qt::blue, "pics/a..b.jpg");
    dir.write("pics/big.dat", std::string(5u << 20, 'x'));
    Form11* p = openPicker();
    p->setFolder(folder("pics"));
    auto* patterns = c<QComboBox>(p, "Combo1");
    QTest::keyClick(patterns->lineEdit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(patterns->lineEdit(), "*.*");
    QTest::keyClick(patterns->lineEdit(), Qt::Key_Return);
    clickFile(p, "big.dat");
    confirm(p);
    ASSERT_EQ(Prompts::shown().size(), 1u);
    EXPECT_NE(Prompts::shown()[0].text.find("太大"), std::string::npos);
    EXPECT_FALSE(dir.exists("txl/txlphoto/big.dat"));
    EXPECT_EQ(book->zpfilename, "######");
    clickFile(p, "a..b.jpg");
    confirm(p);
    EXPECT_EQ(Prompts::shown().size(), 1u);
    EXPECT_EQ(book->zpfilename, "a..b.jpg");
    EXPECT_TRUE(near(photoCentre(), Qt::blue));
}

TEST_F(PhotoPickerTest, TheButtonLiesWhollyInsideTheWindow) {
    Form11* p = openPicker();
    for (const char* name : {"Image1", "Image2"}) {
        auto* button = c<QLabel>(p, name);
        EXPECT_TRUE(p->rect().contains(button->geometry())) << name;
        EXPECT_LE(button->pixmap().width(), button->width()) << name;
        EXPECT_GE(p->width() - button->geometry().right(), 4) << name; // clear of the window's edge
    }
    p->close();
}

TEST_F(PhotoPickerTest, TheButtonLightsUpUnderThePointer) {
    Form11* p = openPicker();
    EXPECT_FALSE(c(p, "Image2")->isVisible());
    moveOver(c(p, "Image1"));
    EXPECT_TRUE(c(p, "Image2")->isVisible());
    moveOver(p, QPoint(5, p->height() - 5));
    EXPECT_FALSE(c(p, "Image2")->isVisible());
    p->close();
}
