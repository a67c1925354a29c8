// Dates and times as serial numbers of the 1900 date system.
#include <cmath>

#include "platform/engine/format/DateSerial.h"
#include "platform/engine/formula/FunctionTable.h"
#include "platform/engine/formula/ValueRules.h"

namespace vorra::engine::formula::fn {

namespace {

// Serials the host accepts as dates: 0 (1900-01-00) to 9999-12-31.
constexpr double kLastSerial = 2958465;

Value datePart(const Value& v, int which) {
    Value n = toNumber(v);
    if (n.isError()) return n;
    double s = n.asNumber();
    if (s < 0 || s >= kLastSerial + 1) return Value::error(ErrorValue::Num);
    auto d = format::serialToDate(s);
    return Value::number(which == 0 ? d.year : which == 1 ? d.month : d.day);
}

}  // namespace

Value today(const std::vector<Value>&, const EvalContext& ctx) { return Value::number(std::floor(ctx.now())); }
Value now(const std::vector<Value>&, const EvalContext& ctx) { return Value::number(ctx.now()); }

Value date(const std::vector<Value>& a, const EvalContext&) {
    if (auto e = firstError(a)) return *e;
    double parts[3];
    for (int i = 0; i < 3; ++i) {
        Value n = toNumber(a[static_cast<size_t>(i)]);
        if (n.isError()) return n;
        parts[i] = std::trunc(n.asNumber());
        if (std::fabs(parts[i]) > 1e7) return Value::error(ErrorValue::Num);
    }
    double year = parts[0];
    if (year < 0 || year >= 10000) return Value::error(ErrorValue::Num);
    if (year < 1900) year += 1900;  // two-digit years count from 1900, as in the host
    double serial = format::dateToSerial(static_cast<int>(year), static_cast<int>(parts[1]), static_cast<int>(parts[2]));
    if (serial < 0 || serial > kLastSerial) return Value::error(ErrorValue::Num);
    return Value::number(serial);
}

Value year(const std::vector<Value>& a, const EvalContext&) { return datePart(a[0], 0); }
Value month(const std::vector<Value>& a, const EvalContext&) { return datePart(a[0], 1); }
Value day(const std::vector<Value>& a, const EvalContext&) { return datePart(a[0], 2); }

}  // namespace vorra::engine::formula::fn
