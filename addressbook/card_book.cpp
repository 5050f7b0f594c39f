#include "addressbook/card_book.h"

#include "common/data_lock.h"
#include "common/data_paths.h"
#include "common/line_file.h"
#include "common/numeric_text.h"
#include "common/safe_write.h"
#include "common/text_codec.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace {

constexpr int kTableRows = kCardCapacity + 1; // rows 0..1000, more when the file holds more lines

const std::string& emptyText() {
    static const std::string empty;
    return empty;
}

// "%" + the 14 fields of a row, each preceded by "%".
std::string recordLine(const CardRow& row) {
    std::string line;
    for (int i = 1; i <= kCardFieldCount; ++i) {
        line += '%';
        line += row[i];
    }
    return line;
}

// The pieces of a line beyond its 14th field, each with its "%": hidden data carried along with the line.
std::string piecesBeyondFields(std::string_view line) {
    std::vector<std::string> pieces = splitCardLine(line);
    std::string tail;
    for (std::size_t i = kCardFieldCount; i < pieces.size(); ++i)
        tail += "%" + pieces[i];
    return tail;
}

// The decoded lines of the card file and its stamp; a folder or device in its place is an error, never an
// empty book.
Result<std::vector<std::string>> readCardLines(const fs::path& file, FileStamp& stamp) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        return IoError{pathToUtf8(file), ec ? systemReason(ec.value()) : std::string("不是普通文件")};
    Result<std::string> bytes = readFileBytes(file);
    if (!bytes)
        return bytes.error();
    stamp = stampOf(*bytes);
    return decodeLines(*bytes);
}

// What a card is matched by when the card file is read again: its line without the serial number (which
// belongs to the position), failing that its name and mobile number.
RecordTraits cardTraits(const CardRow& row) {
    const std::string& line = row[0];
    const std::size_t first = line.find('%');
    const std::size_t second = first == std::string::npos ? first : line.find('%', first + 1);
    std::string key = row[3].empty() && row[7].empty() ? std::string() : row[3] + '\x1F' + row[7];
    return {second == std::string::npos ? line : line.substr(second), std::move(key)};
}

bool holdsUnstorableText(std::string_view text) {
    return text.find('%') != std::string_view::npos || holdsLineBreak(text);
}

Notice unstorableNotice(std::string_view caption) {
    return {"敬告", "[" + std::string(caption) + "]一栏含有不能保存的字符(\"%\"或换行),名片没有保存,请修改后再试!",
            NoticeIcon::Exclamation, NoticeButtons::Ok};
}

} // namespace

const std::array<CardField, kCardFieldCount>& cardFields() {
    static const std::array<CardField, kCardFieldCount> fields{{
        {"序号", "序号", 4},
        {"昵称", "昵称", 20},
        {"姓名", "姓名", 14},
        {"职务/称", "职务职称", 16},
        {"住宅电话", "住宅电话", 14},
        {"办公电话", "办公电话 ", 14},
        {"手机", "手机", 12},
        {"OICQ/IP", "IP电话", 8},
        {"地址", "地址", 30},
        {"邮编", "邮编", 6},
        {"电子邮箱", "电子邮箱", 40},
        {"个人主页", "个人主页", 40},
        {"单位主页", "单位主页", 40},
        {"照片", "照片", 0},
    }};
    return fields;
}

std::vector<std::string> splitCardLine(std::string_view line) {
    std::vector<std::string> pieces;
    std::size_t start = line.find('%');
    if (start == std::string_view::npos)
        return pieces;
    for (++start;;) {
        std::size_t next = line.find('%', start);
        pieces.emplace_back(line.substr(start, next == std::string_view::npos ? std::string_view::npos : next - start));
        if (next == std::string_view::npos)
            return pieces;
        start = next + 1;
    }
}

