#include "app/startup.h"

#include "app/form1.h"
#include "app/settings_file.h"
#include "common/data_paths.h"
#include "common/temp_debris.h"
#include "platform/mci_device.h"
#include "platform/single_instance.h"
#include "ui/ui_prompts.h"

#include <QGuiApplication>

namespace {
std::string unguardedText() {
    return "找不到只属于本用户的运行文件夹 ($XDG_RUNTIME_DIR 或 " + SingleInstance::fallbackFolder().toStdString() +
           "),这次无法防止同时运行两份 Quillet。请不要再启动一份,以免两份同时改写数据。";
}
} // namespace

StartupResult runStartup(const Clock& clock, std::unique_ptr<MciDevice> mci, const QString& instanceKey,
                         const DataFolderEntry& enterData) {
    StartupResult result;
    result.instance = std::make_unique<SingleInstance>(instanceKey);
    if (!result.instance->acquire()) {
        // Another copy runs: say so, ask it to come to the front, end without touching any file.
        Prompts::show(nullptr, Notice{"提示", "已经在运行<Quillet>!", NoticeIcon::Exclamation, NoticeButtons::Ok});
        QGuiApplication::setApplicationDisplayName(QString());
        result.instance->notifyRunning();
        return result;
    }
    if (!result.instance->guarded())
        Prompts::show(nullptr, Notice{"提示", unguardedText(), NoticeIcon::Information, NoticeButtons::Ok});
    if (std::optional<std::string> problem = enterData ? enterData() : std::nullopt) {
        Prompts::show(nullptr, Notice{"警告", *problem, NoticeIcon::Critical, NoticeButtons::Ok});
        result.exitCode = 1;
        return result;
    }

    // Temporary files of saves that a crash or a kill interrupted go first (the lock above is ours).
    sweepDataFolders(dataPath({}));
    const std::filesystem::path settingsPath = dataPath({"pavosz.cjf"});
    auto settings = readSettingsFile(settingsPath);
    if (auto* problem = std::get_if<SettingsProblem>(&settings)) {
        Prompts::show(nullptr, Notice{"警告", problem->message, NoticeIcon::Critical, NoticeButtons::Ok});
        result.exitCode = 1;
        return result;
    }
    const SettingsValues& values = std::get<SettingsValues>(settings);

    auto form1 = std::make_unique<Form1>(clock, std::move(mci));
    Form1State& state = form1->state();
    state.szfilename = pathToUtf8(settingsPath);
    state.password = values.password;
    state.password3 = values.password3;
    state.MRURL = values.MRURL;
    // The interval and the alarm are in place before the desk calendar's first tick can come.
    form1->desk().dss = values.dss;
    form1->desk().dshh = "--";
    form1->desk().dsmm = "--";
    form1->showDeskCalendar();
    form1->hide();
    QObject::connect(result.instance.get(), &SingleInstance::activationRequested, form1.get(),
                     [f = form1.get()] { f->raiseCalendar(); });
    result.form1 = std::move(form1);
    return result;
}
