#include "sync/sync_books.h"

#include "addressbook/card_vcard.h"
#include "common/data_paths.h"
#include "common/safe_write.h"
#include "memo/memo_ics.h"
#include "sync/card_vcf.h"
#include "sync/memo_vtodo.h"

#include <algorithm>
#include <cctype>

namespace fs = std::filesystem;

CardSyncBook::CardSyncBook(const std::filesystem::path& dataDir, const Clock& clock)
    : SyncBook("card", "contacts", ".vcf"), m_book(dataDir, clock) {}

std::optional<IoError> CardSyncBook::load() {
    return m_book.load(false).error;
}

std::map<std::string, std::string> CardSyncBook::hashes() const {
    std::map<std::string, std::string> out;
    for (int row = 1; row <= m_book.count(); ++row)
        out[m_book.uid(row)] = cardSyncHash(m_book, row);
    return out;
}

std::string CardSyncBook::label(const std::string& uid) const {
    const int row = m_book.findUid(uid);
    const std::string& name = m_book.field(row, 3);
    const std::string& nickname = m_book.field(row, 2);
    return !name.empty() ? name : !nickname.empty() ? nickname : "card " + uid;
}

SyncBook::FileView CardSyncBook::view(std::string_view bytes) const {
    CardFromFile card = cardFromVcf(bytes);
    return {card.uid, card.label, card.refusal};
}

bool CardSyncBook::matches(const std::string& uid, std::string_view bytes) const {
    return cardMatchesVcf(m_book, m_book.findUid(uid), cardFromVcf(bytes));
}

std::optional<std::string> CardSyncBook::file(const std::string& uid, std::string_view existing) const {
    return cardVcf(m_book, m_book.findUid(uid), existing);
}

std::optional<std::string> CardSyncBook::take(const std::string& uid, std::string_view bytes,
                                              std::vector<std::string>& notes) {
    CardFromFile card = cardFromVcf(bytes);
    if (!card.refusal.empty())
        return card.refusal;
    int row = m_book.findUid(uid);
    if (row > 0) {
        card.entries[0] = m_book.field(row, 1);
    } else if (m_book.full()) {
        return "the address book holds " + std::to_string(kCardCapacity) + " cards";
    } else {
        row = m_book.count() + 1;
        card.entries[0] = newSerialNumber(m_book.count());
    }
    if (std::optional<Notice> refusal = m_book.storeCard(row, card.entries, photoFor(row, uid, card)))
        return refusal->text;
    if (row > m_book.count())
        m_book.addCard(uid);
    notes.insert(notes.end(), card.notes.begin(), card.notes.end());
    m_changed = true;
    return std::nullopt;
}

// The photo follows the file: a new picture there is copied into the photo folder under a name of its own, a
// picture taken away there is taken off the card. A photo of the card that cannot be read (and so never went
// out) stays.
std::string CardSyncBook::photoFor(int row, const std::string& uid, const CardFromFile& card) {
    const std::string& own = m_book.field(row, kPhotoField);
    const std::optional<CardPicture> picture = cardPicture(m_book, row);
    if (card.photo.empty())
        return picture || own.empty() ? std::string(kNoPhoto) : own;
    if (picture && picture->bytes == card.photo)
        return own;
    std::string stem = "sync-" + uid.substr(0, 8);
    std::erase_if(stem, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)) && c != '-'; });
    std::string name = stem + card.photoExtension;
    std::error_code ec;
    for (int k = 2; m_photos.contains(name) || fs::exists(m_book.photoFolder() / name, ec); ++k)
        name = stem + "-" + std::to_string(k) + card.photoExtension;
    m_photos[name] = card.photo;
    return name;
}

