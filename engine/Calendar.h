#pragma once

#include <cstdint>
#include <string>

namespace zumzik {

class Clock;

// The date that the bot believes it is: taken once when the main window is created and kept for
// the whole run, so that a date question after midnight still gets the day the program started.
// Time questions read the clock anew. Replies are code page 1251 text.
class Calendar {
public:
    struct Date {
        std::uint16_t year = 0;
        std::uint16_t month = 0;
        std::uint16_t day = 0;
        std::uint16_t weekday = 0; // 1 = Sunday ... 7 = Saturday
    };

    void captureStartDate(const Clock& clock);
    void setStartDate(int year, int month, int day);
    const Date& startDate() const { return m_start; }

    // "Сегодня 7 декабря 2026 года, понедельник. А что?"
    std::string dateReply() const;
    // "9 : 5 ! А ты куда-то спешишь?" for the clock's time now.
    static std::string timeReply(const Clock& clock);

    // Day of the week by the Gregorian calendar, 1 = Sunday ... 7 = Saturday.
    static int weekdayOf(int year, int month, int day);
    static int daysInMonth(int year, int month);

private:
    Date m_start;
};

} // namespace zumzik
