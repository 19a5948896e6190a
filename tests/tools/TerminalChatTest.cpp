// The terminal chat's contract, end to end: the real program with its reply files, its options
// and its standard streams.

#include "Cp1251.h"
#include "RandomGenerator.h"
#include "Subprocess.h"
#include "TemporaryDirectory.h"

#include <gtest/gtest.h>
#include <sstream>

using zumzik::RandomGenerator;
using zumzik::test::Subprocess;

namespace {

const char* const kTopics[] = {"all",  "art",   "drink", "item", "krut", "life",
                               "prob", "scien", "sex",   "work", "war",  "comp"};
constexpr int kEntries = 4; // every crafted reply file holds this many lines

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        out.push_back(line);
    return out;
}

class TerminalChat : public ::testing::Test {
protected:
    zumzik::test::TemporaryDirectory dir;

    TerminalChat() {
        for (const char* topic : kTopics)
            dir.write(std::string(topic) + ".zmz", replyFile(topic));
    }

    // Entries name their file in Cyrillic and Latin, so a reply shows where it came from.
    static std::string replyFile(const char* topic) {
        std::string bytes;
        for (int i = 0; i < kEntries; ++i)
            bytes += zumzik::Cp1251::fromUtf8("ответ ") + topic + std::to_string(i) + "\r\n";
        return bytes;
    }

    Subprocess::Result chat(const std::string& input, std::vector<std::string> options = {}) {
        options.insert(options.begin(), ZUMZIK_CHAT_PATH);
        return Subprocess::run(options, input, dir.path().string());
    }
};

TEST_F(TerminalChat, AnswersEveryLineWithOneLine) {
    const auto result = chat("Вася\nкак дела на работе\n",
                             {"--seed", "1", "--date", "2026-12-07", "--time", "9:05"});
    RandomGenerator random;
    random.setSeed(1);
    const char* openings[] = {"Какое твоё имя, камрад?", "Имя-то у тебя есть? Я - Зумзик!",
                              "Давай знакомиться? Я - Zumzik.",
                              "Хотелось бы узнать, как к Вам обращаться?",
                              "Как зовут-то тебя, братишка?"};
    const std::string opening = openings[random.randomBelow(5)];
    random.randomBelow(kEntries); // the work rule draws first, then life is shown
    const std::string life = "ответ life" + std::to_string(random.randomBelow(kEntries));

    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(lines(result.out),
              (std::vector<std::string>{opening, "Привет ВАСЯ! Давай поболтаем?", life}));
}

TEST_F(TerminalChat, Utf8FilesTalkExactlyLikeTheirCodePage1251Copies) {
    const std::string input = "Вася\nкак дела на работе\nтеатр\nну и ну\nкомп\nда\nвсё\n";
    const std::vector<std::string> options = {"--seed", "7", "--time", "9:05"};
    const auto cp1251 = chat(input, options);
    // Saved again as editors on Linux save them, half of them with the byte order mark.
    bool mark = false;
    for (const char* topic : kTopics) {
        dir.write(std::string(topic) + ".zmz",
                  (mark ? "\xEF\xBB\xBF" : "") + zumzik::Cp1251::toUtf8(replyFile(topic)));
        mark = !mark;
    }
    const auto utf8 = chat(input, options);
    EXPECT_EQ(utf8.err, "");
    EXPECT_EQ(lines(utf8.out).size(), 8u);
    EXPECT_EQ(utf8.out, cp1251.out);
}

TEST_F(TerminalChat, RefusalsCarriageReturnsAndALastLineWithoutBreak) {
    const auto result = chat("\n \nJohn\r\nкакое число\r\nкоторый час",
                             {"--date", "2027-01-01", "--time", "23:59"});
    EXPECT_EQ(result.exitStatus, 0);
    const auto out = lines(result.out);
    ASSERT_EQ(out.size(), 6u);
    EXPECT_EQ(out[1], "Ты что, не хочешь со мной разговаривать?");
    EXPECT_EQ(out[2], "Ты что, не хочешь со мной разговаривать?");
    EXPECT_EQ(out[3], "Привет JOHN! Давай поболтаем?");
    EXPECT_EQ(out[4], "Сегодня 1 января 2027 года, пятница. А что?");
    EXPECT_EQ(out[5], "23 : 59 ! А ты куда-то спешишь?");
}

