// Text functions. Positions and lengths count characters (code points), not bytes.
#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cmath>

#include "platform/engine/format/ChineseNumerals.h"
#include "platform/engine/format/NumberFormat.h"
#include "platform/engine/formula/FunctionTable.h"
#include "platform/engine/formula/ValueRules.h"

namespace vorra::engine::formula::fn {

namespace {

constexpr size_t kMaxTextChars = 32767;

// Byte offsets of each character start, plus the end.
std::vector<size_t> characterOffsets(const std::string& s) {
    std::vector<size_t> offsets;
    int32_t i = 0, n = static_cast<int32_t>(s.size());
    while (i < n) {
        offsets.push_back(static_cast<size_t>(i));
        UChar32 c;
        U8_NEXT(reinterpret_cast<const uint8_t*>(s.data()), i, n, c);
        (void)c;
    }
    offsets.push_back(s.size());
    return offsets;
}

// Characters [from, from+count) of s, 0-based, clipped.
std::string characters(const std::string& s, size_t from, size_t count) {
    auto off = characterOffsets(s);
    size_t chars = off.size() - 1;
    if (from >= chars) return {};
    size_t to = std::min(chars, from + std::min(count, chars));
    return s.substr(off[from], off[to] - off[from]);
}

// A count argument: whole, not negative; #VALUE! otherwise.
Value countArgument(const Value& v) {
    Value n = toNumber(v);
    if (n.isError()) return n;
    if (n.asNumber() < 0) return Value::error(ErrorValue::Value);
    return Value::number(std::floor(std::min(n.asNumber(), 1e9)));
}

std::string mapCase(const std::string& s, bool toUpper) {
    std::string out;
    out.reserve(s.size());
    int32_t i = 0, n = static_cast<int32_t>(s.size());
    while (i < n) {
        UChar32 c;
        U8_NEXT(reinterpret_cast<const uint8_t*>(s.data()), i, n, c);
        if (c < 0) c = 0xFFFD;
        c = toUpper ? u_toupper(c) : u_tolower(c);
        char buf[4];
        int32_t len = 0;
        UBool err = false;
        (void)err;
        U8_APPEND(reinterpret_cast<uint8_t*>(buf), len, 4, c, err);
        out.append(buf, static_cast<size_t>(len));
    }
    return out;
}

Value textResult(std::string s) {
    if (characterOffsets(s).size() - 1 > kMaxTextChars) return Value::error(ErrorValue::Value);
    return Value::text(std::move(s));
}

Value leftOrRight(const std::vector<Value>& a, bool fromLeft) {
    if (auto e = firstError(a)) return *e;
    std::string s = toText(a[0]);
    size_t n = 1;
    if (a.size() > 1) {
        Value c = countArgument(a[1].isEmpty() ? Value::number(0) : a[1]);
        if (c.isError()) return c;
        n = static_cast<size_t>(c.asNumber());
    }
    size_t chars = characterOffsets(s).size() - 1;
    if (n >= chars) return Value::text(s);
    return Value::text(fromLeft ? characters(s, 0, n) : characters(s, chars - n, n));
}

}  // namespace

Value len(const std::vector<Value>& a, const EvalContext&) {
    if (a[0].isError()) return a[0];
    return Value::number(static_cast<double>(characterOffsets(toText(a[0])).size() - 1));
}

Value left(const std::vector<Value>& a, const EvalContext&) { return leftOrRight(a, true); }
Value right(const std::vector<Value>& a, const EvalContext&) { return leftOrRight(a, false); }

Value mid(const std::vector<Value>& a, const EvalContext&) {
    if (auto e = firstError(a)) return *e;
    Value start = toNumber(a[1]);
    if (start.isError()) return start;
    if (start.asNumber() < 1) return Value::error(ErrorValue::Value);
    Value count = countArgument(a[2]);
    if (count.isError()) return count;
    double from = std::floor(std::min(start.asNumber(), 1e9)) - 1;
    return Value::text(characters(toText(a[0]), static_cast<size_t>(from), static_cast<size_t>(count.asNumber())));
}

Value find(const std::vector<Value>& a, const EvalContext&) {
    if (auto e = firstError(a)) return *e;
    std::string what = toText(a[0]), within = toText(a[1]);
    auto off = characterOffsets(within);
    size_t chars = off.size() - 1;
    double start = 1;
    if (a.size() > 2) {
        Value s = toNumber(a[2]);
        if (s.isError()) return s;
        start = std::floor(s.asNumber());
    }
    if (start < 1 || start > static_cast<double>(chars) + 1) return Value::error(ErrorValue::Value);
    size_t from = static_cast<size_t>(start) - 1;
    size_t pos = within.find(what, off[from]);
    if (pos == std::string::npos) return Value::error(ErrorValue::Value);
    // Character number of the byte offset found.
    size_t index = static_cast<size_t>(std::lower_bound(off.begin(), off.end(), pos) - off.begin());
    return Value::number(static_cast<double>(index + 1));
}

Value substitute(const std::vector<Value>& a, const EvalContext&) {
    if (auto e = firstError(a)) return *e;
    std::string s = toText(a[0]), from = toText(a[1]), to = toText(a[2]);
    if (from.empty()) return Value::text(s);
    long long instance = 0;  // 0: every occurrence
    if (a.size() > 3) {
        Value n = toNumber(a[3]);
        if (n.isError()) return n;
        if (n.asNumber() < 1) return Value::error(ErrorValue::Value);
        instance = static_cast<long long>(std::min(n.asNumber(), 1e9));
    }
    std::string out;
    size_t pos = 0;
    long long seen = 0;
    for (;;) {
        size_t hit = s.find(from, pos);
        if (hit == std::string::npos) break;
        ++seen;
        out.append(s, pos, hit - pos);
        out += (instance == 0 || seen == instance) ? to : from;
        pos = hit + from.size();
        if (out.size() > kMaxTextChars * 4) return Value::error(ErrorValue::Value);
    }
    out.append(s, pos, std::string::npos);
    return textResult(std::move(out));
}

Value rept(const std::vector<Value>& a, const EvalContext&) {
    if (auto e = firstError(a)) return *e;
    std::string s = toText(a[0]);
    Value n = countArgument(a[1]);
    if (n.isError()) return n;
    double chars = static_cast<double>(characterOffsets(s).size() - 1) * n.asNumber();
    if (chars > kMaxTextChars) return Value::error(ErrorValue::Value);
    if (s.empty()) return Value::text("");
    std::string out;
    for (int i = 0; i < static_cast<int>(n.asNumber()); ++i) out += s;
    return Value::text(std::move(out));
}

Value trim(const std::vector<Value>& a, const EvalContext&) {
    if (a[0].isError()) return a[0];
    std::string s = toText(a[0]), out;
    bool pendingSpace = false;
    for (char c : s) {
        if (c == ' ') {
            pendingSpace = !out.empty();
            continue;
        }
        if (pendingSpace) out += ' ';
        pendingSpace = false;
        out += c;
    }
    return Value::text(std::move(out));
}

Value upper(const std::vector<Value>& a, const EvalContext&) {
    if (a[0].isError()) return a[0];
    return Value::text(mapCase(toText(a[0]), true));
}

Value lower(const std::vector<Value>& a, const EvalContext&) {
    if (a[0].isError()) return a[0];
    return Value::text(mapCase(toText(a[0]), false));
}

Value concatenate(const std::vector<Value>& a, const EvalContext&) {
    if (auto e = firstError(a)) return *e;
    std::string out;
    for (const auto& v : a) {
        out += toText(v);
        if (out.size() > kMaxTextChars * 4) return Value::error(ErrorValue::Value);
    }
    return textResult(std::move(out));
}

Value text(const std::vector<Value>& a, const EvalContext& ctx) {
    if (auto e = firstError(a)) return *e;
    Value v = a[0];
    if (v.isText())
        if (auto d = parseNumberText(v.asText())) v = Value::number(*d);
    if (v.isEmpty()) v = Value::number(0);
    return Value::text(ctx.model().styles.numberFormats.format(v, toText(a[1])));
}

Value value(const std::vector<Value>& a, const EvalContext&) {
    if (a[0].isError() || a[0].isNumber()) return a[0];
    if (a[0].isEmpty()) return Value::number(0);
    if (a[0].isBoolean()) return Value::error(ErrorValue::Value);
    if (auto d = parseNumberText(a[0].asText())) return Value::number(*d);
    return Value::error(ErrorValue::Value);
}

Value numberString(const std::vector<Value>& a, const EvalContext&) {
    if (auto e = firstError(a)) return *e;
    Value n = toNumber(a[0]);
    if (n.isError()) return n;
    Value type = toNumber(a[1]);
    if (type.isError()) return type;
    int t = static_cast<int>(std::trunc(type.asNumber()));
    if (t < 1 || t > 3) return Value::error(ErrorValue::Value);
    if (std::fabs(n.asNumber()) >= 1e15) return Value::error(ErrorValue::Num);
    return Value::text(format::numberString(n.asNumber(), static_cast<format::NumeralStyle>(t)));
}

}  // namespace vorra::engine::formula::fn
