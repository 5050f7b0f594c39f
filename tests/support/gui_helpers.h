#pragma once
// Finding controls by their fixed names and driving them as a user would.
#include <QApplication>
#include <QScrollBar>
#include <QString>
#include <QStringList>
#include <QStyle>
#include <QWidget>
#include <gtest/gtest.h>

// The child of `window` with that objectName; fails the test when missing.
template <class T = QWidget> T* control(QWidget* window, const QString& name) {
    T* found = window->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << "no control " << name.toStdString() << " in " << window->objectName().toStdString();
    return found;
}

// Names used more than once among the window's children (empty names skipped).
QStringList duplicateControlNames(const QWidget* window);
// Left click in the middle of a widget (press and release), and right-button press.
void clickWidget(QWidget* w, Qt::MouseButton button = Qt::LeftButton, QPoint pos = QPoint(-1, -1));
void pressWidget(QWidget* w, Qt::MouseButton button, QPoint pos = QPoint(-1, -1));
void moveOver(QWidget* w, QPoint pos = QPoint(-1, -1));
// Presses the left button at `from`, moves to `to` with it held, and lets go (positions within `w`).
void dragWidget(QWidget* w, QPoint from, QPoint to);
// Types text, Chinese included, into the focused editor as an input method would commit it.
void typeText(QWidget* editor, const QString& text);
class QComboBox;
// Picks an entry of a drop-down list as a user does: the list opens and the entry is chosen in it.
void pickFromList(QComboBox* box, const QString& text);
// Pastes text into the focused editor the way a user does: the clipboard, then Ctrl+V.
void pasteText(QWidget* editor, const QString& text);
// Where a part of a scroll bar (arrow, slider, groove) is drawn, in its own coordinates.
QRect scrollBarPart(QScrollBar* bar, QStyle::SubControl part);
// Runs pending events.
void processEvents();
// Under a real window system (xcb, scripts/with-window-manager) also waits until the window is shown and the
// window manager has framed, placed and activated what it will; offscreen only runs pending events.
void settle(QWidget* w);
