// The sync's rules, case by case: a data folder and a vdir agreed once, then one side (or both) changed, then
// synced again; what each side holds afterwards and which files were written.
#include "support/temp_dir.h"
#include "sync/vdir_sync.h"

#include "addressbook/card_vcard.h"

#include "common/clock.h"
#include "common/text_codec.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

const std::string kZhang = "%01%老张%张三%经理%%%13800000000%%%%%%%######";
const std::string kZhangEdited = "%01%老张%张三%总监%%%13800000000%%%%%%%######";
const std::string kLi = "%02%%李四%%%%%%%%%%%######";
const std::string kMemo = "1   @@2026121014@@开会@@F@@2026120909";

struct Sides {
    TempWorkDir dir;
    FakeClock clock{LocalDateTime{2026, 12, 9, 10, 0, 0}};

    SyncReport last;

    fs::path vdir() const { return dir / "vdir"; }
    SyncReport sync(bool dryRun = false) {
        Result<SyncReport> r = syncWithVdir({dir.path(), vdir(), dir / "sync" / "state", dryRun, false}, clock);
        EXPECT_TRUE(r.ok());
        return last = r ? *r : SyncReport{};
    }
    // The vdir's file of `folder` whose text holds `needle`; empty when none.
    fs::path fileWith(const std::string& folder, const std::string& needle) const {
        for (const auto& entry : fs::directory_iterator(vdir() / folder))
            if (dir.read(fs::relative(entry.path(), dir.path()).string()).find(needle) != std::string::npos)
                return entry.path();
        return {};
    }
    std::string text(const fs::path& file) const { return dir.read(fs::relative(file, dir.path()).string()); }
    void rewrite(const fs::path& file, const std::string& from, const std::string& to) {
        std::string t = text(file);
        ASSERT_NE(t.find(from), std::string::npos) << from;
        dir.write(fs::relative(file, dir.path()).string(), t.replace(t.find(from), from.size(), to));
    }
    std::string cards() const { return decodeGb(dir.read("txl/txl.cjf")); }
    std::string memos() const { return decodeGb(dir.read("bwl/bwl.cjf")); }
};

// Every file's inode and modification time: a rewrite (an atomic rename) changes the inode.
std::map<fs::path, std::pair<ino_t, long>> stamps(const fs::path& root) {
    std::map<fs::path, std::pair<ino_t, long>> out;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        struct stat st {};
        if (entry.is_regular_file() && entry.path().filename() != ".quillet.lock" &&
            ::stat(entry.path().c_str(), &st) == 0)
            out[entry.path()] = {st.st_ino, st.st_mtim.tv_nsec + st.st_mtim.tv_sec * 1000000000L};
    }
    return out;
}

struct Case {
    const char* what;
    std::function<void(Sides&)> change;
    SyncCounts quillet, vdir;
    int conflicts;
    std::function<void(Sides&)> check;
};

void expectCounts(const SyncCounts& got, const SyncCounts& want, const char* side) {
    EXPECT_EQ(got.created, want.created) << side;
    EXPECT_EQ(got.updated, want.updated) << side;
    EXPECT_EQ(got.deleted, want.deleted) << side;
}

