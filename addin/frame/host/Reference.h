#pragma once
// Cell coordinates and the one grammar of cell references. Every reader and writer of
// a reference goes through here: the host's addresses ("$K$4", Range("e8:e407")), the
// formula lexer, the workbook file readers and writers, shared formulas and the
// functions that take or give reference texts (INDIRECT, ADDRESS).
//
// A1 forms, each with "$" before the column or the row to make that part absolute:
//   cell       A1  $A$1  A$1  $A1
//   area       A1:B2  $A$1:$B$2
//   columns    A:A  $A:B
//   rows       1:3  $1:$3
// optionally after a qualifier that names a sheet, and possibly another workbook:
//   Sheet1!A1   常用单位账号!$E$8:$I$407   'My sheet'!A1   'It''s'!A1
//   [1]Sheet1!A1   '[1]My sheet'!A1   '[Book.xlsx]Sheet1'!A1   'C:\dir\[Book.xlsx]Sheet1'!A1
// An external workbook is written as the file format does: "[n]" with the index of
// the workbook's external link (1-based), or a bracketed file name.
//
// R1C1 forms (INDIRECT and ADDRESS with a1 FALSE): R2C3, R[1]C[-1], RC, R2C3:R4C5,
// R2, R2:R4, C3, C3:C5; numbers in brackets are relative to a base cell.
//
// Parsing never allocates for plain cell references (file readers call it for every
// cell); columns past XFD and rows past 1048576 are refused and said to be so.

#include <cctype>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace vorra::host {

inline constexpr int kMaxRows = 1048576;
inline constexpr int kMaxColumns = 16384;  // column XFD

struct CellRef {
    int row = 1;
    int column = 1;
    friend bool operator==(const CellRef&, const CellRef&) = default;
};

struct Area {
    int top = 1;
    int left = 1;
    int bottom = 1;
    int right = 1;

    static Area cell(int row, int column) { return {row, column, row, column}; }
    static Area of(CellRef c) { return cell(c.row, c.column); }

    int rows() const { return bottom - top + 1; }
    int columns() const { return right - left + 1; }
    long long count() const { return static_cast<long long>(rows()) * columns(); }
    bool isSingleCell() const { return top == bottom && left == right; }
    CellRef topLeft() const { return {top, left}; }
    bool contains(CellRef c) const {
        return c.row >= top && c.row <= bottom && c.column >= left && c.column <= right;
    }
    bool valid() const {
        return top >= 1 && left >= 1 && bottom <= kMaxRows && right <= kMaxColumns &&
               top <= bottom && left <= right;
    }
    // Whole columns (every row) or whole rows (every column).
    bool isWholeColumns() const { return top == 1 && bottom == kMaxRows; }
    bool isWholeRows() const { return left == 1 && right == kMaxColumns; }
    friend bool operator==(const Area&, const Area&) = default;
};

// "A", "Z", "AA", ..., "XFD".
inline std::string columnLetters(int column) {
    std::string s;
    while (column > 0) {
        int rem = (column - 1) % 26;
        s.insert(s.begin(), char('A' + rem));
        column = (column - 1) / 26;
    }
    return s;
}

// One end of a reference: a row and a column, each relative or absolute ("$").
struct RefPoint {
    int row = 1;
    int column = 1;
    bool rowAbsolute = false;
    bool columnAbsolute = false;
    friend bool operator==(const RefPoint&, const RefPoint&) = default;
};

enum class RefForm {
    Cell,     // A1: first == last
    Area,     // A1:B2
    Columns,  // A:B: rows 1 to kMaxRows
    Rows,     // 1:3: columns 1 to kMaxColumns
};

struct Reference {
    std::string book;   // external workbook ("1" of "[1]Sheet1!A1"); empty for this one
    std::string sheet;  // the sheet named before "!"; empty: the formula's own sheet
    RefForm form = RefForm::Cell;
    RefPoint first;     // top-left end
    RefPoint last;      // bottom-right end (the same as first for a cell)

    bool hasSheet() const { return !sheet.empty() || !book.empty(); }
    Area area() const { return {first.row, first.column, last.row, last.column}; }
    friend bool operator==(const Reference&, const Reference&) = default;

