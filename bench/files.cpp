// Opening and saving a workbook with a 50,000-row unit book (seven columns: number,
// short name, Chinese account name, 19-digit account text, bank, province, county),
// as .xlsx and as binary .xls. The workbook is written to $VORRA_BENCH_WORKBOOK
// (default: a file in the temporary folder) and beside it with the name ending in
// ".xls", so that scripts/bench-files.sh can time other programs on the same files.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/engine/files/WorkbookFiles.h"

namespace {

using namespace vorra::engine;

constexpr int kUnits = 50000;

std::string workbookPath() {
    if (const char* p = std::getenv("VORRA_BENCH_WORKBOOK")) return p;
    return (std::filesystem::temp_directory_path() / "vorra-bench-units.xlsx").string();
}

std::unique_ptr<WorkbookModel> unitBook() {
    auto wb = std::make_unique<WorkbookModel>();
    CellFormat text;
    text.numberFormat = "@";
    int textStyle = wb->styles.internFormat(text);
    auto sheet = std::make_unique<Sheet>();
    sheet->name = "常用单位账号";
    const char* headings[] = {"序号", "简称", "户名", "账号", "开户行", "省", "县"};
    for (int c = 0; c < 7; ++c) sheet->cells.at({1, c + 1}).value = Value::text(headings[c]);
    char account[32];
    for (int i = 1; i <= kUnits; ++i) {
        int row = i + 1;
        std::snprintf(account, sizeof account, "62220212%011d", i);
        sheet->cells.at({row, 1}).value = Value::number(i);
        sheet->cells.at({row, 2}).value = Value::text("dw" + std::to_string(i));
        sheet->cells.at({row, 3}).value = Value::text("单位名称" + std::to_string(i) + "有限公司");
        Cell& a = sheet->cells.at({row, 4});
        a.value = Value::text(account);
        a.style = textStyle;
        sheet->cells.at({row, 5}).value = Value::text("中国工商银行第" + std::to_string(i % 97) + "支行");
        sheet->cells.at({row, 6}).value = Value::text("广东省");
        sheet->cells.at({row, 7}).value = Value::text("深圳市");
    }
    sheet->columns[3] = {28, false, 0};
    sheet->columns[4] = {24, false, textStyle};
    wb->sheets.push_back(std::move(sheet));
    return wb;
}

std::string xlsPath() { return workbookPath() + ".xls"; }

const WorkbookModel& sharedBook() {
    static auto wb = [] {
        auto book = unitBook();
        saveWorkbook(*book, workbookPath());
        saveWorkbook(*book, xlsPath());
        return book;
    }();
    return *wb;
}

void BM_SaveUnitBook(benchmark::State& state) {
    const WorkbookModel& wb = sharedBook();
    std::string out = workbookPath() + ".saved.xlsx";
    for (auto _ : state) saveWorkbook(wb, out);
    std::filesystem::remove(out);
    state.counters["rows"] = kUnits;
}
BENCHMARK(BM_SaveUnitBook)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_OpenUnitBook(benchmark::State& state) {
    sharedBook();
    for (auto _ : state) {
        auto wb = loadWorkbook(workbookPath());
        benchmark::DoNotOptimize(wb);
    }
    state.counters["rows"] = kUnits;
}
BENCHMARK(BM_OpenUnitBook)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_OpenUnitBookValuesOnly(benchmark::State& state) {
    sharedBook();
    for (auto _ : state) {
        auto wb = loadWorkbookValues(workbookPath());
        benchmark::DoNotOptimize(wb);
    }
}
BENCHMARK(BM_OpenUnitBookValuesOnly)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_SaveUnitBookXls(benchmark::State& state) {
    const WorkbookModel& wb = sharedBook();
    std::string out = workbookPath() + ".saved.xls";
    for (auto _ : state) saveWorkbook(wb, out);
    std::filesystem::remove(out);
    state.counters["rows"] = kUnits;
}
BENCHMARK(BM_SaveUnitBookXls)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_OpenUnitBookXls(benchmark::State& state) {
    sharedBook();
    for (auto _ : state) {
        auto wb = loadWorkbook(xlsPath());
        benchmark::DoNotOptimize(wb);
    }
    state.counters["rows"] = kUnits;
}
BENCHMARK(BM_OpenUnitBookXls)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace
BENCHMARK_MAIN();
