// What a click on the e-mail and home-page boxes may open: only mail and web addresses.
#include "addressbook/card_links.h"

#include <gtest/gtest.h>

TEST(CardLinks, MailOpensOnlyAPlainAddress) {
    EXPECT_EQ(mailLinkFor("  zhang@example.cn "), "mailto:zhang@example.cn");
    EXPECT_EQ(mailLinkFor("张三@例子.中国"), "mailto:张三@例子.中国");
    for (std::string_view bad : std::initializer_list<std::string_view>{
             "", "   ", "a b@c.cn", "a@b.cn\t", "a@b.cn\r", std::string_view("a\0b@c.cn", 8),
             "a@b.cn?attach=/etc/passwd", "a\x7F@b.cn", "a\xE3\x80\x80@b.cn"})
        EXPECT_FALSE(mailLinkFor(bad)) << bad;
}

TEST(CardLinks, WebAddressesWithHttpOrHttpsOpenAsTheyAre) {
    EXPECT_EQ(webLinkFor(" http://www.example.cn/a?b=1 "), "http://www.example.cn/a?b=1");
    EXPECT_EQ(webLinkFor("HTTPS://example.cn"), "HTTPS://example.cn");
    EXPECT_EQ(webLinkFor("https://localhost:8080/"), "https://localhost:8080/");
    EXPECT_FALSE(webLinkFor("http://"));
    EXPECT_FALSE(webLinkFor("https:///etc/passwd"));
}

TEST(CardLinks, AddressesWithoutSchemeGetHttp) {
    EXPECT_EQ(webLinkFor("www.orlin.cn"), "http://www.orlin.cn");
    EXPECT_EQ(webLinkFor("example.com:8080/index.htm"), "http://example.com:8080/index.htm");
    EXPECT_EQ(webLinkFor("中文.公司/主页"), "http://中文.公司/主页");
}

TEST(CardLinks, EverythingElseIsNotOpened) {
    for (std::string_view bad : {"",
                                 "  ",
                                 "C:\\Windows\\system32\\calc.exe",
                                 "c:/windows/notepad.exe",
                                 "/usr/bin/xterm",
                                 "./run.sh",
                                 "../pavosz.cjf",
                                 "~/secret",
                                 "\\\\server\\share",
                                 "file:///etc/passwd",
                                 "javascript:alert(1)",
                                 "ftp://example.com",
                                 "smb://host/share",
                                 "mailto:a@b.cn",
                                 "localhost",
                                 "notepad",
                                 "www.a.cn x",
                                 "www.a.cn:abc",
                                 ".hidden.cn",
                                 "-rf.cn",
                                 "a..cn\\x"})
        EXPECT_FALSE(webLinkFor(bad)) << bad;
}
