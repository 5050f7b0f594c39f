#pragma once
// Every memo and every card has an identity (UID) that stays with it through edits, moves and the deletion of
// other records. The record layouts of the books have no room for it, so it is kept beside each book in a side
// file of the same name with the extension ".uid" (bwl/bwl.uid, txl/txl.uid), written with the book each time
// the book is saved. ASCII, every line ended by CR LF (reading also takes LF):
//   quillet-uid 1
//   UID CONTENT KEY EXPORT        one line per record, in the book's order, the four items one blank apart
// UID is the identity, every byte outside "!".."~" and every "%" written as %XX (two upper-case hex digits).
// CONTENT and KEY are 16 lower-case hex digits of the 64-bit FNV-1a hash of the record's text without its
// position number and of its key fields ("-" when the record has no key fields). EXPORT is the hash of the
// form last agreed with another program (a sync), carried along unchanged, "-" while there is none.
//
// Loading matches the records of the book to the entries of the side file, each entry used once: first by
// content (the entry at the record's own position first, then the first one unused), then by key in the same
// order. A record matched by neither — written into the book by another program — gets a new random UID; so
// does one whose entry's UID is already taken. A missing, unreadable or foreign side file matches nothing and
// is rebuilt this way: it is never a reason to refuse the book.
#include "common/result.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

// What a record is matched by: its text without its position number and its key fields (empty: none).
struct RecordTraits {
    std::string content;
    std::string key;
};

struct RecordIdentity {
    std::string uid;
    std::string exportHash; // "-" when none
};

// A random version 4 UUID from the operating system's random source, lower case: 8-4-4-4-12 hex digits.
std::string newRecordUid();
// 16 lower-case hex digits of the 64-bit FNV-1a hash.
std::string recordHash(std::string_view text);
// The side file of a book file: the same name with the extension ".uid".
std::filesystem::path identityFilePath(const std::filesystem::path& bookFile);

class RecordIdentities {
public:
    // Matches `records` to the entries of the side file's text (see above).
    void match(std::string_view sideText, const std::vector<RecordTraits>& records);
    // Reads the side file and matches; a missing or unreadable one matches nothing. True when the side file
    // does not hold what text(records) now gives (it is damaged, behind the book, or missing for a book that
    // has records): the book's load
    // then writes it at once, so that a UID given to a record is the same in every later export.
    bool load(const std::filesystem::path& sideFile, const std::vector<RecordTraits>& records);
    // The side file's text for `records`, which are those of this list in the same order.
    std::string text(const std::vector<RecordTraits>& records) const;
    Result<void> save(const std::filesystem::path& sideFile, const std::vector<RecordTraits>& records) const;

    std::size_t size() const { return m_ids.size(); }
    const RecordIdentity& at(std::size_t i) const { return m_ids.at(i); }
    // Appends an entry under `uid` when that is a usable UID not yet in the list, else under a new one.
    const std::string& append(std::string_view uid = {});
    void insert(std::size_t i, RecordIdentity id);
    void erase(std::size_t i);
    void setExportHash(std::size_t i, std::string_view hash);
    void clear();
    bool holds(std::string_view uid) const { return m_used.contains(std::string(uid)); }
    // The index of the entry of `uid`, or -1.
    int indexOf(std::string_view uid) const;
    // The list taken whole (a merge builds it entry by entry); duplicate UIDs get new ones.
    void assign(std::vector<RecordIdentity> ids);
    const std::vector<RecordIdentity>& entries() const { return m_ids; }

private:
    struct Hashes {
        std::vector<std::string> contents, keys;
    };
    static Hashes hashesOf(const std::vector<RecordTraits>& records);
    void matchHashes(std::string_view sideText, const Hashes& hashes);
    std::string textOf(const Hashes& hashes) const;

    std::vector<RecordIdentity> m_ids;
    std::unordered_set<std::string> m_used;
};