    static Reference of(const Area& a, bool absolute) {
        Reference r;
        r.first = {a.top, a.left, absolute, absolute};
        r.last = {a.bottom, a.right, absolute, absolute};
        r.form = a.isSingleCell()       ? RefForm::Cell
                 : a.isWholeColumns()   ? RefForm::Columns
                 : a.isWholeRows()      ? RefForm::Rows
                                        : RefForm::Area;
        return r;
    }
};

enum class ReferenceStatus { Ok, Malformed, PastLimits };

namespace reference {

inline bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
inline bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }
// Characters of names and unquoted sheet names: what may not follow a reference.
inline bool isNameChar(char c) {
    return isAsciiLetter(c) || isAsciiDigit(c) || c == '_' || c == '.' || c == '\\' ||
           static_cast<unsigned char>(c) >= 0x80;
}

// One side of an A1 reference at text[i]: optional "$", letters, optional "$",
// digits; either part may be missing. Advances i past what it read.
struct Side {
    bool hasColumn = false, hasRow = false;
    bool columnAbsolute = false, rowAbsolute = false;
    long long column = 0, row = 0;
    bool pastLimits = false;
};

inline std::optional<Side> readSide(std::string_view s, size_t& i) {
    Side side;
    size_t j = i;
    if (j < s.size() && s[j] == '$') side.columnAbsolute = true, ++j;
    size_t letters = j;
    while (j < s.size() && isAsciiLetter(s[j])) {
        if (j - letters < 4) side.column = side.column * 26 + (std::toupper(static_cast<unsigned char>(s[j])) - 'A' + 1);
        ++j;
    }
    side.hasColumn = j > letters;
    if (j - letters > 3 || side.column > kMaxColumns) side.pastLimits = true;
    if (side.hasColumn && j < s.size() && s[j] == '$') side.rowAbsolute = true, ++j;
    if (!side.hasColumn) {
        // "$3": the dollar belongs to the row.
        side.rowAbsolute = side.columnAbsolute;
        side.columnAbsolute = false;
    }
    size_t digits = j;
    while (j < s.size() && isAsciiDigit(s[j])) {
        if (j - digits < 8) side.row = side.row * 10 + (s[j] - '0');
        ++j;
    }
    side.hasRow = j > digits;
    if (side.hasRow && (j - digits > 7 || side.row > kMaxRows)) side.pastLimits = true;
    if (!side.hasColumn && !side.hasRow) return std::nullopt;
    if (side.hasRow && side.row < 1) return std::nullopt;   // "A0"
    if (side.rowAbsolute && !side.hasRow) return std::nullopt;  // "$A$"
    i = j;
    return side;
}

inline bool endsHere(std::string_view s, size_t i) {
    return i >= s.size() || (!isNameChar(s[i]) && s[i] != '(' && s[i] != '$' && s[i] != '!');
}

}  // namespace reference

// The reference body (no qualifier) that starts at text[at]: a cell, an area, columns
// or rows, not followed by a character that would make it part of a name or a
// function call. `end` is where it stops. Nothing when there is none; status tells a
// well-formed reference past the sheet's end from anything else.
struct ScannedBody {
    RefForm form = RefForm::Cell;
    RefPoint first, last;
    size_t end = 0;
};

inline std::optional<ScannedBody> scanReferenceBody(std::string_view s, size_t at,
                                                    ReferenceStatus* status = nullptr) {
    using namespace reference;
    if (status) *status = ReferenceStatus::Malformed;
    size_t i = at;
    auto a = readSide(s, i);
    if (!a) return std::nullopt;
    auto point = [](const Side& side) {
        return RefPoint{static_cast<int>(side.row), static_cast<int>(side.column), side.rowAbsolute,
                        side.columnAbsolute};
    };
    ScannedBody body;
    bool isCell = a->hasColumn && a->hasRow;
    // A second side after ":" of the same kind makes an area, columns or rows.
    if (i < s.size() && s[i] == ':') {
        size_t j = i + 1;
        auto b = readSide(s, j);
        bool sameKind = b && b->hasColumn == a->hasColumn && b->hasRow == a->hasRow;
        if (sameKind && endsHere(s, j)) {
            if (a->pastLimits || b->pastLimits) {
                if (status) *status = ReferenceStatus::PastLimits;
                return std::nullopt;
            }
            RefPoint p = point(*a), q = point(*b);
            if (!a->hasRow) p.row = 1, q.row = kMaxRows;
            if (!a->hasColumn) p.column = 1, q.column = kMaxColumns;
            if (p.row > q.row) std::swap(p.row, q.row), std::swap(p.rowAbsolute, q.rowAbsolute);
            if (p.column > q.column) std::swap(p.column, q.column), std::swap(p.columnAbsolute, q.columnAbsolute);
            body.form = !a->hasRow ? RefForm::Columns : !a->hasColumn ? RefForm::Rows : RefForm::Area;
            body.first = p;
            body.last = q;
            body.end = j;
            if (status) *status = ReferenceStatus::Ok;
            return body;
        }
    }
    if (!isCell || !endsHere(s, i)) return std::nullopt;
    if (a->pastLimits) {
        if (status) *status = ReferenceStatus::PastLimits;
        return std::nullopt;
    }
    body.first = body.last = point(*a);
    body.end = i;
    if (status) *status = ReferenceStatus::Ok;
    return body;
}

