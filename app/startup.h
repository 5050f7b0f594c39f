#pragma once
// Start-up: refuse a second copy, read the settings, show the desk calendar.
#include "common/clock.h"

#include <QString>
#include <memory>

class Form1;
class MciDevice;
class SingleInstance;

struct StartupResult {
    std::unique_ptr<SingleInstance> instance; // held for the whole run
    std::unique_ptr<Form1> form1;             // null when start-up ended
    int exitCode = 0;
};

// Runs the start-up sequence in the current working directory. On refusal or a settings problem the user
// has been told and `form1` is null.
StartupResult runStartup(const Clock& clock, std::unique_ptr<MciDevice> mci, const QString& instanceKey);
