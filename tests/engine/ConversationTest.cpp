#include "Conversation.h"

#include "CaseFolding.h"
#include "Cp1251.h"
#include "Error.h"
#include "FakeClock.h"
#include "MemoryChatView.h"
#include "RandomGenerator.h"
#include "TemporaryDirectory.h"

#include <gtest/gtest.h>
#include <set>

using namespace zumzik;

namespace {

std::string cp(const char* utf8) {
    return Cp1251::fromUtf8(utf8);
}

const char* const kFiles[] = {"all",  "art",   "drink", "item", "krut", "life",
                              "prob", "scien", "sex",   "work", "war",  "comp"};

// A conversation whose lists are filled by the test, with a known seed and clock.
class ConversationTest : public ::testing::Test {
protected:
    MemoryChatView view;
    RandomGenerator random;
    test::FakeClock clock;
    Conversation conversation{view, random, clock};

    ConversationTest() {
        // Each list's entries name the list, so a reply shows where it came from.
        for (auto& [name, list] : conversation.lists().files()) {
            const std::string topic = std::string(name).substr(0, std::string(name).find('.'));
            std::string bytes;
            for (int i = 0; i < 3 + int(topic.size()); ++i)
                bytes += topic + std::to_string(i) + "\r\n";
            list->loadFromBytes(bytes);
        }
        conversation.calendar().setStartDate(2026, 12, 7);
        random.setSeed(77);
    }

    // Submits a line as the user would: typed into the field, then Enter.
    void enter(const std::string& utf8) {
        view.setInputText(cp(utf8.c_str()));
        conversation.Edit1KeyPress('\r');
    }
    void pastTheNameTurn() { enter("Вася"); }

    std::string reply() const { return Cp1251::toUtf8(view.replyLine()); }

