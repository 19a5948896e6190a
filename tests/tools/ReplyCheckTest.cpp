// The reply-file checker: its findings on crafted folders, the conversion of UTF-8 files, and the
// program's output and exit status.

#include "ReplyFileChecker.h"
#include "Subprocess.h"
#include "TemporaryDirectory.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>

using zumzik::ReplyFileChecker;
using zumzik::test::Subprocess;
using namespace std::string_literals;

namespace {

const char* const kFiles[] = {"all.zmz",  "art.zmz",  "drink.zmz", "item.zmz",
                              "krut.zmz", "life.zmz", "prob.zmz",  "scien.zmz",
                              "sex.zmz",  "work.zmz", "war.zmz",   "comp.zmz"};

// "Привет", "Ещё раз", "ВСЁ!" in code page 1251; the last two hold bytes that could start UTF-8.
const std::string kGoodReplies = "\xCF\xF0\xE8\xE2\xE5\xF2\r\n"
                                 "\xC5\xF9\xB8 \xF0\xE0\xE7\r\n"
                                 "\xC2\xD1\xA8!\r\n";

std::string readBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class ReplyCheck : public ::testing::Test {
protected:
    zumzik::test::TemporaryDirectory dir;

    ReplyCheck() {
        for (const char* file : kFiles)
            dir.write(file, kGoodReplies);
    }

    // The findings as the program prints them.
    std::vector<std::string> findings(bool fix = false, std::size_t minReplies = 0) const {
        std::vector<std::string> texts;
        for (const auto& finding :
             ReplyFileChecker(minReplies).checkFolder(dir.path(), fix).findings)
            texts.push_back(finding.text());
        return texts;
    }

    Subprocess::Result replycheck(std::vector<std::string> arguments) const {
        arguments.insert(arguments.begin(), ZUMZIK_REPLYCHECK_PATH);
        return Subprocess::run(arguments, "", dir.path().string());
    }
};

TEST_F(ReplyCheck, CodePage1251FilesPass) {
    EXPECT_EQ(findings(), std::vector<std::string>{});
    // Line ends of every kind, a last line without one, and blanks around a reply are all fine.
    dir.write("art.zmz", "a\nb\rc\r\n d \td");
    EXPECT_EQ(findings(), std::vector<std::string>{});
}

TEST_F(ReplyCheck, Utf8LinesInACodePage1251FileAreNamedInOneFindingPerFile) {
    // Code page 1251 files with UTF-8 lines appended by a Linux editor or a shell.
    dir.write("work.zmz", kGoodReplies + "Работа не волк\nok\nЁлки-палки\nДа\nНу\n");
    dir.write("life.zmz", kGoodReplies + "Жизнь\n");
    EXPECT_EQ(findings(), (std::vector<std::string>{
                              "life.zmz:4: text is UTF-8 in a code page 1251 file, which the "
                              "program would show garbled; --fix converts it",
                              "work.zmz:4: text is UTF-8 on lines 4, 6-8 of a code page 1251 "
                              "file, which the program would show garbled; --fix converts them"}));
}

TEST_F(ReplyCheck, Utf8FilesPassButForCharactersShownAsQuestionMarks) {
    std::string whole;
    for (int line = 0; line < 50; ++line)
        whole += "Ответ номер " + std::to_string(line) + "\n";
    dir.write("comp.zmz", whole);
    dir.write("all.zmz", "\xEF\xBB\xBF"
                         "abc\r\ndef\r\n");
    dir.write("sex.zmz", "Смайлик 😀 и ☃ и снова 😀\r\nлюблю\r\n日本");
    EXPECT_EQ(findings(), (std::vector<std::string>{
                              "sex.zmz:1: the program shows \"?\" for U+1F600, U+2603, which "
                              "code page 1251 lacks",
                              "sex.zmz:3: the program shows \"?\" for U+65E5, U+672C, which code "
                              "page 1251 lacks"}));
}

TEST_F(ReplyCheck, CharactersTheCodePageLacksAreNamed) {
    dir.write("sex.zmz", "\xEB\xFE\xE1\xEB\xFE\r\nСмайлик 😀 и ☃ и снова 😀\r\n");
    EXPECT_EQ(findings(),
              std::vector<std::string>{"sex.zmz:2: text is UTF-8 with U+1F600, U+2603, which code "
                                       "page 1251 lacks; replace it by hand"});
}

TEST_F(ReplyCheck, FilesThatCannotBeLoadedOrHaveNoReplies) {
    std::filesystem::remove(dir.path() / "art.zmz");
    std::filesystem::remove(dir.path() / "krut.zmz");
    std::filesystem::create_directory(dir.path() / "krut.zmz");
    dir.write("item.zmz", "");
    dir.write("war.zmz", std::string("\0after", 6));
    EXPECT_EQ(findings(), (std::vector<std::string>{
                              "art.zmz: missing; the program would stop loading reply files here",
                              "item.zmz: no replies; the bot would fail with \"List index out of "
                              "bounds (0)\"",
                              "krut.zmz: not a regular file; the program would stop loading "
                              "reply files here",
                              "war.zmz: no replies; the bot would fail with \"List index out of "
                              "bounds (0)\"",
                              "war.zmz:1: NUL byte; the program ignores everything after it"}));
}

TEST_F(ReplyCheck, NulByteIsNamedOnItsLineAndHidesWhatFollows) {
    // Lines are counted as the program counts them: CR LF, LF and lone CR each end one.
    dir.write("drink.zmz", "a\r\nb\nc\rd\n\re\0f\n\ng"s);
    EXPECT_EQ(findings(), (std::vector<std::string>{
                              "drink.zmz:5: empty line; the bot would show an empty reply",
                              "drink.zmz:6: NUL byte; the program ignores everything after it"}));
}

TEST_F(ReplyCheck, EmptyLongAndRepeatedReplies) {
    const std::string fits(ReplyFileChecker::kReplyLineWidth, 'x');
    dir.write("life.zmz",
              "one\r\n\r\n  \t\r\n" + fits + "\r\n" + fits + "y\r\none\r\n\r\n" + fits + "y\r\n");
    EXPECT_EQ(findings(),
              (std::vector<std::string>{
                  "life.zmz:2: empty line; the bot would show an empty reply",
                  "life.zmz:3: empty line; the bot would show an empty reply",
                  "life.zmz:5: reply is 81 characters long; only 80 fit on the reply line",
                  "life.zmz:6: same reply as line 1",
                  "life.zmz:7: empty line; the bot would show an empty reply",
                  "life.zmz:8: reply is 81 characters long; only 80 fit on the reply line",
                  "life.zmz:8: same reply as line 5"}));
}

TEST_F(ReplyCheck, LoneAmpersandsAreFound) {
    dir.write("all.zmz", "Tom && Jerry\r\nTom & Jerry\r\nRock&&Roll&\r\n&&&\r\n&&\r\n");
    const std::string message =
        ": a single & is not shown (it underlines the next character); write && to show one";
    EXPECT_EQ(findings(), (std::vector<std::string>{"all.zmz:2" + message, "all.zmz:3" + message,
                                                    "all.zmz:4" + message}));
}

TEST_F(ReplyCheck, Utf8RepliesAreMeasuredInCharacters) {
    // 80 Cyrillic letters are 160 bytes in UTF-8 but fit once converted.
    std::string letters;
    for (std::size_t i = 0; i < ReplyFileChecker::kReplyLineWidth; ++i)
        letters += "ж";
    dir.write("scien.zmz", letters + "\n" + letters + "\n");
    EXPECT_EQ(findings(), std::vector<std::string>{"scien.zmz:2: same reply as line 1"});
}

TEST_F(ReplyCheck, TooFewRepliesWhenAMinimumIsAsked) {
    dir.write("prob.zmz", "only one\r\n");
    EXPECT_EQ(findings(false, 3), std::vector<std::string>{"prob.zmz: only 1 reply, 3 wanted"});
    EXPECT_EQ(findings(false, 1), std::vector<std::string>{});
}

TEST_F(ReplyCheck, FixConvertsUtf8ToTheExactCodePageBytes) {
    // Every kind of line end, and a code page 1251 line that must stay as it is; a mark.
    dir.write("all.zmz", "Привет, ёжик!\r\n№ 5 — €\nok\r"
                         "\xCF\xF0\xE8\xE2\xE5\xF2\r\nЁЖ\n");
    dir.write("war.zmz", "\xEF\xBB\xBFok\r\nЁЖ\r\n");
    const auto report = ReplyFileChecker().checkFolder(dir.path(), true);
    EXPECT_EQ(report.converted, (std::vector<std::string>{"all.zmz", "war.zmz"}));
    EXPECT_TRUE(report.findings.empty());
    EXPECT_EQ(readBytes(dir.path() / "all.zmz"),
              "\xCF\xF0\xE8\xE2\xE5\xF2, \xB8\xE6\xE8\xEA!\r\n\xB9 5 \x97 \x88\nok\r"
              "\xCF\xF0\xE8\xE2\xE5\xF2\r\n\xA8\xC6\n");
    EXPECT_EQ(readBytes(dir.path() / "war.zmz"), "ok\r\n\xA8\xC6\r\n");
    EXPECT_EQ(readBytes(dir.path() / "art.zmz"), kGoodReplies) << "a good file is not touched";
}

TEST_F(ReplyCheck, FixConvertsTheFileALinkNamesAndKeepsTheLink) {
    std::filesystem::create_directory(dir.path() / "store");
    dir.write("store/war.txt", "Смирно!\r\n");
    std::filesystem::remove(dir.path() / "war.zmz");
    std::filesystem::create_symlink("store/war.txt", dir.path() / "war.zmz");
    EXPECT_EQ(ReplyFileChecker().checkFolder(dir.path(), true).converted,
              std::vector<std::string>{"war.zmz"});
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "war.zmz"));
    EXPECT_EQ(readBytes(dir.path() / "store/war.txt"), "\xD1\xEC\xE8\xF0\xED\xEE!\r\n");
}

