// Formula tokens of the binary workbook format, read into formula text and written
// from the engine's parse tree.
#include "platform/engine/files/XlsFormula.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "addin/frame/host/HostError.h"
#include "addin/frame/host/Reference.h"
#include "platform/engine/files/TextEncoding.h"
#include "platform/engine/files/XlsFunctions.h"
#include "platform/engine/formula/Lexer.h"
#include "platform/engine/formula/Parser.h"

namespace vorra::engine::xls {

namespace {

// Token numbers (the low five bits of the classified ones, with 0x20 set).
namespace ptg {
inline constexpr std::uint8_t kExp = 0x01, kTbl = 0x02, kAdd = 0x03, kSub = 0x04, kMul = 0x05, kDiv = 0x06,
                              kPower = 0x07, kConcat = 0x08, kLt = 0x09, kLe = 0x0A, kEq = 0x0B, kGe = 0x0C,
                              kGt = 0x0D, kNe = 0x0E, kIsect = 0x0F, kUnion = 0x10, kRange = 0x11,
                              kUplus = 0x12, kUminus = 0x13, kPercent = 0x14, kParen = 0x15, kMissArg = 0x16,
                              kStr = 0x17, kAttr = 0x19, kErr = 0x1C, kBool = 0x1D, kInt = 0x1E, kNum = 0x1F,
                              kArray = 0x20, kFunc = 0x21, kFuncVar = 0x22, kName = 0x23, kRef = 0x24,
                              kArea = 0x25, kMemArea = 0x26, kMemErr = 0x27, kMemNoMem = 0x28, kMemFunc = 0x29,
                              kRefErr = 0x2A, kAreaErr = 0x2B, kRefN = 0x2C, kAreaN = 0x2D, kMemAreaN = 0x2E,
                              kMemNoMemN = 0x2F, kNameX = 0x39, kRef3d = 0x3A, kArea3d = 0x3B,
                              kRefErr3d = 0x3C, kAreaErr3d = 0x3D;
// Attribute kinds of kAttr.
inline constexpr std::uint8_t kAttrSemi = 0x01, kAttrIf = 0x02, kAttrChoose = 0x04, kAttrGoto = 0x08,
                              kAttrSum = 0x10;
}  // namespace ptg

// Token classes, added to the reference, name, function and array tokens.
enum class TokenClass : std::uint8_t { Reference = 0x00, Value = 0x20, Array = 0x40 };

constexpr int kBiffRows = xls::kMaxRows;
constexpr int kBiffColumns = xls::kMaxColumns;
constexpr size_t kMaxStringConstant = 255;

std::string errorTextOfCode(unsigned code) { return host::errorText(xls::errorOfCode(code)); }

std::string numberText(double d) {
    if (!std::isfinite(d)) return "#NUM!";
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, d);
    std::string s(buf, r.ptr);
    for (char& c : s)
        if (c == 'e') c = 'E';
    return s;
}

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string upper(std::string_view s) {
    std::string u(s);
    for (auto& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

// The name of a function called by name, without the prefix of later functions.
std::string functionNameOf(std::string_view name) {
    constexpr std::string_view kPrefix = "_XLFN.";
    if (upper(name.substr(0, kPrefix.size())) == kPrefix) name.remove_prefix(kPrefix.size());
    return upper(name);
}

// ---- Reading ------------------------------------------------------------------------

// How tightly an operand's text holds together, loosest first: what decides where
// parentheses must stand when an operator joins operands.
enum Level : int { kUnionLevel, kCompare, kConcatLevel, kAdditive, kMultiplicative, kPowerLevel,
                   kPercentLevel, kNegateLevel, kRangeLevel, kAtom };

struct Operand {
    std::string text;
    int level = kAtom;
    bool functionName = false;  // a name that only stands for the function of a call by name
};

class TokenDecoder {
public:
    TokenDecoder(const FormulaBytes& bytes, const LinkTable& links, CellRef at, int sheet, size_t maxLength)
        : tokens_(bytes.tokens, record::kFormula), extra_(bytes.extra, record::kFormula), links_(links),
          at_(at), sheet_(sheet), maxLength_(maxLength) {}

    std::string decode() {
        while (!tokens_.atEnd()) step();
        if (stack_.size() != 1) malformed("leave " + std::to_string(stack_.size()) + " values instead of one");
        if (stack_.back().functionName) malformed("name a function without calling it");
        return std::move(stack_.back().text);
    }

private:
    [[noreturn]] static void malformed(const std::string& what) {
        throw FormatError("the tokens of a formula " + what);
    }
    [[noreturn]] static void unsupported(const std::string& what) { throw UnsupportedFormula(what); }

    void push(std::string text, int level = kAtom, bool functionName = false) {
        if (text.size() > maxLength_) unsupported("a formula longer than " + std::to_string(maxLength_) + " characters");
        stack_.push_back({std::move(text), level, functionName});
    }
    Operand pop() {
        if (stack_.empty()) malformed("use an operand that is not there");
        Operand o = std::move(stack_.back());
        stack_.pop_back();
        if (o.functionName) malformed("use a function's name as a value");
        return o;
    }
    static std::string wrapped(const Operand& o, bool needsParentheses) {
        return needsParentheses ? "(" + o.text + ")" : o.text;
    }

    void binary(const char* op, int level) {
        Operand right = pop(), left = pop();
        push(wrapped(left, left.level < level) + op + wrapped(right, right.level <= level), level);
    }
    void prefix(const char* op) {
        Operand o = pop();
        push(op + wrapped(o, o.level < kNegateLevel), kNegateLevel);
    }

    void call(const std::string& name, size_t argc) {
        if (argc > stack_.size()) malformed("call " + name + " with more arguments than there are");
        std::string text = name + "(";
        size_t first = stack_.size() - argc;
        for (size_t i = first; i < stack_.size(); ++i) {
            if (stack_[i].functionName) malformed("use a function's name as a value");
            if (i > first) text += ",";
            text += wrapped(stack_[i], stack_[i].level == kUnionLevel);
        }
        stack_.resize(first);
        push(text + ")");
    }

    void step() {
        std::uint8_t token = tokens_.u8();
        if (token >= 0x20 && token < 0x80) token = std::uint8_t((token & 0x1F) | 0x20);
        switch (token) {
            case ptg::kAdd: return binary("+", kAdditive);
            case ptg::kSub: return binary("-", kAdditive);
            case ptg::kMul: return binary("*", kMultiplicative);
            case ptg::kDiv: return binary("/", kMultiplicative);
            case ptg::kPower: return binary("^", kPowerLevel);
            case ptg::kConcat: return binary("&", kConcatLevel);
            case ptg::kLt: return binary("<", kCompare);
            case ptg::kLe: return binary("<=", kCompare);
            case ptg::kEq: return binary("=", kCompare);
            case ptg::kGe: return binary(">=", kCompare);
            case ptg::kGt: return binary(">", kCompare);
            case ptg::kNe: return binary("<>", kCompare);
            case ptg::kIsect: return binary(" ", kRangeLevel);
            case ptg::kUnion: return binary(",", kUnionLevel);
            case ptg::kRange: return binary(":", kRangeLevel);
            case ptg::kUplus: return prefix("+");
            case ptg::kUminus: return prefix("-");
            case ptg::kPercent: {
                Operand o = pop();
                return push(wrapped(o, o.level < kPercentLevel) + "%", kPercentLevel);
            }
            case ptg::kParen: {
                Operand o = pop();
                return push("(" + o.text + ")");
            }
            case ptg::kMissArg: return push("");
            case ptg::kStr: return push(quoted(shortString(tokens_)));
            case ptg::kAttr: return attribute();
            case ptg::kErr: return push(errorTextOfCode(tokens_.u8()));
            case ptg::kBool: return push(tokens_.u8() ? "TRUE" : "FALSE");
            case ptg::kInt: return push(std::to_string(tokens_.u16()));
            case ptg::kNum: {
                double d = tokens_.f64();
                return push(numberText(d), d < 0 ? kNegateLevel : kAtom);
            }
            case ptg::kArray:
                tokens_.skip(7);
                return push(arrayConstant());
            case ptg::kFunc: {
                unsigned id = tokens_.u16();
                const XlsFunction* f = functionById(id);
                if (!f) unsupported("function number " + std::to_string(id));
                return call(std::string(f->name), f->minArgs);
            }
            case ptg::kFuncVar: {
                size_t argc = tokens_.u8() & 0x7F;
                unsigned id = tokens_.u16() & 0x7FFF;
                if (id == kNamedFunction) return namedCall(argc);
                const XlsFunction* f = functionById(id);
                if (!f) unsupported("function number " + std::to_string(id));
                return call(std::string(f->name), argc);
            }
            case ptg::kName: {
                unsigned index = tokens_.u16();
                tokens_.skip(2);
                return name(index);
            }
            case ptg::kRef: return push(reference({}, cell(false)));
            case ptg::kArea: return push(reference({}, area(false)));
            case ptg::kRefN: return push(reference({}, cell(true)));
            case ptg::kAreaN: return push(reference({}, area(true)));
            case ptg::kMemArea: {
                tokens_.skip(6);
                size_t count = extra_.u16();
                if (count * 8 > extra_.remaining()) malformed("claim more areas than they hold");
                extra_.skip(count * 8);
                return;
            }
            case ptg::kMemErr:
            case ptg::kMemNoMem: tokens_.skip(6); return;
            case ptg::kMemFunc:
            case ptg::kMemAreaN:
            case ptg::kMemNoMemN: tokens_.skip(2); return;
            case ptg::kRefErr: tokens_.skip(4); return push("#REF!");
            case ptg::kAreaErr: tokens_.skip(8); return push("#REF!");
            case ptg::kNameX: {
                unsigned range = tokens_.u16(), index = tokens_.u16();
                tokens_.skip(2);
                return externalName(range, index);
            }
            case ptg::kRef3d: {
                Qualifier q = qualifier(tokens_.u16());
                return push(reference(std::move(q), cell(false)));
            }
            case ptg::kArea3d: {
                Qualifier q = qualifier(tokens_.u16());
                return push(reference(std::move(q), area(false)));
            }
            case ptg::kRefErr3d:
            case ptg::kAreaErr3d: {
                Qualifier q = qualifier(tokens_.u16());
                tokens_.skip(token == ptg::kRefErr3d ? 4 : 8);
                if (q.deleted) return push("#REF!");
                return push(host::printQualifier(q.ref.book, q.ref.sheet) + "!#REF!");
            }
            case ptg::kExp:
            case ptg::kTbl: unsupported("a shared formula's token inside a formula");
            default: {
                char hex[8];
                std::snprintf(hex, sizeof hex, "%02X", token);
                unsupported(std::string("token 0x") + hex);
            }
        }
    }

    void attribute() {
        std::uint8_t kind = tokens_.u8();
        unsigned data = tokens_.u16();
        if (kind & ptg::kAttrChoose) tokens_.skip((size_t(data) + 1) * 2);  // the jump table
        if (kind & ptg::kAttrSum) {
            Operand o = pop();
            push("SUM(" + wrapped(o, o.level == kUnionLevel) + ")");
        }
        // The other attributes (jumps of IF and CHOOSE, volatility, spaces) change
        // nothing of the formula's text here.
    }

    void namedCall(size_t argc) {
        if (argc == 0 || argc > stack_.size()) malformed("call a function by a name that is not there");
        Operand& nameOperand = stack_[stack_.size() - argc];
        if (!nameOperand.functionName) unsupported("a call of a function by a computed name");
        std::string fn = functionNameOf(nameOperand.text);
        nameOperand.functionName = false;
        // The name goes; its arguments stay where they are for the call.
        stack_.erase(stack_.end() - std::ptrdiff_t(argc));
        call(fn, argc - 1);
    }

    void name(unsigned index) {
        if (index == 0 || index > links_.names.size())
            malformed("refer to name " + std::to_string(index) + ", which does not exist");
        const LinkTable::Name& n = links_.names[index - 1];
        if (n.function) return push(n.name, kAtom, true);
        std::string text = n.name;
        if (n.sheet >= 0 && n.sheet != sheet_ && size_t(n.sheet) < links_.sheets.size())
            text = host::printQualifier("", links_.sheets[size_t(n.sheet)]) + "!" + text;
        push(std::move(text));
    }

    void externalName(unsigned rangeIndex, unsigned index) {
        const LinkTable::SheetRange& range = sheetRange(rangeIndex);
        const LinkTable::Book& book = links_.books[range.book];
        if (book.kind == LinkTable::BookKind::Own) return name(index);
        if (index == 0 || index > book.names.size())
            malformed("refer to external name " + std::to_string(index) + ", which does not exist");
        if (book.kind == LinkTable::BookKind::AddIns) return push(book.names[index - 1], kAtom, true);
        unsupported("a name of another workbook");
    }

    const LinkTable::SheetRange& sheetRange(unsigned index) const {
        if (index >= links_.ranges.size())
            malformed("refer to sheet range " + std::to_string(index) + ", which does not exist");
        const LinkTable::SheetRange& range = links_.ranges[index];
        if (range.book >= links_.books.size()) malformed("refer to a book that does not exist");
        return range;
    }

    // The sheet (and book) a 3-D token names, or a sheet deleted since.
    struct Qualifier {
        host::Reference ref;
        bool deleted = false;
    };
    Qualifier qualifier(unsigned rangeIndex) const {
        const LinkTable::SheetRange& range = sheetRange(rangeIndex);
        const LinkTable::Book& book = links_.books[range.book];
        Qualifier q;
        host::Reference& r = q.ref;
        const std::vector<std::string>* sheets = nullptr;
        if (book.kind == LinkTable::BookKind::Own) {
            sheets = &links_.sheets;
        } else if (book.kind == LinkTable::BookKind::External) {
            sheets = &book.sheets;
            int link = 0;
            for (size_t b = 0; b <= range.book; ++b) link += links_.books[b].kind == LinkTable::BookKind::External;
            r.book = std::to_string(link);
        } else {
            unsupported("a reference into a book of another kind");
        }
        if (range.first == LinkTable::kDeletedSheet || range.last == LinkTable::kDeletedSheet) {
            q.deleted = true;
            return q;
        }
        if (range.first != range.last) unsupported("a reference across several sheets");
        if (range.first >= sheets->size()) malformed("refer to a sheet that does not exist");
        r.sheet = (*sheets)[range.first];
        return q;
    }

    // One end of a reference: the row, the column with its flags (bit 14: column
    // relative, bit 15: row relative). Relative parts of the relative kind are offsets
    // from the formula's cell and wrap around the sheet as the format counts them.
    host::RefPoint point(unsigned row, unsigned columnField, bool offsets) const {
        host::RefPoint p;
        p.columnAbsolute = !(columnField & 0x4000);
        p.rowAbsolute = !(columnField & 0x8000);
        int r = int(row), c = int(columnField & 0xFF);
        if (offsets && !p.rowAbsolute) r = (at_.row - 1 + std::int16_t(row)) & (kBiffRows - 1);
        if (offsets && !p.columnAbsolute) c = (at_.column - 1 + std::int8_t(columnField & 0xFF)) & (kBiffColumns - 1);
        p.row = r + 1;
        p.column = c + 1;
        return p;
    }

    struct Span {
        host::RefForm form;
        host::RefPoint first, last;
    };

    Span cell(bool offsets) {
        unsigned row = tokens_.u16(), column = tokens_.u16();
        host::RefPoint p = point(row, column, offsets);
        return {host::RefForm::Cell, p, p};
    }

    Span area(bool offsets) {
        unsigned row1 = tokens_.u16(), row2 = tokens_.u16(), column1 = tokens_.u16(), column2 = tokens_.u16();
        Span s{host::RefForm::Area, point(row1, column1, offsets), point(row2, column2, offsets)};
        if (s.first.row > s.last.row) std::swap(s.first, s.last);  // as a range operator would join them
        if (s.first.column > s.last.column) std::swap(s.first.column, s.last.column);
        // The format's whole columns and rows are areas over all its rows or columns.
        if (!offsets && row1 == 0 && row2 == unsigned(kBiffRows - 1)) {
            s.form = host::RefForm::Columns;
            s.first.row = 1;
            s.last.row = host::kMaxRows;
        } else if (!offsets && (column1 & 0xFF) == 0 && (column2 & 0xFF) == unsigned(kBiffColumns - 1)) {
            s.form = host::RefForm::Rows;
            s.first.column = 1;
            s.last.column = host::kMaxColumns;
        }
        return s;
    }

    static std::string reference(Qualifier q, const Span& s) {
        if (q.deleted) return "#REF!";
        host::Reference r = std::move(q.ref);
        r.form = s.form;
        r.first = s.first;
        r.last = s.last;
        return host::printReference(r);
    }

    // The array constant's values, from the data after the tokens: columns and rows,
    // then each value with its kind.
    std::string arrayConstant() {
        size_t columns = size_t(extra_.u8()) + 1, rows = size_t(extra_.u16()) + 1;
        // Every value takes at least four bytes.
        if (columns * rows * 4 > extra_.remaining()) malformed("hold an array larger than its data");
        std::string text = "{";
        for (size_t r = 0; r < rows; ++r) {
            if (r > 0) text += ";";
            for (size_t c = 0; c < columns; ++c) {
                if (c > 0) text += ",";
                std::uint8_t kind = extra_.u8();
                switch (kind) {
                    case 0x00: extra_.skip(8); break;
                    case 0x01: text += numberText(extra_.f64()); break;
                    case 0x02: text += quoted(longString(extra_)); break;
                    case 0x04:
                        text += extra_.u8() ? "TRUE" : "FALSE";
                        extra_.skip(7);
                        break;
                    case 0x10:
                        text += errorTextOfCode(extra_.u8());
                        extra_.skip(7);
                        break;
                    default: malformed("hold an array value of unknown kind");
                }
                if (text.size() > maxLength_) unsupported("a formula longer than " + std::to_string(maxLength_) + " characters");
            }
        }
        return text + "}";
    }

    ByteReader tokens_;
    ByteReader extra_;
    const LinkTable& links_;
    CellRef at_;
    int sheet_;
    size_t maxLength_;
    std::vector<Operand> stack_;
};

}  // namespace

std::string decodeFormula(const FormulaBytes& bytes, const LinkTable& links, CellRef at, int sheet,
                          size_t maxLength) {
    return TokenDecoder(bytes, links, at, sheet, maxLength).decode();
}

// ---- Writing --------------------------------------------------------------------------

namespace {

[[noreturn]] void cannotStore(const std::string& where, const std::string& why) {
    throw host::HostError(host::error::kApplicationDefined,
                          where + " holds a formula that a 97-2003 workbook cannot hold: " + why);
}

bool sameSheetName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

// Emits the tokens of one parse tree. Each node is written in the class its place
// asks for: a function's argument in the class of that argument, an operator's
// operands as values (or arrays inside an array argument).
class TreeEncoder {
public:
    TreeEncoder(FormulaEncoder& owner, int sheet, const std::string& where) : owner_(owner), sheet_(sheet), where_(where) {}

    EncodedFormula run(const formula::Node& root, TokenClass top) {
        emit(root, top);
        out_.isVolatile = volatile_;
        return std::move(out_);
    }

    // A list of areas joined by the union operator, as names hold them.
    EncodedFormula runList(const std::vector<formula::NodePtr>& parts) {
        Bytes inner;
        std::swap(inner, out_.tokens);
        for (size_t i = 0; i < parts.size(); ++i) {
            emit(*parts[i], TokenClass::Reference);
            if (i > 0) out_.tokens.u8(ptg::kUnion);
        }
        std::swap(inner, out_.tokens);
        out_.tokens.u8(ptg::kMemFunc).u16(unsigned(inner.size()));
        out_.tokens.append(inner);
        return std::move(out_);
    }

private:
    Bytes& t() { return out_.tokens; }
    static std::uint8_t classed(std::uint8_t base, TokenClass c) { return std::uint8_t(base + std::uint8_t(c)); }

    void emit(const formula::Node& n, TokenClass context) {
        using formula::NodeKind;
        switch (n.kind) {
            case NodeKind::Constant: constant(n.value); break;
            case NodeKind::Array: array(n, context); break;
            case NodeKind::Reference: reference(n, context); break;
            case NodeKind::Range:
                emit(*n.children.at(0), TokenClass::Reference);
                emit(*n.children.at(1), TokenClass::Reference);
                t().u8(ptg::kRange);
                break;
            case NodeKind::Name: name(n, context); break;
            case NodeKind::Function: function(n, context); break;
            case NodeKind::Negate:
                emit(*n.children.at(0), operandClass(context));
                t().u8(ptg::kUminus);
                break;
            case NodeKind::Percent:
                emit(*n.children.at(0), operandClass(context));
                t().u8(ptg::kPercent);
                break;
            case NodeKind::Binary: {
                emit(*n.children.at(0), operandClass(context));
                emit(*n.children.at(1), operandClass(context));
                static constexpr std::uint8_t kOps[] = {ptg::kAdd, ptg::kSub, ptg::kMul, ptg::kDiv,
                                                        ptg::kPower, ptg::kConcat, ptg::kEq, ptg::kNe,
                                                        ptg::kLt, ptg::kLe, ptg::kGt, ptg::kGe};
                t().u8(kOps[size_t(n.op)]);
                break;
            }
            case NodeKind::Missing: t().u8(ptg::kMissArg); break;
        }
        for (int i = 0; i < n.parentheses; ++i) t().u8(ptg::kParen);
    }

    static TokenClass operandClass(TokenClass context) {
        return context == TokenClass::Array ? TokenClass::Array : TokenClass::Value;
    }

    void constant(const Value& v) {
        switch (v.kind()) {
            case Value::Kind::Number: {
                double d = v.asNumber();
                if (d >= 0 && d <= 65535 && d == std::floor(d) && !std::signbit(d)) t().u8(ptg::kInt).u16(unsigned(d));
                else t().u8(ptg::kNum).f64(d);
                break;
            }
            case Value::Kind::Text: {
                std::u16string s = files::utf16FromUtf8(v.asText());
                if (s.size() > kMaxStringConstant)
                    cannotStore(where_, "a text in quotes longer than 255 characters");
                t().u8(ptg::kStr);
                appendShortString(t(), s);
                break;
            }
            case Value::Kind::Boolean: t().u8(ptg::kBool).u8(v.asBoolean() ? 1 : 0); break;
            case Value::Kind::Error: t().u8(ptg::kErr).u8(xls::errorCode(v.asError())); break;
            case Value::Kind::Empty: t().u8(ptg::kMissArg); break;
        }
    }

    void array(const formula::Node& n, TokenClass context) {
        const host::Array2D& a = n.array;
        if (a.columns() > kBiffColumns || a.rows() > kBiffRows) cannotStore(where_, "an array constant too large");
        t().u8(classed(ptg::kArray, context == TokenClass::Value ? TokenClass::Value : TokenClass::Array));
        for (int i = 0; i < 7; ++i) t().u8(0);
        Bytes& x = out_.extra;
        x.u8(unsigned(a.columns() - 1)).u16(unsigned(a.rows() - 1));
        for (int r = 1; r <= a.rows(); ++r)
            for (int c = 1; c <= a.columns(); ++c) {
                const Value& v = a.at(r, c);
                switch (v.kind()) {
                    case Value::Kind::Empty: x.u8(0x00).u32(0).u32(0); break;
                    case Value::Kind::Number: x.u8(0x01).f64(v.asNumber()); break;
                    case Value::Kind::Text: {
                        std::u16string s = files::utf16FromUtf8(v.asText());
                        if (s.size() > kMaxStringConstant) cannotStore(where_, "a text in an array longer than 255 characters");
                        x.u8(0x02);
                        appendLongString(x, s);
                        break;
                    }
                    case Value::Kind::Boolean: x.u8(0x04).u8(v.asBoolean() ? 1 : 0).u8(0).u16(0).u32(0); break;
                    case Value::Kind::Error: x.u8(0x10).u8(xls::errorCode(v.asError())).u8(0).u16(0).u32(0); break;
                }
            }
    }

    // The row and the column with its flags.
    void point(int row, int column, bool rowAbsolute, bool columnAbsolute) {
        t().u16(unsigned(row - 1));
        t().u16(unsigned(column - 1) | (columnAbsolute ? 0u : 0x4000u) | (rowAbsolute ? 0u : 0x8000u));
    }

    void reference(const formula::Node& n, TokenClass context) {
        Area a = n.area;
        using formula::kAbsoluteFirstColumn, formula::kAbsoluteFirstRow, formula::kAbsoluteLastColumn,
            formula::kAbsoluteLastRow;
        // Whole columns and rows are areas over all the format's rows or columns.
        if (a.isWholeColumns()) a.top = 1, a.bottom = kBiffRows;
        if (a.isWholeRows()) a.left = 1, a.right = kBiffColumns;
        if (a.bottom > kBiffRows || a.right > kBiffColumns)
            cannotStore(where_, "it refers to cells beyond row 65536 or column IV");
        bool single = a.isSingleCell();
        std::uint8_t base = single ? ptg::kRef : ptg::kArea;
        std::uint16_t range = 0;
        bool threeD = n.hasSheet;
        if (threeD) {
            base = single ? ptg::kRef3d : ptg::kArea3d;
            if (!n.book.empty()) {
                range = owner_.externalSheet(bookNumber(n.book), n.name);
            } else {
                int s = owner_.sheetIndex(n.name);
                // A sheet that does not exist: the reference is an error, as the host shows it.
                range = s < 0 ? owner_.range(owner_.ownBook(), LinkTable::kDeletedSheet, LinkTable::kDeletedSheet)
                              : owner_.range(owner_.ownBook(), std::uint16_t(s), std::uint16_t(s));
                if (s < 0) base = single ? ptg::kRefErr3d : ptg::kAreaErr3d;
            }
        }
        t().u8(classed(base, context));
        if (threeD) t().u16(range);
        if (single) {
            point(a.top, a.left, n.absolute & kAbsoluteFirstRow, n.absolute & kAbsoluteFirstColumn);
            return;
        }
        t().u16(unsigned(a.top - 1)).u16(unsigned(a.bottom - 1));
        t().u16(unsigned(a.left - 1) | (n.absolute & kAbsoluteFirstColumn ? 0u : 0x4000u) |
                (n.absolute & kAbsoluteFirstRow ? 0u : 0x8000u));
        t().u16(unsigned(a.right - 1) | (n.absolute & kAbsoluteLastColumn ? 0u : 0x4000u) |
                (n.absolute & kAbsoluteLastRow ? 0u : 0x8000u));
    }

    int bookNumber(const std::string& book) const {
        int link = 0;
        auto r = std::from_chars(book.data(), book.data() + book.size(), link);
        if (r.ec != std::errc() || r.ptr != book.data() + book.size() || link < 1 ||
            size_t(link) > owner_.workbook_.externalLinks.size())
            cannotStore(where_, "it refers to the workbook [" + book + "], which is not one of its external links");
        return link;
    }

    void name(const formula::Node& n, TokenClass context) {
        if (!n.book.empty()) cannotStore(where_, "it names a defined name of another workbook");
        std::string qualifier = n.hasSheet ? n.value.asText() : std::string();
        int sheet = n.hasSheet ? owner_.sheetIndex(qualifier) : sheet_;
        std::uint16_t index = owner_.nameIndex(n.name, sheet, n.hasSheet, false);
        t().u8(classed(ptg::kName, context)).u16(index).u16(0);
    }

    void function(const formula::Node& n, TokenClass context) {
        const XlsFunction* f = functionByName(n.name);
        size_t argc = n.children.size();
        bool named = !f || f->id == kNamedFunction;
        // The format counts a call's arguments (the name of a call by name among them) in seven bits.
        if (argc + (named ? 1 : 0) > 127) cannotStore(where_, "a call with more than 127 arguments");
        if (f && f->isVolatile) volatile_ = true;
        if (named) {
            // A call by name: the name first, then the arguments.
            if (f && f->addIn) {
                auto [range, index] = owner_.addInName(std::string(f->name));
                t().u8(classed(ptg::kNameX, TokenClass::Reference)).u16(range).u16(index).u16(0);
            } else {
                t().u8(classed(ptg::kName, TokenClass::Reference))
                    .u16(owner_.nameIndex("_xlfn." + functionNameOf(n.name), -1, false, true))
                    .u16(0);
            }
        }
        TokenClass result = context == TokenClass::Array                      ? TokenClass::Array
                            : context == TokenClass::Reference && f && f->returnsReference ? TokenClass::Reference
                                                                                           : TokenClass::Value;
        auto argClass = [&](size_t i) {
            char c = f ? f->argumentClass(i) : 'V';
            if (context == TokenClass::Array && c == 'V') c = 'A';
            return c == 'R' ? TokenClass::Reference : c == 'A' ? TokenClass::Array : TokenClass::Value;
        };
        if (!named && n.name == "IF" && argc >= 2) return conditional(n, argClass, result);
        if (!named && n.name == "CHOOSE" && argc >= 2) return choice(n, argClass, result);
        for (size_t i = 0; i < argc; ++i) emit(*n.children[i], argClass(i));
        if (!named && n.name == "SUM" && argc == 1) {
            t().u8(ptg::kAttr).u8(ptg::kAttrSum).u16(0);
            return;
        }
        if (!named && f->fixed() && argc == f->minArgs) {
            t().u8(classed(ptg::kFunc, result)).u16(f->id);
            return;
        }
        if (f && !named && (argc < f->minArgs || argc > f->maxArgs))
            cannotStore(where_, std::string(f->name) + " with " + std::to_string(argc) + " arguments");
        t().u8(classed(ptg::kFuncVar, result)).u8(unsigned(argc + (named ? 1 : 0))).u16(named ? kNamedFunction : f->id);
    }

    // IF with its jumps, as programs that read the format expect: after the condition
    // a jump over the value if true to the value if false, after each value a jump to
    // the end (counted, as the format does, one byte short).
    template <class ArgClass>
    void conditional(const formula::Node& n, ArgClass argClass, TokenClass result) {
        emit(*n.children[0], argClass(0));
        size_t ifAt = t().size();
        t().u8(ptg::kAttr).u8(ptg::kAttrIf).u16(0);
        emit(*n.children[1], argClass(1));
        std::vector<size_t> gotos{t().size()};
        t().u8(ptg::kAttr).u8(ptg::kAttrGoto).u16(0);
        patch(ifAt + 2, t().size() - (ifAt + 4));
        if (n.children.size() > 2) {
            emit(*n.children[2], argClass(2));
            gotos.push_back(t().size());
            t().u8(ptg::kAttr).u8(ptg::kAttrGoto).u16(0);
        }
        t().u8(classed(ptg::kFuncVar, result)).u8(unsigned(n.children.size())).u16(1);
        for (size_t at : gotos) patch(at + 2, t().size() - (at + 4) - 1);
    }

    // CHOOSE with its jump table: after the index the offsets of each choice (from the
    // table's start), after each choice a jump to the end.
    template <class ArgClass>
    void choice(const formula::Node& n, ArgClass argClass, TokenClass result) {
        size_t choices = n.children.size() - 1;
        emit(*n.children[0], argClass(0));
        size_t tableAt = t().size() + 4;
        t().u8(ptg::kAttr).u8(ptg::kAttrChoose).u16(unsigned(choices));
        for (size_t i = 0; i <= choices; ++i) t().u16(0);
        std::vector<size_t> gotos;
        for (size_t i = 1; i <= choices; ++i) {
            patch(tableAt + (i - 1) * 2, t().size() - tableAt);
            emit(*n.children[i], argClass(i));
            gotos.push_back(t().size());
            t().u8(ptg::kAttr).u8(ptg::kAttrGoto).u16(0);
        }
        patch(tableAt + choices * 2, t().size() - tableAt);
        t().u8(classed(ptg::kFuncVar, result)).u8(unsigned(n.children.size())).u16(100);
        for (size_t at : gotos) patch(at + 2, t().size() - (at + 4) - 1);
    }

    void patch(size_t at, size_t value) {
        if (value > 0xFFFF) cannotStore(where_, "a formula too long");
        t().data()[at] = std::uint8_t(value & 0xFF);
        t().data()[at + 1] = std::uint8_t(value >> 8);
    }

    FormulaEncoder& owner_;
    int sheet_;
    const std::string& where_;
    EncodedFormula out_;
    bool volatile_ = false;
};

FormulaEncoder::FormulaEncoder(const WorkbookModel& workbook, const std::vector<DefinedName>& names)
    : workbook_(workbook) {
    for (const auto& s : workbook.sheets) links_.sheets.push_back(s->name);
    for (const DefinedName& n : names) links_.names.push_back({n.name, n.localSheet, false});
    // Every external link gets its book, in the model's order, so that "[n]" keeps
    // naming the same workbook when the file is read again.
    for (const ExternalLinkModel& link : workbook.externalLinks) {
        LinkTable::Book book;
        book.kind = LinkTable::BookKind::External;
        book.path = link.target;
        externalBooks_.push_back(int(links_.books.size()));
        links_.books.push_back(std::move(book));
    }
}

std::uint16_t FormulaEncoder::ownBook() {
    if (ownBook_ < 0) {
        // This workbook's book comes first, as programs that read the format expect.
        LinkTable::Book own;
        own.kind = LinkTable::BookKind::Own;
        links_.books.insert(links_.books.begin(), std::move(own));
        for (auto& range : links_.ranges) ++range.book;
        for (int& b : externalBooks_) ++b;
        if (addInBook_ >= 0) ++addInBook_;
        ownBook_ = 0;
    }
    return std::uint16_t(ownBook_);
}

std::uint16_t FormulaEncoder::range(std::uint16_t book, std::uint16_t first, std::uint16_t last) {
    LinkTable::SheetRange r{book, first, last};
    auto it = std::find(links_.ranges.begin(), links_.ranges.end(), r);
    if (it != links_.ranges.end()) return std::uint16_t(it - links_.ranges.begin());
    links_.ranges.push_back(r);
    return std::uint16_t(links_.ranges.size() - 1);
}

int FormulaEncoder::sheetIndex(const std::string& name) const {
    for (size_t i = 0; i < links_.sheets.size(); ++i)
        if (sameSheetName(links_.sheets[i], name)) return int(i);
    return -1;
}

std::uint16_t FormulaEncoder::nameIndex(const std::string& name, int sheet, bool qualified, bool function) {
    auto same = [&](const LinkTable::Name& n) { return n.function == function && sameSheetName(n.name, name); };
    // A sheet's own name first, then the workbook's (unless the sheet was named).
    for (size_t i = 0; i < links_.names.size(); ++i)
        if (same(links_.names[i]) && links_.names[i].sheet == sheet && sheet >= 0) return std::uint16_t(i + 1);
    if (!qualified || function)
        for (size_t i = 0; i < links_.names.size(); ++i)
            if (same(links_.names[i]) && links_.names[i].sheet < 0) return std::uint16_t(i + 1);
    // A name that is not defined gets a record of its own without a formula: the
    // formula keeps naming it and shows #NAME? until it is defined.
    links_.names.push_back({name, function ? -1 : (qualified ? sheet : -1), function});
    if (links_.names.size() > 0xFFFF) throw host::HostError(host::error::kApplicationDefined, "Too many names for a 97-2003 workbook");
    return std::uint16_t(links_.names.size());
}

std::pair<std::uint16_t, std::uint16_t> FormulaEncoder::addInName(const std::string& name) {
    if (addInBook_ < 0) {
        ownBook();
        LinkTable::Book addIns;
        addIns.kind = LinkTable::BookKind::AddIns;
        addInBook_ = int(links_.books.size());
        links_.books.push_back(std::move(addIns));
    }
    auto& names = links_.books[size_t(addInBook_)].names;
    auto it = std::find(names.begin(), names.end(), name);
    if (it == names.end()) it = names.insert(names.end(), name);
    return {range(std::uint16_t(addInBook_), LinkTable::kWholeBook, LinkTable::kWholeBook),
            std::uint16_t(it - names.begin() + 1)};
}

std::uint16_t FormulaEncoder::externalSheet(int link, const std::string& sheet) {
    ownBook();
    int b = externalBooks_[size_t(link - 1)];
    auto& sheets = links_.books[size_t(b)].sheets;
    auto it = std::find_if(sheets.begin(), sheets.end(), [&](const std::string& s) { return sameSheetName(s, sheet); });
    if (it == sheets.end()) it = sheets.insert(sheets.end(), sheet);
    auto index = std::uint16_t(it - sheets.begin());
    return range(std::uint16_t(b), index, index);
}

EncodedFormula FormulaEncoder::cell(const std::string& text, int sheet, const std::string& where) {
    formula::NodePtr tree;
    try {
        tree = formula::parseFormula(text);
    } catch (const formula::FormulaSyntaxError& e) {
        cannotStore(where, e.what());
    }
    return TreeEncoder(*this, sheet, where).run(*tree, TokenClass::Value);
}

EncodedFormula FormulaEncoder::name(const std::string& text, const std::string& where) {
    std::string_view body = text;
    if (!body.empty() && body.front() == '=') body.remove_prefix(1);
    try {
        return TreeEncoder(*this, -1, where).run(*formula::parseFormula(body), TokenClass::Reference);
    } catch (const formula::FormulaSyntaxError& e) {
        // A list of areas ("Sheet1!$A$1:$B$2,Sheet1!$D$1:$E$2", a print area of several
        // parts): the lexer finds the commas between them, each part is one formula.
        std::vector<formula::NodePtr> parts;
        try {
            auto tokens = formula::tokenize(body);
            size_t start = 0;
            int depth = 0;
            for (const auto& tok : tokens) {
                if (tok.kind == formula::TokenKind::Open || tok.kind == formula::TokenKind::BraceOpen) ++depth;
                if (tok.kind == formula::TokenKind::Close || tok.kind == formula::TokenKind::BraceClose) --depth;
                if ((tok.kind == formula::TokenKind::Comma && depth == 0) || tok.kind == formula::TokenKind::End) {
                    parts.push_back(formula::parseFormula(body.substr(start, tok.position - start)));
                    start = tok.position + 1;
                }
            }
        } catch (const formula::FormulaSyntaxError&) {
            cannotStore(where, e.what());
        }
        if (parts.size() < 2) cannotStore(where, e.what());
        return TreeEncoder(*this, -1, where).runList(parts);
    }
}

// ---- The table's records -------------------------------------------------------------

namespace {

// A workbook's file as the format stores it: a first character 1 says the path is
// encoded, then 1 and a drive letter for "C:", 3 for each "\" between folders.
std::u16string encodedPath(const std::string& target) {
    std::string path = target;
    if (path.rfind("file:///", 0) == 0) path = path.substr(8);
    std::u16string out(1, u'\x01');
    std::u16string p = files::utf16FromUtf8(path);
    size_t i = 0;
    if (p.size() >= 2 && p[1] == u':' && ((p[0] >= u'A' && p[0] <= u'Z') || (p[0] >= u'a' && p[0] <= u'z'))) {
        out += u'\x01';
        out += p[0];
        i = 2;
        if (i < p.size() && (p[i] == u'\\' || p[i] == u'/')) ++i;
    } else if (!p.empty() && (p[0] == u'\\' || p[0] == u'/')) {
        out += u'\x02';
        i = 1;
    }
    for (; i < p.size(); ++i) out += (p[i] == u'\\' || p[i] == u'/') ? u'\x03' : p[i];
    return out;
}

std::string decodedPath(const std::string& stored) {
    if (stored.empty() || stored[0] != '\x01') return stored;
    std::string out;
    for (size_t i = 1; i < stored.size(); ++i) {
        char c = stored[i];
        if (c == '\x01' && i + 1 < stored.size()) {
            if (stored[i + 1] == '@') out += "\\\\";
            else out += std::string(1, stored[i + 1]) + ":\\";
            ++i;
        } else if (c == '\x02') {
            out += "\\";
        } else if (c == '\x03') {
            out += "\\";
        } else if (c == '\x04') {
            out += "..\\";
        } else if (c == '\x05' || c == '\x06' || c == '\x07' || c == '\x08') {
            continue;  // a URL's length or a folder of the program's own: nothing of the name
        } else {
            out += c;
        }
    }
    return out;
}

constexpr std::string_view kBuiltInNames[] = {"Consolidate_Area", "Auto_Open", "Auto_Close", "Extract",
                                              "Database", "Criteria", "Print_Area", "Print_Titles",
                                              "Recorder", "Data_Form", "Auto_Activate", "Auto_Deactivate",
                                              "Sheet_Title", "_FilterDatabase"};
constexpr std::string_view kBuiltInPrefix = "_xlnm.";

}  // namespace

std::string builtInName(unsigned code) {
    if (code < std::size(kBuiltInNames)) return std::string(kBuiltInPrefix) + std::string(kBuiltInNames[code]);
    return std::string(kBuiltInPrefix) + "Builtin_" + std::to_string(code);
}

int builtInNameCode(std::string_view name) {
    if (name.substr(0, kBuiltInPrefix.size()) != kBuiltInPrefix) return -1;
    name.remove_prefix(kBuiltInPrefix.size());
    for (size_t i = 0; i < std::size(kBuiltInNames); ++i)
        if (sameSheetName(kBuiltInNames[i], name)) return int(i);
    return -1;
}

void writeLinkRecords(RecordWriter& out, const LinkTable& links) {
    if (links.ranges.empty() && links.books.empty()) return;
    for (const LinkTable::Book& book : links.books) {
        Bytes b;
        switch (book.kind) {
            case LinkTable::BookKind::Own: b.u16(unsigned(links.sheets.size())).u16(0x0401); break;
            case LinkTable::BookKind::AddIns: b.u16(1).u16(0x3A01); break;
            case LinkTable::BookKind::External:
            case LinkTable::BookKind::Other:
                b.u16(unsigned(book.sheets.size()));
                appendLongString(b, encodedPath(book.path));
                for (const auto& s : book.sheets) appendLongString(b, files::utf16FromUtf8(s));
                break;
        }
        if (b.size() > kMaxRecordData)
            throw host::HostError(host::error::kApplicationDefined,
                                  "The external workbook \"" + book.path + "\" has too many sheets for a 97-2003 workbook");
        out.record(record::kSupBook, b);
        for (const auto& name : book.names) {
            Bytes e;
            e.u16(0).u32(0);  // a plain name, of the whole book
            appendShortString(e, files::utf16FromUtf8(name));
            e.u16(2).u8(ptg::kErr).u8(0x17);  // its value is not known here: #REF!
            out.record(record::kExternName, e);
        }
    }
    // At most 1370 entries fit one record; more go on in continuations.
    Bytes all;
    all.u16(unsigned(links.ranges.size()));
    for (const auto& r : links.ranges) all.u16(r.book).u16(r.first).u16(r.last);
    const auto& data = all.data();
    size_t first = std::min(data.size(), size_t(2 + 1370 * 6));
    Bytes head;
    head.data().assign(data.begin(), data.begin() + std::ptrdiff_t(first));
    out.record(record::kExternSheet, head);
    for (size_t at = first; at < data.size(); at += 1370 * 6) {
        Bytes more;
        size_t n = std::min(data.size() - at, size_t(1370 * 6));
        more.data().assign(data.begin() + std::ptrdiff_t(at), data.begin() + std::ptrdiff_t(at + n));
        out.record(record::kContinue, more);
    }
}

void readSupBook(const Record& r, LinkTable& links) {
    std::string data = r.joined();
    ByteReader in(data, r.type);
    LinkTable::Book book;
    unsigned sheets = in.u16();
    if (data.size() == 4) {
        unsigned marker = in.u16();
        book.kind = marker == 0x0401 ? LinkTable::BookKind::Own
                    : marker == 0x3A01 ? LinkTable::BookKind::AddIns
                                       : LinkTable::BookKind::Other;
        links.books.push_back(std::move(book));
        return;
    }
    std::string path = longString(in);
    // Each sheet name takes at least three bytes.
    if (size_t(sheets) * 3 > in.remaining()) in.tooShort();
    book.kind = !path.empty() && path[0] == '\x01' ? LinkTable::BookKind::External : LinkTable::BookKind::Other;
    book.path = decodedPath(path);
    for (unsigned i = 0; i < sheets; ++i) book.sheets.push_back(longString(in));
    links.books.push_back(std::move(book));
}

void readExternName(const Record& r, LinkTable& links) {
    if (links.books.empty()) return;  // a name without its book
    ByteReader in(r.data, r.type);
    in.u16();  // options
    in.u32();  // the sheet of a sheet-level name, reserved
    // Names of links to other programs have a layout of their own: they stay unnamed.
    std::string name;
    try {
        name = shortString(in);
    } catch (const FormatError&) {
    }
    links.books.back().names.push_back(std::move(name));
}

void readExternSheet(const Record& r, LinkTable& links) {
    std::string data = r.joined();
    ByteReader in(data, r.type);
    size_t count = in.u16();
    if (count * 6 > in.remaining()) in.tooShort();
    links.ranges.clear();
    links.ranges.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        LinkTable::SheetRange s;
        s.book = in.u16();
        s.first = in.u16();
        s.last = in.u16();
        links.ranges.push_back(s);
    }
}

}  // namespace vorra::engine::xls
