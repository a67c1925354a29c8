// Number formats over many cells: a 2,000-row record of written bills whose amounts,
// dates and amounts in capitals each carry a number format. Range.Text of every cell,
// Find by displayed values, and the print layout of the whole sheet all format each
// cell once per pass.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/engine/host/EngineHost.h"
#include "platform/engine/print/PrintLayout.h"

namespace {

using namespace vorra;
using namespace vorra::host;

constexpr int kRows = 2000;
constexpr int kFirstRow = 2;
// Column by column: the format and the value of row i.
const char* const kFormats[] = {"#,##0.00", "yyyy年m月d日", "[DBNum2]0", "0.00%", "h:mm:ss"};
constexpr int kColumns = int(std::size(kFormats));

Value valueOf(int column, int i) {
    switch (column) {
        case 1: return Value::number(1234.5 + i * 17.31);
        case 2: return Value::number(46000 + i % 400);
        case 3: return Value::number(10007 * i % 99999);
        case 4: return Value::number(i / 3000.0);
        default: return Value::number((i % 1440) / 1440.0);
    }
}

struct FormattedBook {
    engine::EngineApplication app{"16.0"};
    std::shared_ptr<engine::EngineWorkbook> book;
    std::shared_ptr<Worksheet> sheet;

    FormattedBook() {
        book = std::dynamic_pointer_cast<engine::EngineWorkbook>(app.addWorkbook());
        sheet = book->worksheets().front();
        Array2D rows(kRows, kColumns);
        for (int i = 1; i <= kRows; ++i)
            for (int c = 1; c <= kColumns; ++c) rows.at(i, c) = valueOf(c, i);
        sheet->cells(kFirstRow, 1).resize(kRows, kColumns).setValue(rows);
        for (int c = 1; c <= kColumns; ++c)
            sheet->cells(kFirstRow, c).resize(kRows, 1).setNumberFormat(kFormats[c - 1]);
    }
};

FormattedBook& formattedBook() {
    static FormattedBook b;
    return b;
}

void BM_TextOfEveryFormattedCell(benchmark::State& state) {
    auto& b = formattedBook();
    for (auto _ : state) {
        size_t length = 0;
        for (int r = kFirstRow; r < kFirstRow + kRows; ++r)
            for (int c = 1; c <= kColumns; ++c) length += b.sheet->cells(r, c).text().size();
        benchmark::DoNotOptimize(length);
    }
    state.SetItemsProcessed(state.iterations() * kRows * kColumns);
}
BENCHMARK(BM_TextOfEveryFormattedCell)->Unit(benchmark::kMillisecond);

void BM_FindAbsentAmongFormattedValues(benchmark::State& state) {
    auto& b = formattedBook();
    Range all = b.sheet->cells(kFirstRow, 1).resize(kRows, kColumns);
    FindOptions o;
    o.what = "农业银行";
    o.lookIn = LookIn::Values;
    o.lookAt = LookAt::Part;
    for (auto _ : state) {
        auto found = all.find(o);
        if (found) state.SkipWithError("unexpected Find result");
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_FindAbsentAmongFormattedValues)->Unit(benchmark::kMillisecond);

void BM_LayoutFormattedSheet(benchmark::State& state) {
    auto& b = formattedBook();
    for (auto _ : state) benchmark::DoNotOptimize(engine::layoutSheet(b.book->model(), 0));
}
BENCHMARK(BM_LayoutFormattedSheet)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