// The qualifier that starts at text[at] and ends with "!": an unquoted sheet name, a
// quoted one, either with an external workbook before it. `end` is just past "!".
struct ScannedQualifier {
    std::string book;
    std::string sheet;
    size_t end = 0;
};

inline std::optional<ScannedQualifier> scanQualifier(std::string_view s, size_t at) {
    using namespace reference;
    ScannedQualifier q;
    size_t i = at;
    // "[book]" before an unquoted sheet name.
    auto readBook = [&](std::string_view t, size_t& k, std::string& book) {
        if (k >= t.size() || t[k] != '[') return true;
        size_t close = t.find(']', k + 1);
        if (close == std::string_view::npos || close == k + 1) return false;
        book = std::string(t.substr(k + 1, close - k - 1));
        k = close + 1;
        return true;
    };
    if (i < s.size() && s[i] == '\'') {
        std::string inside;
        size_t k = i + 1;
        for (;;) {
            if (k >= s.size()) return std::nullopt;
            if (s[k] == '\'') {
                if (k + 1 < s.size() && s[k + 1] == '\'') {
                    inside += '\'';
                    k += 2;
                    continue;
                }
                ++k;
                break;
            }
            inside += s[k++];
        }
        if (k >= s.size() || s[k] != '!' || inside.empty()) return std::nullopt;
        // A path and "[book]" may stand before the sheet's name inside the quotes.
        size_t open = inside.find('[');
        size_t close = open == std::string::npos ? std::string::npos : inside.find(']', open);
        if (close != std::string::npos) {
            q.book = inside.substr(0, open) + inside.substr(open + 1, close - open - 1);
            q.sheet = inside.substr(close + 1);
        } else {
            q.sheet = std::move(inside);
        }
        if (q.sheet.empty()) return std::nullopt;
        q.end = k + 1;
        return q;
    }
    if (!readBook(s, i, q.book)) return std::nullopt;
    size_t start = i;
    while (i < s.size() && isNameChar(s[i]) && s[i] != '\\') ++i;
    if (i == start || i >= s.size() || s[i] != '!') return std::nullopt;
    q.sheet = std::string(s.substr(start, i - start));
    q.end = i + 1;
    return q;
}

// Whether a sheet name must be quoted in a reference: empty, starting with a digit,
// holding any character but letters, digits, "_" and ".", or reading like an A1 or
// R1C1 reference ("A1", "XFD2", "R1C1", "R", "C3").
inline bool sheetNameNeedsQuotes(std::string_view sheet) {
    using namespace reference;
    if (sheet.empty() || isAsciiDigit(sheet[0]) || sheet[0] == '.') return true;
    for (char c : sheet)
        if (!(isAsciiLetter(c) || isAsciiDigit(c) || c == '_' || c == '.' || static_cast<unsigned char>(c) >= 0x80))
            return true;
    size_t i = 0;
    if (auto side = readSide(sheet, i); side && i == sheet.size() && side->hasColumn && side->hasRow && !side->pastLimits)
        return true;
    // R1C1 look-alikes: R, C, Rn, Cn, RnCn.
    auto upper = [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); };
    size_t k = 0;
    auto part = [&](char letter) {
        if (k >= sheet.size() || upper(sheet[k]) != letter) return false;
        ++k;
        while (k < sheet.size() && isAsciiDigit(sheet[k])) ++k;
        return true;
    };
    bool r = part('R');
    bool c = part('C');
    return (r || c) && k == sheet.size();
}

