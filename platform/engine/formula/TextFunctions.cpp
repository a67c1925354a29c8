// Text functions. Positions and lengths count characters (code points); the B
// variants (LENB, LEFTB, MIDB, RIGHTB, FINDB, SEARCHB, REPLACEB) count bytes as the
// Chinese host does, one for an ASCII character and two for any other (the host's
// code page 936 writes every Chinese character, full-width form and symbol in two).
// CHAR and CODE use that code page too.
#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cmath>
#include <memory>

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
Value countArgument(const Value& v, const EvalContext& ctx) {
    Value n = toNumber(v, ctx);
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

std::vector<UChar32> codePoints(const std::string& s) {
    std::vector<UChar32> out;
    int32_t i = 0, n = static_cast<int32_t>(s.size());
    while (i < n) {
        UChar32 c;
        U8_NEXT(reinterpret_cast<const uint8_t*>(s.data()), i, n, c);
        out.push_back(c < 0 ? 0xFFFD : c);
    }
    return out;
}

void appendCodePoint(std::string& out, UChar32 c) {
    char buf[4];
    int32_t len = 0;
    UBool err = false;
    U8_APPEND(reinterpret_cast<uint8_t*>(buf), len, 4, c, err);
    if (!err) out.append(buf, static_cast<size_t>(len));
}

// Bytes of a character in the Chinese host's code page.
size_t byteWidth(UChar32 c) { return c < 0x80 ? 1 : 2; }

// The characters of a text with the byte each starts at, plus the total: what the B
// functions count in.
struct ByteView {
    std::vector<size_t> charOffsets;  // byte offset in the UTF-8 text of each character, plus the end
    std::vector<size_t> bytesBefore;  // code-page bytes before each character, plus the total
    explicit ByteView(const std::string& s) {
        charOffsets = characterOffsets(s);
        bytesBefore.reserve(charOffsets.size());
        size_t bytes = 0;
        for (size_t k = 0; k + 1 < charOffsets.size(); ++k) {
            bytesBefore.push_back(bytes);
            UChar32 c;
            int32_t i = static_cast<int32_t>(charOffsets[k]);
            U8_NEXT(reinterpret_cast<const uint8_t*>(s.data()), i, static_cast<int32_t>(s.size()), c);
            bytes += byteWidth(c < 0 ? 0xFFFD : c);
        }
        bytesBefore.push_back(bytes);
    }
    size_t bytes() const { return bytesBefore.back(); }
    size_t characters() const { return charOffsets.size() - 1; }
    // The character a 0-based byte position falls in.
    size_t characterAt(size_t byte) const {
        return static_cast<size_t>(std::upper_bound(bytesBefore.begin(), bytesBefore.end(), byte) - bytesBefore.begin()) - 1;
    }
};

// Bytes [from, to) of the text: whole characters as they are, each byte of a
// character cut in half as a blank, as the host gives them.
std::string byteSlice(const std::string& s, const ByteView& view, size_t from, size_t to) {
    to = std::min(to, view.bytes());
    std::string out;
    for (size_t k = 0; k < view.characters() && from < to; ++k) {
        size_t start = view.bytesBefore[k], end = view.bytesBefore[k + 1];
        if (end <= from || start >= to) continue;
        if (start >= from && end <= to) out.append(s, view.charOffsets[k], view.charOffsets[k + 1] - view.charOffsets[k]);
        else out.append(std::min(end, to) - std::max(start, from), ' ');
    }
    return out;
}

// The count argument of LEFT and RIGHT (1 when left out, 0 when empty).
std::optional<Value> countOf(const std::vector<Value>& a, size_t index, const EvalContext& ctx, size_t& out) {
    out = 1;
    if (a.size() <= index) return std::nullopt;
    Value c = countArgument(a[index].isEmpty() ? Value::number(0) : a[index], ctx);
    if (c.isError()) return c;
    out = static_cast<size_t>(c.asNumber());
    return std::nullopt;
}

Value leftOrRight(const std::vector<Value>& a, const EvalContext& ctx, bool fromLeft) {
    if (auto e = firstError(a)) return *e;
    std::string s = toText(a[0]);
    size_t n = 1;
    if (auto e = countOf(a, 1, ctx, n)) return *e;
    size_t chars = characterOffsets(s).size() - 1;
    if (n >= chars) return Value::text(s);
    return Value::text(fromLeft ? characters(s, 0, n) : characters(s, chars - n, n));
}

Value leftOrRightBytes(const std::vector<Value>& a, const EvalContext& ctx, bool fromLeft) {
    if (auto e = firstError(a)) return *e;
    std::string s = toText(a[0]);
    size_t n = 1;
    if (auto e = countOf(a, 1, ctx, n)) return *e;
    ByteView view(s);
    size_t total = view.bytes();
    if (n >= total) return Value::text(s);
    return Value::text(fromLeft ? byteSlice(s, view, 0, n) : byteSlice(s, view, total - n, total));
}

// A start position argument: whole, at least 1.
std::optional<Value> startOf(const Value& v, const EvalContext& ctx, double& out) {
    Value n = toNumber(v, ctx);
    if (n.isError()) return n;
    out = std::floor(std::min(n.asNumber(), 1e9));
    if (out < 1) return Value::error(ErrorValue::Value);
    return std::nullopt;
}

// Characters, for SEARCH: each folded on its own so that positions stay.
std::vector<UChar32> foldedCodePoints(const std::string& s) {
    std::vector<UChar32> cps = codePoints(s);
    for (auto& c : cps) c = u_foldCase(c, U_FOLD_CASE_DEFAULT);
    return cps;
}

// Whether pattern (with * ? and ~) matches text from position `at` on, to any end.
bool matchesFrom(const std::vector<UChar32>& p, const std::vector<UChar32>& t, size_t at) {
    struct Item {
        UChar32 c;
        bool wild;  // * or ?
    };
    std::vector<Item> items;
    for (size_t i = 0; i < p.size(); ++i) {
        if (p[i] == '~' && i + 1 < p.size() && (p[i + 1] == '*' || p[i + 1] == '?' || p[i + 1] == '~'))
            items.push_back({p[++i], false});
        else
            items.push_back({p[i], p[i] == '*' || p[i] == '?'});
    }
    // Iterative matching with one backtrack point for the last '*'; the pattern may
    // stop before the text does.
    size_t pi = 0, ti = at, starP = std::string::npos, starT = 0;
    while (pi < items.size()) {
        if (items[pi].wild && items[pi].c == '*') {
            starP = pi++;
            starT = ti;
        } else if (ti < t.size() && ((items[pi].wild && items[pi].c == '?') || items[pi].c == t[ti])) {
            ++pi;
            ++ti;
        } else if (starP != std::string::npos && starT < t.size()) {
            pi = starP + 1;
            ti = ++starT;
        } else {
            return false;
        }
    }
    return true;
}

// FIND and SEARCH: the character position (1-based) of the first match at or after
// `start`; nothing when there is none. A text of nothing is found at the start.
std::optional<size_t> position(const std::string& what, const std::string& within, size_t start, bool search) {
    if (!search) {
        auto off = characterOffsets(within);
        if (start > off.size()) return std::nullopt;
        size_t pos = within.find(what, off[start - 1]);
        if (pos == std::string::npos) return std::nullopt;
        return static_cast<size_t>(std::lower_bound(off.begin(), off.end(), pos) - off.begin()) + 1;
    }
    std::vector<UChar32> p = foldedCodePoints(what), t = foldedCodePoints(within);
    if (start > t.size() + 1) return std::nullopt;
    for (size_t i = start - 1; i <= t.size(); ++i)
        if (matchesFrom(p, t, i)) return i + 1;
    return std::nullopt;
}

Value findOrSearch(const std::vector<Value>& a, const EvalContext& ctx, bool search, bool bytes) {
    if (auto e = firstError(a)) return *e;
    std::string what = toText(a[0]), within = toText(a[1]);
    double start = 1;
    if (a.size() > 2)
        if (auto e = startOf(a[2], ctx, start)) return *e;
    ByteView view(within);
    size_t from = static_cast<size_t>(start);
    if (bytes) {
        if (from > view.bytes() + 1) return Value::error(ErrorValue::Value);
        from = view.characterAt(from - 1) + 1;
        if (view.bytesBefore[from - 1] < static_cast<size_t>(start) - 1) ++from;  // start inside a character
    }
    if (from > view.characters() + 1) return Value::error(ErrorValue::Value);
    auto found = position(what, within, from, search);
    if (!found) return Value::error(ErrorValue::Value);
    if (!bytes) return Value::number(static_cast<double>(*found));
    return Value::number(static_cast<double>(view.bytesBefore[*found - 1] + 1));
}

// REPLACE and REPLACEB: `count` characters (or bytes) from `start` replaced.
Value replaceWith(const std::vector<Value>& a, const EvalContext& ctx, bool bytes) {
    if (auto e = firstError(a)) return *e;
    std::string s = toText(a[0]), with = toText(a[3]);
    double start = 1;
    if (auto e = startOf(a[1], ctx, start)) return *e;
    Value n = countArgument(a[2], ctx);
    if (n.isError()) return n;
    size_t from = static_cast<size_t>(start) - 1, count = static_cast<size_t>(n.asNumber());
    if (bytes) {
        ByteView view(s);
        size_t to = std::min(view.bytes(), from + count);
        return textResult(byteSlice(s, view, 0, from) + with + byteSlice(s, view, std::max(to, from), view.bytes()));
    }
    auto off = characterOffsets(s);
    size_t chars = off.size() - 1;
    size_t f = std::min(from, chars), t = std::min(chars, from + std::min(count, chars));
    return textResult(s.substr(0, off[f]) + with + s.substr(off[t]));
}

// The Chinese host's code page, for CHAR and CODE; one converter per thread.
UConverter* codePage936() {
    struct Close {
        void operator()(UConverter* c) const { ucnv_close(c); }
    };
    thread_local std::unique_ptr<UConverter, Close> converter = [] {
        UErrorCode status = U_ZERO_ERROR;
        UConverter* c = ucnv_open("windows-936", &status);
        if (U_FAILURE(status)) return std::unique_ptr<UConverter, Close>();
        ucnv_setFromUCallBack(c, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
        ucnv_setToUCallBack(c, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
        return std::unique_ptr<UConverter, Close>(c);
    }();
    return converter.get();
}

// DOLLAR, RMB and FIXED: the number rounded to `decimals` places (left of the point
// when negative), shown under a number format.
Value numberAsText(const std::vector<Value>& a, const EvalContext& ctx, const std::string& symbol,
                   bool parenthesesForNegative, bool grouping, double defaultDecimals) {
    if (auto e = firstError(a)) return *e;
    Value n = toNumber(a[0], ctx);
    if (n.isError()) return n;
    double decimals = defaultDecimals;
    if (a.size() > 1 && !a[1].isEmpty()) {
        Value d = toNumber(a[1], ctx);
        if (d.isError()) return d;
        decimals = std::trunc(d.asNumber());
    }
    if (decimals > 127) return Value::error(ErrorValue::Value);
    if (std::fabs(n.asNumber()) >= 1e15) return Value::error(ErrorValue::Value);
    std::vector<Value> roundArgs{n, Value::number(decimals)};
    Value r = fn::round(roundArgs, ctx);
    if (r.isError()) return r;
    int places = static_cast<int>(std::clamp(decimals, 0.0, 30.0));
    std::string digits = std::string(grouping ? "#,##0" : "0") + (places > 0 ? "." + std::string(size_t(places), '0') : "");
    std::string positive = (symbol.empty() ? "" : "\"" + symbol + "\"") + digits;
    std::string code = parenthesesForNegative ? positive + ";(" + positive + ")"
                                              : positive + ";" + (symbol.empty() ? "" : "\"" + symbol + "\"") + "-" + digits;
    return Value::text(formatValue(r, code, ctx.dates()));
}

}  // namespace

Value len(const std::vector<Value>& a, const EvalContext&) {
    if (a[0].isError()) return a[0];
    return Value::number(static_cast<double>(characterOffsets(toText(a[0])).size() - 1));
}

Value lenB(const std::vector<Value>& a, const EvalContext&) {
    if (a[0].isError()) return a[0];
    return Value::number(static_cast<double>(ByteView(toText(a[0])).bytes()));
}

Value left(const std::vector<Value>& a, const EvalContext& ctx) { return leftOrRight(a, ctx, true); }
Value right(const std::vector<Value>& a, const EvalContext& ctx) { return leftOrRight(a, ctx, false); }
Value leftB(const std::vector<Value>& a, const EvalContext& ctx) { return leftOrRightBytes(a, ctx, true); }
Value rightB(const std::vector<Value>& a, const EvalContext& ctx) { return leftOrRightBytes(a, ctx, false); }

Value mid(const std::vector<Value>& a, const EvalContext& ctx) {
    if (auto e = firstError(a)) return *e;
    double start = 1;
    if (auto e = startOf(a[1], ctx, start)) return *e;
    Value count = countArgument(a[2], ctx);
    if (count.isError()) return count;
    return Value::text(characters(toText(a[0]), static_cast<size_t>(start) - 1, static_cast<size_t>(count.asNumber())));
}

Value midB(const std::vector<Value>& a, const EvalContext& ctx) {
    if (auto e = firstError(a)) return *e;
    double start = 1;
    if (auto e = startOf(a[1], ctx, start)) return *e;
    Value count = countArgument(a[2], ctx);
    if (count.isError()) return count;
    std::string s = toText(a[0]);
    ByteView view(s);
    size_t from = static_cast<size_t>(start) - 1;
    return Value::text(byteSlice(s, view, from, from + static_cast<size_t>(count.asNumber())));
}

Value find(const std::vector<Value>& a, const EvalContext& ctx) { return findOrSearch(a, ctx, false, false); }
Value findB(const std::vector<Value>& a, const EvalContext& ctx) { return findOrSearch(a, ctx, false, true); }
Value search(const std::vector<Value>& a, const EvalContext& ctx) { return findOrSearch(a, ctx, true, false); }
Value searchB(const std::vector<Value>& a, const EvalContext& ctx) { return findOrSearch(a, ctx, true, true); }
Value replace(const std::vector<Value>& a, const EvalContext& ctx) { return replaceWith(a, ctx, false); }
Value replaceB(const std::vector<Value>& a, const EvalContext& ctx) { return replaceWith(a, ctx, true); }

Value substitute(const std::vector<Value>& a, const EvalContext& ctx) {
    if (auto e = firstError(a)) return *e;
    std::string s = toText(a[0]), from = toText(a[1]), to = toText(a[2]);
    if (from.empty()) return Value::text(s);
    long long instance = 0;  // 0: every occurrence
    if (a.size() > 3) {
        Value n = toNumber(a[3], ctx);
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

Value rept(const std::vector<Value>& a, const EvalContext& ctx) {
    if (auto e = firstError(a)) return *e;
    std::string s = toText(a[0]);
    Value n = countArgument(a[1], ctx);
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

// CLEAN: the control characters 0 to 31 removed.
Value clean(const std::vector<Value>& a, const EvalContext&) {
    if (a[0].isError()) return a[0];
    std::string out;
    for (char c : toText(a[0]))
        if (static_cast<unsigned char>(c) >= 32) out += c;
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

// PROPER: a letter after anything but a letter in capitals, every other letter small.
Value proper(const std::vector<Value>& a, const EvalContext&) {
    if (a[0].isError()) return a[0];
    std::string out;
    bool afterLetter = false;
    for (UChar32 c : codePoints(toText(a[0]))) {
        bool letter = u_isalpha(c);
        appendCodePoint(out, letter ? (afterLetter ? u_tolower(c) : u_toupper(c)) : c);
        afterLetter = letter;
    }
    return Value::text(std::move(out));
}

Value exact(const std::vector<Value>& a, const EvalContext&) {
    if (auto e = firstError(a)) return *e;
    return Value::boolean(toText(a[0]) == toText(a[1]));
}

// CHAR: the character of a code of the host's code page, 1 to 255 for one byte,
// larger numbers for two (CHAR(54992) is 中).
Value charFromCode(const std::vector<Value>& a, const EvalContext& ctx) {
    if (a[0].isError()) return a[0];
    Value n = toNumber(a[0], ctx);
    if (n.isError()) return n;
    double code = std::trunc(n.asNumber());
    if (code < 1 || code > 65535) return Value::error(ErrorValue::Value);
    unsigned value = static_cast<unsigned>(code);
    if (value < 0x80) return Value::text(std::string(1, static_cast<char>(value)));
    UConverter* cp = codePage936();
    if (!cp) return Value::error(ErrorValue::Value);
    char bytes[2];
    int32_t length = 0;
    if (value > 0xFF) bytes[length++] = static_cast<char>(value >> 8);
    bytes[length++] = static_cast<char>(value & 0xFF);
    UChar units[4];
    UErrorCode status = U_ZERO_ERROR;
    ucnv_reset(cp);
    int32_t got = ucnv_toUChars(cp, units, 4, bytes, length, &status);
    if (U_FAILURE(status) || got < 1 || got > 2) return Value::error(ErrorValue::Value);
    UChar32 c = got == 2 ? U16_GET_SUPPLEMENTARY(units[0], units[1]) : units[0];
    std::string out;
    appendCodePoint(out, c);
    return Value::text(std::move(out));
}

// CODE: the code of a text's first character in the host's code page; 63 ("?") for
// a character the code page lacks.
Value code(const std::vector<Value>& a, const EvalContext&) {
    if (a[0].isError()) return a[0];
    std::string s = toText(a[0]);
    if (s.empty()) return Value::error(ErrorValue::Value);
    auto cps = codePoints(s);
    UChar32 c = cps.front();
    if (c < 0x80) return Value::number(c);
    UConverter* cp = codePage936();
    if (!cp) return Value::number(63);
    UChar units[2];
    int32_t length = 0;
    UBool err = false;
    U16_APPEND(units, length, 2, c, err);
    if (err) return Value::number(63);
    char bytes[8];
    UErrorCode status = U_ZERO_ERROR;
    ucnv_reset(cp);
    int32_t got = ucnv_fromUChars(cp, bytes, sizeof bytes, units, length, &status);
    if (U_FAILURE(status) || got < 1 || got > 2) return Value::number(63);
    unsigned value = static_cast<unsigned char>(bytes[0]);
    if (got == 2) value = value << 8 | static_cast<unsigned char>(bytes[1]);
    return Value::number(value);
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

Value t(const std::vector<Value>& a, const EvalContext&) {
    if (a[0].isError() || a[0].isText()) return a[0];
    return Value::text("");
}

Value text(const std::vector<Value>& a, const EvalContext& ctx) {
    if (auto e = firstError(a)) return *e;
    Value v = a[0];
    if (v.isText())
        if (auto d = parseNumberText(v.asText(), ctx)) v = Value::number(*d);
    if (v.isEmpty()) v = Value::number(0);
    return Value::text(ctx.model().styles.numberFormats.format(v, toText(a[1]), ctx.dates()));
}

Value value(const std::vector<Value>& a, const EvalContext& ctx) {
    if (a[0].isError() || a[0].isNumber()) return a[0];
    if (a[0].isEmpty()) return Value::number(0);
    if (a[0].isBoolean()) return Value::error(ErrorValue::Value);
    if (auto d = parseNumberText(a[0].asText(), ctx)) return Value::number(*d);
    return Value::error(ErrorValue::Value);
}

// FIXED(number, decimals = 2, no_commas = FALSE).
Value fixed(const std::vector<Value>& a, const EvalContext& ctx) {
    if (auto e = firstError(a)) return *e;
    bool grouping = true;
    if (a.size() > 2) {
        Value b = toBoolean(a[2]);
        if (b.isError()) return b;
        grouping = !b.asBoolean();
    }
    std::vector<Value> numberAndDecimals(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(std::min<size_t>(a.size(), 2)));
    return numberAsText(numberAndDecimals, ctx, "", false, grouping, 2);
}

// DOLLAR: the dollar text of the host's documentation, "$1,234.57" and "($1,234.57)".
Value dollar(const std::vector<Value>& a, const EvalContext& ctx) { return numberAsText(a, ctx, "$", true, true, 2); }

// RMB: the Chinese currency text, "¥1,234.57" and "¥-1,234.57".
Value rmb(const std::vector<Value>& a, const EvalContext& ctx) { return numberAsText(a, ctx, "\xC2\xA5", false, true, 2); }

Value numberString(const std::vector<Value>& a, const EvalContext& ctx) {
    if (auto e = firstError(a)) return *e;
    Value n = toNumber(a[0], ctx);
    if (n.isError()) return n;
    Value type = toNumber(a[1], ctx);
    if (type.isError()) return type;
    int t = static_cast<int>(std::trunc(type.asNumber()));
    if (t < 1 || t > 3) return Value::error(ErrorValue::Value);
    if (std::fabs(n.asNumber()) >= 1e15) return Value::error(ErrorValue::Num);
    return Value::text(format::numberString(n.asNumber(), static_cast<format::NumeralStyle>(t)));
}

}  // namespace vorra::engine::formula::fn
