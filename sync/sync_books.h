#pragma once
// The two books as the sync sees them: records by UID with the hash of their synced content, each able to
// become a vdir file and to take one in. Changes stay in memory until save().
#include "addressbook/card_book.h"
#include "common/clock.h"
#include "memo/memo_book.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class SyncBook {
public:
    virtual ~SyncBook() = default;
    virtual std::string kind() const = 0;      // "card", "memo"
    virtual std::string folder() const = 0;    // in the vdir: "contacts", "memos"
    virtual std::string extension() const = 0; // ".vcf", ".ics"
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
    virtual void remove(const std::string& uid) = 0;
    virtual Result<void> save() = 0;
};

class CardSyncBook : public SyncBook {
public:
    CardSyncBook(const std::filesystem::path& dataDir, const Clock& clock);
    std::optional<IoError> load();
    std::string kind() const override { return "card"; }
    std::string folder() const override { return "contacts"; }
    std::string extension() const override { return ".vcf"; }
    std::map<std::string, std::string> hashes() const override;
    std::string label(const std::string& uid) const override;
    FileView view(std::string_view bytes) const override;
    bool matches(const std::string& uid, std::string_view bytes) const override;
    std::optional<std::string> file(const std::string& uid, std::string_view existing) const override;
    std::optional<std::string> take(const std::string& uid, std::string_view bytes,
                                    std::vector<std::string>& notes) override;
    void remove(const std::string& uid) override { m_removed.push_back(uid); }
    Result<void> save() override;

private:
    CardBook m_book;
    std::vector<std::string> m_removed;
    bool m_changed = false;
};

class MemoSyncBook : public SyncBook {
public:
    MemoSyncBook(const std::filesystem::path& dataDir, std::string stamp, std::string nowUtc);
    Result<void> load();
    std::string kind() const override { return "memo"; }
    std::string folder() const override { return "memos"; }
    std::string extension() const override { return ".ics"; }
    std::map<std::string, std::string> hashes() const override;
    std::string label(const std::string& uid) const override;
    FileView view(std::string_view bytes) const override;
    bool matches(const std::string& uid, std::string_view bytes) const override;
    std::optional<std::string> file(const std::string& uid, std::string_view existing) const override;
    std::optional<std::string> take(const std::string& uid, std::string_view bytes,
                                    std::vector<std::string>& notes) override;
    void remove(const std::string& uid) override { m_removed.push_back(uid); }
    Result<void> save() override;

private:
    MemoBook m_book;
    std::filesystem::path m_path;
    std::string m_stamp, m_nowUtc;
    std::vector<std::string> m_removed;
    bool m_changed = false;
};
