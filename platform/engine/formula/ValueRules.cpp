#include "platform/engine/formula/ValueRules.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "platform/engine/format/DateSerial.h"

namespace vorra::engine::formula {

namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Plain decimal number with optional sign, thousands separators, exponent.
std::optional<double> parsePlainNumber(std::string_view s) {
    if (s.empty() || s.size() > 400) return std::nullopt;
    std::string clean;
    bool digits = false;
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == ',') {
            // A thousands separator stands between digits only.
            if (!digits || i + 1 >= s.size() || !std::isdigit(static_cast<unsigned char>(s[i + 1]))) return std::nullopt;
            continue;
        }
        if (std::isdigit(static_cast<unsigned char>(c))) digits = true;
        else if (c != '.' && c != '+' && c != '-' && c != 'e' && c != 'E') return std::nullopt;
        clean += c;
    }
    if (!digits) return std::nullopt;
    char* end = nullptr;
    double v = std::strtod(clean.c_str(), &end);
    if (end != clean.c_str() + clean.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

// Non-negative integer of 1 to 4 digits at the start of s; advances s.
std::optional<int> readInt(std::string_view& s, size_t maxDigits) {
    size_t n = 0;
    int v = 0;
    while (n < s.size() && n < maxDigits && std::isdigit(static_cast<unsigned char>(s[n]))) v = v * 10 + (s[n++] - '0');
    if (n == 0) return std::nullopt;
    s.remove_prefix(n);
    return v;
}

std::optional<double> parseTime(std::string_view s) {
    auto h = readInt(s, 2);
    if (!h || s.empty() || s.front() != ':') return std::nullopt;
    s.remove_prefix(1);
    auto m = readInt(s, 2);
    if (!m || *m > 59) return std::nullopt;
    int sec = 0;
    if (!s.empty() && s.front() == ':') {
        s.remove_prefix(1);
        auto x = readInt(s, 2);
        if (!x || *x > 59) return std::nullopt;
        sec = *x;
    }
    if (!s.empty()) return std::nullopt;
    return (*h * 3600.0 + *m * 60.0 + sec) / 86400.0;
}

std::optional<double> parseDate(std::string_view s) {
    auto y = readInt(s, 4);
    if (!y || s.empty() || (s.front() != '-' && s.front() != '/')) return std::nullopt;
    char sep = s.front();
    s.remove_prefix(1);
    auto m = readInt(s, 2);
    if (!m || s.empty() || s.front() != sep) return std::nullopt;
    s.remove_prefix(1);
    auto d = readInt(s, 2);
    if (!d || *m < 1 || *m > 12 || *d < 1 || *d > format::daysInMonth(*y, *m)) return std::nullopt;
    double serial = format::dateToSerial(*y, *m, *d);
    if (serial < 1) return std::nullopt;
    s = trim(s);
    if (s.empty()) return serial;
    auto t = parseTime(s);
    if (!t) return std::nullopt;
    return serial + *t;
}

int rank(const Value& v) {
    switch (v.kind()) {
        case Value::Kind::Number: return 1;
        case Value::Kind::Text: return 2;
        case Value::Kind::Boolean: return 3;
        default: return 0;
    }
}

int sign(double d) { return d < 0 ? -1 : d > 0 ? 1 : 0; }

}  // namespace

std::optional<double> parseNumberText(std::string_view text) {
    std::string_view s = trim(text);
    if (s.empty()) return std::nullopt;
    if (s.back() == '%') {
        auto v = parsePlainNumber(trim(s.substr(0, s.size() - 1)));
        if (v) return *v / 100;
        return std::nullopt;
    }
    if (auto v = parsePlainNumber(s)) return v;
    if (auto d = parseDate(s)) return d;
    return parseTime(s);
}

Value toNumber(const Value& v) {
    switch (v.kind()) {
        case Value::Kind::Number: return v;
        case Value::Kind::Empty: return Value::number(0);
        case Value::Kind::Boolean: return Value::number(v.asBoolean() ? 1 : 0);
        case Value::Kind::Error: return v;
        case Value::Kind::Text:
            if (auto d = parseNumberText(v.asText())) return Value::number(*d);
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
    if (x.isNumber()) return sign(x.asNumber() - y.asNumber());
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
