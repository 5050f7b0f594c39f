#include "sync/vdir_sync.h"

#include "common/data_lock.h"
#include "common/data_paths.h"
#include "common/numeric_text.h"
#include "common/record_identity.h"
#include "common/safe_write.h"
#include "memo/memo_line.h"
#include "sync/sync_books.h"
#include "sync/sync_state.h"

#include <map>
#include <optional>
#include <set>

namespace fs = std::filesystem;

namespace {

struct VdirFile {
    std::string hash;
    std::string bytes;
};

// The files of one folder of the vdir with the extension, by name; hidden files (temporaries) are not records.
Result<std::map<std::string, VdirFile>> scanFolder(const fs::path& folder, const std::string& extension) {
    std::map<std::string, VdirFile> files;
    std::error_code ec;
    if (!fs::exists(folder, ec))
        return files;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = pathToUtf8(it->path().filename());
        if (name.starts_with(".") || !name.ends_with(extension) || !it->is_regular_file(ec))
            continue;
        Result<std::string> bytes = readFileBytes(it->path());
        if (!bytes)
            return bytes.error();
        files[name] = {recordHash(*bytes), std::move(*bytes)};
    }
    if (ec)
        return IoError{pathToUtf8(folder), ec.message()};
    return files;
}

// The time of writing of an iCalendar file (DTSTAMP), in UTC: YYYYMMDDTHHMMSSZ.
std::string utcNow() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    return fourDigits(utc.tm_year + 1900) + twoDigits(utc.tm_mon + 1) + twoDigits(utc.tm_mday) + "T" +
           twoDigits(utc.tm_hour) + twoDigits(utc.tm_min) + twoDigits(utc.tm_sec) + "Z";
}

// One kind of record (cards or memos) on both sides.
class KindSync {
public:
    KindSync(SyncBook& book, const SyncSettings& settings, std::map<std::string, SyncEntry>& state, SyncReport& report)
        : m_book(book), m_settings(settings), m_state(state), m_report(report),
          m_folder(settings.vdir / book.folder()) {}

    Result<void> plan() {
        Result<std::map<std::string, VdirFile>> files = scanFolder(m_folder, m_book.extension());
        if (!files)
            return files.error();
        m_files = std::move(*files);
        m_local = m_book.hashes();
        const std::map<std::string, SyncEntry> known = m_state;
        for (const auto& [uid, entry] : known)
            compare(uid, entry);
        for (const auto& [name, file] : m_files)
            if (!m_seenFiles.contains(name))
                newFile(name, file);
        for (const auto& [uid, hash] : m_local)
            if (!m_seenLocal.contains(uid))
                put(uid, uid + m_book.extension(), "", "new in Quillet", true);
        return {};
    }

    // After the books are saved: the files written and removed, the state brought up to date.
    Result<void> finish() {
        for (const auto& [name, bytes] : m_writes) {
            if (Result<void> folder = ensureFolder(m_folder); !folder)
                return folder;
            if (Result<void> written = writeFileAtomic(m_folder / pathFromUtf8(name), bytes); !written)
                return written;
        }
        for (const std::string& name : m_removals) {
            std::error_code ec;
            if (!fs::remove(m_folder / pathFromUtf8(name), ec) && ec)
                return IoError{pathToUtf8(m_folder / pathFromUtf8(name)), ec.message()};
        }
        const std::map<std::string, std::string> local = m_book.hashes();
        for (const auto& [uid, agreed] : m_agreed) {
            const auto it = local.find(uid);
            if (it != local.end())
                m_state[uid] = {agreed.file, it->second, agreed.vdirHash};
        }
        for (const std::string& uid : m_forgotten)
            m_state.erase(uid);
        return {};
    }

private:
    struct Agreed {
        std::string file, vdirHash;
    };

