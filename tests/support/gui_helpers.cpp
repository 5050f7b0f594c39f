#include "support/gui_helpers.h"

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

void processEvents() {
    QApplication::processEvents();
}
