// Formula cases kept as data: one text table per group of functions in formulas/,
// read here. Each case is typed into a cell of a workbook set up by the lines before
// it, as a user would type it, and its value compared with the expected one. The
// expected values come from the host's documentation or from an independent
// spreadsheet program, never from this engine (formulas/README.md).
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "EngineFixture.h"
#include "addin/frame/host/HostError.h"
#include "platform/engine/formula/FunctionTable.h"
#include "platform/engine/formula/Lexer.h"

namespace vorra::engine::testing {
namespace {

namespace fs = std::filesystem;
using host::Value;

const fs::path kTables = VORRA_FORMULA_CASES_DIR;

std::string trim(std::string_view s) {
    size_t b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t\r");
    return b == std::string_view::npos ? std::string() : std::string(s.substr(b, e - b + 1));
}

// A quoted text of a table ("a""b" is a"b); nothing when s is not quoted.
std::optional<std::string> unquote(const std::string& s) {
    if (s.size() < 2 || s.front() != '"' || s.back() != '"') return std::nullopt;
    std::string out;
    for (size_t i = 1; i + 1 < s.size(); ++i) {
        if (s[i] == '"' && i + 2 < s.size() && s[i + 1] == '"') ++i;
        out += s[i];
    }
    return out;
}

struct Case {
    int line = 0;
    std::string formula;
    std::string kind;      // number, text, boolean, error, shows (the cell's text), refused
    std::string expected;  // as written
};

std::vector<fs::path> tables() {
    std::vector<fs::path> out;
    for (const auto& e : fs::directory_iterator(kTables))
        if (e.path().extension() == ".txt") out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}

// The fields of a case line, "formula | kind | expected [| note]", split from the
// right (aware of quotes there) so that the formula may hold anything.
std::vector<std::string> caseFields(const std::string& line) {
    std::vector<std::string> fields;
    size_t end = line.size();
    bool quoted = false;
    for (size_t i = line.size(); i-- > 0;) {
        if (line[i] == '"') quoted = !quoted;
        if (line[i] != '|' || quoted) continue;
        fields.insert(fields.begin(), trim(std::string_view(line).substr(i + 1, end - i - 1)));
        end = i;
        size_t wanted = fields.back().rfind("libreoffice:", 0) == 0 ? 3 : 2;
        if (fields.size() == wanted) break;
    }
    fields.insert(fields.begin(), trim(std::string_view(line).substr(0, end)));
    return fields;
}

// Runs the lines of one table against a fresh workbook.
class TableRun {
public:
    explicit TableRun(const fs::path& table) : app_("16.0", &services_), table_(table) {
        app_.setCurrentYear(2026);
        app_.addWorkbook();
    }

    void run() {
        std::ifstream in(table_);
        ASSERT_TRUE(in) << table_;
        std::string line;
        int number = 0;
        while (std::getline(in, line)) {
            ++number;
            std::string t = trim(line);
            if (t.empty() || t[0] == '#') continue;
            if (directive(t, number)) continue;
            auto fields = caseFields(t);
            if (fields.size() < 3) {
                ADD_FAILURE() << where(number) << "a case needs formula | kind | expected: " << t;
                continue;
            }
            check({number, fields[0], fields[1], fields[2]});
            ++cases;
        }
    }

    int cases = 0;

private:
    std::string where(int line) const { return table_.filename().string() + ":" + std::to_string(line) + ": "; }

    EngineWorkbook& book() { return *app_.activeEngineWorkbook(); }

    std::shared_ptr<host::Worksheet> sheetNamed(const std::string& name) {
        auto sheets = book().worksheets();
        for (auto& s : sheets)
            if (s->name() == name) return s;
        auto added = book().addSheet(sheets.back().get());
        added->setName(name);
        return added;
    }

    // "Sheet2!A1" or "A1" → the sheet and the cell.
    std::pair<std::shared_ptr<host::Worksheet>, std::string> place(const std::string& ref) {
        auto bang = ref.rfind('!');
        if (bang == std::string::npos) return {sheetNamed("Sheet1"), ref};
        std::string sheet = ref.substr(0, bang);
        if (auto q = unquote(sheet)) sheet = *q;
        if (sheet.size() > 1 && sheet.front() == '\'') sheet = sheet.substr(1, sheet.size() - 2);
        return {sheetNamed(sheet), ref.substr(bang + 1)};
    }

