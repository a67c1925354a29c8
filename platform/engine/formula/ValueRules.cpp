#include "platform/engine/formula/ValueRules.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/engine/host/TypedEntry.h"

namespace vorra::engine::formula {

namespace {

int rank(const Value& v) {
    switch (v.kind()) {
        case Value::Kind::Number: return 1;
        case Value::Kind::Text: return 2;
        case Value::Kind::Boolean: return 3;
        default: return 0;
    }
}

int sign(double d) { return d < 0 ? -1 : d > 0 ? 1 : 0; }

// The number rounded to fifteen significant digits.
double significant15(double x) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", x);
    return std::strtod(buf, nullptr);
}

}  // namespace

int compareNumbers(double a, double b) {
    if (a == b) return 0;
    // Numbers further apart than the sixteenth digit differ however they round.
    double scale = std::max(std::fabs(a), std::fabs(b));
    if (std::fabs(a - b) > scale * 1e-14) return a < b ? -1 : 1;
    double x = significant15(a), y = significant15(b);
    return x == y ? 0 : x < y ? -1 : 1;
}

std::optional<double> parseNumberText(std::string_view text, const EvalContext& ctx) {
    if (auto n = readTextNumber(text, ctx.dates(), ctx.currentYear())) return n->value;
    return std::nullopt;
}

Value toNumber(const Value& v, const EvalContext& ctx) {
    switch (v.kind()) {
        case Value::Kind::Number: return v;
        case Value::Kind::Empty: return Value::number(0);
        case Value::Kind::Boolean: return Value::number(v.asBoolean() ? 1 : 0);
        case Value::Kind::Error: return v;
        case Value::Kind::Text:
            if (auto d = parseNumberText(v.asText(), ctx)) return Value::number(*d);
            return Value::error(ErrorValue::Value);
    }
    return Value::error(ErrorValue::Value);
}

std::string toText(const Value& v) {
    if (v.isBoolean()) return v.asBoolean() ? "TRUE" : "FALSE";
    return v.toText();
}

Value toBoolean(const Value& v) {
    switch (v.kind()) {
        case Value::Kind::Boolean: return v;
        case Value::Kind::Number: return Value::boolean(v.asNumber() != 0);
        case Value::Kind::Empty: return Value::boolean(false);
        case Value::Kind::Error: return v;
        case Value::Kind::Text: {
            std::string u = v.asText();
            for (auto& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            if (u == "TRUE") return Value::boolean(true);
            if (u == "FALSE") return Value::boolean(false);
            return Value::error(ErrorValue::Value);
        }
    }
    return Value::error(ErrorValue::Value);
}

int compareForOperator(const Value& a, const Value& b, const TextOrder& order) {
    auto emptyAs = [](const Value& other) {
        if (other.isText()) return Value::text("");
        if (other.isBoolean()) return Value::boolean(false);
        return Value::number(0);
    };
    if (a.isEmpty() && b.isEmpty()) return 0;
    if (a.isEmpty()) return compareForOperator(emptyAs(b), b, order);
    if (b.isEmpty()) return compareForOperator(a, emptyAs(a), order);
    const Value& x = a;
    const Value& y = b;
    int ra = rank(x), rb = rank(y);
    if (ra != rb) return ra < rb ? -1 : 1;
    if (x.isNumber()) return compareNumbers(x.asNumber(), y.asNumber());
    if (x.isBoolean()) return int(x.asBoolean()) - int(y.asBoolean());
    if (x.asText().empty() || y.asText().empty()) return x.asText().empty() ? (y.asText().empty() ? 0 : -1) : 1;
    if (TextOrder::equalIgnoringCase(x.asText(), y.asText())) return 0;
    return order.compare(x.asText(), y.asText());
}

int compareForLookup(const Value& a, const Value& b, const TextOrder& order) {
    int ra = rank(a), rb = rank(b);
    if (ra != rb) return ra < rb ? -1 : 1;
    if (a.isNumber()) return sign(a.asNumber() - b.asNumber());
    if (a.isBoolean()) return int(a.asBoolean()) - int(b.asBoolean());
    if (a.isText()) {
        if (TextOrder::equalIgnoringCase(a.asText(), b.asText())) return 0;
        return order.compare(a.asText(), b.asText());
    }
    return 0;
}

bool equalForLookup(const Value& a, const Value& b) {
    if (a.kind() != b.kind()) return false;
    if (a.isText()) return TextOrder::equalIgnoringCase(a.asText(), b.asText());
    return a == b;
}

}  // namespace vorra::engine::formula
