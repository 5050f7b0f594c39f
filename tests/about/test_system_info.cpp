#include "about/about_box.h"
#include "platform/system_info.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace std::string_literals;

TEST(RegistryValues, StringLosesACountedTerminatingNul) {
    std::string buffer = "C:\\Tools\\msinfo32.exe\0garbage"s;
    EXPECT_EQ(registryStringText(buffer, 22), "C:\\Tools\\msinfo32.exe");
    EXPECT_EQ(registryStringText(buffer, 21), "C:\\Tools\\msinfo32.exe");
    EXPECT_EQ(registryStringText(buffer, 3), "C:\\");
    EXPECT_EQ(registryStringText(buffer, 0), "");
    EXPECT_EQ(registryStringText("\0"s, 1), "");
    // Only the one terminating NUL is dropped.
    EXPECT_EQ(registryStringText("ab\0\0"s, 4), "ab\0"s);
    // A size beyond the buffer is cut to the buffer.
    EXPECT_EQ(registryStringText("abc", 10), "abc");
}

TEST(RegistryValues, DwordBytesLeastSignificantFirst) {
    struct Case {
        std::string bytes;
        const char* text;
    };
    const Case cases[] = {
        {"\x10\0\0\0"s, "16"},
        {"\0\0\0\0"s, "0"},
        {"\x01\x02\0\0"s, "513"}, // 0x0201, not 0x21: every byte keeps both of its hex digits
        {"\x0f\x0f\0\0"s, "3855"},
        {"\0\0\0\x01"s, "16777216"},
        {"\xff\xff\xff\x7f"s, "2147483647"},
        {"\xff\xff\xff\xff"s, "4294967295"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(registryDwordText(c.bytes, 4), std::optional<std::string>(c.text)) << c.text;
    EXPECT_FALSE(registryDwordText("\x10\0\0"s, 3));
    EXPECT_FALSE(registryDwordText("\x10\0\0\0\0"s, 5));
}

TEST(RegistryValues, ValueTextByType) {
    std::string keyVal = "before";
    EXPECT_TRUE(registryValueText(kRegSz, "C:\\x\0"s, 5, keyVal));
    EXPECT_EQ(keyVal, "C:\\x");
    EXPECT_TRUE(registryValueText(kRegDword, "\x10\0\0\0"s, 4, keyVal));
    EXPECT_EQ(keyVal, "16");
    // Other types (REG_BINARY 3, REG_EXPAND_SZ 2) leave the text as it was.
    EXPECT_TRUE(registryValueText(3, "\x01\x02"s, 2, keyVal));
    EXPECT_EQ(keyVal, "16");
    EXPECT_TRUE(registryValueText(2, "%x%\0"s, 4, keyVal));
    EXPECT_EQ(keyVal, "16");
    EXPECT_FALSE(registryValueText(kRegDword, "\x10\0"s, 2, keyVal));
    EXPECT_EQ(keyVal, "16");
}

namespace {

void makeProgram(const std::filesystem::path& file, bool executable) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << "#!/bin/sh\nexit 0\n";
    using std::filesystem::perms;
    std::filesystem::permissions(file, executable ? perms::owner_all : perms::owner_read | perms::owner_write);
}

} // namespace

TEST(SysInfoLookup, FirstKnownProgramOnThePath) {
    TempWorkDir dir;
    makeProgram(dir / "bin1/gnome-system-monitor", true);
    makeProgram(dir / "bin2/kinfocenter", true);
    std::string path = (dir / "empty").string() + ":" + (dir / "bin1").string() + ":" + (dir / "bin2").string();
    // kinfocenter comes before gnome-system-monitor in the list, whatever the folder order.
    EXPECT_EQ(findProgramOnPath(path, sysInfoProgramNames()), dir / "bin2/kinfocenter");
    EXPECT_EQ(findProgramOnPath(path, {"gnome-system-monitor"}), dir / "bin1/gnome-system-monitor");
}

TEST(SysInfoLookup, SkipsFilesThatCannotRunAndFolders) {
    TempWorkDir dir;
    makeProgram(dir / "a/hardinfo", false);
    std::filesystem::create_directories(dir / "a/kinfocenter");
    makeProgram(dir / "b/hardinfo", true);
    std::string path = (dir / "a").string() + "::" + (dir / "b").string();
    EXPECT_EQ(findProgramOnPath(path, {"hardinfo", "kinfocenter"}), dir / "b/hardinfo");
    EXPECT_EQ(findProgramOnPath((dir / "a").string(), {"hardinfo", "kinfocenter"}), std::nullopt);
}

TEST(SysInfoLookup, NothingOnAnEmptyPathAndNeverTheWorkingFolder) {
    TempWorkDir dir;
    makeProgram(dir / "hardinfo", true); // in the working folder itself
    EXPECT_EQ(findProgramOnPath("", sysInfoProgramNames()), std::nullopt);
    EXPECT_EQ(findProgramOnPath(":", sysInfoProgramNames()), std::nullopt);
    EXPECT_EQ(findProgramOnPath("::", {"hardinfo"}), std::nullopt);
}

TEST(SysInfoLookup, ListNamesCommonTools) {
    const std::vector<std::string>& names = sysInfoProgramNames();
    ASSERT_GE(names.size(), 3u);
    EXPECT_EQ(names[0], "hardinfo");
    EXPECT_NE(std::find(names.begin(), names.end(), "kinfocenter"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "gnome-system-monitor"), names.end());
}

TEST(AboutTexts, CaptionLinksAndMessage) {
    EXPECT_EQ(aboutCaption(), "关于 Quillet");
    EXPECT_EQ(aboutLinkTarget(0), "mailto:quillet@example.org");
    EXPECT_EQ(aboutLinkTarget(1), "https://www.example.org/quillet/");
    EXPECT_EQ(sysInfoUnavailableNotice().text, "此时系统信息不可用");
    EXPECT_EQ(sysInfoUnavailableNotice().buttons, NoticeButtons::Ok);
}

TEST(AboutHoverRules, LogoGrowsAndShrinksOnlyPast1300) {
    AboutHover hover;
    EXPECT_EQ(hover.logoWidth(), 1200);
    EXPECT_EQ(hover.logoHeight(), 1000);
    hover.overWindow(); // not grown: stays
    EXPECT_EQ(hover.logoWidth(), 1200);
    hover.overLogo();
    EXPECT_EQ(hover.logoWidth(), 1400);
    EXPECT_EQ(hover.logoHeight(), 1200);
    hover.overLink(1); // other hovers leave the logo alone
    hover.overDisclaimer();
    EXPECT_EQ(hover.logoWidth(), 1400);
    hover.overWindow();
    EXPECT_EQ(hover.logoWidth(), 1200);
    EXPECT_EQ(hover.logoHeight(), 1000);
}

TEST(AboutHoverRules, LinksAndDisclaimer) {
    AboutHover hover;
    EXPECT_EQ(hover.hotLink(), -1);
    EXPECT_EQ(hover.disclaimerColour(), 0xFFFFFFu);
    hover.overLink(0);
    EXPECT_EQ(hover.hotLink(), 0);
    hover.overLink(1);
    EXPECT_EQ(hover.hotLink(), 1);
    hover.overDisclaimer();
    EXPECT_TRUE(hover.disclaimerHot());
    EXPECT_EQ(hover.disclaimerColour(), 0x00FFFFu);
    EXPECT_EQ(hover.hotLink(), 1); // the disclaimer does not clear the link
    hover.overWindow();
    EXPECT_EQ(hover.hotLink(), -1);
    EXPECT_FALSE(hover.disclaimerHot());
    EXPECT_EQ(hover.disclaimerColour(), 0xFFFFFFu);
}