const Case kCases[] = {
    {"nothing changed: nothing written", [](Sides&) {}, {}, {}, 0, [](Sides&) {}},
    {"a card edited in Quillet: only its file is rewritten",
     [](Sides& s) { s.dir.write("txl/txl.cjf", gb(kZhangEdited + "\r\n" + kLi + "\r\n")); },
     {},
     {0, 1, 0},
     0,
     [](Sides& s) { EXPECT_NE(s.text(s.fileWith("contacts", "张三")).find("TITLE:总监"), std::string::npos); }},
    {"a card edited in the vdir: Quillet takes it, cut to the field's width with a note",
     [](Sides& s) {
         s.rewrite(s.fileWith("contacts", "张三"), "TITLE:经理", "TITLE:一二三四五六七八九十一二三四五六七八");
     },
     {0, 1, 0},
     {},
     0,
     [](Sides& s) {
         EXPECT_NE(s.cards().find("%张三%一二三四五六七八九十一二三四五六%"), std::string::npos) << s.cards();
     }},
    {"changed on both sides: Quillet's version stays, the vdir's becomes a second card",
     [](Sides& s) {
         s.dir.write("txl/txl.cjf", gb(kZhangEdited + "\r\n" + kLi + "\r\n"));
         s.rewrite(s.fileWith("contacts", "张三"), "TITLE:经理", "TITLE:顾问");
     },
     {1, 0, 0},
     {1, 1, 0},
     1,
     [](Sides& s) {
         EXPECT_NE(s.cards().find("%张三%总监%"), std::string::npos);
         EXPECT_NE(s.cards().find("%张三%顾问%"), std::string::npos);
         EXPECT_NE(s.fileWith("contacts", "TITLE:总监"), s.fileWith("contacts", "TITLE:顾问"));
     }},
    {"a card deleted in the vdir: discarded in Quillet through the deletion log",
     [](Sides& s) { fs::remove(s.fileWith("contacts", "李四")); },
     {0, 0, 1},
     {},
     0,
     [](Sides& s) {
         EXPECT_EQ(s.cards().find("李四"), std::string::npos);
         EXPECT_NE(decodeGb(s.dir.read("txl/mphs2026.cjf")).find("李四"), std::string::npos);
     }},
    {"a memo deleted in Quillet: its file goes",
     [](Sides& s) { s.dir.write("bwl/bwl.cjf", ""); },
     {},
     {0, 0, 1},
     0,
     [](Sides& s) { EXPECT_TRUE(s.fileWith("memos", "开会").empty()); }},
    {"a memo done and moved on a phone: flag and hour come back",
     [](Sides& s) {
         const fs::path f = s.fileWith("memos", "开会");
         s.rewrite(f, "STATUS:NEEDS-ACTION", "STATUS:COMPLETED");
         s.rewrite(f, "DUE:20261210T140000", "DUE:20261211T083000");
     },
     {0, 1, 0},
     {},
     0,
     [](Sides& s) { EXPECT_NE(s.memos().find("@@2026121108@@开会@@T@@"), std::string::npos) << s.memos(); }},
    {"what Quillet cannot hold, and a value it holds cut, stay in the file through a local edit of another field",
     [](Sides& s) {
         const fs::path f = s.fileWith("contacts", "张三");
         s.rewrite(f, "TITLE:经理", "TITLE:一二三四五六七八九十一二三四五六七八");
         s.rewrite(f, "END:VCARD", "ORG:某公司\r\nTEL;TYPE=CELL:139\r\nX-APP:1\r\nEND:VCARD");
         ASSERT_EQ(s.sync().quillet.updated, 1);
         s.dir.write("txl/txl.cjf", gb("%01%张哥%张三%一二三四五六七八九十一二三四五六%%%13800000000%%%%%%%######\r\n" +
                                       kLi + "\r\n"));
     },
     {},
     {0, 1, 0},
     0,
     [](Sides& s) {
         const std::string t = s.text(s.fileWith("contacts", "张三"));
         for (const char* kept : {"ORG:某公司", "TEL;TYPE=CELL:139\r", "X-APP:1", "NICKNAME:张哥",
                                  "TITLE:一二三四五六七八九十一二三四五六七八", "TEL;TYPE=CELL:13800000000"})
             EXPECT_NE(t.find(kept), std::string::npos) << kept << "\n" << t;
     }},
    {"a new card beyond the 1,000th: refused by name, nothing half written",
     [](Sides& s) {
         std::string lines;
         for (int n = 1; n <= 1000; ++n)
             lines += (n == 1   ? kZhang
                       : n == 2 ? kLi
                                : "%" + std::to_string(n) + "%%卡" + std::to_string(n) + "%%%%%%%%%%%######") +
                      "\r\n";
         s.dir.write("txl/txl.cjf", gb(lines));
         s.dir.write("vdir/contacts/new.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:new\r\nFN:赵六\r\nEND:VCARD\r\n");
     },
     {},
     {998, 0, 0},
     0,
     [](Sides& s) {
         ASSERT_EQ(s.last.problems.size(), 1u);
         EXPECT_NE(s.last.problems[0].find("\"赵六\" (new.vcf) not taken: the address book holds 1000 cards"),
                   std::string::npos)
             << s.last.problems[0];
         EXPECT_EQ(s.cards().find("赵六"), std::string::npos);
     }},
    {"a to-do no memo can be (no due time): left in the vdir and named",
     [](Sides& s) {
         s.dir.write("vdir/memos/x.ics",
                     "BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nUID:x\r\nSUMMARY:无期\r\nEND:VTODO\r\nEND:VCALENDAR\r\n");
     },
     {},
     {},
     0,
     [](Sides& s) {
         ASSERT_EQ(s.last.problems.size(), 1u);
         EXPECT_EQ(s.last.problems[0],
                   "memo \"无期\" (x.ics) not taken: has no due time a memo can take (DUE in 1900-2049)");
     }},
    {"the state lost: both sides matched by UID, nothing deleted or doubled",
     [](Sides& s) { fs::remove(s.dir / "sync" / "state"); },
     {},
     {},
     0,
     [](Sides& s) { EXPECT_TRUE(s.dir.exists("sync/state")); }},
    {"a photo added on a phone: copied into the photo folder and kept by the card",
     [](Sides& s) {
         const std::string jpeg = s.dir.read(fs::relative(testDataDir() / "vcard" / "red.jpg", s.dir.path()).string());
         s.rewrite(s.fileWith("contacts", "李四"), "END:VCARD",
                   "PHOTO;ENCODING=b;TYPE=JPEG:" + base64Encode(jpeg) + "\r\nEND:VCARD");
     },
     {0, 1, 0},
     {},
     0,
     [](Sides& s) {
         const std::string line = s.cards().substr(s.cards().find("%李四%"));
         const std::string photo = line.substr(line.rfind('%') + 1, line.find('\r') - line.rfind('%') - 1);
         EXPECT_TRUE(photo.starts_with("sync-")) << line;
         EXPECT_TRUE(s.dir.exists("txl/txlphoto/" + photo));
     }},
    {"to-dos from phones in UTC and in another zone: due at the local hour (the test runs in Asia/Shanghai)",
     [](Sides& s) {
         const std::string head = "BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nUID:";
         s.dir.write("vdir/memos/a.ics",
                     head + "a\r\nSUMMARY:utc\r\nDUE:20261210T060000Z\r\nEND:VTODO\r\nEND:VCALENDAR\r\n");
         s.dir.write("vdir/memos/b.ics", head + "b\r\nSUMMARY:berlin\r\nDUE;TZID=Europe/Berlin:20261210T070000\r\n"
                                                "END:VTODO\r\nEND:VCALENDAR\r\n");
     },
     {2, 0, 0},
     {},
     0,
     [](Sides& s) {
         EXPECT_NE(s.memos().find("@@2026121014@@utc@@F"), std::string::npos) << s.memos();
         EXPECT_NE(s.memos().find("@@2026121014@@berlin@@F"), std::string::npos) << s.memos();
     }},
};

