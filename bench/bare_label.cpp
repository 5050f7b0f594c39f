// The yardstick of bench/measure_app.sh --startup: a bare Qt Widgets program that shows one label and reports
// its first paint the way the desk calendar does, so that both are timed alike from their exec.
#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QLabel>
#include <cstdio>

namespace {
class FirstPaintLabel : public QLabel {
public:
    FirstPaintLabel(const QString& text, const QElapsedTimer& sinceStart) : QLabel(text), m_sinceStart(sinceStart) {}

protected:
    void paintEvent(QPaintEvent* event) override {
        if (!m_told) {
            m_told = true;
            std::fprintf(stderr, "label painted after %lld ms, at %lld ms of the epoch\n", m_sinceStart.elapsed(),
                         QDateTime::currentMSecsSinceEpoch());
        }
        QLabel::paintEvent(event);
    }

private:
    const QElapsedTimer& m_sinceStart;
    bool m_told = false;
};
} // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication app(argc, argv);
    FirstPaintLabel label("Quillet", sinceStart);
    label.show();
    return QApplication::exec();
}