TEST_F(ReplyCheck, FixWritesThroughNoLinkPlantedBesideTheFile) {
    // Someone else who may write the shared folder plants a link where a temporary file went.
    dir.write("victim", "secret\n");
    std::filesystem::permissions(dir.path() / "victim", std::filesystem::perms(0600));
    std::filesystem::create_symlink("victim", dir.path() / "art.zmz.replycheck-new");
    dir.write("art.zmz", "Смирно!\r\n");
    std::filesystem::permissions(dir.path() / "art.zmz", std::filesystem::perms(0640));
    EXPECT_EQ(ReplyFileChecker().checkFolder(dir.path(), true).converted,
              std::vector<std::string>{"art.zmz"});
    EXPECT_EQ(readBytes(dir.path() / "victim"), "secret\n");
    EXPECT_EQ(std::filesystem::status(dir.path() / "victim").permissions(),
              std::filesystem::perms(0600));
    EXPECT_FALSE(std::filesystem::is_symlink(dir.path() / "art.zmz"));
    EXPECT_EQ(readBytes(dir.path() / "art.zmz"), "\xD1\xEC\xE8\xF0\xED\xEE!\r\n");
    EXPECT_EQ(std::filesystem::status(dir.path() / "art.zmz").permissions(),
              std::filesystem::perms(0640));
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, std::size(kFiles) + 2) << "the temporary file is gone";
}

