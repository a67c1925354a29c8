// Opening and saving a workbook with a unit book of 1,000 to 200,000 rows (seven
// columns: number, short name, Chinese account name, 19-digit account text, bank,
// province, county), as .xlsx and, up to the 65,536 rows that format holds, as binary
// .xls. The 50,000-row workbook is written to $VORRA_BENCH_WORKBOOK (default: a file in
// the temporary folder) and beside it with the name ending in ".xls", so that
// scripts/bench-files.sh can time other programs on the same files; the other sizes
// beside them.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "bench/BySize.h"
#include "platform/engine/files/WorkbookFiles.h"

namespace {

using namespace vorra::engine;

constexpr int kNamedSize = 50000;
constexpr int kXlsRows = 65536;

std::string workbookPath(int units) {
    std::string path = (std::filesystem::temp_directory_path() / "vorra-bench-units.xlsx").string();
    if (const char* p = std::getenv("VORRA_BENCH_WORKBOOK")) path = p;
    if (units != kNamedSize) path += "." + std::to_string(units) + ".xlsx";
    return path;
}

std::string xlsPath(int units) { return workbookPath(units) + ".xls"; }

std::unique_ptr<WorkbookModel> unitBook(int units) {
    auto wb = std::make_unique<WorkbookModel>();
    CellFormat text;
    text.numberFormat = "@";
    int textStyle = wb->styles.internFormat(text);
    auto sheet = std::make_unique<Sheet>();
    sheet->name = "常用单位账号";
    const char* headings[] = {"序号", "简称", "户名", "账号", "开户行", "省", "县"};
    for (int c = 0; c < 7; ++c) sheet->cells.at({1, c + 1}).value = Value::text(headings[c]);
    char account[32];
    for (int i = 1; i <= units; ++i) {
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

// The book of the size asked for, saved to its file; one book at a time (the
// benchmarks run size by size).
const WorkbookModel& sharedBook(int units) {
    static std::unique_ptr<WorkbookModel> wb;
    static int size = 0;
    if (!wb || size != units) {
        wb.reset();
        wb = unitBook(units);
        size = units;
        saveWorkbook(*wb, workbookPath(units));
        if (units < kXlsRows) saveWorkbook(*wb, xlsPath(units));
    }
    return *wb;
}

void BM_SaveUnitBook(benchmark::State& state, int units) {
    const WorkbookModel& wb = sharedBook(units);
    std::string out = workbookPath(units) + ".saved.xlsx";
    for (auto _ : state) saveWorkbook(wb, out);
    std::filesystem::remove(out);
    state.counters["rows"] = units;
}

void BM_OpenUnitBook(benchmark::State& state, int units) {
    sharedBook(units);
    for (auto _ : state) {
        auto wb = loadWorkbook(workbookPath(units));
        benchmark::DoNotOptimize(wb);
        // Opening, not freeing: the other programs' figures do not count it either.
        state.PauseTiming();
        wb.reset();
        state.ResumeTiming();
    }
    state.counters["rows"] = units;
}

void BM_OpenUnitBookValuesOnly(benchmark::State& state, int units) {
    sharedBook(units);
    for (auto _ : state) {
        auto wb = loadWorkbookValues(workbookPath(units));
        benchmark::DoNotOptimize(wb);
        state.PauseTiming();
        wb.reset();
        state.ResumeTiming();
    }
}

void BM_SaveUnitBookXls(benchmark::State& state, int units) {
    const WorkbookModel& wb = sharedBook(units);
    std::string out = workbookPath(units) + ".saved.xls";
    for (auto _ : state) saveWorkbook(wb, out);
    std::filesystem::remove(out);
    state.counters["rows"] = units;
}

void BM_OpenUnitBookXls(benchmark::State& state, int units) {
    sharedBook(units);
    for (auto _ : state) {
        auto wb = loadWorkbook(xlsPath(units));
        benchmark::DoNotOptimize(wb);
        state.PauseTiming();
        wb.reset();
        state.ResumeTiming();
    }
    state.counters["rows"] = units;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const vorra::bench::NamedFigure figures[] = {{"BM_SaveUnitBook", BM_SaveUnitBook},
                                                      {"BM_OpenUnitBook", BM_OpenUnitBook},
                                                      {"BM_OpenUnitBookValuesOnly", BM_OpenUnitBookValuesOnly},
                                                      {"BM_SaveUnitBookXls", BM_SaveUnitBookXls},
                                                      {"BM_OpenUnitBookXls", BM_OpenUnitBookXls}};
    vorra::bench::registerBySize(figures, vorra::bench::Clock::WholeProcess, [](const char* name, int units) {
        return units < kXlsRows || !std::string_view(name).ends_with("Xls");
    });
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (int units : vorra::bench::kBookSizes) {
        std::error_code ec;
        if (units != kNamedSize || !std::getenv("VORRA_BENCH_WORKBOOK")) {
            std::filesystem::remove(workbookPath(units), ec);
            std::filesystem::remove(xlsPath(units), ec);
        }
    }
    return 0;
}
