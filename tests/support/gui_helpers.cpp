#include "support/gui_helpers.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QMouseEvent>
#include <QSet>
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

void processEvents() {
    QApplication::processEvents();
}
