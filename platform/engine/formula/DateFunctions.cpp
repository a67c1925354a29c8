// Dates and times as serial numbers of the workbook's date system (1900 or 1904):
// every function here reads and gives serials in ctx.dates().
#include <cctype>
#include <cmath>
#include <string>

#include "platform/engine/format/DateSerial.h"
#include "platform/engine/formula/FunctionTable.h"
#include "platform/engine/formula/ValueRules.h"
#include "platform/engine/host/TypedEntry.h"

namespace vorra::engine::formula::fn {

namespace {

using format::CivilDate;

// A date argument: a serial from the system's first day to 9999-12-31, whole days
// (the time of day dropped); #NUM! outside, #VALUE! for a text that is no date.
std::optional<Value> dateArgument(const Value& v, const EvalContext& ctx, double& serial) {
    Value n = toNumber(v, ctx);
    if (n.isError()) return n;
    serial = std::floor(n.asNumber());
    if (serial < format::kFirstDateSerial || serial > format::lastDateSerial(ctx.dates()))
        return Value::error(ErrorValue::Num);
    return std::nullopt;
}

std::optional<Value> integerArgument(const Value& v, const EvalContext& ctx, double& out) {
    Value n = toNumber(v, ctx);
    if (n.isError()) return n;
    out = std::trunc(n.asNumber());
    return std::nullopt;
}

Value datePart(const std::vector<Value>& a, const EvalContext& ctx, int which) {
    double s = 0;
    if (auto e = dateArgument(a[0], ctx, s)) return *e;
    CivilDate d = format::serialToDate(s, ctx.dates());
    return Value::number(which == 0 ? d.year : which == 1 ? d.month : d.day);
}

// HOUR, MINUTE and SECOND of the time of day, rounded to whole seconds.
Value timePart(const std::vector<Value>& a, const EvalContext& ctx, int which) {
    Value n = toNumber(a[0], ctx);
    if (n.isError()) return n;
    double x = n.asNumber();
    if (x < 0 || x > format::lastDateSerial(ctx.dates()) + 1) return Value::error(ErrorValue::Num);
    int secs = format::secondsOfDay(x);
    return Value::number(which == 0 ? secs / 3600 : which == 1 ? secs / 60 % 60 : secs % 60);
}

// A serial that must be a date, or #NUM!.
Value dateResult(double serial, const EvalContext& ctx) {
    if (serial < format::kFirstDateSerial || serial > format::lastDateSerial(ctx.dates()))
        return Value::error(ErrorValue::Num);
    return Value::number(serial);
}

// Day of the week, 0 for Sunday to 6 for Saturday (serial 1 of the 1900 system was a
// Sunday, as the host counts).
int dayOfWeek(double serial, const EvalContext& ctx) {
    long long s = static_cast<long long>(format::serialIn1900(serial, ctx.dates()));
    return static_cast<int>(((s - 1) % 7 + 7) % 7);
}

// EDATE and EOMONTH: the date `months` months on, on its own day (at most the month's
// last) or on the month's last day.
Value monthsOn(const std::vector<Value>& a, const EvalContext& ctx, bool endOfMonth) {
    if (auto e = firstError(a)) return *e;
    double start = 0, months = 0;
    if (auto e = dateArgument(a[0], ctx, start)) return *e;
    if (auto e = integerArgument(a[1], ctx, months)) return *e;
    if (std::fabs(months) > 120000) return Value::error(ErrorValue::Num);
    CivilDate d = format::serialToDate(start, ctx.dates());
    long long total = static_cast<long long>(d.year) * 12 + (d.month - 1) + static_cast<long long>(months);
    int year = static_cast<int>(total / 12), month = static_cast<int>(total % 12) + 1;
    if (year < 1900 || year > 9999) return Value::error(ErrorValue::Num);
    int last = format::daysInMonth(year, month);
    int day = endOfMonth ? last : std::min(std::max(d.day, 1), last);
    return dateResult(format::dateToSerial(year, month, day, ctx.dates()), ctx);
}

std::string upperAscii(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// WEEKNUM of a date: weeks counted from the week holding January 1, each starting on
// `firstDay` (0 Sunday … 6 Saturday).
int weekOfYear(double serial, int firstDay, const EvalContext& ctx) {
    CivilDate d = format::serialToDate(serial, ctx.dates());
    double january1 = format::dateToSerial(d.year, 1, 1, ctx.dates());
    int offset = (dayOfWeek(january1, ctx) - firstDay + 7) % 7;
    return static_cast<int>((serial - january1 + offset) / 7) + 1;
}

// ISO 8601 week number: weeks start on Monday, week 1 holds the year's first Thursday.
int isoWeek(double serial, const EvalContext& ctx) {
    int weekday = (dayOfWeek(serial, ctx) + 6) % 7;  // Monday 0
    double thursday = serial - weekday + 3;
    CivilDate d = format::serialToDate(thursday, ctx.dates());
    double january1 = format::dateToSerial(d.year, 1, 1, ctx.dates());
    return static_cast<int>((thursday - january1) / 7) + 1;
}

}  // namespace

Value today(const std::vector<Value>&, const EvalContext& ctx) { return Value::number(std::floor(ctx.now())); }
Value now(const std::vector<Value>&, const EvalContext& ctx) { return Value::number(ctx.now()); }

Value date(const std::vector<Value>& a, const EvalContext& ctx) {
    if (auto e = firstError(a)) return *e;
    double parts[3];
    for (size_t i = 0; i < 3; ++i) {
        if (auto e = integerArgument(a[i], ctx, parts[i])) return *e;
        if (std::fabs(parts[i]) > 1e7) return Value::error(ErrorValue::Num);
    }
    double year = parts[0];
    if (year < 0 || year >= 10000) return Value::error(ErrorValue::Num);
    if (year < 1900) year += 1900;  // years 0 to 1899 count from 1900, as in the host
    double serial = format::dateToSerial(static_cast<int>(year), static_cast<int>(parts[1]),
                                         static_cast<int>(parts[2]), ctx.dates());
    return dateResult(serial, ctx);
}

// TIME: hours, minutes and seconds carried over into each other; the time of day of
// the total, which must not be negative.
Value time(const std::vector<Value>& a, const EvalContext& ctx) {
    if (auto e = firstError(a)) return *e;
    double parts[3];
    for (size_t i = 0; i < 3; ++i) {
        if (auto e = integerArgument(a[i], ctx, parts[i])) return *e;
        if (std::fabs(parts[i]) > 32767) return Value::error(ErrorValue::Num);
    }
    double seconds = parts[0] * 3600 + parts[1] * 60 + parts[2];
    if (seconds < 0) return Value::error(ErrorValue::Num);
    return Value::number(std::fmod(seconds, 86400) / 86400);
}

Value year(const std::vector<Value>& a, const EvalContext& ctx) { return datePart(a, ctx, 0); }
Value month(const std::vector<Value>& a, const EvalContext& ctx) { return datePart(a, ctx, 1); }
Value day(const std::vector<Value>& a, const EvalContext& ctx) { return datePart(a, ctx, 2); }
Value hour(const std::vector<Value>& a, const EvalContext& ctx) { return timePart(a, ctx, 0); }
Value minute(const std::vector<Value>& a, const EvalContext& ctx) { return timePart(a, ctx, 1); }
Value second(const std::vector<Value>& a, const EvalContext& ctx) { return timePart(a, ctx, 2); }

// WEEKDAY(date, type): type 1 counts Sunday 1 to Saturday 7, 2 Monday 1 to Sunday 7,
// 3 Monday 0 to Sunday 6, 11 to 17 start the week on Monday to Sunday.
Value weekday(const std::vector<Value>& a, const EvalContext& ctx) {
    if (auto e = firstError(a)) return *e;
    double s = 0, type = 1;
    if (auto e = dateArgument(a[0], ctx, s)) return *e;
    if (a.size() > 1 && !a[1].isEmpty())
        if (auto e = integerArgument(a[1], ctx, type)) return *e;
    int d = dayOfWeek(s, ctx);  // Sunday 0
    int t = static_cast<int>(type);
    if (t == 1) return Value::number(d + 1);
    if (t == 2) return Value::number((d + 6) % 7 + 1);
    if (t == 3) return Value::number((d + 6) % 7);
    if (t >= 11 && t <= 17) {
        int first = (t - 10) % 7;  // 11 Monday … 17 Sunday
        return Value::number((d - first + 7) % 7 + 1);
    }
    return Value::error(ErrorValue::Num);
}

// WEEKNUM(date, type): 1 weeks from Sunday, 2 from Monday, 11 to 17 from Monday to
// Sunday, 21 the ISO week.
Value weekNum(const std::vector<Value>& a, const EvalContext& ctx) {
    if (auto e = firstError(a)) return *e;
    double s = 0, type = 1;
    if (auto e = dateArgument(a[0], ctx, s)) return *e;
    if (a.size() > 1 && !a[1].isEmpty())
        if (auto e = integerArgument(a[1], ctx, type)) return *e;
    int t = static_cast<int>(type);
    if (t == 21) return Value::number(isoWeek(s, ctx));
    int first = t == 1 ? 0 : t == 2 ? 1 : t >= 11 && t <= 17 ? (t - 10) % 7 : -1;
    if (first < 0) return Value::error(ErrorValue::Num);
    return Value::number(weekOfYear(s, first, ctx));
}

Value eDate(const std::vector<Value>& a, const EvalContext& ctx) { return monthsOn(a, ctx, false); }
Value eoMonth(const std::vector<Value>& a, const EvalContext& ctx) { return monthsOn(a, ctx, true); }

// DATEDIF(start, end, unit): whole years "Y", months "M" or days "D" between the
// dates; "MD" days, "YM" months and "YD" days as if the dates were in one month or
// year. A start after the end is #NUM!.
Value dateDif(const std::vector<Value>& a, const EvalContext& ctx) {
    if (auto e = firstError(a)) return *e;
    double start = 0, end = 0;
    if (auto e = dateArgument(a[0], ctx, start)) return *e;
    if (auto e = dateArgument(a[1], ctx, end)) return *e;
    if (start > end) return Value::error(ErrorValue::Num);
    CivilDate s = format::serialToDate(start, ctx.dates()), e = format::serialToDate(end, ctx.dates());
    std::string unit = upperAscii(toText(a[2]));
    int months = (e.year - s.year) * 12 + e.month - s.month - (e.day < s.day ? 1 : 0);
    if (unit == "Y") return Value::number(months / 12);
    if (unit == "M") return Value::number(months);
    if (unit == "D") return Value::number(end - start);
    if (unit == "YM") return Value::number(months % 12);
    if (unit == "MD") {
        if (e.day >= s.day) return Value::number(e.day - s.day);
        int previousMonth = e.month == 1 ? 12 : e.month - 1;
        int previousYear = e.month == 1 ? e.year - 1 : e.year;
        return Value::number(format::daysInMonth(previousYear, previousMonth) - s.day + e.day);
    }
    if (unit == "YD") {
        int year = e.year;
        if (s.month > e.month || (s.month == e.month && s.day > e.day)) --year;
        int day = std::min(s.day, format::daysInMonth(year, s.month));
        return Value::number(end - format::dateToSerial(year, s.month, day, ctx.dates()));
    }
    return Value::error(ErrorValue::Num);
}

Value days(const std::vector<Value>& a, const EvalContext& ctx) {
    if (auto e = firstError(a)) return *e;
    double end = 0, start = 0;
    if (auto e = dateArgument(a[0], ctx, end)) return *e;
    if (auto e = dateArgument(a[1], ctx, start)) return *e;
    return Value::number(end - start);
}

// DATEVALUE: the date a text names, by the grammar of typed entry; a time in the
// text is dropped.
Value dateValue(const std::vector<Value>& a, const EvalContext& ctx) {
    if (a[0].isError()) return a[0];
    if (!a[0].isText()) return Value::error(ErrorValue::Value);
    auto n = readTextNumber(a[0].asText(), ctx.dates(), ctx.currentYear());
    if (!n || !n->hasDate) return Value::error(ErrorValue::Value);
    return dateResult(std::floor(n->value), ctx);
}

// TIMEVALUE: the time of day a text names; a date in the text is dropped.
Value timeValue(const std::vector<Value>& a, const EvalContext& ctx) {
    if (a[0].isError()) return a[0];
    if (!a[0].isText()) return Value::error(ErrorValue::Value);
    auto n = readTextNumber(a[0].asText(), ctx.dates(), ctx.currentYear());
    if (!n || (!n->hasDate && !n->hasTime)) return Value::error(ErrorValue::Value);
    return Value::number(n->value - std::floor(n->value));
}

}  // namespace vorra::engine::formula::fn