    void compare(const std::string& uid, const SyncEntry& entry) {
        const auto local = m_local.find(uid);
        const auto file = m_files.find(entry.file);
        const bool haveLocal = local != m_local.end(), haveFile = file != m_files.end();
        m_seenLocal.insert(uid);
        m_seenFiles.insert(entry.file);
        const bool localChanged = haveLocal && local->second != entry.localHash;
        const bool fileChanged = haveFile && file->second.hash != entry.vdirHash;
        if (!haveLocal && !haveFile) {
            m_forgotten.push_back(uid);
        } else if (!haveLocal) {
            if (fileChanged)
                take(uid, entry.file, file->second, "deleted in Quillet but changed in the vdir: it comes back");
            else
                removeFile(uid, entry.file);
        } else if (!haveFile) {
            if (localChanged)
                put(uid, entry.file, "", "deleted in the vdir but changed in Quillet: it comes back", true);
            else
                removeLocal(uid);
        } else if (localChanged && !fileChanged) {
            put(uid, entry.file, file->second.bytes, "changed in Quillet", false);
        } else if (fileChanged && !localChanged) {
            take(uid, entry.file, file->second, "changed in the vdir");
        } else if (localChanged && fileChanged) {
            both(uid, entry.file, file->second);
        }
    }

    void newFile(const std::string& name, const VdirFile& file) {
        const SyncBook::FileView view = m_book.view(file.bytes);
        std::string uid = view.uid.empty() ? name.substr(0, name.size() - m_book.extension().size()) : view.uid;
        if (m_local.contains(uid) && !m_seenLocal.contains(uid)) {
            m_seenLocal.insert(uid);
            both(uid, name, file);
        } else {
            // A UID another record (or another new file) already has: the file's record gets one of its own.
            if (m_local.contains(uid) || !m_newUids.insert(uid).second)
                uid = newRecordUid();
            take(uid, name, file, "new in the vdir");
        }
    }

    void both(const std::string& uid, const std::string& name, const VdirFile& file) {
        if (m_book.matches(uid, file.bytes)) {
            m_agreed[uid] = {name, file.hash};
            return;
        }
        if (m_settings.incomingOnly)
            return;
        const std::string copy = newRecordUid();
        const std::string what = m_book.kind() + " " + m_book.label(uid);
        std::vector<std::string> notes;
        if (std::optional<std::string> refused = m_book.take(copy, file.bytes, notes)) {
            m_report.problems.push_back("conflict left for later: " + what +
                                        " changed on both sides, and the vdir's version cannot be kept as a new " +
                                        m_book.kind() + ": " + *refused);
            return;
        }
        ++m_report.conflicts;
        ++m_report.quillet.created;
        m_report.lines.push_back("conflict: " + what +
                                 " changed on both sides; Quillet's version stays, the vdir's is kept as a new " +
                                 m_book.kind() + " \"" + m_book.label(copy) + "\"");
        m_report.problems.insert(m_report.problems.end(), notes.begin(), notes.end());
        // Quillet's version goes out over the file; the vdir's version goes out as the new record's file (made
        // from the file it was, so that what Quillet cannot hold stays with it).
        put(uid, name, file.bytes, "Quillet's version of a conflict", false);
        put(copy, copy + m_book.extension(), file.bytes, "the vdir's version of a conflict", true);
    }

    void take(const std::string& uid, const std::string& name, const VdirFile& file, const std::string& why) {
        const bool known = m_local.contains(uid);
        const std::string label = m_book.view(file.bytes).label;
        std::vector<std::string> notes;
        if (std::optional<std::string> refused = m_book.take(uid, file.bytes, notes)) {
            m_report.problems.push_back(m_book.kind() + " \"" + label + "\" (" + name + ") not taken: " + *refused);
            return;
        }
        m_report.problems.insert(m_report.problems.end(), notes.begin(), notes.end());
        m_agreed[uid] = {name, file.hash};
        ++(known ? m_report.quillet.updated : m_report.quillet.created);
        m_report.lines.push_back("Quillet: " + m_book.kind() + " \"" + label + "\" " + (known ? "updated" : "created") +
                                 " (" + why + ")");
    }

    void put(const std::string& uid, const std::string& name, const std::string& existing, const std::string& why,
             bool created) {
        if (m_settings.incomingOnly)
            return;
        std::optional<std::string> bytes = m_book.file(uid, existing);
        if (!bytes) {
            m_report.problems.push_back(m_book.kind() + " \"" + m_book.label(uid) +
                                        "\" not written to the vdir: its due time is no calendar date");
            return;
        }
        ++(created ? m_report.vdir.created : m_report.vdir.updated);
        m_report.lines.push_back("vdir: " + m_book.kind() + " \"" + m_book.label(uid) + "\" " +
                                 (created ? "created" : "updated") + " (" + why + ")");
        m_writes[name] = *bytes;
        m_agreed[uid] = {name, recordHash(*bytes)};
    }

