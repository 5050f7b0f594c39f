#pragma once
// Two-way sync of the memo book and the address book with a vdir: VDIR/contacts/UID.vcf, one file per card, and
// VDIR/memos/UID.ics, one per memo (the layout khard, khal, todoman and vdirsyncer's filesystem storage use).
// Each side is compared with what the last sync agreed (sync/sync_state.h), record by record:
//   - changed on one side only: the other side takes it;
//   - new on one side: created on the other (a file without a state entry whose UID a record has, as after a
//     first sync or a sync that was cut short, is agreed when both say the same, else a conflict);
//   - deleted on one side and unchanged on the other: deleted there too (a card through the address book's
//     discard, so the deletion log keeps it); deleted on one side and changed on the other: the change wins and
//     the record comes back;
//   - changed on both sides to the same: agreed; to different things, a conflict: Quillet's version keeps the
//     record and its file, the vdir's version becomes a new record of its own (with a new UID and file), so both
//     stay reachable on both sides, and the report says so. When the book cannot take the second record (1,000
//     cards) neither side is touched and the conflict is reported again at the next sync.
// A file the books cannot take (no vCard, a group card, a to-do without text or due time, a full book) is left
// as it is and reported each time. Nothing is written when nothing changed: no book, no file, no state.
// The whole run (read, compare, write the books, the files and the state) is one step under the data-folder lock.
#include "common/clock.h"
#include "common/result.h"

#include <filesystem>
#include <string>
#include <vector>

struct SyncSettings {
    std::filesystem::path dataDir;
    std::filesystem::path vdir;
    std::filesystem::path stateFile;
    bool dryRun = false; // everything is done in memory and reported, nothing written
    // The pass before the server step: only what changed in the vdir is taken into the books; nothing is written
    // to the vdir and nothing is agreed yet. What goes out waits for the pass after the server step, so that
    // vdirsyncer never meets a record changed both in the vdir and on the server, and the pass after it sees a
    // record changed in Quillet and on the server as a conflict of its own.
    bool incomingOnly = false;
};

struct SyncCounts {
    int created = 0, updated = 0, deleted = 0;
};

struct SyncReport {
    SyncCounts quillet, vdir;
    int conflicts = 0;
    std::vector<std::string> lines;    // what was done (or, in a dry run, would be), one line each
    std::vector<std::string> problems; // files refused, values cut to fit
};

// The state file of a vdir: sync/vdir.state for the data folder's own (DATA/sync/vdir), so that a copied data
// folder carries its state along; sync/<hash of the path>.state for any other.
std::filesystem::path defaultVdir(const std::filesystem::path& dataDir);
std::filesystem::path syncStateFile(const std::filesystem::path& dataDir, const std::filesystem::path& vdir);

Result<SyncReport> syncWithVdir(const SyncSettings& settings, const Clock& clock);
// "Quillet: created 1, updated 0, deleted 0; vdir: created 0, updated 2, deleted 0; conflicts 0"
std::string syncSummary(const SyncReport& report);
