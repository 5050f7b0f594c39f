#pragma once
// The address book's messages. Its questions and refusals carry the title "敬告".
#include "common/notice.h"

#include <string>

inline Notice saveCardQuestion() {
    return {"敬告", "确实要保存名片编辑么?", NoticeIcon::Question, NoticeButtons::YesNo};
}
// Before a card being edited is dropped (closing the window, leaving a new card).
inline Notice unsavedCardQuestion() {
    return {"敬告", "当前名片已经修改,尚未保存。\n要先保存吗?", NoticeIcon::Question, NoticeButtons::YesNoCancel};
}
inline Notice discardCardQuestion() {
    return {"敬告", "确实要丢弃当前的名片吗?", NoticeIcon::Question, NoticeButtons::YesNo};
}
inline Notice blankEntryNotice() {
    return {"敬告", "你选择的记录为空记录或已经被删除！", NoticeIcon::Information, NoticeButtons::Ok};
}
inline Notice printNotSupportedNotice() {
    return {"提醒", "抱歉,暂不支持该功能!", NoticeIcon::None, NoticeButtons::Ok};
}
inline Notice bookFullNotice() {
    return {"敬告", "通讯录最多存放1000张名片,已经放满,不能再新建名片!", NoticeIcon::Information, NoticeButtons::Ok};
}
inline Notice noCardsInFileNotice(const std::string& path) {
    return {"敬告", "文件中没有名片:\n" + path, NoticeIcon::Information, NoticeButtons::Ok};
}
inline Notice importCardsQuestion(int count) {
    return {"敬告", "导入 " + std::to_string(count) + " 张名片?", NoticeIcon::Question, NoticeButtons::YesNo};
}
// What a dropped vCard file brought: the counts of the import's report.
inline Notice importCardsSummary(int imported, std::size_t skipped, std::size_t refused, std::size_t changed,
                                 std::size_t leftOut) {
    std::string text = "导入了 " + std::to_string(imported) + " 张名片。";
    if (skipped > 0)
        text += "\n跳过 " + std::to_string(skipped) + " 张(通讯录中已有同名同手机号的名片,或空名片)。";
    if (refused > 0)
        text += "\n通讯录最多存放1000张名片,另有 " + std::to_string(refused) + " 张未能导入。";
    if (changed > 0)
        text += "\n" + std::to_string(changed) + " 处 \"%\" 或换行已改为 \"％\" 或空格。";
    if (leftOut > 0)
        text += "\n" + std::to_string(leftOut) + " 项内容名片上没有栏目存放,未导入。";
    return {"提醒", text, NoticeIcon::Information, NoticeButtons::Ok};
}
inline Notice cardsMergedNotice(int keptBoth) {
    std::string text = "名片文件在打开之后已被别的程序改动,你的编辑已并入其中保存。";
    if (keptBoth > 0)
        text += "\n其中 " + std::to_string(keptBoth) +
                " 张名片在两处都被改动或已在别处删除,两个版本都已保留,请查看后删去不要的一张。";
    return {"敬告", text, NoticeIcon::Information, NoticeButtons::Ok};
}
inline Notice cardGoneNotice() {
    return {"敬告", "这张名片已被别的程序改动或删除,没有丢弃。通讯录已重新读入。", NoticeIcon::Information,
            NoticeButtons::Ok};
}
