#pragma once

#include "Calendar.h"
#include "ReplyLists.h"

#include <cstdint>
#include <functional>
#include <string>

namespace zumzik {

class ChatView;
class Clock;
class RandomGenerator;

// The bot's side of the main window: what happens when the window is created, which lines the
// user's Enter submits, the name turn, and the answer to every later line by the keyword rules.
// Runs on the user-interface thread, one event at a time. Errors are raised as zumzik::Error;
// whatever a handler changed before the error stays changed.
class Conversation {
public:
    Conversation(ChatView& view, RandomGenerator& random, const Clock& clock);

    // The creation steps: start date, the twelve reply files, the window's minimise handler, the
    // seed, and an opening line. A reply file that cannot be opened stops the steps there.
    void FormCreate(const std::function<void()>& installMinimiseHandler = {});

    // Called for every character typed into the input field, before the field handles it; only
    // Enter (carriage return) does anything. The character is never changed or swallowed.
    void Edit1KeyPress(char typed);

    // Answers one accepted, lower-cased line by the keyword rules.
    void MakeReply(const std::string& inputLine);

    ReplyLists& lists() { return m_lists; }
    const ReplyLists& lists() const { return m_lists; }
    std::int32_t turnCounter() const { return m_turnCounter; }
    const std::string& userName() const { return m_userName; }
    const std::string& inputLine() const { return m_inputLine; }
    const Calendar& calendar() const { return m_calendar; }
    Calendar& calendar() { return m_calendar; }

private:
    void nameTurn();

    ChatView& m_view;
    RandomGenerator& m_random;
    const Clock& m_clock;
    ReplyLists m_lists;
    Calendar m_calendar;
    std::int32_t m_turnCounter = 0;
    std::string m_inputLine;
    std::string m_userName;
};

} // namespace zumzik