TEST(VdirSync, EachRuleOnBothSides) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        Sides s;
        s.dir.write("txl/txl.cjf", gb(kZhang + "\r\n" + kLi + "\r\n"));
        s.dir.write("bwl/bwl.cjf", gb(kMemo + "\r\n"));
        const SyncReport first = s.sync();
        ASSERT_EQ(first.vdir.created, 3);
        c.change(s);
        const auto before = stamps(s.dir.path());
        // A dry run says the same and writes nothing (but the side files of identities, which any reader of a
        // book edited by another program writes down at once).
        const std::string dry = syncSummary(s.sync(true));
        auto unchanged = stamps(s.dir.path());
        for (auto& [path, stamp] : unchanged)
            if (path.extension() == ".uid")
                stamp = before.at(path);
        EXPECT_EQ(before, unchanged);
        const SyncReport r = s.sync();
        EXPECT_EQ(dry, syncSummary(r));
        expectCounts(r.quillet, c.quillet, "Quillet");
        expectCounts(r.vdir, c.vdir, "vdir");
        EXPECT_EQ(r.conflicts, c.conflicts);
        c.check(s);
        // Files written: one per record changed on the other side (plus the books and the state when any).
        const auto after = stamps(s.dir.path());
        int vdirWrites = 0;
        for (const auto& [path, stamp] : after)
            vdirWrites +=
                path.string().starts_with(s.vdir().string()) && before.contains(path) && before.at(path) != stamp;
        EXPECT_EQ(vdirWrites, c.vdir.updated);
        if (syncSummary(r) == syncSummary(SyncReport{}) && before.contains(s.dir / "sync" / "state")) {
            EXPECT_EQ(before, after);
        }
        // And then the two sides agree: a second run changes nothing.
        const auto settled = stamps(s.dir.path());
        const SyncReport again = s.sync();
        EXPECT_EQ(syncSummary(again), syncSummary(SyncReport{}));
        EXPECT_EQ(settled, stamps(s.dir.path()));
    }
}

} // namespace
