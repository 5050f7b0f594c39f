#include "memo/memo_book_screen.h"

#include "common/numeric_text.h"
#include "common/text_codec.h"

void MemoBookScreen::refreshClock(const LocalDateTime& now) {
    m_bwnian = now.year;
    m_bwyue = twoDigits(now.month);
    m_bwri = twoDigits(now.day);
    m_bwshi = twoDigits(now.hour);
}

std::string MemoBookScreen::stamp() const {
    return fourDigits(m_bwnian) + m_bwyue + m_bwri + m_bwshi;
}

MemoPicker MemoBookScreen::pickerNow() const {
    return {fourDigits(m_bwnian), m_bwyue, m_bwri, m_bwshi};
}

std::optional<MemoPicker> MemoBookScreen::pickerOf(std::string_view due) {
    if (charCount(due) != 10)
        return std::nullopt;
    return MemoPicker{charMid(due, 0, 4), charMid(due, 4, 2), charMid(due, 6, 2), charMid(due, 8, 2)};
}

std::optional<Notice> MemoBookScreen::loadStep(const std::filesystem::path& file) {
    m_bwfilename = file;
    m_editing = false;
    m_top = 1;
    Result<void> loaded = m_book.load(file);
    if (!loaded)
        return readFailureNotice(loaded.error());
    return std::nullopt;
}

std::array<MemoRow, kMemoRows> MemoBookScreen::rows() const {
    std::array<MemoRow, kMemoRows> rows;
    for (int r = 0; r < kMemoRows; ++r) {
        const MemoRecord* memo = memoInRow(r);
        if (!memo)
            continue; // past the last memo: blank cells, no tick
        MemoRow& row = rows[static_cast<std::size_t>(r)];
        if (memo->damaged) {
            // A damaged line has no fields: show its number of position and the line as it is.
            row.number = memoNumber(m_top + r);
            row.text = memo->line;
            continue;
        }
        row = {memo->bwxh, memo->due, memo->text, memo->flag == "T"};
    }
    return rows;
}

void MemoBookScreen::select(int number) {
    const MemoRecord* memo = m_book.record(number);
    if (!memo)
        return;
    m_selected = number;
    m_selectedText = memo->damaged ? memo->line : memo->text;
}

std::string MemoBookScreen::toggleCaption() const {
    const MemoRecord* memo = m_book.record(m_selected);
    return memo && memo->flag == "F" ? "注  销 " : "备  忘 ";
}

std::optional<Notice> MemoBookScreen::beginAdd() {
    if (m_book.isFull())
        return MemoBook::fullNotice();
    m_editing = false;
    return std::nullopt;
}

void MemoBookScreen::beginChange() {
    m_editing = true;
    m_changeTarget = m_selected;
}

MemoSave MemoBookScreen::save(std::string_view due, std::string_view text, std::optional<Notice>& failure) {
    failure.reset();
    if (text.empty())
        return MemoSave::NothingToSave;
    // Catching up with the file, the edit and the write are one step: nobody can write in between.
    Result<DataLock> lock = lockMemoFile(m_bwfilename);
    if (!lock) {
        failure = writeFailureNotice(lock.error());
        return MemoSave::Failed;
    }
    int target = m_editing ? m_changeTarget : 0;
    if ((failure = catchUp(target))) {
        m_editing = false; // the memo to change is gone: a second save adds the text as a new memo
        failure->text += "\n正在编辑的文字仍在编辑框中,再按\"保存备忘\"将把它作为新备忘添加。";
        return MemoSave::Failed;
    }
    m_changeTarget = static_cast<int16_t>(target);
    bool applied = m_editing ? m_book.change(target, due, text, stamp()) : m_book.add(due, text, stamp());
    if (!applied) {
        // The picker offers list values only, so a refused add means a full book.
        if (!m_editing && m_book.isFull())
            failure = MemoBook::fullNotice();
        return failure ? MemoSave::Failed : MemoSave::NothingToSave;
    }
    failure = write();
    if (failure) {
        (void)m_book.load(m_bwfilename);
        return MemoSave::Failed;
    }
    m_editing = false;
    return MemoSave::Saved;
}

std::optional<Notice> MemoBookScreen::toggleSelected() {
    m_editing = false;
    Result<DataLock> lock = lockMemoFile(m_bwfilename);
    if (!lock)
        return writeFailureNotice(lock.error());
    int target = m_selected;
    if (std::optional<Notice> gone = catchUp(target))
        return gone;
    if (!m_book.toggleCancel(target, stamp()))
        return std::nullopt;
    return write();
}

std::optional<Notice> MemoBookScreen::deleteSelected() {
    Result<DataLock> lock = lockMemoFile(m_bwfilename);
    if (!lock)
        return writeFailureNotice(lock.error());
    int target = m_selected;
    if (std::optional<Notice> gone = catchUp(target))
        return gone;
    if (!m_book.remove(target))
        return std::nullopt;
    return write();
}

std::optional<Notice> MemoBookScreen::catchUp(int& target) {
    if (!m_book.changedOnDisk())
        return std::nullopt;
    const MemoRecord* memo = m_book.record(target);
    const std::string line = memo ? memo->line : std::string();
    if (Result<void> loaded = m_book.load(m_bwfilename); !loaded)
        return readFailureNotice(loaded.error());
    if (!memo)
        return std::nullopt;
    target = m_book.find(line);
    if (target > 0)
        return std::nullopt;
    return Notice{"提醒", "这条备忘已被别的程序更改或删除,本次操作没有执行;备忘录已重新读入。", NoticeIcon::Exclamation,
                  NoticeButtons::Ok};
}

std::optional<Notice> MemoBookScreen::write() {
    Result<void> saved = m_book.save(m_bwfilename);
    if (!saved)
        return writeFailureNotice(saved.error());
    return std::nullopt;
}
