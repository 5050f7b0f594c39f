#pragma once
// The address book's messages. Its questions and refusals carry the title "敬告".
#include "common/notice.h"

inline Notice saveCardQuestion() {
    return {"敬告", "确实要保存名片编辑么?", NoticeIcon::Question, NoticeButtons::YesNo};
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