Result<void> CardSyncBook::save() {
    if (!m_photos.empty())
        if (Result<void> made = ensureFolder(m_book.photoFolder()); !made)
            return made;
    for (const auto& [name, bytes] : m_photos)
        if (Result<void> written = writeFileAtomic(m_book.photoFolder() / name, bytes, FileAccess::PrivateNew);
            !written)
            return written;
    m_photos.clear();
    if (m_changed)
        if (Result<void> saved = m_book.saveAll(); !saved)
            return saved;
    m_changed = false;
    // Each removal goes through the discard of the address book: the deletion log keeps the card's line.
    for (const std::string& uid : m_removed)
        if (const int row = m_book.findUid(uid); row > 0)
            if (Result<void> discarded = m_book.discard(row); !discarded)
                return discarded;
    m_removed.clear();
    return {};
}

MemoSyncBook::MemoSyncBook(const std::filesystem::path& dataDir, std::string stamp, std::string nowUtc)
    : SyncBook("memo", "memos", ".ics"), m_path(dataPathIn(dataDir, {"bwl", "bwl.cjf"})), m_stamp(std::move(stamp)),
      m_nowUtc(std::move(nowUtc)) {}

Result<void> MemoSyncBook::load() {
    return m_book.load(m_path);
}

std::map<std::string, std::string> MemoSyncBook::hashes() const {
    std::map<std::string, std::string> out;
    for (int n = 1; n <= m_book.count(); ++n)
        if (!m_book.record(n)->damaged) // a damaged line has no fields to carry
            out[m_book.uid(n)] = memoSyncHash(*m_book.record(n));
    return out;
}

std::string MemoSyncBook::label(const std::string& uid) const {
    const MemoRecord* memo = m_book.record(m_book.findUid(uid));
    return memo ? memo->text : "memo " + uid;
}

SyncBook::FileView MemoSyncBook::view(std::string_view bytes) const {
    MemoFromFile memo = memoFromIcs(bytes);
    return {memo.uid, memo.label, memo.refusal};
}

bool MemoSyncBook::matches(const std::string& uid, std::string_view bytes) const {
    const MemoRecord* memo = m_book.record(m_book.findUid(uid));
    return memo && memoMatchesIcs(*memo, memoFromIcs(bytes));
}

std::optional<std::string> MemoSyncBook::file(const std::string& uid, std::string_view existing) const {
    const MemoRecord* memo = m_book.record(m_book.findUid(uid));
    return memo ? memoIcs(*memo, uid, existing, m_nowUtc) : std::nullopt;
}

std::optional<std::string> MemoSyncBook::take(const std::string& uid, std::string_view bytes,
                                              std::vector<std::string>&) {
    MemoFromFile in = memoFromIcs(bytes);
    if (!in.refusal.empty())
        return in.refusal;
    int n = m_book.findUid(uid);
    if (n == 0) {
        if (!m_book.add(in.due, in.text, m_stamp, uid))
            return m_book.isFull() ? "the memo book holds " + std::to_string(MemoBook::kMaxMemos) + " memos"
                                   : "the memo book cannot take it";
        n = m_book.count();
    } else {
        const MemoRecord& memo = *m_book.record(n);
        // The hour 24 of a memo comes back as 00 of the next day: the same time, so the memo keeps its own form.
        const std::string due = memoIcsStart(memo.due) == memoIcsStart(in.due) ? memo.due : in.due;
        if ((due != memo.due || in.text != memo.text) && !m_book.change(n, due, in.text, m_stamp))
            return "the memo book cannot take it";
    }
    if (m_book.record(n)->cancelled() != (in.flag == "T"))
        m_book.toggleCancel(n, m_stamp);
    m_changed = true;
    return std::nullopt;
}

Result<void> MemoSyncBook::save() {
    std::vector<int> numbers;
    for (const std::string& uid : m_removed)
        if (const int n = m_book.findUid(uid); n > 0)
            numbers.push_back(n);
    std::sort(numbers.rbegin(), numbers.rend());
    for (int n : numbers)
        m_book.remove(n);
    m_removed.clear();
    if (!m_changed && numbers.empty())
        return {};
    m_changed = false;
    return m_book.save(m_path);
}