    // Setup lines: "cell A1 = …", "name N = …", "format A1 = code", "dates 1904",
    // "at B5", "clear".
    bool directive(const std::string& t, int line) {
        std::istringstream words(t);
        std::string word;
        words >> word;
        if (word == "cell" || word == "name" || word == "format") {
            auto eq = t.find('=');
            if (eq == std::string::npos) {
                ADD_FAILURE() << where(line) << "expected \"" << word << " X = …\"";
                return true;
            }
            std::string target = trim(t.substr(word.size(), eq - word.size()));
            std::string content = trim(t.substr(eq + 1));
            if (word == "name") {
                book().addName(target, "=" + content);
            } else if (word == "format") {
                auto [sheet, ref] = place(target);
                sheet->range(ref).setNumberFormat(content);
            } else {
                setCell(target, content, line);
            }
            return true;
        }
        if (word == "dates") {
            std::string system;
            words >> system;
            book().model().date1904 = system == "1904";
            book().formulas().recalculateAll();
            return true;
        }
        if (word == "at") {
            words >> caseCell_;
            return true;
        }
        if (word == "clear") {
            for (auto& s : book().worksheets()) s->range("A1:XFD1048576").clearContents();
            return true;
        }
        return false;
    }

    // A cell's content as the table writes it: a quoted text stays text, anything
    // else is typed (numbers, TRUE, #N/A, =formulas, dates).
    void setCell(const std::string& target, const std::string& content, int line) {
        auto [sheet, ref] = place(target);
        try {
            if (content == "empty") sheet->range(ref).clearContents();
            else if (auto text = unquote(content)) sheet->range(ref).setValue(Value::text("'" + *text));
            else sheet->range(ref).setValue(Value::text(content));
        } catch (const host::HostError& e) {
            ADD_FAILURE() << where(line) << "cannot set " << target << " to " << content << ": " << e.what();
        }
    }

    void check(const Case& c) {
        auto [sheet, ref] = place(caseCell_);
        host::Range cell = sheet->range(ref);
        bool refused = false;
        std::string message;
        try {
            cell.setValue(Value::text("=" + c.formula));
        } catch (const host::HostError& e) {
            refused = true;
            message = e.what();
        }
        if (c.kind == "refused") {
            EXPECT_TRUE(refused) << where(c.line) << c.formula << " was accepted";
            if (refused && c.expected != "-") {
                EXPECT_NE(message.find(*unquote(c.expected)), std::string::npos)
                    << where(c.line) << c.formula << ": " << message;
            }
            return;
        }
        if (refused) {
            ADD_FAILURE() << where(c.line) << c.formula << " was refused: " << message;
            return;
        }
        Value got = cell.scalar();
        std::string shownText = cell.text();
        cell.clearContents();
        std::string shown = describe(got);
        if (c.kind == "number") {
            bool ok = got.isNumber() && numberMatches(got.asNumber(), c.expected);
            EXPECT_TRUE(ok) << where(c.line) << c.formula << " gave " << shown << ", expected number " << c.expected;
        } else if (c.kind == "text") {
            auto expected = unquote(c.expected);
            ASSERT_TRUE(expected) << where(c.line) << "a text is written in quotes";
            EXPECT_TRUE(got.isText() && got.asText() == *expected)
                << where(c.line) << c.formula << " gave " << shown << ", expected text \"" << *expected << "\"";
        } else if (c.kind == "boolean") {
            EXPECT_TRUE(got.isBoolean() && (got.asBoolean() ? "TRUE" : "FALSE") == c.expected)
                << where(c.line) << c.formula << " gave " << shown << ", expected " << c.expected;
        } else if (c.kind == "shows") {
            auto expected = unquote(c.expected);
            ASSERT_TRUE(expected) << where(c.line) << "a text is written in quotes";
            EXPECT_EQ(shownText, *expected) << where(c.line) << c.formula << " (" << shown << ")";
        } else if (c.kind == "error") {
            EXPECT_TRUE(got.isError() && host::errorText(got.asError()) == c.expected)
                << where(c.line) << c.formula << " gave " << shown << ", expected " << c.expected;
        } else {
            ADD_FAILURE() << where(c.line) << "unknown kind \"" << c.kind << "\"";
        }
    }

