#include "app/settings_edit.h"

#include "app/settings_file.h"
#include "common/data_paths.h"
#include "common/text_codec.h"

#include <charconv>
#include <utility>

namespace {

SettingsRefusal refusal(std::string text, SettingsBox focus) {
    return {Notice{"警告", std::move(text), NoticeIcon::Exclamation, NoticeButtons::Ok}, focus};
}

// Each value is one line of the settings file: a break in one would shift every line after it.
std::optional<SettingsRefusal> lineBreakRefusal(const SettingsBoxes& boxes) {
    const std::pair<const std::string*, SettingsBox> lines[] = {{&boxes.diaryKey, SettingsBox::DiaryKey},
                                                                {&boxes.accessKey, SettingsBox::AccessKey},
                                                                {&boxes.accessConfirm, SettingsBox::AccessConfirm},
                                                                {&boxes.webAddress, SettingsBox::WebAddress},
                                                                {&boxes.interval, SettingsBox::Interval}};
    for (const auto& [text, box] : lines)
        if (holdsLineBreak(*text))
            return refusal("注意:设置中不能含有换行符,请删去后再保存!", box);
    return std::nullopt;
}

} // namespace

SettingsBoxes settingsBoxesFromMemory(const Form1State& state, const Form3State& desk) {
    return {state.password, state.password3, state.password3, state.MRURL, std::to_string(desk.dss)};
}

std::optional<int16_t> parseInterval(const std::string& text) {
    std::string digits = trimBlanks(text);
    if (!digits.empty() && digits.front() == '+')
        digits.erase(0, 1);
    if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    int value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (value < kMinInterval || value > kMaxInterval)
        return std::nullopt;
    return static_cast<int16_t>(value);
}

std::optional<SettingsRefusal> checkSettingsBoxes(const SettingsBoxes& boxes) {
    if (auto refused = lineBreakRefusal(boxes))
        return refused;
    if (boxes.accessConfirm != boxes.accessKey)
        return refusal("注意:您输入的两次密码不相同!", SettingsBox::AccessConfirm);
    if (!isAscii(boxes.diaryKey))
        return refusal("注意:日记密钥只能由英文字母、数字和半角符号组成,不能含有汉字或全角字符!",
                       SettingsBox::DiaryKey);
    if (!parseInterval(boxes.interval))
        return refusal("注意:备忘提示间隔必须是 " + std::to_string(kMinInterval) + " 到 " +
                           std::to_string(kMaxInterval) + " 之间的整数(分钟)!",
                       SettingsBox::Interval);
    return std::nullopt;
}

Notice saveSettingsQuestion() {
    return {"提醒", "确实要保存设置吗?", NoticeIcon::Question, NoticeButtons::YesNo};
}

Result<void> saveSettings(const SettingsBoxes& boxes, Form1State& state, Form3State& desk) {
    if (std::optional<SettingsRefusal> refused = lineBreakRefusal(boxes))
        return IoError{state.szfilename, refused->notice.text};
    const Form1State before = state;
    const int16_t dssBefore = desk.dss;
    state.password = boxes.diaryKey;
    state.password3 = boxes.accessConfirm;
    state.MRURL = trimBlanks(boxes.webAddress);
    desk.dss = parseInterval(boxes.interval).value_or(desk.dss);
    if (state.mryy)
        state.password2 = boxes.accessConfirm;

    Result<void> written =
        writeSettingsFile(pathFromUtf8(state.szfilename), {state.password, state.password3, state.MRURL, desk.dss});
    if (!written) {
        state = before;
        desk.dss = dssBefore;
    }
    return written;
}