    void removeFile(const std::string& uid, const std::string& name) {
        if (m_settings.incomingOnly)
            return;
        ++m_report.vdir.deleted;
        m_report.lines.push_back("vdir: " + m_book.kind() + " " + name + " deleted (deleted in Quillet)");
        m_removals.push_back(name);
        m_forgotten.push_back(uid);
    }

    void removeLocal(const std::string& uid) {
        ++m_report.quillet.deleted;
        m_report.lines.push_back("Quillet: " + m_book.kind() + " \"" + m_book.label(uid) +
                                 "\" deleted (deleted in the vdir)");
        m_book.remove(uid);
        m_forgotten.push_back(uid);
    }

    SyncBook& m_book;
    const SyncSettings& m_settings;
    std::map<std::string, SyncEntry>& m_state;
    SyncReport& m_report;
    fs::path m_folder;
    std::map<std::string, VdirFile> m_files;
    std::map<std::string, std::string> m_local;
    std::set<std::string> m_seenFiles, m_seenLocal, m_newUids;
    std::map<std::string, std::string> m_writes; // file name → bytes
    std::vector<std::string> m_removals;
    std::map<std::string, Agreed> m_agreed;
    std::vector<std::string> m_forgotten;
};

std::string counts(const SyncCounts& c) {
    return "created " + std::to_string(c.created) + ", updated " + std::to_string(c.updated) + ", deleted " +
           std::to_string(c.deleted);
}

Result<SyncReport> runSync(const SyncSettings& settings, const Clock& clock) {
    SyncReport report;
    SyncState state = readSyncState(settings.stateFile);
    CardSyncBook cards(settings.dataDir, clock);
    if (std::optional<IoError> error = cards.load())
        return *error;
    MemoSyncBook memos(settings.dataDir, memoStamp(clock.now()), utcNow());
    if (Result<void> loaded = memos.load(); !loaded)
        return loaded.error();
    KindSync cardSync(cards, settings, state["card"], report);
    KindSync memoSync(memos, settings, state["memo"], report);
    for (KindSync* kind : {&cardSync, &memoSync})
        if (Result<void> planned = kind->plan(); !planned)
            return planned.error();
    if (settings.dryRun)
        return report;
    // The books first: a file is written only for what the books now hold.
    for (SyncBook* book : {static_cast<SyncBook*>(&cards), static_cast<SyncBook*>(&memos)})
        if (Result<void> saved = book->save(); !saved)
            return saved.error();
    for (KindSync* kind : {&cardSync, &memoSync})
        if (Result<void> done = kind->finish(); !done)
            return done.error();
    if (settings.incomingOnly)
        return report;
    std::erase_if(state, [](const auto& kind) { return kind.second.empty(); });
    if (Result<void> written = writeSyncState(settings.stateFile, state); !written)
        return written.error();
    return report;
}

} // namespace

fs::path defaultVdir(const fs::path& dataDir) {
    return dataPathIn(dataDir, {"sync", "vdir"});
}

fs::path syncStateFile(const fs::path& dataDir, const fs::path& vdir) {
    std::error_code ec;
    const fs::path own = fs::weakly_canonical(defaultVdir(dataDir), ec);
    const fs::path other = fs::weakly_canonical(vdir, ec);
    if (own == other)
        return dataPathIn(dataDir, {"sync", "vdir.state"});
    return dataPathIn(dataDir, {"sync", recordHash(pathToUtf8(other)) + ".state"});
}

Result<SyncReport> syncWithVdir(const SyncSettings& settings, const Clock& clock) {
    if (settings.dryRun)
        return runSync(settings, clock);
    Result<DataLock> lock = DataLock::take(settings.dataDir);
    if (!lock)
        return lock.error();
    return runSync(settings, clock);
}

std::string syncSummary(const SyncReport& report) {
    return "Quillet: " + counts(report.quillet) + "; vdir: " + counts(report.vdir) + "; conflicts " +
           std::to_string(report.conflicts);
}