TEST_F(ReplyCheck, FixLeavesAFileWithAnEmojiUnchangedAndNamesTheLine) {
    const std::string bytes = "Первая\nВторая 😀\nТретья\n";
    dir.write("item.zmz", bytes);
    const auto report = ReplyFileChecker().checkFolder(dir.path(), true);
    EXPECT_TRUE(report.converted.empty());
    std::vector<std::string> texts;
    for (const auto& finding : report.findings)
        texts.push_back(finding.text());
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "item.zmz: not converted, as code page 1251 lacks characters on the "
                         "lines named here",
                         "item.zmz:2: the program shows \"?\" for U+1F600, which code page 1251 "
                         "lacks"}));
    EXPECT_EQ(readBytes(dir.path() / "item.zmz"), bytes);
}

TEST_F(ReplyCheck, ProgramExitsWithZeroWhenAllIsWell) {
    const auto result = replycheck({});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(replycheck({"--min-replies", "3", dir.path().string()}).exitStatus, 0);
}

TEST_F(ReplyCheck, ProgramPrintsFindingsAndExitsWithOne) {
    dir.write("war.zmz", "a\r\na\r\n");
    const auto result = replycheck({"--min-replies", "3"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.out, "war.zmz: only 2 replies, 3 wanted\nwar.zmz:2: same reply as line 1\n");
    EXPECT_EQ(result.err, "");
}

TEST_F(ReplyCheck, ProgramFixesAndThenFindsNothing) {
    dir.write("krut.zmz", "Базар\r\nнет\r\n");
    const auto fixed = replycheck({"--fix"});
    EXPECT_EQ(fixed.exitStatus, 0);
    EXPECT_EQ(fixed.out, "krut.zmz: converted from UTF-8 to code page 1251\n");
    EXPECT_EQ(readBytes(dir.path() / "krut.zmz"), "\xC1\xE0\xE7\xE0\xF0\r\n\xED\xE5\xF2\r\n");
    EXPECT_EQ(replycheck({"--fix"}).out, "") << "a second run has nothing left to convert";
}

TEST_F(ReplyCheck, AReportThatCannotBeWrittenIsAFailure) {
    dir.write("krut.zmz", "Базар\r\n");
    const auto result = Subprocess::run(
        {"/bin/sh", "-c", "exec \"$0\" \"$@\" >/dev/full", ZUMZIK_REPLYCHECK_PATH, "--fix"}, "",
        dir.path().string());
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_NE(result.err.find("cannot write to standard output"), std::string::npos) << result.err;
}

TEST_F(ReplyCheck, UsageErrorsExitWithTwo) {
    const std::vector<std::vector<std::string>> bad = {
        {"--frobnicate"},
        {"--min-replies"},
        {"--min-replies", "-1"},
        {"--min-replies", "4x"},
        {"one", "two"},
        {"no-such-folder"},
        {"art.zmz"},
    };
    for (const auto& arguments : bad) {
        const auto result = replycheck(arguments);
        EXPECT_EQ(result.exitStatus, 2) << arguments[0];
        EXPECT_EQ(result.out, "") << arguments[0];
        EXPECT_NE(result.err, "") << arguments[0];
    }
    const auto help = replycheck({"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_EQ(help.out.rfind("usage: zumzik-replycheck", 0), 0u);
}

} // namespace
