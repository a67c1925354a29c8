// The engine's host operations on a fill-in sheet with a 50,000-row unit book: Find
// over E8:E50007, End upwards from row 65536, and a 2,000 × 13 block write as the
// batch sheet's clear and transfer do. Target: each under 5 ms.

#include <benchmark/benchmark.h>

#include <string>

#include "platform/engine/host/EngineHost.h"

namespace {

using namespace vorra;
using namespace vorra::host;

constexpr int kRows = 50000;
constexpr int kFirstRow = 8;

struct BigBook {
    engine::EngineApplication app{"16.0"};
    std::shared_ptr<Workbook> book;
    std::shared_ptr<Worksheet> units;
    std::shared_ptr<Worksheet> batch;

    BigBook() {
        book = app.addWorkbook();
        units = book->worksheets().front();
        units->setName("常用单位账号");
        units->range("F:F").setNumberFormat("@");
        Array2D rows(kRows, 7);
        for (int i = 1; i <= kRows; ++i) {
            std::string n = std::to_string(i);
            rows.at(i, 1) = Value::number(i);
            rows.at(i, 2) = Value::text("DW" + n);
            rows.at(i, 3) = Value::text("苏州市第" + n + "机械有限公司");
            rows.at(i, 4) = Value::text("62220211020" + std::string(8 - n.size(), '0') + n);
            rows.at(i, 5) = Value::text("中国银行苏州分行");
            rows.at(i, 6) = Value::text("江苏");
            rows.at(i, 7) = Value::text("苏州");
        }
        units->cells(kFirstRow, 3).resize(kRows, 7).setValue(rows);
        batch = book->addSheet(units.get());
        batch->setName("批量打印");
        units->activate();
    }
};

BigBook& bigBook() {
    static BigBook b;
    return b;
}

void findIn(benchmark::State& state, const std::string& what, bool expectFound) {
    auto& b = bigBook();
    Range books = b.units->range("E8:E50007");
    FindOptions o;
    o.what = what;
    o.lookIn = LookIn::Values;
    o.lookAt = LookAt::Part;
    for (auto _ : state) {
        auto found = books.find(o);
        if (bool(found) != expectFound) state.SkipWithError("unexpected Find result");
        benchmark::DoNotOptimize(found);
    }
}

void BM_FindNearTheEnd(benchmark::State& state) { findIn(state, "第49990机械", true); }
void BM_FindAbsent(benchmark::State& state) { findIn(state, "农业银行", false); }
// A text with letters makes every cell text go through case folding.
void BM_FindAbsentWithLetters(benchmark::State& state) { findIn(state, "Agricultural", false); }

void BM_EndUpFromRow65536(benchmark::State& state) {
    auto& b = bigBook();
    for (auto _ : state) {
        Range last = b.units->range("E65536").end(Direction::Up);
        if (last.row() != kFirstRow + kRows - 1) state.SkipWithError("wrong last row");
        benchmark::DoNotOptimize(last);
    }
}

void BM_EndUpThroughTheWholeBlock(benchmark::State& state) {
    auto& b = bigBook();
    for (auto _ : state) {
        Range top = b.units->range("E50007").end(Direction::Up);
        benchmark::DoNotOptimize(top);
    }
}

void writeBlock(benchmark::State& state, const Array2D& block) {
    auto& b = bigBook();
    Range target = b.batch->range("B8").resize(2000, 13);
    for (auto _ : state) target.setValue(block);
}

void BM_BlockWrite2000x13Texts(benchmark::State& state) {
    Array2D block(2000, 13);
    for (int r = 1; r <= 2000; ++r)
        for (int c = 1; c <= 13; ++c)
            block.at(r, c) = Value::text(c == 7 ? "12345.67" : "中国银行苏州分行");
    writeBlock(state, block);
}

void BM_BlockWrite2000x13EmptyTexts(benchmark::State& state) {
    Array2D block(2000, 13);
    for (int r = 1; r <= 2000; ++r)
        for (int c = 1; c <= 13; ++c) block.at(r, c) = Value::text("");
    writeBlock(state, block);
}

void BM_BlockRead2000x13(benchmark::State& state) {
    auto& b = bigBook();
    Range source = b.units->range("C8").resize(2000, 13);
    for (auto _ : state) benchmark::DoNotOptimize(source.value());
}

}  // namespace

BENCHMARK(BM_FindNearTheEnd)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindAbsent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindAbsentWithLetters)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EndUpFromRow65536)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EndUpThroughTheWholeBlock)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlockWrite2000x13Texts)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlockWrite2000x13EmptyTexts)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlockRead2000x13)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
