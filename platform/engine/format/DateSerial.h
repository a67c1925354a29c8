#pragma once
// Dates as serial numbers, in either of the host's two date systems. A workbook uses
// one of them (WorkbookModel::dateSystem()), and every calculation, number format,
// typed entry and file of that workbook counts days by it.
//
// The 1900 system: 1 is 1900-01-01 and, as in the host, 60 is the day 1900-02-29 that
// never was, so that serials from 61 (1900-03-01) on count days since 1899-12-30.
// The 1904 system: 0 is 1904-01-01, with no fictitious day; the same date has a
// serial 1462 smaller than in the 1900 system.

namespace vorra::engine::format {

enum class DateSystem { From1900, From1904 };

// Days between the systems' serials of the same date (from 1900-03-01 on).
inline constexpr double k1904Offset = 1462;

struct CivilDate {
    int year = 1900;
    int month = 1;
    int day = 0;
};

bool isLeapYear(int year);
int daysInMonth(int year, int month);

// Serial number of a date; months and days outside their range carry over as the
// host's DATE() does (month 13 is January of the next year, day 0 the last of the
// month before).
double dateToSerial(int year, int month, int day, DateSystem system = DateSystem::From1900);

// The date of the whole-day part of a serial (in the 1900 system 0 gives 1900-01-00
// and 60 gives 1900-02-29, as the host shows them).
CivilDate serialToDate(double serial, DateSystem system = DateSystem::From1900);

// The serial of the same moment in the 1900 system, which formatting and weekdays
// count from.
inline double serialIn1900(double serial, DateSystem system) {
    return system == DateSystem::From1904 ? serial + k1904Offset : serial;
}

// The first and last serials that are dates: 0 (1900-01-00, or 1904-01-01) to
// 9999-12-31.
inline constexpr double kFirstDateSerial = 0;
inline double lastDateSerial(DateSystem system) {
    return system == DateSystem::From1904 ? 2958465 - k1904Offset : 2958465;
}

// Time of day of a serial, in whole seconds since midnight (rounded).
int secondsOfDay(double serial);

}  // namespace vorra::engine::format
