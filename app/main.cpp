// Quillet: the desk calendar and its tools.
#include "app/calendar_close_guard.h"
#include "app/calendar_place_keeper.h"
#include "app/form1.h"
#include "app/startup.h"
#include "app/tray_icon.h"
#include "calendar/holidays.h"
#include "desktop/app_identity.h"
#include "desktop/autostart.h"
#include "desktop/command_line.h"
#include "desktop/data_folder.h"
#include "platform/mci_device.h"
#include "platform/single_instance.h"
#include "ui/cursor_blink_pause.h"
#include "ui/ui_prompts.h"
#include "ui/ui_style.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>

#ifdef QUILLET_TEST_SEAMS
#include "app/window_tour.h"
#endif

namespace {
// Window positions are part of the behaviour (dragging, the launcher beside the icon); Wayland does not let a
// program place its windows, so prefer X11 through XWayland unless the user chose a platform.
void preferPlaceableWindows() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

// A missing SoundFont is told after the timer tick that found it has finished.
void tellNoSoundFont(const std::string& message) {
    QTimer::singleShot(0, qApp, [text = QString::fromStdString(message)] {
        Prompts::show(nullptr, "提示", text, NoticeIcon::Information);
    });
}

// Runs `then` once, at the first paint of the window it watches: at once (before the paint), or after it from
// the event loop.
class AtFirstPaint : public QObject {
public:
    enum When { Before, After };
    AtFirstPaint(QWidget* window, When when, std::function<void()> then)
        : QObject(window), m_when(when), m_then(std::move(then)) {
        window->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            auto run = [this] {
                m_then();
                deleteLater();
            };
            if (m_when == Before)
                run();
            else
                QTimer::singleShot(0, this, run);
        }
        return false;
    }

private:
    When m_when;
    std::function<void()> m_then;
};

// The published holiday arrangements, with the user's own years (in the data folder) over them; a refused
// file is told.
void loadHolidayTables(const std::filesystem::path& programFolder) {
    HolidayLoad holidays = loadHolidays(findShareFolder(programFolder) / kHolidayFileName,
                                        std::filesystem::current_path() / kHolidayFileName);
    setHolidayCalendar(std::move(holidays.calendar));
    for (const std::string& problem : holidays.problems) {
        std::fprintf(stderr, "quillet: %s\n", problem.c_str());
        Prompts::show(nullptr, Notice{"警告", problem, NoticeIcon::Exclamation, NoticeButtons::Ok});
    }
}
} // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    // --help, --version and --autostart work without a display.
    const ProgramOptions options = parseProgramOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (std::optional<int> code = runTerminalOptions(options))
        return *code;
    // Before the data folder becomes the working directory: the autostart entry names the folder of this start.
    const std::filesystem::path autostartData = autostartDataFolder(options.data);
    const std::filesystem::path programFolder = runningProgramFolder();
    preferPlaceableWindows();
    QApplication app(argc, argv);
    QApplication::setApplicationName("Quillet");
    QGuiApplication::setDesktopFileName(kDesktopId);
    QApplication::setQuitOnLastWindowClosed(false);
    applyUiFont();
    loadQtChineseTexts();
    CursorBlinkPause blinkPause;
    // A private instance key for the process tests; quillet-seams also answers message boxes on stderr.
    const QString key = qEnvironmentVariableIsEmpty("QUILLET_INSTANCE_KEY")
                            ? SingleInstance::defaultKey()
                            : qEnvironmentVariable("QUILLET_INSTANCE_KEY");
#ifdef QUILLET_TEST_SEAMS
    if (qEnvironmentVariable("QUILLET_PROMPTS") == "stderr")
        Prompts::startEcho();
#endif

    // The data folder (made on first use) becomes the working directory once this copy is the only one; a
    // problem is told on the terminal too, for a start without a desktop session.
    auto enterData = [&]() -> std::optional<std::string> {
        const auto folder = enterDataFolder(options.data, programFolder);
        if (const std::string* problem = std::get_if<std::string>(&folder)) {
            std::fprintf(stderr, "quillet: %s\n", problem->c_str());
            return *problem;
        }
        loadHolidayTables(programFolder);
        return std::nullopt;
    };
    SystemClock clock;
    StartupResult started = runStartup(clock, createPlatformMciDevice(tellNoSoundFont), key, enterData);
    if (!started.form1)
        return started.exitCode;
    Form1& form1 = *started.form1;
    QObject::connect(&form1, &Form1::exitRequested, &app, &QApplication::quit);
    // The windows' icon and the tray icon come once the desk calendar has painted: the calendar is what the
    // user waits for.
    std::unique_ptr<TrayIcon> tray;
    auto afterFirstPaint = [&] {
        QApplication::setWindowIcon(programIcon());
        tray = std::make_unique<TrayIcon>(form1, autostartFile(processEnvironment()), programFolder / "quillet",
                                          autostartData);
    };
    if (QWidget* desk = form1.window(WindowId::Form3))
        new AtFirstPaint(desk, AtFirstPaint::After, afterFirstPaint);
    else
        afterFirstPaint();
    CalendarCloseGuard closeGuard(form1, [&tray] { return tray && tray->shown(); });
    app.installEventFilter(&closeGuard);
    CalendarPlaceKeeper places(form1, calendarPlacesFile(processEnvironment()));
    places.restore();
    app.installEventFilter(&places);

    if (!qEnvironmentVariableIsEmpty("QUILLET_REPORT_STARTUP")) {
        QTimer::singleShot(
            0, [&sinceStart] { std::fprintf(stderr, "desk calendar shown after %lld ms\n", sinceStart.elapsed()); });
        if (QWidget* desk = form1.window(WindowId::Form3))
            new AtFirstPaint(desk, AtFirstPaint::Before, [&sinceStart] {
                std::fprintf(stderr, "desk calendar painted after %lld ms, at %lld ms of the epoch\n",
                             sinceStart.elapsed(), QDateTime::currentMSecsSinceEpoch());
            });
    }
    // For ./run.sh without a display: a picture of the desk calendar once it has painted.
    if (const QString shot = qEnvironmentVariable("QUILLET_SCREENSHOT"); !shot.isEmpty())
        QTimer::singleShot(1500, &form1, [f = &form1, shot] {
            if (QWidget* desk = f->window(WindowId::Form3))
                desk->grab().save(shot, "PNG");
        });
#ifdef QUILLET_TEST_SEAMS
    if (const QString tour = qEnvironmentVariable("QUILLET_WINDOW_TOUR"); !tour.isEmpty())
        startWindowTour(form1, tour);
#endif
    return app.exec();
}