    // What a draw from the list gives, on a copy of the generator as it stands now.
    std::string predictDraws(std::initializer_list<const ReplyList*> lists) const {
        RandomGenerator copy = random;
        std::string last;
        for (const ReplyList* list : lists)
            last = list->entry(copy.randomBelow(std::uint32_t(list->count())));
        return Cp1251::toUtf8(last);
    }
    std::uint32_t seedAfter(int steps) const {
        RandomGenerator copy = random;
        for (int i = 0; i < steps; ++i)
            copy.randomBelow(1);
        return copy.seed();
    }
};

TEST_F(ConversationTest, EnterOnlySubmits) {
    view.setInputText("abc");
    conversation.Edit1KeyPress('a');
    conversation.Edit1KeyPress('\n');
    EXPECT_EQ(view.replyLine(), "");
    EXPECT_EQ(view.inputText(), "abc");
    EXPECT_EQ(conversation.turnCounter(), 0);
}

TEST_F(ConversationTest, EmptyOrSingleBlankIsRefusedAndKept) {
    enter("");
    EXPECT_EQ(reply(), "Ты что, не хочешь со мной разговаривать?");
    enter(" ");
    EXPECT_EQ(reply(), "Ты что, не хочешь со мной разговаривать?");
    EXPECT_EQ(view.inputText(), " ");
    EXPECT_EQ(conversation.turnCounter(), 0);
    enter("  "); // two blanks are a line, and here a name
    EXPECT_EQ(reply(), "Привет   ! Давай поболтаем?");
    EXPECT_EQ(conversation.turnCounter(), 1);
    EXPECT_EQ(view.inputText(), "");
}

TEST_F(ConversationTest, NameTurnGreetsInCapitalsWithoutRulesOrDraws) {
    const std::uint32_t seed = random.seed();
    enter("Ёжик");
    EXPECT_EQ(reply(), "Привет ЁЖИК! Давай поболтаем?");
    EXPECT_EQ(Cp1251::toUtf8(conversation.userName()), "ЁЖИК");
    EXPECT_EQ(random.seed(), seed);

    for (const char* name : {"вася", "John", "нет"}) {
        Conversation fresh(view, random, clock);
        view.setInputText(cp(name));
        fresh.Edit1KeyPress('\r');
        EXPECT_EQ(reply(), "Привет " + Cp1251::toUtf8(CaseFolding::toUpper(cp(name))) +
                               "! Давай поболтаем?");
    }
    EXPECT_EQ(random.seed(), seed);
}

TEST_F(ConversationTest, ElevenCharactersAreANameTwelveAreStrange) {
    enter("абвгдежзийк");
    EXPECT_EQ(reply(), "Привет АБВГДЕЖЗИЙК! Давай поболтаем?");

    Conversation other(view, random, clock);
    other.lists().YesBox = conversation.lists().YesBox;
    view.setInputText(cp("меня зовут в"));
    other.Edit1KeyPress('\r');
    EXPECT_EQ(reply(), "Странноватое у тебя имя!");
    EXPECT_EQ(other.userName(), "");
    view.setInputText(cp("ДА"));
    const std::string expected = predictDraws({&other.lists().YesBox});
    other.Edit1KeyPress('\r');
    EXPECT_EQ(reply(), expected) << "the turn after a rejected name goes to the rules";
}

struct RuleCase {
    const char* line;
    const char* list; // the list the reply comes from, or the exact reply text
};

TEST_F(ConversationTest, EachRuleAnswersFromItsList) {
    pastTheNameTurn();
    const ReplyLists& l = conversation.lists();
    const std::pair<const char*, const ReplyList*> cases[] = {
        {"нет?", &l.NoBox},           {"да", &l.YesBox},           {"ДА.", &l.YesBox},
        {"я занят", &l.WorkBox},      {"давай", &l.ItemBox},       {"что это", &l.ItemBox},
        {"о чём ты", &l.ItemBox},     {"как жизнь", &l.LifeBox},   {"водки бы", &l.DrinkBox},
        {"ох, проблема", &l.ProbBox}, {"я люблю тебя", &l.SexBox}, {"учёный", &l.ScienBox},
        {"лох", &l.KrutBox},          {"лохи", &l.KrutBox},        {"ты лох", &l.KrutBox},
        {"театр", &l.ArtBox},         {"солдат", &l.WarBox},       {"мой комп", &l.CompBox},
        {"да!!", &l.AllBox},          {"прости", &l.AllBox},       {"что?", &l.AllBox},
        {"блохи", &l.AllBox},         {"тяжёлый", &l.AllBox},      {" нет", &l.AllBox},
        {"да, конечно", &l.AllBox},
    };
    for (const auto& [line, list] : cases) {
        const std::string expected = predictDraws({list});
        const std::uint32_t seed = seedAfter(1);
        enter(line);
        EXPECT_EQ(reply(), expected) << line;
        EXPECT_EQ(random.seed(), seed) << line << ": exactly one draw";
    }
}

TEST_F(ConversationTest, FixedTextsAndClockReplies) {
    pastTheNameTurn();
    const std::pair<const char*, const char*> cases[] = {
        {"прости меня", "Не стоит извинений! У меня работа такая."},
        {"простите", "Не стоит извинений! У меня работа такая."},
        {"дурак", "Я попросил бы не выражаться!!!"},
        {"извини, дурак", "Я попросил бы не выражаться!!!"},
        {"добрый день", "Сегодня 7 декабря 2026 года, понедельник. А что?"},
        {"какое число и который час", "9 : 5 ! А ты куда-то спешишь?"},
    };
    for (const auto& [line, text] : cases) {
        const std::uint32_t seed = random.seed();
        enter(line);
        EXPECT_EQ(reply(), text) << line;
        EXPECT_EQ(random.seed(), seed) << line << ": no draw";
    }
}

TEST_F(ConversationTest, LastMatchWinsAndEveryMatchDraws) {
    pastTheNameTurn();
    const ReplyLists& l = conversation.lists();
    std::string expected = predictDraws({&l.WorkBox, &l.LifeBox});
    std::uint32_t seed = seedAfter(2);
    enter("как дела на работе");
    EXPECT_EQ(reply(), expected);
    EXPECT_EQ(random.seed(), seed);

    // Rules 3, 5, 6, 8, 15 and 17 all match; the time reply is last, after five draws.
    seed = seedAfter(5);
    enter("что за дела, работа, вино и комп, который час");
    EXPECT_EQ(reply(), "9 : 5 ! А ты куда-то спешишь?");
    EXPECT_EQ(random.seed(), seed);

    // "компь" and "комп" both belong to rule 15: it matches once.
    seed = seedAfter(1);
    enter("компь");
    EXPECT_EQ(random.seed(), seed);
    // "компьютер" hides "пью" as well: drinking and computers, two draws, computers shown.
    expected = predictDraws({&l.DrinkBox, &l.CompBox});
    seed = seedAfter(2);
    enter("компьютер");
    EXPECT_EQ(reply(), expected);
    EXPECT_EQ(random.seed(), seed);
}

TEST_F(ConversationTest, FailedDrawKeepsEarlierReplyAndInput) {
    pastTheNameTurn();
    ReplyLists& l = conversation.lists();
    l.LifeBox = ReplyList{};
    const std::string work = predictDraws({&l.WorkBox});
    view.setInputText(cp("как дела на работе"));
    try {
        conversation.Edit1KeyPress('\r');
        FAIL() << "the empty list must fail";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "List index out of bounds (0)");
    }
    EXPECT_EQ(reply(), work);
    EXPECT_EQ(view.inputText(), cp("как дела на работе")) << "the input stays";
    EXPECT_EQ(conversation.turnCounter(), 2);

