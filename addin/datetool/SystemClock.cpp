#include "addin/datetool/SystemClock.h"

#include <ctime>

namespace vorra {

namespace {

LocalDateTime fromTm(const std::tm& t) {
    return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}

}  // namespace

bool isCalendarDate(int year, int month, int day) {
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= days[month - 1] + (month == 2 && leap ? 1 : 0);
}

LocalDateTime ComputerClock::now() const {
    std::time_t seconds = std::time(nullptr);
    std::tm t{};
    localtime_r(&seconds, &t);
    return fromTm(t);
}

// Sets the clock to a local date and time; the current fraction of a second is dropped.
ClockChange ComputerClock::setLocal(const LocalDateTime& local) {
    std::tm t{};
    t.tm_year = local.year - 1900;
    t.tm_mon = local.month - 1;
    t.tm_mday = local.day;
    t.tm_hour = local.hour;
    t.tm_min = local.minute;
    t.tm_sec = local.second;
    t.tm_isdst = -1;  // whatever daylight saving the zone has on that day
    std::time_t seconds = std::mktime(&t);
    if (seconds == static_cast<std::time_t>(-1)) return ClockChange::Failed;
    return toolkit_.setSystemClock(static_cast<std::int64_t>(seconds));
}

ClockChange ComputerClock::setDate(int year, int month, int day) {
    if (!isCalendarDate(year, month, day)) return ClockChange::Failed;
    LocalDateTime local = now();
    local.year = year;
    local.month = month;
    local.day = day;
    return setLocal(local);
}

ClockChange ComputerClock::setTime(int hour, int minute, int second) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return ClockChange::Failed;
    LocalDateTime local = now();
    local.hour = hour;
    local.minute = minute;
    local.second = second;
    return setLocal(local);
}

}  // namespace vorra
