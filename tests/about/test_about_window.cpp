#include "about/about_window.h"
#include "app/form1.h"
#include "support/fake_mci.h"
#include "support/gui_helpers.h"
#include "support/temp_dir.h"
#include "ui/ui_names.h"
#include "ui/ui_prompts.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <fstream>

namespace {

// Records the links the desktop would open.
class LinkSink : public QObject {
    Q_OBJECT
public:
    LinkSink() {
        for (const char* s : {"mailto", "https"})
            QDesktopServices::setUrlHandler(s, this, "open");
    }
    ~LinkSink() override {
        for (const char* s : {"mailto", "https"})
            QDesktopServices::unsetUrlHandler(s);
    }
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

// PATH pointing at a folder of this test only, restored afterwards.
class FakePath {
public:
    explicit FakePath(const std::filesystem::path& folder) : m_saved(qgetenv("PATH")) {
        std::filesystem::create_directories(folder);
        qputenv("PATH", QByteArray::fromStdString(folder.string()));
    }
    ~FakePath() { qputenv("PATH", m_saved); }

private:
    QByteArray m_saved;
};

class AboutTest : public ::testing::Test {
protected:
    AboutTest() : app(clock, std::make_unique<FakeMciDevice>()) {
        Prompts::clearShown();
        app.openAbout();
        about = app.windowAs<frmAbout>(WindowId::FrmAbout);
    }
    ~AboutTest() override { Prompts::clearShown(); }

    QLabel* label(const char* name) { return control<QLabel>(about, name); }
    QColor textColour(QWidget* w) { return w->palette().color(QPalette::WindowText); }
    // A point of the box's own background, away from every control.
    void overBackground() { moveOver(about, QPoint(about->width() - 4, 4)); }

    TempWorkDir dir;
    FakeClock clock;
    Form1 app;
    frmAbout* about = nullptr;
};

} // namespace

TEST_F(AboutTest, CaptionControlsAndButtons) {
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->windowTitle(), "关于 Quillet");
    EXPECT_EQ(about->objectName(), "frmAbout");
    EXPECT_TRUE(duplicateControlNames(about).isEmpty());
    for (const char* name : {"Image1", "Label1", "Label3", "Label4", "lblVersion", "lblDisclaimer"})
        control<QWidget>(about, name);
    EXPECT_EQ(control<QPushButton>(about, "Command1")->text(), "确  定");
    EXPECT_EQ(control<QPushButton>(about, "Command2")->text(), "系统(&S)");
    EXPECT_NE(label("Label2(0)")->text().indexOf("quillet@example.org"), -1);
    EXPECT_NE(label("Label2(1)")->text().indexOf("https://www.example.org/quillet/"), -1);
    EXPECT_EQ(label("Image1")->size(), QSize(80, 66)); // 1200 x 1000 twips
}

TEST_F(AboutTest, LinksOpenThroughTheDesktop) {
    LinkSink sink;
    clickWidget(label("Label2(0)"));
    clickWidget(label("Label2(1)"));
    ASSERT_EQ(sink.urls.size(), 2);
    EXPECT_EQ(sink.urls[0], QUrl("mailto:quillet@example.org"));
    EXPECT_EQ(sink.urls[1], QUrl("https://www.example.org/quillet/"));
    EXPECT_TRUE(Prompts::shown().empty());
}

TEST_F(AboutTest, HoverEffects) {
    QLabel* mail = label("Label2(0)");
    QLabel* page = label("Label2(1)");
    QLabel* disclaimer = label("lblDisclaimer");
    QLabel* logo = label("Image1");
    moveOver(mail);
    EXPECT_TRUE(mail->autoFillBackground());
    EXPECT_FALSE(page->autoFillBackground());
    moveOver(page);
    EXPECT_FALSE(mail->autoFillBackground());
    EXPECT_TRUE(page->autoFillBackground());

    EXPECT_EQ(textColour(disclaimer), QColor(255, 255, 255));
    moveOver(disclaimer);
    EXPECT_TRUE(disclaimer->font().bold());
    EXPECT_EQ(textColour(disclaimer), QColor(255, 255, 0));

    moveOver(logo);
    EXPECT_EQ(logo->size(), QSize(93, 80)); // 1400 x 1200 twips

    overBackground();
    EXPECT_FALSE(mail->autoFillBackground());
    EXPECT_FALSE(page->autoFillBackground());
    EXPECT_FALSE(disclaimer->font().bold());
    EXPECT_EQ(textColour(disclaimer), QColor(255, 255, 255));
    EXPECT_EQ(logo->size(), QSize(80, 66));
}

TEST_F(AboutTest, OkAndEscCloseTheBox) {
    clickWidget(control<QPushButton>(about, "Command1"));
    processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(app.window(WindowId::FrmAbout), nullptr);
    app.openAbout();
    about = app.windowAs<frmAbout>(WindowId::FrmAbout);
    about->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(about));
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : about, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(app.window(WindowId::FrmAbout), nullptr);
}

TEST_F(AboutTest, SystemButtonSaysUnavailableWithoutATool) {
    FakePath path(dir / "nothing-here");
    clickWidget(control<QPushButton>(about, "Command2"));
    ASSERT_EQ(Prompts::shown().size(), 1u);
    EXPECT_EQ(Prompts::shown()[0].text, "此时系统信息不可用");
    EXPECT_EQ(Prompts::shown()[0].buttons, NoticeButtons::Ok);
}

TEST_F(AboutTest, SystemButtonStartsTheToolFoundOnThePath) {
    const std::filesystem::path bin = dir / "bin";
    FakePath path(bin);
    const std::filesystem::path marker = dir / "started.txt";
    {
        std::ofstream script(bin / "gnome-system-monitor");
        script << "#!/bin/sh\necho started > '" << marker.string() << "'\n";
    }
    std::filesystem::permissions(bin / "gnome-system-monitor", std::filesystem::perms::owner_all);
    about->StartSysInfo();
    EXPECT_TRUE(Prompts::shown().empty());
    for (int i = 0; i < 100 && !std::filesystem::exists(marker); ++i)
        QTest::qWait(50);
    EXPECT_TRUE(std::filesystem::exists(marker));
}

#include "test_about_window.moc"
