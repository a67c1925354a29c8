#pragma once
// Dates as serial numbers of the host's 1900 date system: 1 is 1900-01-01, and, as
// in the host, 60 is the day 1900-02-29 that never was, so that serials from
// 61 (1900-03-01) on count days since 1899-12-30.

namespace vorra::engine::format {

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
double dateToSerial(int year, int month, int day);

// The date of the whole-day part of a serial (0 gives 1900-01-00, 60 gives
// 1900-02-29, as the host shows them).
CivilDate serialToDate(double serial);

// Time of day of a serial, in whole seconds since midnight (rounded).
int secondsOfDay(double serial);

}  // namespace vorra::engine::format
