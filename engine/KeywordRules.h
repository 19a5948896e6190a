#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zumzik {

// The seventeen keyword rules that the bot answers by, and a matcher that finds every rule whose
// test holds for a lower-cased line in a single pass over it, however long the line is.
class KeywordRules {
public:
    static constexpr int kRuleCount = 17;

    // What a matching rule puts on the reply line.
    enum class Action {
        DrawNo,
        DrawYes,
        DrawWork,
        Apology,
        DrawItem,
        DrawLife,
        Abuse,
        DrawDrink,
        DrawProb,
        DrawSex,
        DrawScien,
        DrawKrut,
        DrawArt,
        DrawWar,
        DrawComp,
        DateReply,
        TimeReply,
    };

    // Bit r - 1 is set when rule r holds for the line (code page 1251, already lower-cased).
    using Matches = std::uint32_t;

    static const KeywordRules& instance();

    Matches match(std::string_view line) const;
    static Action action(int rule) { return static_cast<Action>(rule - 1); }

private:
    KeywordRules();

    struct Rule {
        std::vector<std::string> equal;    // the whole line is one of these
        std::vector<std::string> contains; // one of these occurs anywhere in the line
        std::vector<std::string> starts;   // the line begins with one of these
    };

    void addStem(const std::string& stem, int rule);
    void buildFailureLinks();

    std::array<Rule, kRuleCount> m_rules;

    // A keyword automaton over byte classes: bytes that occur in no stem share class 0, which keeps
    // the transition table small enough to stay in the cache. Each state owns a row of
    // kClassSlots transitions, and a transition holds the row offset of its target, so that one
    // step of the scan is a single load.
    static constexpr int kClassBits = 6;
    static constexpr std::size_t kClassSlots = std::size_t{1} << kClassBits;
    std::array<std::uint8_t, 256> m_byteClass{};
    int m_classCount = 1;
    std::vector<std::uint32_t> m_next; // row offset + class -> row offset of the next state
    std::vector<Matches> m_output;     // per state: rules whose stem ends there
};

} // namespace zumzik
