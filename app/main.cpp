// Quillet: the desk calendar and its tools.
#include "app/form1.h"
#include "app/startup.h"
#include "common/ui_prompts.h"
#include "common/ui_style.h"
#include "platform/mci_device.h"
#include "platform/single_instance.h"

#include <QApplication>

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
    return app.exec();
}
