#pragma once
// What the last sync agreed with a vdir, kept in the data folder (sync/vdir.state for the data folder's own vdir,
// sync/<hash of the vdir's path>.state for another): ASCII, lines ended by CR LF (reading also takes LF),
//   quillet-sync 1
//   KIND UID FILE LOCAL VDIR      one line per record: KIND "card" or "memo", the record's identity, the
//                                 file's name in the vdir, and the hashes of the record and of the file as
//                                 last agreed (16 hex digits each)
// UID and FILE have every byte outside "!".."~" and every "%" written as %XX. The record's side (the books and
// their side files) forgets a deleted record at once; this file remembers it until the other side has
// followed, so a deletion can be told from a record that is new on the other side. A missing or damaged state
// file is an empty one: the next sync then matches the two sides by UID and deletes nothing.
#include "common/result.h"

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

struct SyncEntry {
    std::string file;
    std::string localHash;
    std::string vdirHash;
    bool operator==(const SyncEntry&) const = default;
};

// Per kind ("card", "memo"), the entries by UID.
using SyncState = std::map<std::string, std::map<std::string, SyncEntry>>;

SyncState parseSyncState(std::string_view text);
std::string syncStateText(const SyncState& state);
SyncState readSyncState(const std::filesystem::path& file);
// Writes the state (atomically) unless the file already holds exactly this text.
Result<void> writeSyncState(const std::filesystem::path& file, const SyncState& state);
