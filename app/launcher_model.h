#pragma once
// The launcher's rules: its ten items, the access-password panel and the alarm panel.
#include "common/clock.h"
#include "common/launcher_items.h"
#include "common/notice.h"
#include "common/program_state.h"

#include <optional>
#include <string>
#include <vector>

class LauncherModel {
public:
    LauncherModel(Form1State& state, Form3State& desk) : m_state(state), m_desk(desk) {}

    // Captions end in one blank; the memo book's begins with three. Item 4 reads "关定时 " while an alarm is set.
    std::string caption(int item) const;
    static bool isGuarded(int item);

    // The password box's text when the panel opens.
    std::string prefill() const { return m_state.mryy ? m_state.password2 : std::string(); }
    // OK on the password panel: records "默认应用" and the typed text, then compares exactly with the access
    // password. Returns the warning to show when they differ.
    std::optional<Notice> confirm(bool remember, const std::string& typed);

    bool alarmSet() const { return m_desk.dshh != "--"; }
    // "关定时 ": no alarm, and the music flag down so a ringing alarm stops at the next second.
    void alarmOff();
    // The alarm panel's OK: the chosen hour and minute ("--" hour: no alarm), for the given day.
    void setAlarm(const std::string& hour, const std::string& minute, const LocalDateTime& now);

    static std::vector<std::string> hourEntries();   // "--", "00".."23"
    static std::vector<std::string> minuteEntries(); // "--", "00".."59"

private:
    Form1State& m_state;
    Form3State& m_desk;
};

// yyyymmdd of a date, the day an alarm belongs to.
int dayKey(const LocalDateTime& t);
