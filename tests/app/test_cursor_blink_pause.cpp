// Text cursors stop blinking after a spell without input, so a focused box repaints nothing while idle.
#include "support/gui_helpers.h"
#include "ui/cursor_blink_pause.h"

#include <QEvent>
#include <QImage>
#include <QLineEdit>
#include <QStyleHints>
#include <QTest>
#include <QVBoxLayout>

namespace {

class PaintCount : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

// Whether the box shows its text cursor: a dark pixel in the middle row of the cursor's rectangle.
bool cursorDrawn(QLineEdit* box) {
    const QImage image = box->grab().toImage();
    const QRect cursor = box->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    for (int x = cursor.left(); x <= cursor.right(); ++x)
        if (qGray(image.pixel(x, cursor.center().y())) < 128)
            return true;
    return false;
}

} // namespace

TEST(CursorBlinkPause, CursorsStopBlinkingWhileIdleAndBlinkAgainOnInput) {
    const int flashTime = QGuiApplication::styleHints()->cursorFlashTime();
    QApplication::setCursorFlashTime(100);
    {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* first = new QLineEdit;
        auto* second = new QLineEdit;
        layout->addWidget(first);
        layout->addWidget(second);
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        CursorBlinkPause pause(1000);
        clickWidget(second);
        QTest::keyClicks(second, "abc   "); // the cursor stands clear of the letters
        PaintCount count;
        second->installEventFilter(&count);

        QTest::qWait(300); // within the spell: the cursor blinks
        EXPECT_FALSE(pause.paused());
        EXPECT_GT(count.paints, 0);

        // The spell is over: one last paint shows the cursor, then nothing.
        EXPECT_TRUE(QTest::qWaitFor([&pause] { return pause.paused(); }, 5000));
        processEvents();
        EXPECT_TRUE(cursorDrawn(second));
        first->setText("abc   ");
        EXPECT_FALSE(cursorDrawn(first)); // the same text without the focus: no cursor
        EXPECT_EQ(QGuiApplication::styleHints()->cursorFlashTime(), 0);
        count.paints = 0;
        QTest::qWait(300);
        EXPECT_EQ(count.paints, 0);

        QTest::keyClick(second, Qt::Key_D);
        EXPECT_FALSE(pause.paused());
        EXPECT_EQ(QGuiApplication::styleHints()->cursorFlashTime(), 100);
        EXPECT_EQ(second->text(), "abc   d");
        count.paints = 0;
        QTest::qWait(300);
        EXPECT_GT(count.paints, 1);
    }
    QApplication::setCursorFlashTime(flashTime);
}
