#include "KeywordRules.h"

#include "Cp1251.h"

#include <queue>
#include <stdexcept>

namespace zumzik {
namespace {

struct RuleText {
    std::vector<const char*> equal;
    std::vector<const char*> contains;
    std::vector<const char*> starts;
};

// The rule table in table order; stems are lower case and match only as listed.
const std::array<RuleText, KeywordRules::kRuleCount>& ruleTexts() {
    static const std::array<RuleText, KeywordRules::kRuleCount> texts = {{
        {{"нет", "нет.", "нет!", "нет?"}, {}, {}},
        {{"да", "да.", "да!", "да?"}, {}, {}},
        {{}, {"работ", "занят", "бизнес", "занима", "труж"}, {}},
        {{}, {"извин", "прости ", "простите"}, {}},
        {{}, {"о чём", "о чем", "тема", "бесед", "темы", "что ", "давай"}, {}},
        {{}, {"жизн", "дела", "пожива", "живеш"}, {}},
        {{},
         {"гавн", "козел", "козёл", "мудак", "сволоч", "урод", "падла", "гнида", "пердун", "дура",
          "хер"},
         {}},
        {{}, {"пить", "буха", "кваси", "пьян", "выпи", "водк", "алкого", "вино", "пью"}, {}},
        {{}, {"проблем", "трудно", "тяжел", "замуч"}, {}},
        {{}, {"люби", "нрави", "любл", "секс", "любов", "траха", "любв", "баба"}, {}},
        {{}, {"учен", "наук", "образован", "науч", "учён", "студент"}, {}},
        {{},
         {"чиста", "браток", "братва", "натуре", "ботва", "базар", "понт", " лох", "ништяк"},
         {"лох"}},
        {{}, {"искус", "артист", "театр", "балет", "культур", "талант", "балер"}, {}},
        {{}, {"воен", "войн", "солдат", "офицер", "боец", "курсант", "окоп", "атака"}, {}},
        {{}, {"компь", "комп", "тачка", "машина", "винда", "эвм", "пентиум", "винт"}, {}},
        {{}, {"число", "день", "недел", "дата", "числу"}, {}},
        {{}, {"время", "который час", "минут", "времен"}, {}},
    }};
    return texts;
}

std::vector<std::string> toCp1251(const std::vector<const char*>& texts) {
    std::vector<std::string> out;
    for (const char* text : texts)
        out.push_back(Cp1251::fromUtf8(text));
    return out;
}

} // namespace

const KeywordRules& KeywordRules::instance() {
    static const KeywordRules rules;
    return rules;
}

KeywordRules::KeywordRules() {
    const auto& texts = ruleTexts();
    for (int r = 0; r < kRuleCount; ++r) {
        m_rules[r] = {toCp1251(texts[r].equal), toCp1251(texts[r].contains),
                      toCp1251(texts[r].starts)};
        for (const std::string& stem : m_rules[r].contains)
            for (const char c : stem)
                if (m_byteClass[static_cast<unsigned char>(c)] == 0)
                    m_byteClass[static_cast<unsigned char>(c)] =
                        static_cast<std::uint8_t>(m_classCount++);
    }
    if (m_classCount > int(kClassSlots))
        throw std::logic_error("too many distinct bytes in the keyword stems");
    m_next.assign(kClassSlots, 0);
    m_output.assign(1, 0);
    for (int r = 0; r < kRuleCount; ++r)
        for (const std::string& stem : m_rules[r].contains)
            addStem(stem, r);
    buildFailureLinks();
}

void KeywordRules::addStem(const std::string& stem, int rule) {
    std::size_t row = 0;
    for (const char c : stem) {
        std::uint32_t& next = m_next[row + m_byteClass[static_cast<unsigned char>(c)]];
        if (next == 0) {
            next = static_cast<std::uint32_t>(m_output.size() << kClassBits);
            m_output.push_back(0);
            m_next.resize(m_next.size() + kClassSlots, 0);
        }
        row = m_next[row + m_byteClass[static_cast<unsigned char>(c)]];
    }
    m_output[row >> kClassBits] |= Matches{1} << rule;
}

void KeywordRules::buildFailureLinks() {
    // Breadth-first over the trie: every missing transition is filled with the transition of the
    // state's longest proper suffix, and each state inherits the matches of that suffix.
    std::vector<std::uint32_t> failure(m_output.size(), 0); // per state, as a row offset
    std::queue<std::uint32_t> pending;
    for (int c = 0; c < m_classCount; ++c)
        if (m_next[c] != 0)
            pending.push(m_next[c]);
    while (!pending.empty()) {
        const std::uint32_t row = pending.front();
        pending.pop();
        const std::uint32_t suffix = failure[row >> kClassBits];
        m_output[row >> kClassBits] |= m_output[suffix >> kClassBits];
        for (int c = 0; c < m_classCount; ++c) {
            std::uint32_t& target = m_next[row + c];
            const std::uint32_t fallback = m_next[suffix + c];
            if (target != 0) {
                failure[target >> kClassBits] = fallback;
                pending.push(target);
            } else {
                target = fallback;
            }
        }
    }
}

KeywordRules::Matches KeywordRules::match(std::string_view line) const {
    Matches found = 0;
    for (int r = 0; r < kRuleCount; ++r) {
        for (const std::string& text : m_rules[r].equal)
            if (line == text)
                found |= Matches{1} << r;
        for (const std::string& stem : m_rules[r].starts)
            if (line.starts_with(stem))
                found |= Matches{1} << r;
    }
    std::uint32_t row = 0;
    for (const char c : line) {
        row = m_next[row + m_byteClass[static_cast<unsigned char>(c)]];
        found |= m_output[row >> kClassBits];
    }
    return found;
}

} // namespace zumzik
