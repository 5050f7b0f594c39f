#include "support/gui_helpers.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QMouseEvent>
#include <QSet>
#include <QStyleOptionSlider>
#include <QTest>

QStringList duplicateControlNames(const QWidget* window) {
    QSet<QString> seen;
    QStringList dups;
    for (const QObject* child : window->findChildren<QObject*>()) {
        const QString name = child->objectName();
        if (name.isEmpty() || name.startsWith("qt_"))
            continue;
        if (seen.contains(name))
            dups << name;
        seen.insert(name);
    }
    return dups;
}

static QPoint centreIfUnset(QWidget* w, QPoint pos) {
    return pos == QPoint(-1, -1) ? w->rect().center() : pos;
}

void clickWidget(QWidget* w, Qt::MouseButton button, QPoint pos) {
    QTest::mouseClick(w, button, Qt::NoModifier, centreIfUnset(w, pos));
}

void pressWidget(QWidget* w, Qt::MouseButton button, QPoint pos) {
    QTest::mousePress(w, button, Qt::NoModifier, centreIfUnset(w, pos));
}

void moveOver(QWidget* w, QPoint pos) {
    QPoint p = centreIfUnset(w, pos);
    QMouseEvent move(QEvent::MouseMove, p, w->mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

void dragWidget(QWidget* w, QPoint from, QPoint to) {
    // Delivered as the window system delivers them to the widget under the pointer (QTest's own press may be
    // taken for the second half of a double click left by an earlier test).
    QMouseEvent press(QEvent::MouseButtonPress, from, w->mapToGlobal(from), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent move(QEvent::MouseMove, to, w->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, w->mapToGlobal(to), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

void typeText(QWidget* editor, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(editor, &event);
}

void pickFromList(QComboBox* box, const QString& text) {
    const int index = box->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    // The list opens and the arrow keys walk to the entry; Enter picks it. (A click right after opening
    // would be taken for the release of the opening click by some styles.)
    box->showPopup();
    QAbstractItemView* view = box->view();
    while (view->currentIndex().row() < index)
        QTest::keyClick(view, Qt::Key_Down);
    while (view->currentIndex().row() > index)
        QTest::keyClick(view, Qt::Key_Up);
    QTest::keyClick(view, Qt::Key_Return);
    QApplication::processEvents();
}

void pasteText(QWidget* editor, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
}

QRect scrollBarPart(QScrollBar* bar, QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = option.sliderValue = bar->value();
    option.pageStep = bar->pageStep();
    option.singleStep = bar->singleStep();
    option.subControls = QStyle::SC_All;
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
}

void processEvents() {
    QApplication::processEvents();
}

void settle(QWidget* w) {
    if (QGuiApplication::platformName() != "xcb") {
        processEvents();
        return;
    }
    (void)QTest::qWaitForWindowExposed(w, 2000);
    QTest::qWait(250); // the window manager frames, places and activates in its own time
}
