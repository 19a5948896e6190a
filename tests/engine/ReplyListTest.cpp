#include "ReplyList.h"

#include "Error.h"
#include "RandomGenerator.h"
#include "TemporaryDirectory.h"

#include <gtest/gtest.h>
#include <unistd.h>

using zumzik::RandomGenerator;
using zumzik::ReplyList;
using Lines = std::vector<std::string>;

namespace {

TEST(ReplyFileFormat, LineBreaks) {
    EXPECT_EQ(ReplyList::splitLines("a\r\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(ReplyList::splitLines("a\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(ReplyList::splitLines("a\rb"), (Lines{"a", "b"}));
    EXPECT_EQ(ReplyList::splitLines("a\n\rb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(ReplyList::splitLines("a\r\n\r\n"), (Lines{"a", ""}));
    EXPECT_EQ(ReplyList::splitLines("\r\na"), (Lines{"", "a"}));
    EXPECT_EQ(ReplyList::splitLines("\n\n"), (Lines{"", ""}));
    EXPECT_EQ(ReplyList::splitLines(""), Lines{});
}

TEST(ReplyFileFormat, NulEndsTheDataAndNothingIsTrimmed) {
    EXPECT_EQ(ReplyList::splitLines(std::string("a\0b\r\nc", 6)), Lines{"a"});
    EXPECT_EQ(ReplyList::splitLines(std::string("\0a", 2)), Lines{});
    EXPECT_EQ(ReplyList::splitLines(" \ta \t\r\n  \r\n"), (Lines{" \ta \t", "  "}));
}

// What an editor on Linux saves, UTF-8 with or without the mark, becomes code page 1251; every
// other file is taken byte for byte as it stands.
TEST(ReplyFileFormat, Utf8FilesAreConvertedAndAllOthersReadAsTheyStand) {
    const auto load = [](const std::string& bytes) {
        ReplyList list;
        list.loadFromBytes(bytes);
        return list.entries();
    };
    EXPECT_EQ(load("Привет\r\n\r\n ёж \r"), (Lines{"\xCF\xF0\xE8\xE2\xE5\xF2", "", " \xB8\xE6 "}));
    EXPECT_EQ(load("\xEF\xBB\xBFok\nok"), (Lines{"ok", "ok"}));
    EXPECT_EQ(load("\xEF\xBB\xBF"), Lines{});
    EXPECT_EQ(load("a😀b 日本\n"), Lines{"a?b ??"});         // one mark a character
    EXPECT_EQ(load("\xEF\xBB\xBF\xCF\xF0\n"), Lines{"??"}); // the mark alone makes it UTF-8
    // ASCII, and code page 1251 with a stray UTF-8 letter, a sequence cut short at the very end
    // or an overlong form, read as they stand.
    for (const std::string bytes :
         {"plain\r\nASCII", "\xCF\xF0\xE8\xE2\xE5\xF2 ж\r\n", "ж\xD0", "ж\r\n\xC0\xAF"})
        EXPECT_EQ(load(bytes), ReplyList::splitLines(bytes)) << bytes;
}

TEST(RandomGenerator, SequencesFromSeedZero) {
    RandomGenerator random;
    std::vector<std::uint32_t> hundred;
    for (int i = 0; i < 8; ++i)
        hundred.push_back(random.randomBelow(100));
    EXPECT_EQ(hundred, (std::vector<std::uint32_t>{0, 3, 86, 20, 27, 67, 31, 16}));

    random.setSeed(0);
    std::vector<std::uint32_t> five;
    for (int i = 0; i < 8; ++i)
        five.push_back(random.randomBelow(5));
    EXPECT_EQ(five, (std::vector<std::uint32_t>{0, 0, 4, 1, 1, 3, 1, 0}));
}

TEST(RandomGenerator, BelowOneAndZeroStillAdvance) {
    RandomGenerator random;
    random.setSeed(12345);
    EXPECT_EQ(random.randomBelow(1), 0u);
    EXPECT_EQ(random.seed(), 12345u * 134775813u + 1u);
    const std::uint32_t before = random.seed();
    EXPECT_EQ(random.randomBelow(0), 0u);
    EXPECT_NE(random.seed(), before);
    for (int i = 0; i < 1000; ++i)
        EXPECT_LT(random.randomBelow(7), 7u);
    random.setSeed(0xFFFFFFFFu);
    EXPECT_LT(random.randomBelow(0xFFFFFFFFu), 0xFFFFFFFFu);
}

TEST(ReplyList, DrawTakesOneStepAndPicksThatEntry) {
    const ReplyList list{"a", "b", "c", "d", "e"};
    RandomGenerator random;
    RandomGenerator expected;
    const std::vector<std::string> want = {"a", "a", "e", "b", "b", "d"}; // 0 0 4 1 1 3 below 5
    for (const std::string& entry : want) {
        EXPECT_EQ(list.DrawReply(random), entry);
        expected.randomBelow(5);
        EXPECT_EQ(random.seed(), expected.seed());
    }
}

TEST(ReplyList, IndexErrors) {
    const ReplyList empty;
    RandomGenerator random;
    try {
        empty.DrawReply(random);
        FAIL() << "a draw from an empty list must fail";
    } catch (const zumzik::Error& error) {
        EXPECT_STREQ(error.what(), "List index out of bounds (0)");
    }
    EXPECT_EQ(random.seed(), 1u) << "the draw still takes its step";
    const ReplyList two{"x", "y"};
    EXPECT_EQ(two.entry(1), "y");
    EXPECT_THROW(two.entry(2), zumzik::Error);
}

class ReplyFile : public ::testing::Test {
protected:
    zumzik::test::TemporaryDirectory dir;

    std::string openError(const std::string& name) {
        ReplyList list{"kept"};
        try {
            list.loadFromFile(name);
        } catch (const zumzik::Error& error) {
            EXPECT_EQ(list.entries(), Lines{"kept"}) << "a failed load keeps the old entries";
            return error.what();
        }
        ADD_FAILURE() << "loading " << name << " must fail";
        return {};
    }
};

TEST_F(ReplyFile, LoadsByBareNameFromTheWorkingDirectory) {
    dir.write("all.zmz", "\xCF\xF0\xE8\xE2\xE5\xF2\r\n\r\n  two  \r\n");
    ReplyList list{"old"};
    list.loadFromFile("all.zmz");
    EXPECT_EQ(list.entries(), (Lines{"\xCF\xF0\xE8\xE2\xE5\xF2", "", "  two  "}));
}

TEST_F(ReplyFile, OpenErrorsNameTheFullPathAndTheSystemText) {
    const std::string path = dir.path().string() + "/";
    EXPECT_EQ(openError("all.zmz"),
              "Cannot open file \"" + path + "all.zmz\". No such file or directory");
    std::filesystem::create_directory(dir.path() / "art.zmz");
    EXPECT_EQ(openError("art.zmz"), "Cannot open file \"" + path + "art.zmz\". Is a directory");
    dir.write("war.zmz", "x");
    std::filesystem::permissions(dir.path() / "war.zmz", std::filesystem::perms::none);
    if (::geteuid() != 0) { // root reads whatever the permissions say
        EXPECT_EQ(openError("war.zmz"),
                  "Cannot open file \"" + path + "war.zmz\". Permission denied");
    }
}

TEST_F(ReplyFile, BadContentsLoadWithoutHarm) {
    dir.write("empty.zmz", "");
    dir.write("nul.zmz", std::string("\0\0\0", 3));
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>((i * 7919 + 13) % 255 + 1); // every byte but NUL
    dir.write("binary.zmz", binary);
    const std::string huge(10 * 1024 * 1024, '\xE0');
    dir.write("huge.zmz", huge + "\r\nend");

    ReplyList list;
    list.loadFromFile("empty.zmz");
    EXPECT_EQ(list.count(), 0u);
    list.loadFromFile("nul.zmz");
    EXPECT_EQ(list.count(), 0u);
    list.loadFromFile("binary.zmz");
    EXPECT_GT(list.count(), 1u);
    for (const std::string& entry : list.entries())
        EXPECT_EQ(entry.find_first_of(std::string("\r\n\0", 3)), std::string::npos);
    list.loadFromFile("huge.zmz");
    ASSERT_EQ(list.count(), 2u);
    EXPECT_EQ(list.entry(0).size(), huge.size());
    EXPECT_EQ(list.entry(1), "end");
}

} // namespace
