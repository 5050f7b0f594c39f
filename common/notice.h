#pragma once
// A message for the user as the models describe it; the windows show it in a modal message box.
// Titles follow the program's conventions: "警告" warnings and errors, "提示" information, "提醒" questions
// and notices, "敬告" the address book's questions, "恭喜!" a finished diary export.
#include "common/result.h"

#include <string>

enum class NoticeIcon { None, Information, Exclamation, Question, Critical };
enum class NoticeButtons { Ok, YesNo, OkCancel, YesNoCancel };
enum class NoticeAnswer { Ok, Yes, No, Cancel };

struct Notice {
    std::string title;
    std::string text;
    NoticeIcon icon = NoticeIcon::Exclamation;
    NoticeButtons buttons = NoticeButtons::Ok;
};

// The message for a file that could not be written: which file and why.
inline Notice writeFailureNotice(const IoError& e) {
    return {"警告", "无法保存文件:\n" + e.path + "\n" + e.reason, NoticeIcon::Critical, NoticeButtons::Ok};
}
inline Notice readFailureNotice(const IoError& e) {
    return {"警告", "无法读取文件:\n" + e.path + "\n" + e.reason, NoticeIcon::Critical, NoticeButtons::Ok};
}