    static std::string describe(const Value& v) {
        const char* kinds[] = {"empty", "number", "text", "boolean", "error"};
        std::string s = kinds[static_cast<int>(v.kind())];
        if (v.isNumber()) {
            char buf[40];
            std::snprintf(buf, sizeof buf, " %.15g", v.asNumber());
            return s + buf;
        }
        if (v.isText()) return s + " \"" + v.asText() + "\"";
        if (v.isBoolean()) return s + (v.asBoolean() ? " TRUE" : " FALSE");
        if (v.isError()) return s + " " + host::errorText(v.asError());
        return s;
    }

    // "3" matches 3 (to fifteen digits); "~4.4543473" matches whatever rounds to it at
    // the decimals written.
    static bool numberMatches(double got, const std::string& expected) {
        bool approximate = !expected.empty() && expected[0] == '~';
        std::string digits = approximate ? expected.substr(1) : expected;
        double want = std::strtod(digits.c_str(), nullptr);
        if (!approximate) return got == want || std::fabs(got - want) <= 1e-14 * std::max(1.0, std::fabs(want));
        auto dot = digits.find('.');
        int decimals = dot == std::string::npos ? 0 : static_cast<int>(digits.size() - dot - 1);
        double factor = std::pow(10.0, decimals);
        return std::fabs(std::round(got * factor) - std::round(want * factor)) < 0.5;
    }

    FakeServices services_;
    EngineApplication app_;
    fs::path table_;
    std::string caseCell_ = "AA1000";
};

class FormulaTable : public ::testing::TestWithParam<fs::path> {};

TEST_P(FormulaTable, EveryCaseGivesTheValueOfTheHost) {
    TableRun run(GetParam());
    run.run();
    EXPECT_GT(run.cases, 0) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Tables, FormulaTable, ::testing::ValuesIn(tables()),
                         [](const ::testing::TestParamInfo<fs::path>& table) { return table.param.stem().string(); });

// The formulas of every case of every table.
std::vector<std::string> allCaseFormulas() {
    std::vector<std::string> out;
    for (const auto& table : tables()) {
        std::ifstream in(table);
        std::string line;
        while (std::getline(in, line)) {
            std::string t = trim(line);
            if (t.empty() || t[0] == '#') continue;
            std::string first;
            std::istringstream(t) >> first;
            if (first == "cell" || first == "name" || first == "format" || first == "dates" || first == "at" ||
                first == "clear")
                continue;
            out.push_back(caseFields(t)[0]);
        }
    }
    return out;
}

TEST(FormulaTables, HoldSixHundredCasesThatCallEveryFunctionOfTheTable) {
    auto formulas = allCaseFormulas();
    EXPECT_GE(formulas.size(), 600u);
    std::set<std::string> called;
    for (const auto& f : formulas) {
        std::vector<formula::Token> tokens;
        try {
            tokens = formula::tokenize(f);
        } catch (const formula::FormulaSyntaxError&) {
            continue;
        }
        for (size_t i = 0; i + 1 < tokens.size(); ++i)
            if (tokens[i].kind == formula::TokenKind::Word && tokens[i + 1].kind == formula::TokenKind::Open) {
                std::string name = tokens[i].text;
                for (auto& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
                called.insert(name);
            }
    }
    for (const auto& f : formula::functionTable())
        EXPECT_TRUE(called.count(std::string(f.name))) << f.name << " has no case in the tables";
}

TEST(FunctionTable, IsSortedByNameWithoutDuplicates) {
    auto table = formula::functionTable();
    for (size_t i = 1; i < table.size(); ++i) EXPECT_LT(table[i - 1].name, table[i].name);
    for (const auto& f : table) {
        EXPECT_EQ(formula::findFunction(f.name), &f);
        EXPECT_TRUE((f.scalar != nullptr) != (f.operand != nullptr)) << f.name;
        EXPECT_LE(f.minArgs, f.maxArgs) << f.name;
    }
}

}  // namespace
}  // namespace vorra::engine::testing
