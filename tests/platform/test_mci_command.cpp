#include "platform/mci_command.h"

#include <gtest/gtest.h>

namespace {

TEST(MciCommand, OpenWithQuotedPathHoldingBlanks) {
    auto c = parseMciCommand("OPEN \"/opt/My Programs/Quillet 1/bwyy.mid\" TYPE SEQUENCER ALIAS BackgroundMusic");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->verb, MciCommand::Verb::Open);
    EXPECT_EQ(c->name, "/opt/My Programs/Quillet 1/bwyy.mid");
    EXPECT_EQ(c->type, "SEQUENCER");
    EXPECT_EQ(c->alias, "BackgroundMusic");
}

TEST(MciCommand, OpenWithPlainPathAndNoOptions) {
    auto c = parseMciCommand("open /opt/quillet/dsyy.mid");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->name, "/opt/quillet/dsyy.mid");
    EXPECT_EQ(c->type, "");
    EXPECT_EQ(c->alias, "");
}

TEST(MciCommand, UnquotedPathWithBlanksFails) {
    EXPECT_FALSE(parseMciCommand("OPEN /opt/My Programs/bwyy.mid TYPE SEQUENCER ALIAS BackgroundMusic"));
}

TEST(MciCommand, KeywordsIgnoreCaseAndExtraBlanks) {
    auto status = parseMciCommand("  status   BackgroundMusic   MODE ");
    ASSERT_TRUE(status);
    EXPECT_EQ(status->verb, MciCommand::Verb::Status);
    EXPECT_EQ(status->name, "BackgroundMusic");
    EXPECT_EQ(status->item, "mode");
    auto play = parseMciCommand("Play BackgroundMusic from 0");
    ASSERT_TRUE(play);
    EXPECT_EQ(play->verb, MciCommand::Verb::Play);
    EXPECT_EQ(play->from, 0);
    auto close = parseMciCommand("CLOSE BackgroundMusic");
    ASSERT_TRUE(close);
    EXPECT_EQ(close->verb, MciCommand::Verb::Close);
}

TEST(MciCommand, PlayWithoutPosition) {
    auto play = parseMciCommand("PLAY BackgroundMusic");
    ASSERT_TRUE(play);
    EXPECT_FALSE(play->from);
}

TEST(MciCommand, MalformedCommandsFail) {
    for (const char* text :
         {"", "OPEN", "OPEN \"/a b.mid", "OPEN a.mid TYPE", "OPEN a.mid ALIAS x ALIAS y", "OPEN a.mid SHAREABLE",
          "STATUS BackgroundMusic", "STATUS BackgroundMusic MODE X", "PLAY BackgroundMusic FROM",
          "PLAY BackgroundMusic FROM -1", "PLAY BackgroundMusic TO 5", "PLAY BackgroundMusic FROM 1x", "CLOSE",
          "CLOSE BackgroundMusic WAIT", "SEEK x TO 0", "OPEN \"\" ALIAS x"})
        EXPECT_FALSE(parseMciCommand(text)) << text;
}

TEST(MciCommand, WordsKeepQuotedBlanks) {
    auto words = splitMciWords("a \"b c\"  d\"\"");
    ASSERT_TRUE(words);
    EXPECT_EQ(*words, (std::vector<std::string>{"a", "b c", "d\"\""}));
    EXPECT_FALSE(splitMciWords("x \"open"));
}

TEST(MciCommand, NamesCompareWithoutCase) {
    EXPECT_TRUE(sameMciName("BackgroundMusic", "BACKGROUNDMUSIC"));
    EXPECT_FALSE(sameMciName("BackgroundMusic", "BackgroundMusic2"));
}

} // namespace
