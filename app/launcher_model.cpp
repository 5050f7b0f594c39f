#include "app/launcher_model.h"

#include "common/numeric_text.h"

std::string LauncherModel::caption(int item) const {
    static const char* const captions[kLauncherItemsMost] = {"退  出 ", "帮  助 ",    "设  置 ", "关  于 ",
                                                             "定时器 ", "浏览器 ",    "加解密 ", "通讯录 ",
                                                             "日记簿 ", "   备忘录 ", "同  步 "};
    if (item == ItemAlarm && alarmSet())
        return "关定时 ";
    return item >= 0 && item < kLauncherItemsMost ? captions[item] : std::string();
}

bool LauncherModel::isGuarded(int item) {
    return item == ItemSettings || item == ItemAddressBook || item == ItemDiary || item == ItemMemoBook;
}

std::optional<Notice> LauncherModel::confirm(bool remember, const std::string& typed) {
    m_state.mryy = remember;
    if (m_state.mryy)
        m_state.password2 = typed;
    if (typed != m_state.password3)
        return Notice{"警告", "密码错误!", NoticeIcon::Critical, NoticeButtons::Ok};
    return std::nullopt;
}

void LauncherModel::alarmOff() {
    m_desk.dshh = "--";
    m_desk.dsmm = "--";
    m_desk.txyybz = false;
    m_desk.alarmDay = 0;
}

void LauncherModel::setAlarm(const std::string& hour, const std::string& minute, const LocalDateTime& now) {
    m_desk.dshh = hour;
    m_desk.dsmm = minute;
    m_desk.alarmDay = dayKey(now);
}

std::vector<std::string> LauncherModel::hourEntries() {
    std::vector<std::string> entries{"--"};
    for (int h = 0; h < 24; ++h)
        entries.push_back(twoDigits(h));
    return entries;
}

std::vector<std::string> LauncherModel::minuteEntries() {
    std::vector<std::string> entries{"--"};
    for (int m = 0; m < 60; ++m)
        entries.push_back(twoDigits(m));
    return entries;
}

int dayKey(const LocalDateTime& t) {
    return t.year * 10000 + t.month * 100 + t.day;
}
