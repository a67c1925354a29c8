#include "platform/engine/format/DateSerial.h"

#include <cmath>

namespace vorra::engine::format {

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (month 1..12).
long long daysFromCivil(long long y, int m, int d) {
    y -= m <= 2;
    long long era = (y >= 0 ? y : y - 399) / 400;
    long long yoe = y - era * 400;
    long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

CivilDate civilFromDays(long long z) {
    z += 719468;
    long long era = (z >= 0 ? z : z - 146096) / 146097;
    long long doe = z - era * 146097;
    long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long long mp = (5 * doy + 2) / 153;
    int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {static_cast<int>(yoe + era * 400 + (m <= 2)), m, d};
}

const long long kEpoch = daysFromCivil(1899, 12, 30);

}  // namespace

bool isLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

double dateToSerial(int year, int month, int day, DateSystem system) {
    long long y = year + (month - 1 >= 0 ? (month - 1) / 12 : -((12 - month) / 12));
    int m = ((month - 1) % 12 + 12) % 12 + 1;
    long long monthStart = daysFromCivil(y, m, 1) - kEpoch;
    if (system == DateSystem::From1904) return static_cast<double>(monthStart + (day - 1)) - k1904Offset;
    // Before 1900-03-01 the host counts one day less: its February 1900 has a 29th, so
    // days counted on from January or February 1900 run through that day.
    if (monthStart < 61) monthStart -= 1;
    return static_cast<double>(monthStart + (day - 1));
}

CivilDate serialToDate(double serial, DateSystem system) {
    long long n = static_cast<long long>(std::floor(serial));
    if (system == DateSystem::From1904) return civilFromDays(n + static_cast<long long>(k1904Offset) + kEpoch);
    if (n == 60) return {1900, 2, 29};
    if (n == 0) return {1900, 1, 0};
    if (n < 60) n += 1;
    return civilFromDays(n + kEpoch);
}

int secondsOfDay(double serial) {
    double frac = serial - std::floor(serial);
    int s = static_cast<int>(std::llround(frac * 86400.0));
    return s >= 86400 ? 86399 : s;
}

}  // namespace vorra::engine::format
