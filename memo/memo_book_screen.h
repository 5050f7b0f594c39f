#pragma once
// What the memo book window (Form6) knows, without the toolkit: the memos, the six rows from `top`, the memo
// picked by a right click, whether the next save adds or changes, and the clock fields that give the picker
// its defaults and every written line its stamp. Every write is followed by a reload, so the rows always show
// what the file holds.
#include "common/clock.h"
#include "common/notice.h"
#include "memo/memo_book.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

inline constexpr int kMemoRows = 6;

// One row of the list: the number, due and text cells and the "注销" tick.
struct MemoRow {
    std::string number;
    std::string due;
    std::string text;
    bool ticked = false;
};

// The picker's four boxes: year, month, day, hour.
using MemoPicker = std::array<std::string, 4>;

enum class MemoSave { NothingToSave, Saved, Failed };

class MemoBookScreen {
public:
    // Clock fields, refreshed every 100 ms: year as a number, month, day and hour as two digits.
    void refreshClock(const LocalDateTime& now);
    int bwnian() const { return m_bwnian; }
    const std::string& bwyue() const { return m_bwyue; }
    const std::string& bwri() const { return m_bwri; }
    const std::string& bwshi() const { return m_bwshi; }
    // The stamp of the lines written now, and the picker set to now.
    std::string stamp() const;
    MemoPicker pickerNow() const;
    // A due time split for the picker; nothing when it is not ten characters.
    static std::optional<MemoPicker> pickerOf(std::string_view due);

    // The model's part of the load step: path, not editing, load, rows from memo 1. A file that cannot be
    // read gives its notice (the book is then empty and will not overwrite it).
    std::optional<Notice> loadStep(const std::filesystem::path& file);
    const std::filesystem::path& bwfilename() const { return m_bwfilename; }
    const MemoBook& book() const { return m_book; }

    int top() const { return m_top; }
    void setTop(int top) { m_top = top; }
    std::array<MemoRow, kMemoRows> rows() const;
    // The memo shown in row r (0 at the top), or nullptr for a blank row.
    const MemoRecord* memoInRow(int row) const { return m_book.record(m_top + row); }

    // Right click on a filled row: the pop-up menu works on this memo from now on.
    void select(int number);
    int selected() const { return m_selected; }
    const std::string& selectedText() const { return m_selectedText; }
    // The menu's third item: "注  销 " for an active memo, "备  忘 " for a cancelled one.
    std::string toggleCaption() const;

    bool editing() const { return m_editing; }
    // The memo a change will be saved over. It is taken when "更  改 " is chosen and kept apart from
    // `selected`, so a right click on another row while the change is open cannot redirect the save.
    int changeTarget() const { return m_changeTarget; }
    // "添加备忘": a new memo, unless the book is full (then its notice and nothing changes).
    std::optional<Notice> beginAdd();
    // "更  改 " on the selected memo.
    void beginChange();
    // "查  看 ", a left click on a row, a completed change: the next save adds.
    void stopEditing() { m_editing = false; }

    // "保存备忘": nothing for an empty text (blanks count as a text); else add or change, then write. After a
    // failed write the book is read again (it matches the file) and the edit stays open to try again.
    // Every write first looks whether the file was changed elsewhere since it was read; if so it reads the
    // file again and applies the one edit to what it holds now, finding a changed, cancelled or deleted
    // memo by its line. When that memo is no longer there the edit is not applied and the notice says so
    // (a change then stays in the editor and saves as a new memo).
    MemoSave save(std::string_view due, std::string_view text, std::optional<Notice>& failure);
    // "注  销 " / "备  忘 " and "删  除 " on the selected memo, written at once.
    std::optional<Notice> toggleSelected();
    std::optional<Notice> deleteSelected();

private:
    std::optional<Notice> catchUp(int& target);
    std::optional<Notice> write();

    MemoBook m_book;
    std::filesystem::path m_bwfilename;
    int m_top = 1; // memo numbers go past 32767 in a long file
    int m_selected = 0;
    std::string m_selectedText;
    bool m_editing = false;
    int m_changeTarget = 0;
    int m_bwnian = 2000;
    std::string m_bwyue = "01", m_bwri = "01", m_bwshi = "00";
};
