// The .lok naming rule: three-character extensions exactly as the old rule, the mend for other names.
#include "encryptor/folder_listing.h"
#include "encryptor/lok_name.h"
#include "platform/volumes.h"

#include <gtest/gtest.h>

TEST(LokName, ThreeCharacterExtensionsFollowTheOldRule) {
    // The old rule on a path F: first len(F) - 4 characters + "!" + last 3 + ".lok", and back.
    for (std::string name :
         {"report.txt", "a.doc", "x.y.cjf", "FILE.TXT", "photo 1.jpg", "日记.txt", "b.t!t", "c!.!!t"}) {
        std::string scrambled = name.substr(0, name.size() - 4) + "!" + name.substr(name.size() - 3) + ".lok";
        EXPECT_EQ(scrambledFileName(name), scrambled) << name;
        std::string q = scrambled.substr(0, scrambled.size() - 4);
        std::string old = q.substr(0, q.size() - 4) + "." + q.substr(q.size() - 3);
        EXPECT_EQ(unscrambledFileName(scrambled), old) << scrambled;
        EXPECT_EQ(old, name);
    }
}

TEST(LokName, OtherNamesKeepTheirWholeExtension) {
    struct Case {
        const char* plain;
        const char* scrambled;
    } cases[] = {{"a.html", "a!html.lok"},
                 {"README", "README!.lok"},
                 {"a.c", "a!c.lok"},
                 {"photo.jpeg", "photo!jpeg.lok"},
                 {".bashrc", "!bashrc.lok"},
                 {"x!y.txt", "x!y!txt.lok"},
                 {"archive.tar.gz", "archive.tar!gz.lok"}};
    for (const Case& c : cases) {
        EXPECT_EQ(scrambledFileName(c.plain), c.scrambled) << c.plain;
        EXPECT_EQ(unscrambledFileName(c.scrambled), c.plain) << c.scrambled;
    }
}

TEST(LokName, TheLokTestIgnoresCase) {
    EXPECT_TRUE(isLokName("FILE!TXT.LOK"));
    EXPECT_TRUE(isLokName("a!b.Lok"));
    EXPECT_TRUE(isLokName("unlok")); // the last three characters decide
    EXPECT_FALSE(isLokName("report.txt"));
    EXPECT_FALSE(isLokName("lo"));
    EXPECT_EQ(unscrambledFileName("FILE!TXT.LOK"), "FILE.TXT");
    EXPECT_EQ(unscrambledFileName("c!t!t.lok"), "c.t!t");
    EXPECT_EQ(unscrambledFileName("a!日记本.lok"), "a.日记本");
}

TEST(LokName, NamesThatCannotComeBackAreRefused) {
    // No "!" before ".lok", nothing left, or not ending in ".lok" at all.
    for (const char* name : {"notes.lok", "unlok", "!.lok", ".lok", "a.lok.txt", "x!lok"})
        EXPECT_EQ(unscrambledFileName(name), std::nullopt) << name;
    // Scrambling would not come back: "!" in the extension, a trailing ".", no name.
    for (const char* name : {"a.b!cd", "ab!.cd", "file.", "", ".", ".."})
        EXPECT_EQ(scrambledFileName(name), std::nullopt) << name;
}

TEST(LokName, Extension) {
    EXPECT_EQ(fileExtension("a.b.txt"), "txt");
    EXPECT_EQ(fileExtension("README"), "");
    EXPECT_EQ(fileExtension("file."), "");
}

TEST(FolderListing, PatternsMatchLikeTheOldFileList) {
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    } cases[] = {
        {"*.txt", "report.txt", true},
        {"*.txt", "REPORT.TXT", true},
        {"*.txt", "report.txt.bak", false},
        {"*.lok", "FILE!TXT.LOK", true},
        {"*.*", "README", true},
        {"*.*", "a.b", true},
        {"*.", "README", true},
        {"*.", "a.txt", false},
        {"*.html", "a.html", true},
        {"a?c.*", "abc.doc", true},
        {"a?c.*", "abbc.doc", false},
        {"*.doc;*.txt", "x.txt", true},
        {" *.doc ; *.rtf", "x.rtf", true},
        {"*.doc;*.txt", "x.rtf", false},
        {"", "anything", true},
        {"r*t.t*", "report.txt", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(patternMatches(c.pattern, c.name), c.match) << c.pattern << " / " << c.name;
}

TEST(FolderListing, JoinUsesOneSeparator) {
    EXPECT_EQ(joinFolder("/", "a.txt"), "/a.txt");
    EXPECT_EQ(joinFolder("/home/u", "a.txt"), "/home/u/a.txt");
    EXPECT_EQ(joinFolder("/home/u/", ""), "/home/u/");
    EXPECT_EQ(joinFolder("/home/u", ""), "/home/u/");
}

TEST(Volumes, RootHomeAndRemovableMedia) {
    const char* table = "sysfs /sys sysfs rw 0 0\n"
                        "/dev/vda / ext4 rw 0 0\n"
                        "/dev/sdb1 /media/ann/USB\\040STICK vfat rw 0 0\n"
                        "/dev/sdc1 /run/media/ann/CAM vfat rw 0 0\n"
                        "/dev/sdd1 /mnt/backup ext4 rw 0 0\n"
                        "/dev/sdb1 /media/ann/USB\\040STICK vfat rw 0 0\n"
                        "tmpfs /run tmpfs rw 0 0\n"
                        "garbage\n";
    std::vector<std::string> expected{"/", "/home/ann", "/media/ann/USB STICK", "/mnt/backup", "/run/media/ann/CAM"};
    EXPECT_EQ(volumesFromMountTable(table, "/home/ann/"), expected);
    EXPECT_EQ(volumesFromMountTable("", ""), std::vector<std::string>{"/"});
    EXPECT_EQ(mountedVolumes().front(), "/");
}