    // A failing first rule leaves the reply line as it was before the turn.
    l.NoBox = ReplyList{};
    EXPECT_THROW(enter("нет"), Error);
    EXPECT_EQ(reply(), work);
    // The fallback fails the same way.
    l.AllBox = ReplyList{};
    EXPECT_THROW(enter("ничего"), Error);
    EXPECT_EQ(reply(), work);
    EXPECT_EQ(conversation.turnCounter(), 4);
}

TEST_F(ConversationTest, LongPastedLineIsAnsweredOnce) {
    pastTheNameTurn();
    const std::string line = std::string(1 << 20, 'x') + cp(" театр");
    const std::string expected = predictDraws({&conversation.lists().ArtBox});
    view.setInputText(line);
    conversation.Edit1KeyPress('\r');
    EXPECT_EQ(reply(), expected);
}

class CreationTest : public ::testing::Test {
protected:
    test::TemporaryDirectory dir;
    MemoryChatView view;
    RandomGenerator random;
    test::FakeClock clock;
    Conversation conversation{view, random, clock};
    int minimiseHandlersInstalled = 0;

    CreationTest() {
        for (const char* name : kFiles)
            dir.write(std::string(name) + ".zmz", std::string(name) + " 1\r\n" + name + " 2\r\n");
        clock.counter = 3;
    }
    void create() {
        conversation.FormCreate([this] { ++minimiseHandlersInstalled; });
    }
};

TEST_F(CreationTest, AllStepsRunInOrder) {
    view.setReplyLine("before");
    create();
    EXPECT_EQ(conversation.lists().CompBox.entries(),
              (std::vector<std::string>{"comp 1", "comp 2"}));
    EXPECT_EQ(minimiseHandlersInstalled, 1);
    RandomGenerator expected;
    expected.setSeed(3);
    const std::uint32_t opening = expected.randomBelow(5);
    EXPECT_EQ(random.seed(), expected.seed());
    const char* openings[] = {"Какое твоё имя, камрад?", "Имя-то у тебя есть? Я - Зумзик!",
                              "Давай знакомиться? Я - Zumzik.",
                              "Хотелось бы узнать, как к Вам обращаться?",
                              "Как зовут-то тебя, братишка?"};
    EXPECT_EQ(Cp1251::toUtf8(view.replyLine()), openings[opening]);
    EXPECT_EQ(conversation.calendar().startDate().weekday, 2); // 7 December 2026, a Monday
}

TEST_F(CreationTest, EveryOpeningLineOccurs) {
    std::set<std::string> seen;
    for (std::uint32_t counter = 0; counter < 200; ++counter) {
        clock.counter = counter * 7919u;
        Conversation fresh(view, random, clock);
        fresh.FormCreate();
        seen.insert(view.replyLine());
    }
    EXPECT_EQ(seen.size(), 5u);
}