// The qualifier as written before "!": Sheet1, 'My sheet', [1]Sheet1, '[1]My sheet'.
inline std::string printQualifier(std::string_view book, std::string_view sheet) {
    bool quote = sheetNameNeedsQuotes(sheet);
    for (char c : book)
        if (!(reference::isAsciiLetter(c) || reference::isAsciiDigit(c) || c == '_' || c == '.')) quote = true;
    std::string inside = book.empty() ? std::string(sheet) : "[" + std::string(book) + "]" + std::string(sheet);
    if (!quote) return inside;
    std::string out = "'";
    for (char c : inside) {
        if (c == '\'') out += '\'';
        out += c;
    }
    return out + "'";
}

// The reference body as A1 text, with "$" where a part is absolute.
inline std::string printReferenceBody(const Reference& r) {
    auto column = [](const RefPoint& p) { return (p.columnAbsolute ? "$" : "") + columnLetters(p.column); };
    auto row = [](const RefPoint& p) { return (p.rowAbsolute ? "$" : "") + std::to_string(p.row); };
    switch (r.form) {
        case RefForm::Cell: return column(r.first) + row(r.first);
        case RefForm::Area: return column(r.first) + row(r.first) + ":" + column(r.last) + row(r.last);
        case RefForm::Columns: return column(r.first) + ":" + column(r.last);
        case RefForm::Rows: return row(r.first) + ":" + row(r.last);
    }
    return {};
}

// The whole reference as a formula writes it.
inline std::string printReference(const Reference& r) {
    std::string body = printReferenceBody(r);
    if (!r.hasSheet()) return body;
    return printQualifier(r.book, r.sheet) + "!" + body;
}

// Parses a whole text as one reference, with or without a qualifier. Nothing for
// anything else ("e8:e", "A0", "XFE1", "A1:"); status as for scanReferenceBody.
inline std::optional<Reference> parseReference(std::string_view text, ReferenceStatus* status = nullptr) {
    if (status) *status = ReferenceStatus::Malformed;
    Reference r;
    size_t at = 0;
    if (auto q = scanQualifier(text, 0)) {
        r.book = std::move(q->book);
        r.sheet = std::move(q->sheet);
        at = q->end;
    }
    auto body = scanReferenceBody(text, at, status);
    if (!body || body->end != text.size()) {
        if (body && status) *status = ReferenceStatus::Malformed;
        return std::nullopt;
    }
    r.form = body->form;
    r.first = body->first;
    r.last = body->last;
    return r;
}

// A plain cell address ("B12", "$B$12") without allocating: what file readers need
// for every cell.
inline std::optional<CellRef> parseCellAddress(std::string_view text, ReferenceStatus* status = nullptr) {
    auto body = scanReferenceBody(text, 0, status);
    if (!body || body->end != text.size() || body->form != RefForm::Cell) {
        if (body && status) *status = ReferenceStatus::Malformed;
        return std::nullopt;
    }
    return CellRef{body->first.row, body->first.column};
}

// The reference as it reads from a cell `rows` below and `columns` right of where it
// was written (a copied or shared formula): relative parts move, absolute parts stay;
// whole columns move only sideways and whole rows only up and down. Nothing when a
// part would leave the sheet (the formula then shows #REF!).
inline std::optional<Reference> shiftReference(Reference r, int rows, int columns) {
    auto move = [](int& v, bool absolute, int by, int limit) {
        if (absolute) return true;
        long long n = static_cast<long long>(v) + by;
        if (n < 1 || n > limit) return false;
        v = static_cast<int>(n);
        return true;
    };
    bool rowsMove = r.form != RefForm::Columns, columnsMove = r.form != RefForm::Rows;
    for (RefPoint* p : {&r.first, &r.last}) {
        if (rowsMove && !move(p->row, p->rowAbsolute, rows, kMaxRows)) return std::nullopt;
        if (columnsMove && !move(p->column, p->columnAbsolute, columns, kMaxColumns)) return std::nullopt;
    }
    if (r.first.row > r.last.row) std::swap(r.first.row, r.last.row), std::swap(r.first.rowAbsolute, r.last.rowAbsolute);
    if (r.first.column > r.last.column)
        std::swap(r.first.column, r.last.column), std::swap(r.first.columnAbsolute, r.last.columnAbsolute);
    return r;
}

