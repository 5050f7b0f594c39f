// Quillet: the desk calendar and its tools.
#include "app/form1.h"
#include "app/startup.h"
#include "platform/mci_device.h"
#include "platform/single_instance.h"
#include "ui/ui_prompts.h"
#include "ui/ui_style.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

namespace {
// Window positions are part of the behaviour (dragging, the launcher beside the icon); Wayland does not let a
// program place its windows, so prefer X11 through XWayland unless the user chose a platform.
void preferPlaceableWindows() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}
} // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    preferPlaceableWindows();
    QApplication app(argc, argv);
    QApplication::setApplicationName("Quillet");
    QApplication::setQuitOnLastWindowClosed(false);
    applyUiFont();
    // Test seams for the process tests: a private instance key, and message boxes answered on stderr.
    const QString key = qEnvironmentVariableIsEmpty("QUILLET_INSTANCE_KEY")
                            ? SingleInstance::defaultKey()
                            : qEnvironmentVariable("QUILLET_INSTANCE_KEY");
    if (qEnvironmentVariable("QUILLET_PROMPTS") == "stderr")
        Prompts::startEcho();

    SystemClock clock;
    StartupResult started = runStartup(clock, createPlatformMciDevice(), key);
    if (!started.form1)
        return started.exitCode;
    QObject::connect(started.form1.get(), &Form1::exitRequested, &app, &QApplication::quit);
    if (!qEnvironmentVariableIsEmpty("QUILLET_REPORT_STARTUP"))
        QTimer::singleShot(
            0, [&sinceStart] { std::fprintf(stderr, "desk calendar shown after %lld ms\n", sinceStart.elapsed()); });
    // For ./run.sh without a display: a picture of the desk calendar once it has painted.
    if (const QString shot = qEnvironmentVariable("QUILLET_SCREENSHOT"); !shot.isEmpty())
        QTimer::singleShot(1500, started.form1.get(), [f = started.form1.get(), shot] {
            if (QWidget* desk = f->window(WindowId::Form3))
                desk->grab().save(shot, "PNG");
        });
    return app.exec();
}