TEST_F(TerminalChat, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    const auto result = chat("😀日本\nשלום\n", {"--seed", "4294967295"});
    const auto out = lines(result.out);
    ASSERT_EQ(out.size(), 3u);
    // Two literals, so that the compiler does not warn of a "??!" trigraph.
    EXPECT_EQ(out[1], "Привет ???"
                      "! Давай поболтаем?");
    EXPECT_EQ(out[2].rfind("ответ all", 0), 0u) << out[2];
}

TEST_F(TerminalChat, ErrorsGoToStandardErrorAndTheSessionGoesOn) {
    std::filesystem::remove(dir.path() / "life.zmz");
    const auto result = chat("Вася\nкак жизнь\nда\n");
    EXPECT_EQ(result.exitStatus, 0);
    // The full stop is added after the system text, not after the closing parenthesis.
    EXPECT_EQ(lines(result.err),
              (std::vector<std::string>{"Cannot open file \"" + (dir.path() / "life.zmz").string() +
                                            "\". No such file or directory.",
                                        "List index out of bounds (0)"}));
    const auto out = lines(result.out);
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0], "") << "no opening line after a failed creation";
    EXPECT_EQ(out[1], "Привет ВАСЯ! Давай поболтаем?");
    EXPECT_EQ(out[2], out[1]) << "a failed turn leaves the reply line as it was";
    // Never seeded, so the sequence starts from 0: the failed draw took one step.
    RandomGenerator random;
    random.randomBelow(0);
    const char* yes[] = {
        "Так прямо таки и да?", "Нельзя быть столь категоричным, братан!", "Да???", "Ну да!",
        "Ты согласен?",         "Я рад, что ты меня поддерживаешь!"};
    EXPECT_EQ(out[3], yes[random.randomBelow(6)]);
}

TEST_F(TerminalChat, HugeLinesAndBinaryInputAreAnswered) {
    std::string input = "x\n" + std::string(1 << 20, 'a') + " театр\n";
    for (int b = 1; b < 256; ++b)
        if (b != '\n')
            input += static_cast<char>(b);
    input += "\n";
    const auto result = chat(input);
    EXPECT_EQ(result.exitStatus, 0);
    const auto out = lines(result.out);
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[2].rfind("ответ art", 0), 0u);
}

TEST_F(TerminalChat, StreamsThatFailEndTheSessionWithAFailure) {
    const auto run = [&](const char* redirection) {
        return Subprocess::run(
            {"/bin/sh", "-c", std::string("exec \"$0\" ") + redirection, ZUMZIK_CHAT_PATH}, "",
            dir.path().string());
    };
    const auto unwritten = run(">/dev/full");
    EXPECT_EQ(unwritten.exitStatus, 1);
    EXPECT_NE(unwritten.err.find("cannot write to standard output"), std::string::npos);
    // A folder opens for reading, but every read of it fails.
    const auto unread = run("<.");
    EXPECT_EQ(unread.exitStatus, 1);
    EXPECT_EQ(lines(unread.out).size(), 1u) << "the opening line only";
    EXPECT_NE(unread.err.find("cannot read standard input"), std::string::npos);
}

TEST_F(TerminalChat, BadOptionsPrintUsageAndExitWithTwo) {
    const std::vector<std::vector<std::string>> bad = {
        {"--seed"},
        {"--seed", "-1"},
        {"--seed", "4294967296"},
        {"--seed", "1x"},
        {"--date", "2026-02-29"},
        {"--date", "2026-13-01"},
        {"--date", "26-12-07"},
        {"--time", "24:00"},
        {"--time", "9:60"},
        {"--time", "905"},
        {"--frobnicate"},
        {"extra"},
    };
    for (const auto& options : bad) {
        const auto result = chat("", options);
        EXPECT_EQ(result.exitStatus, 2) << options[0];
        EXPECT_EQ(result.out, "") << options[0];
        EXPECT_EQ(lines(result.err).size(), 1u) << options[0];
        EXPECT_EQ(result.err.rfind("usage: zumzik-chat", 0), 0u) << options[0];
    }
    EXPECT_EQ(chat("", {"--date=2024-02-29", "--time=0:00", "--seed=0"}).exitStatus, 0);
}

} // namespace