// R1C1 references, relative to the cell `base` (for INDIRECT with a1 FALSE). The
// result is an A1 reference with the same absolute parts.
inline std::optional<Reference> parseR1C1(std::string_view text, CellRef base) {
    using namespace reference;
    Reference r;
    size_t i = 0;
    if (auto q = scanQualifier(text, 0)) {
        r.book = std::move(q->book);
        r.sheet = std::move(q->sheet);
        i = q->end;
    }
    struct Part {
        bool present = false;
        bool absolute = false;
        long long value = 0;
    };
    auto number = [&](long long& out, bool allowSign) {
        bool negative = false;
        if (allowSign && i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
        size_t start = i;
        out = 0;
        while (i < text.size() && isAsciiDigit(text[i]) && i - start < 8) out = out * 10 + (text[i++] - '0');
        if (i == start) return false;
        if (negative) out = -out;
        return true;
    };
    auto part = [&](char letter, Part& p) {
        if (i >= text.size() || std::toupper(static_cast<unsigned char>(text[i])) != letter) return true;
        ++i;
        p.present = true;
        if (i < text.size() && text[i] == '[') {
            ++i;
            if (!number(p.value, true) || i >= text.size() || text[i] != ']') return false;
            ++i;
        } else if (i < text.size() && isAsciiDigit(text[i])) {
            if (!number(p.value, false)) return false;
            p.absolute = true;
        }
        return true;
    };
    auto side = [&](Part& row, Part& column) { return part('R', row) && part('C', column) && (row.present || column.present); };
    Part r1, c1, r2, c2;
    if (!side(r1, c1)) return std::nullopt;
    bool area = i < text.size() && text[i] == ':';
    if (area) {
        ++i;
        if (!side(r2, c2) || r2.present != r1.present || c2.present != c1.present) return std::nullopt;
    } else {
        r2 = r1, c2 = c1;
    }
    if (i != text.size()) return std::nullopt;
    auto resolve = [](const Part& p, int basePart, int limit, int& out) {
        long long v = p.absolute ? p.value : basePart + p.value;
        if (v < 1 || v > limit) return false;
        out = static_cast<int>(v);
        return true;
    };
    if (r1.present) {
        if (!resolve(r1, base.row, kMaxRows, r.first.row) || !resolve(r2, base.row, kMaxRows, r.last.row)) return std::nullopt;
    } else {
        r.first.row = 1, r.last.row = kMaxRows;
    }
    if (c1.present) {
        if (!resolve(c1, base.column, kMaxColumns, r.first.column) ||
            !resolve(c2, base.column, kMaxColumns, r.last.column))
            return std::nullopt;
    } else {
        r.first.column = 1, r.last.column = kMaxColumns;
    }
    r.first.rowAbsolute = r1.absolute, r.last.rowAbsolute = r2.absolute;
    r.first.columnAbsolute = c1.absolute, r.last.columnAbsolute = c2.absolute;
    if (r.first.row > r.last.row) std::swap(r.first.row, r.last.row);
    if (r.first.column > r.last.column) std::swap(r.first.column, r.last.column);
    r.form = !r1.present ? RefForm::Columns : !c1.present ? RefForm::Rows
             : (area && !(r.first == r.last))  ? RefForm::Area
                                               : RefForm::Cell;
    if (r.form == RefForm::Cell) r.last = r.first;
    return r;
}

// One cell in R1C1 notation as ADDRESS writes it: an absolute part as its number
// ("R2C3"), a relative part as the number in brackets ("R[2]C[3]").
inline std::string printR1C1Cell(int row, int column, bool rowAbsolute, bool columnAbsolute) {
    auto part = [](char letter, int n, bool absolute) {
        return std::string(1, letter) + (absolute ? std::to_string(n) : "[" + std::to_string(n) + "]");
    };
    return part('R', row, rowAbsolute) + part('C', column, columnAbsolute);
}

}  // namespace vorra::host
