// Calculation speed: recalculation of a bill-like template after a write to the
// payee cell E4 with a 50,000-row unit book behind the look-ups, and approximate
// Chinese look-ups in the 23-row pinyin-initial table.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "platform/engine/formula/FormulaEngine.h"
#include "tools/sampletemplate/BankFormulas.h"

using namespace vorra::engine;
using vorra::host::Value;

namespace {

constexpr int kUnits = 50000;

// 常用单位账号 with a full unit book (rows 8 to 50007) and the quick-fill look-ups;
// a cheque sheet whose cells print what the look-ups give.
struct TemplateBook {
    WorkbookModel book;
    std::unique_ptr<FormulaEngine> engine;

    TemplateBook() {
        auto units = std::make_unique<Sheet>();
        units->name = "常用单位账号";
        auto cheque = std::make_unique<Sheet>();
        cheque->name = "转账支票";
        CellStore& u = units->cells;
        for (int i = 0; i < kUnits; ++i) {
            int row = 8 + i;
            std::string n = std::to_string(i);
            u.at({row, 3}).value = Value::number(i + 1);
            u.at({row, 4}).value = Value::text("DW" + n);
            u.at({row, 5}).value = Value::text("单位" + n + "有限公司");
            u.at({row, 6}).value = Value::text("622200" + n);
            u.at({row, 7}).value = Value::text("工商银行第" + n + "支行");
            u.at({row, 8}).value = Value::text("省");
            u.at({row, 9}).value = Value::text("县");
        }
        auto formula = [](CellStore& s, int row, int col, std::string f) { s.at({row, col}).formula = std::move(f); };
        formula(u, 4, 5, "LOOKUP(1,0/(收款人户名<>\"\"),收款人户名)");
        for (int c = 2; c <= 5; ++c)
            formula(u, 4, 5 + c - 1, "VLOOKUP($E$4,收款人信息," + std::to_string(c) + ",FALSE)");
        u.at({5, 4}).value = Value::text("DW100");
        for (int c = 2; c <= 6; ++c)
            formula(u, 5, 4 + c - 1, "VLOOKUP($D$5,付款人信息," + std::to_string(c) + ",FALSE)");
        u.at({3, 11}).value = Value::number(123456.78);
        u.at({5, 11}).value = Value::text("货款");
        u.at({6, 7}).value = Value::text("00012345");
        u.at({2, 11}).value = Value::number(46363);
        CellStore& c = cheque->cells;
        formula(c, 3, 2, "常用单位账号!E4");
        formula(c, 4, 2, "常用单位账号!F4");
        formula(c, 5, 2, "常用单位账号!G4");
        formula(c, 6, 2, "常用单位账号!E5");
        formula(c, 7, 2, "常用单位账号!F5");
        formula(c, 8, 2, "常用单位账号!G5");
        formula(c, 9, 2, "常用单位账号!K5");
        formula(c, 10, 2, "TEXT(常用单位账号!K3,\"#,##0.00\")");
        formula(c, 11, 2, vorra::tools::amountInCapitalsFormula("常用单位账号!$K$3"));
        formula(c, 12, 2, vorra::tools::chequeDateFormula("常用单位账号!$K$2"));
        formula(c, 13, 2, "常用单位账号!G6");
        book.sheets.push_back(std::move(units));
        book.sheets.push_back(std::move(cheque));
        book.names.push_back({"收款人信息", "常用单位账号!$E$8:$I$50007", -1, false});
        book.names.push_back({"付款人信息", "常用单位账号!$D$8:$I$50007", -1, false});
        book.names.push_back({"收款人户名", "常用单位账号!$E$8:$E$50007", -1, false});
        engine = std::make_unique<FormulaEngine>(book);
        engine->recalculateAll();
    }
};

// The user picks a payee: a name near the end of the book is written to E4.
void RecalcAfterWriteToE4(benchmark::State& state) {
    TemplateBook t;
    Sheet& units = *t.book.sheets[0];
    int i = 0;
    for (auto _ : state) {
        std::string name = "单位" + std::to_string(kUnits - 1 - (i++ % 100)) + "有限公司";
        Cell& e4 = units.cells.at({4, 5});
        e4.formula.clear();
        e4.value = Value::text(name);
        t.engine->cellsChanged(0, Area::cell(4, 5));
    }
    if (t.book.sheets[1]->cells.find({4, 2})->value.asText().rfind("622200", 0) != 0)
        state.SkipWithError("look-up did not find the payee");
}
BENCHMARK(RecalcAfterWriteToE4)->Unit(benchmark::kMillisecond);

// Quick fill on: E4 holds the LOOKUP formula over the 50,000-row named range, and a
// new unit is written below the book, so E4 and everything after it recalculates.
void RecalcAfterWriteBelowTheBook(benchmark::State& state) {
    TemplateBook t;
    Sheet& units = *t.book.sheets[0];
    int i = 0;
    for (auto _ : state) {
        int row = 8 + kUnits - 1;
        units.cells.at({row, 5}).value = Value::text("新单位" + std::to_string(i++));
        t.engine->cellsChanged(0, Area::cell(row, 5));
    }
    if (!units.cells.find({4, 5})->value.isText()) state.SkipWithError("LOOKUP failed");
}
BENCHMARK(RecalcAfterWriteBelowTheBook)->Unit(benchmark::kMillisecond);

// 100,000 approximate VLOOKUPs of single characters in the 23-row key table.
void ChineseApproximateVlookups(benchmark::State& state) {
    WorkbookModel book;
    auto sheet = std::make_unique<Sheet>();
    sheet->name = "Sheet1";
    book.sheets.push_back(std::move(sheet));
    FormulaEngine engine(book);
    auto table = engine
                     .evaluate("{\"吖\",\"A\";\"八\",\"B\";\"嚓\",\"C\";\"咑\",\"D\";\"鵽\",\"E\";\"发\",\"F\";"
                               "\"猤\",\"G\";\"铪\",\"H\";\"夻\",\"J\";\"咔\",\"K\";\"垃\",\"L\";\"嘸\",\"M\";"
                               "\"旀\",\"N\";\"噢\",\"O\";\"妑\",\"P\";\"七\",\"Q\";\"囕\",\"R\";\"仨\",\"S\";"
                               "\"他\",\"T\";\"屲\",\"W\";\"夕\",\"X\";\"丫\",\"Y\";\"帀\",\"Z\"}",
                               0)
                     .array();
    const char* text[] = {"张", "三", "北", "京", "分", "公", "司", "中", "国", "农", "业", "银", "行"};
    std::vector<Value> chars;
    for (const char* c : text) chars.push_back(Value::text(c));
    for (auto _ : state) {
        int letters = 0;
        for (int i = 0; i < 100000; ++i) {
            Value v = engine.vlookup(chars[size_t(i) % chars.size()], table, 2, std::nullopt);
            letters += v.isText();
        }
        benchmark::DoNotOptimize(letters);
    }
}
BENCHMARK(ChineseApproximateVlookups)->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK_MAIN();
