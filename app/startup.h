#pragma once
// Start-up: refuse a second copy, read the settings, show the desk calendar.
#include "common/clock.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class Form1;
class MciDevice;
class SingleInstance;

struct StartupResult {
    std::unique_ptr<SingleInstance> instance; // held for the whole run
    std::unique_ptr<Form1> form1;             // null when start-up ended
    int exitCode = 0;
};

// Makes the data folder ready and enters it; a message when it cannot be had.
using DataFolderEntry = std::function<std::optional<std::string>()>;

// Runs the start-up sequence: refuses a second copy before anything is written, then enters the data folder
// through `enterData` (when given; else the current working directory is the data folder). On refusal or a
// data folder or settings problem the user has been told and `form1` is null.
StartupResult runStartup(const Clock& clock, std::unique_ptr<MciDevice> mci, const QString& instanceKey,
                         const DataFolderEntry& enterData = {});
