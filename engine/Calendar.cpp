#include "Calendar.h"

#include "Clock.h"
#include "Cp1251.h"

#include <array>

namespace zumzik {
namespace {

struct Texts {
    std::array<std::string, 13> months;  // indexed 1 to 12
    std::array<std::string, 8> weekdays; // indexed 1 to 7
    std::string today = Cp1251::fromUtf8("Сегодня ");
    std::string year = Cp1251::fromUtf8(" года,");
    std::string soWhat = Cp1251::fromUtf8(" А что?");
    std::string hurry = Cp1251::fromUtf8(" ! А ты куда-то спешишь?");
};

const Texts& texts() {
    static const Texts t = [] {
        Texts built;
        const char* months[] = {" января ",   " февраля ", " марта ",  " апреля ",
                                " мая ",      " июня ",    " июля ",   " августа ",
                                " сентября ", " октября ", " ноября ", " декабря "};
        const char* weekdays[] = {" воскресенье.", " понедельник.", " вторник.", " среда.",
                                  " четверг.",     " пятница.",     " суббота."};
        for (int i = 0; i < 12; ++i)
            built.months[i + 1] = Cp1251::fromUtf8(months[i]);
        for (int i = 0; i < 7; ++i)
            built.weekdays[i + 1] = Cp1251::fromUtf8(weekdays[i]);
        return built;
    }();
    return t;
}

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

} // namespace

int Calendar::daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

int Calendar::weekdayOf(int year, int month, int day) {
    // Sakamoto's method: 0 = Sunday.
    static constexpr int kMonthOffset[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3)
        --year;
    const int sunday0 =
        (year + year / 4 - year / 100 + year / 400 + kMonthOffset[month - 1] + day) % 7;
    return sunday0 + 1;
}

void Calendar::captureStartDate(const Clock& clock) {
    const LocalDateTime now = clock.now();
    setStartDate(now.year, now.month, now.day);
}

void Calendar::setStartDate(int year, int month, int day) {
    m_start.year = static_cast<std::uint16_t>(year);
    m_start.month = static_cast<std::uint16_t>(month);
    m_start.day = static_cast<std::uint16_t>(day);
    m_start.weekday = static_cast<std::uint16_t>(weekdayOf(year, month, day));
}

std::string Calendar::dateReply() const {
    const Texts& t = texts();
    return t.today + std::to_string(m_start.day) + t.months.at(m_start.month) +
           std::to_string(m_start.year) + t.year + t.weekdays.at(m_start.weekday) + t.soWhat;
}

std::string Calendar::timeReply(const Clock& clock) {
    const LocalDateTime now = clock.now();
    return std::to_string(now.hour) + " : " + std::to_string(now.minute) + texts().hurry;
}

} // namespace zumzik
