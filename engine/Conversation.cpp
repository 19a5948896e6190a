#include "Conversation.h"

#include "CaseFolding.h"
#include "ChatView.h"
#include "Clock.h"
#include "Cp1251.h"
#include "KeywordRules.h"
#include "RandomGenerator.h"

#include <array>
#include <optional>

namespace zumzik {
namespace {

struct Texts {
    std::array<std::string, 5> openings = {
        Cp1251::fromUtf8("Какое твоё имя, камрад?"),
        Cp1251::fromUtf8("Имя-то у тебя есть? Я - Зумзик!"),
        Cp1251::fromUtf8("Давай знакомиться? Я - Zumzik."),
        Cp1251::fromUtf8("Хотелось бы узнать, как к Вам обращаться?"),
        Cp1251::fromUtf8("Как зовут-то тебя, братишка?"),
    };
    std::string refusal = Cp1251::fromUtf8("Ты что, не хочешь со мной разговаривать?");
    std::string greeting = Cp1251::fromUtf8("Привет ");
    std::string letsChat = Cp1251::fromUtf8("! Давай поболтаем?");
    std::string strangeName = Cp1251::fromUtf8("Странноватое у тебя имя!");
    std::string apology = Cp1251::fromUtf8("Не стоит извинений! У меня работа такая.");
    std::string abuse = Cp1251::fromUtf8("Я попросил бы не выражаться!!!");
};

const Texts& texts() {
    static const Texts t;
    return t;
}

constexpr std::size_t kLongestName = 11;

} // namespace

Conversation::Conversation(ChatView& view, RandomGenerator& random, const Clock& clock)
    : m_view(view), m_random(random), m_clock(clock) {}

void Conversation::FormCreate(const std::function<void()>& installMinimiseHandler) {
    m_calendar.captureStartDate(m_clock);
    for (auto& [name, list] : m_lists.files())
        list->loadFromFile(name);
    if (installMinimiseHandler)
        installMinimiseHandler();
    m_random.setSeed(m_clock.seedCounter());
    m_turnCounter = 0;
    m_userName.clear();
    m_view.setReplyLine(texts().openings[m_random.randomBelow(5)]);
}

void Conversation::Edit1KeyPress(char typed) {
    if (typed != '\r')
        return;
    const std::string text = m_view.inputText();
    if (text.empty() || text == " ") {
        m_view.setReplyLine(texts().refusal);
        return;
    }
    // The counter wraps like the 32-bit integer it is, after four billion lines.
    m_turnCounter = static_cast<std::int32_t>(static_cast<std::uint32_t>(m_turnCounter) + 1u);
    m_inputLine = CaseFolding::toLower(text);
    if (m_turnCounter == 1)
        nameTurn();
    else
        MakeReply(m_inputLine);
    m_view.clearInput();
}

void Conversation::nameTurn() {
    if (m_inputLine.size() > kLongestName) {
        m_view.setReplyLine(texts().strangeName);
        return;
    }
    m_userName = CaseFolding::toUpper(m_inputLine);
    m_view.setReplyLine(texts().greeting + m_userName + texts().letsChat);
}

void Conversation::MakeReply(const std::string& inputLine) {
    using Action = KeywordRules::Action;
    const KeywordRules::Matches matches = KeywordRules::instance().match(inputLine);

    // Every matching rule computes its reply in table order, and each one would replace the reply
    // line in turn; only the last is ever seen, so the line is written once at the end. When a
    // draw fails half-way, the reply of the last rule that did succeed is put there first.
    std::optional<std::string> reply;
    auto draw = [this, &reply](const ReplyList& list) {
        try {
            reply = list.DrawReply(m_random);
        } catch (...) {
            if (reply)
                m_view.setReplyLine(*reply);
            throw;
        }
    };
    for (int rule = 1; rule <= KeywordRules::kRuleCount; ++rule) {
        if (!(matches & (KeywordRules::Matches{1} << (rule - 1))))
            continue;
        switch (KeywordRules::action(rule)) {
        case Action::DrawNo: draw(m_lists.NoBox); break;
        case Action::DrawYes: draw(m_lists.YesBox); break;
        case Action::DrawWork: draw(m_lists.WorkBox); break;
        case Action::Apology: reply = texts().apology; break;
        case Action::DrawItem: draw(m_lists.ItemBox); break;
        case Action::DrawLife: draw(m_lists.LifeBox); break;
        case Action::Abuse: reply = texts().abuse; break;
        case Action::DrawDrink: draw(m_lists.DrinkBox); break;
        case Action::DrawProb: draw(m_lists.ProbBox); break;
        case Action::DrawSex: draw(m_lists.SexBox); break;
        case Action::DrawScien: draw(m_lists.ScienBox); break;
        case Action::DrawKrut: draw(m_lists.KrutBox); break;
        case Action::DrawArt: draw(m_lists.ArtBox); break;
        case Action::DrawWar: draw(m_lists.WarBox); break;
        case Action::DrawComp: draw(m_lists.CompBox); break;
        case Action::DateReply: reply = m_calendar.dateReply(); break;
        case Action::TimeReply: reply = Calendar::timeReply(m_clock); break;
        }
    }
    if (!reply)
        draw(m_lists.AllBox);
    m_view.setReplyLine(*reply);
}

} // namespace zumzik
