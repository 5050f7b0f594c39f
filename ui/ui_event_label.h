#pragma once
// A label or picture that reports the mouse like the old controls did: press, move, release, click and
// double-click with the pointer position inside the control, and the pointer entering it.
#include <QLabel>
#include <QPoint>

class EventLabel : public QLabel {
    Q_OBJECT
public:
    explicit EventLabel(QWidget* parent = nullptr);
    EventLabel(const QString& text, QWidget* parent = nullptr);

signals:
    void pressed(Qt::MouseButton button, QPoint pos);
    void moved(Qt::MouseButtons buttons, QPoint pos);
    void released(Qt::MouseButton button, QPoint pos);
    void clicked();
    void doubleClicked();
    void entered();
    void left();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
};

// Moves a top-level window so that the control's top-left corner follows the pointer while the left
// button is held (the pointer position is relative to the control).
void dragWindowBy(QWidget* control, Qt::MouseButtons buttons, QPoint pos);
