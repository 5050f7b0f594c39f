#pragma once
// The two books as the sync sees them: records by UID with the hash of their synced content, each able to
// become a vdir file and to take one in. Changes stay in memory until save().
#include "addressbook/card_book.h"
#include "common/clock.h"
#include "memo/memo_book.h"
#include "sync/card_vcf.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class SyncBook {
public:
    SyncBook(std::string kind, std::string folder, std::string extension)
        : m_kind(std::move(kind)), m_folder(std::move(folder)), m_extension(std::move(extension)) {}
    virtual ~SyncBook() = default;
    const std::string& kind() const { return m_kind; }           // "card", "memo"
    const std::string& folder() const { return m_folder; }       // in the vdir: "contacts", "memos"
    const std::string& extension() const { return m_extension; } // ".vcf", ".ics"
    virtual std::map<std::string, std::string> hashes() const = 0;
    virtual std::string label(const std::string& uid) const = 0;
    // The UID a file names (empty: none), its label, and why it cannot be a record (empty when it can).
    struct FileView {
        std::string uid, label, refusal;
    };
    virtual FileView view(std::string_view bytes) const = 0;
    virtual bool matches(const std::string& uid, std::string_view bytes) const = 0;
    // The file of a record; `existing` the file as it is (empty: a new file). Nothing when it cannot be written.
    virtual std::optional<std::string> file(const std::string& uid, std::string_view existing) const = 0;
    // The record takes the file (`uid` held: changed; else added under `uid`); the reason when refused.
    // What had to be changed to fit goes to `notes`.
    virtual std::optional<std::string> take(const std::string& uid, std::string_view bytes,
                                            std::vector<std::string>& notes) = 0;
    // Removed by save().
    void remove(const std::string& uid) { m_removed.push_back(uid); }
    virtual Result<void> save() = 0;

protected:
    std::vector<std::string> m_removed;

private:
    std::string m_kind, m_folder, m_extension;
};

class CardSyncBook : public SyncBook {
public:
    CardSyncBook(const std::filesystem::path& dataDir, const Clock& clock);
    std::optional<IoError> load();
    std::map<std::string, std::string> hashes() const override;
    std::string label(const std::string& uid) const override;
    FileView view(std::string_view bytes) const override;
    bool matches(const std::string& uid, std::string_view bytes) const override;
    std::optional<std::string> file(const std::string& uid, std::string_view existing) const override;
    std::optional<std::string> take(const std::string& uid, std::string_view bytes,
                                    std::vector<std::string>& notes) override;
    Result<void> save() override;

private:
    std::string photoFor(int row, const std::string& uid, const CardFromFile& card);

    CardBook m_book;
    std::map<std::string, std::string> m_photos; // photo files to write at save(): name → bytes
    bool m_changed = false;
};

class MemoSyncBook : public SyncBook {
public:
    MemoSyncBook(const std::filesystem::path& dataDir, std::string stamp, std::string nowUtc);
    Result<void> load();
    std::map<std::string, std::string> hashes() const override;
    std::string label(const std::string& uid) const override;
    FileView view(std::string_view bytes) const override;
    bool matches(const std::string& uid, std::string_view bytes) const override;
    std::optional<std::string> file(const std::string& uid, std::string_view existing) const override;
    std::optional<std::string> take(const std::string& uid, std::string_view bytes,
                                    std::vector<std::string>& notes) override;
    Result<void> save() override;

private:
    MemoBook m_book;
    std::filesystem::path m_path;
    std::string m_stamp, m_nowUtc;
    bool m_changed = false;
};