std::string trimSpaces(std::string_view text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::string newSerialNumber(int cardCount) {
    return twoDigits(cardCount + 1);
}

bool isBarePhotoName(std::string_view name) {
    // Dots inside a name ("a..b.jpg") stay in the folder; only the names of a folder itself lead out of it.
    if (name.empty() || name == "." || name == ".." || name.find_first_of("/\\") != std::string_view::npos)
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

CardBook::CardBook(fs::path workDir, const Clock& clock) : m_workDir(std::move(workDir)), m_clock(clock) {
    m_rows.resize(kTableRows);
}

CardLoad CardBook::load(bool createMissing) {
    const std::string logName = "mphs" + fourDigits(m_clock.now().year) + ".cjf";
    m_cardFile = dataPathIn(m_workDir, {"txl", "txl.cjf"});
    m_logFile = dataPathIn(m_workDir, {"txl", logName});
    m_rows.assign(kTableRows, CardRow{});
    m_count = 0;
    m_fileLines.clear();
    m_stamp = {};
    m_readFailed = false;
    m_ids.clear();

    CardLoad result;
    std::error_code ec;
    if (!fs::exists(m_cardFile, ec) && !ec) {
        // A missing card file is created empty (with its folder) and the window opens an empty card.
        result.missing = true;
        if (!createMissing)
            return result;
        Result<DataLock> lock = DataLock::take(m_workDir);
        if (!lock) {
            result.error = lock.error();
            return result;
        }
        if (!fs::exists(m_cardFile, ec) && !ec) {
            if (Result<void> made = createEmptyCardFile(); !made)
                result.error = made.error();
            return result;
        }
        result.missing = false; // written meanwhile by another program: read it instead
    }
    Result<std::vector<std::string>> lines = readCardLines(m_cardFile, m_stamp);
    if (!lines) {
        m_readFailed = true;
        result.error = lines.error();
        return result;
    }
    fillRows(std::move(*lines));
    // New identities are written down at once (while the file is still the one read, and only when no writer
    // is at work), so that every reader of this book gives the same UIDs; a folder that cannot be written, or a
    // busy one, keeps working without and the next load tries again.
    if (m_ids.load(identityFile(), traits()))
        if (std::optional<DataLock> lock = DataLock::tryTake(m_workDir); lock && !changedSince(m_cardFile, m_stamp))
            (void)m_ids.save(identityFile(), traits());
    result.nicknames.reserve(static_cast<std::size_t>(m_count));
    for (int k = 1; k <= m_count; ++k)
        result.nicknames.push_back(m_rows[k][2]);
    return result;
}

void CardBook::fillRows(std::vector<std::string> lines) {
    m_fileLines = lines;
    m_rows.assign(std::max<std::size_t>(kTableRows, lines.size() + 2), CardRow{});
    m_count = static_cast<int>(lines.size());
    for (int k = 1; k <= m_count; ++k) {
        CardRow& row = m_rows[k];
        row[0] = std::move(lines[k - 1]);
        splitRow(row);
    }
}

Result<void> CardBook::createEmptyCardFile() {
    if (Result<void> folder = ensureFolder(m_cardFile.parent_path()); !folder)
        return folder;
    if (Result<void> written = writeFileAtomic(m_cardFile, "", FileAccess::PrivateNew); !written)
        return written;
    m_stamp = stampOf("");
    return {};
}

void CardBook::splitRow(CardRow& row) {
    std::vector<std::string> pieces = splitCardLine(row[0]);
    const std::size_t kept = std::min<std::size_t>(pieces.size(), kCardColumns - 1);
    for (std::size_t i = 0; i < kept; ++i)
        row[i + 1] = std::move(pieces[i]);
}

const std::string& CardBook::cell(int row, int column) const {
    if (row < 0 || static_cast<std::size_t>(row) >= m_rows.size() || column < 0 || column >= kCardColumns)
        return emptyText();
    return m_rows[row][column];
}

CardRow& CardBook::rowAt(int row) {
    if (m_rows.size() <= static_cast<std::size_t>(row))
        m_rows.resize(static_cast<std::size_t>(row) + 1);
    return m_rows[row];
}

std::optional<Notice> CardBook::checkEntries(const CardEntries& texts, std::string_view photo) {
    for (int i = 0; i < kCardEntryFields; ++i)
        if (holdsUnstorableText(texts[i]))
            return unstorableNotice(cardFields()[i].caption);
    if (holdsUnstorableText(photo))
        return unstorableNotice(cardFields()[kPhotoField - 1].caption);
    return std::nullopt;
}

std::optional<Notice> CardBook::storeCard(int row, const CardEntries& texts, std::string_view photo) {
    if (std::optional<Notice> refusal = checkEntries(texts, photo))
        return refusal;
    if (row < 1)
        return std::nullopt;
    CardRow& r = rowAt(row);
    CardRow stored = r;
    for (int i = 0; i < kCardEntryFields; ++i)
        stored[i + 1] = trimSpaces(texts[i]);
    stored[kPhotoField] = std::string(photo);
    const bool unchanged = std::equal(stored.begin() + 1, stored.begin() + kPhotoField + 1, r.begin() + 1);
    // Paging stores every card it leaves; an untouched over-long line keeps the pieces it hides.
    if (unchanged && row <= m_count && !piecesBeyondFields(r[0]).empty())
        return std::nullopt;
    stored[0] = recordLine(stored);
    r = std::move(stored);
    return std::nullopt;
}

void CardBook::setPhotoField(int row, std::string_view name) {
    if (row >= 1)
        rowAt(row)[kPhotoField] = std::string(name);
}

void CardBook::addCard(std::string_view uid) {
    ++m_count;
    rowAt(m_count + 1);
    m_ids.append(uid);
}

std::vector<RecordTraits> CardBook::traits() const {
    std::vector<RecordTraits> out;
    out.reserve(static_cast<std::size_t>(m_count));
    for (int k = 1; k <= m_count; ++k)
        out.push_back(cardTraits(m_rows[k]));
    return out;
}

const std::string& CardBook::uid(int row) const {
    return row >= 1 && row <= m_count ? m_ids.at(static_cast<std::size_t>(row - 1)).uid : emptyText();
}

const std::string& CardBook::exportHash(int row) const {
    return row >= 1 && row <= m_count ? m_ids.at(static_cast<std::size_t>(row - 1)).exportHash : emptyText();
}

void CardBook::setExportHash(int row, std::string_view hash) {
    if (row >= 1 && row <= m_count)
        m_ids.setExportHash(static_cast<std::size_t>(row - 1), hash);
}

Result<void> CardBook::saveAll(CardMerge* merge) {
    if (m_readFailed)
        return IoError{pathToUtf8(m_cardFile), "名片文件未能读入,为免覆盖原有名片,不予保存"};
    CardMerge local;
    CardMerge& m = merge ? *merge : local;
    // The check, the merge and the write are one step: no other writer can slip in between.
    Result<DataLock> lock = DataLock::take(m_workDir);
    if (!lock)
        return lock.error();
    if (changedSince(m_cardFile, m_stamp))
        if (Result<void> merged = mergeWithDisk(m); !merged)
            return merged;
    return writeLines();
}

// Serial numbers belong to the position: a card that a merge put at the end, or kept twice, takes the serial of
// its row. A serial whose numeric value is already its row ("1" written by another program) stays as it is, and
// so does a line without any "%" (it has no fields to number).
void CardBook::renumber() {
    for (int k = 1; k <= m_count; ++k) {
        CardRow& row = m_rows[k];
        if (numericValue(row[1]) == k || row[0].find('%') == std::string::npos)
            continue;
        row[1] = newSerialNumber(k - 1);
        row[0] = recordLine(row) + piecesBeyondFields(row[0]);
    }
}

Result<void> CardBook::writeLines() {
    if (Result<void> folder = ensureFolder(m_cardFile.parent_path()); !folder)
        return folder;
    renumber();
    std::string text;
    std::vector<std::string> lines;
    for (int k = 1; k <= m_count; ++k) {
        text += m_rows[k][0];
        text += "\r\n";
        lines.push_back(m_rows[k][0]);
    }
    const std::string bytes = encodeGb(text);
    if (Result<void> written = writeFileAtomic(m_cardFile, bytes, FileAccess::PrivateNew); !written)
        return written;
    m_fileLines = std::move(lines);
    m_stamp = stampOf(bytes);
    (void)m_ids.save(identityFile(), traits());
    return {};
}

// The identities of the card file's present lines, as its side file tells them.
std::vector<RecordIdentity> CardBook::identitiesOnDisk(const std::vector<std::string>& lines) const {
    std::vector<RecordTraits> records;
    records.reserve(lines.size());
    for (const std::string& line : lines) {
        CardRow row;
        row[0] = line;
        splitRow(row);
        records.push_back(cardTraits(row));
    }
    RecordIdentities ids;
    ids.load(identityFile(), records);
    return ids.entries();
}

// Carries the cards edited or added here into the file's present lines and makes those the book.
Result<void> CardBook::mergeWithDisk(CardMerge& merge) {
    const auto track = static_cast<std::size_t>(merge.follow);
    merge.merged = true;
    FileStamp stamp;
    Result<std::vector<std::string>> disk = readCardLines(m_cardFile, stamp);
    if (!disk)
        return disk.error();
    std::vector<std::string> merged = *disk;
    std::vector<bool> taken(merged.size(), false);
    std::vector<RecordIdentity> ids = identitiesOnDisk(*disk);
    // The line read for a card, found again where nothing has been put yet (its old place first).
    const auto place = [&](std::size_t k, const std::string& line) -> std::size_t {
        if (k - 1 < merged.size() && !taken[k - 1] && merged[k - 1] == line)
            return k - 1;
        for (std::size_t i = 0; i < merged.size(); ++i)
            if (!taken[i] && merged[i] == line)
                return i;
        return merged.size();
    };
    std::size_t tracked = 0;
    const std::size_t readCount = m_fileLines.size();
    for (std::size_t k = 1; k <= static_cast<std::size_t>(m_count); ++k) {
        const std::string& ours = m_rows[k][0];
        const bool added = k > readCount;
        if (!added && ours == m_fileLines[k - 1]) {
            if (k == track) {
                const std::size_t at = place(k, ours);
                tracked = at < merged.size() ? at + 1 : 0;
            }
            continue;
        }
        std::size_t at = added ? merged.size() : place(k, m_fileLines[k - 1]);
        if (at == merged.size()) {
            merge.keptBoth += added ? 0 : 1;
            merged.emplace_back();
            taken.push_back(false);
            ids.emplace_back();
        }
        merged[at] = ours;
        taken[at] = true;
        ids[at] = m_ids.at(k - 1);
        if (k == track)
            tracked = at + 1;
    }
    fillRows(std::move(merged));
    m_ids.assign(std::move(ids));   // a card kept both here and there gets a new identity of its own
    m_fileLines = std::move(*disk); // what the file holds: the next save compares against it
    m_stamp = stamp;
    merge.follow = static_cast<int>(tracked);
    return {};
}

void CardBook::moveCardUp(int row) {
    CardRow& to = m_rows[row];
    const CardRow& from = m_rows[row + 1];
    // The serial number (field 1) belongs to the position; everything else moves up.
    for (int c = 2; c < kCardColumns; ++c)
        to[c] = from[c];
    to[0] = recordLine(to) + piecesBeyondFields(from[0]);
}

Result<void> CardBook::discard(int row, bool* gone) {
    if (row < 1 || row > m_count)
        return {};
    if (m_readFailed)
        return IoError{pathToUtf8(m_cardFile), "名片文件未能读入,为免覆盖原有名片,不予保存"};
    Result<DataLock> lock = DataLock::take(m_workDir);
    if (!lock)
        return lock.error();
    if (changedSince(m_cardFile, m_stamp)) {
        CardMerge merge{row};
        if (Result<void> merged = mergeWithDisk(merge); !merged)
            return merged;
        if (merge.follow == 0) {
            if (gone)
                *gone = true;
            return {};
        }
        row = merge.follow;
    }
    const std::vector<CardRow> rowsBefore = m_rows;
    const int countBefore = m_count;
    const RecordIdentities idsBefore = m_ids;
    const std::string line = m_rows[row][0];
    const auto restore = [&] {
        m_rows = rowsBefore;
        m_count = countBefore;
        m_ids = idsBefore;
    };
    m_ids.erase(static_cast<std::size_t>(row - 1));
    for (int j = row; j < m_count; ++j)
        moveCardUp(j);
    for (int c = 1; c <= kCardEntryFields; ++c)
        m_rows[m_count][c].clear();
    --m_count;
    if (Result<void> saved = writeLines(); !saved) {
        restore();
        return saved;
    }
    // The log names only cards that are really gone from the file.
    Result<void> logged = ensureFolder(m_logFile.parent_path());
    if (logged)
        logged = appendFileSynced(m_logFile, encodeGb("记录[" + line + "]已删除\r\n"));
    if (!logged) {
        restore();
        (void)writeLines(); // the card goes back; should that fail too, the file simply stays without it
    }
    return logged;
}

fs::path CardBook::photoFolder() const {
    return dataPathIn(m_workDir, {"txl", "txlphoto"});
}

fs::path CardBook::defaultPhotoPath() const {
    return dataPathIn(m_workDir, {"txl", "txlphoto", "moren.gif"});
}

fs::path CardBook::exportPath() const {
    return dataPathIn(m_workDir, {"dctxl.cjf"});
}

std::optional<fs::path> CardBook::photoPath(std::string_view name) const {
    if (name == kNoPhoto)
        return defaultPhotoPath();
    if (!isBarePhotoName(name))
        return std::nullopt;
    return photoFolder() / pathFromUtf8(name);
}