TEST_F(CreationTest, MissingFileStopsTheStepsThere) {
    std::filesystem::remove(dir.path() / "item.zmz");
    try {
        create();
        FAIL() << "a missing reply file must fail";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot open file \"" +
                                                 (dir.path() / "item.zmz").string() +
                                                 "\". No such file or directory");
    }
    const ReplyLists& l = conversation.lists();
    EXPECT_EQ(l.AllBox.count(), 2u);
    EXPECT_EQ(l.ArtBox.count(), 2u);
    EXPECT_EQ(l.DrinkBox.count(), 2u);
    for (const ReplyList* later : {&l.ItemBox, &l.KrutBox, &l.LifeBox, &l.ProbBox, &l.ScienBox,
                                   &l.SexBox, &l.WorkBox, &l.WarBox, &l.CompBox})
        EXPECT_EQ(later->count(), 0u);
    EXPECT_EQ(l.YesBox.count(), 6u);
    EXPECT_EQ(l.NoBox.count(), 6u);
    EXPECT_EQ(minimiseHandlersInstalled, 0);
    EXPECT_EQ(random.seed(), 0u) << "not seeded";
    EXPECT_EQ(view.replyLine(), "");

    // The bot then works with what it has: the name, then a rule with an empty list.
    view.setInputText("vasya");
    conversation.Edit1KeyPress('\r');
    view.setInputText(cp("как жизнь"));
    EXPECT_THROW(conversation.Edit1KeyPress('\r'), Error);
}

TEST(Calendar, DateAndTimeTexts) {
    Calendar calendar;
    calendar.setStartDate(2027, 1, 1);
    EXPECT_EQ(Cp1251::toUtf8(calendar.dateReply()), "Сегодня 1 января 2027 года, пятница. А что?");
    calendar.setStartDate(2026, 12, 6);
    EXPECT_EQ(Cp1251::toUtf8(calendar.dateReply()),
              "Сегодня 6 декабря 2026 года, воскресенье. А что?");

    test::FakeClock clock;
    clock.time = {2026, 12, 31, 0, 0};
    EXPECT_EQ(Cp1251::toUtf8(Calendar::timeReply(clock)), "0 : 0 ! А ты куда-то спешишь?");
    clock.time = {2026, 12, 31, 23, 59};
    EXPECT_EQ(Cp1251::toUtf8(Calendar::timeReply(clock)), "23 : 59 ! А ты куда-то спешишь?");
}

TEST(Calendar, WeekdaysAcrossCenturiesAndLeapDays) {
    EXPECT_EQ(Calendar::weekdayOf(2000, 2, 29), 3);  // Tuesday
    EXPECT_EQ(Calendar::weekdayOf(1900, 3, 1), 5);   // Thursday
    EXPECT_EQ(Calendar::weekdayOf(2024, 1, 1), 2);   // Monday
    EXPECT_EQ(Calendar::weekdayOf(2026, 12, 12), 7); // Saturday
    EXPECT_EQ(Calendar::daysInMonth(2000, 2), 29);
    EXPECT_EQ(Calendar::daysInMonth(1900, 2), 28);
}

TEST(Calendar, StartDateIsKeptAfterMidnight) {
    MemoryChatView view;
    RandomGenerator random;
    test::FakeClock clock;
    Conversation conversation(view, random, clock);
    test::TemporaryDirectory dir;
    for (const char* name : kFiles)
        dir.write(std::string(name) + ".zmz", "x\r\n");
    clock.time = {2026, 12, 31, 23, 59};
    conversation.FormCreate();
    clock.time = {2027, 1, 1, 0, 1};
    view.setInputText("a");
    conversation.Edit1KeyPress('\r');
    view.setInputText(cp("какое число"));
    conversation.Edit1KeyPress('\r');
    EXPECT_EQ(Cp1251::toUtf8(view.replyLine()), "Сегодня 31 декабря 2026 года, четверг. А что?");
}

} // namespace
