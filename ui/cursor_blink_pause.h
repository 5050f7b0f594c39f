#pragma once
// Text cursors blink only while the user is at work: after a spell without key presses, clicks or focus
// changes they stop blinking and stay shown, as GTK desktops do, so that an open window with a focused box
// costs no repaints while idle. The next input starts the blinking again.
#include <QObject>
#include <QTimer>

class CursorBlinkPause : public QObject {
public:
    // Watches the application's input; `idleMs` is the spell after which cursors stop blinking.
    explicit CursorBlinkPause(int idleMs = 10000, QObject* parent = nullptr);
    ~CursorBlinkPause() override;

    bool paused() const { return m_paused; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pause();
    void resume();

    QTimer m_idle;
    int m_flashTime;
    bool m_paused = false;
};
