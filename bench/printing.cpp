// Printing one bill: the layout alone, and layout plus PDF, the first time after
// start-up (fonts not yet loaded) and then repeatedly. The target is under 100 ms for
// one bill to PDF after start-up.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "platform/engine/print/PaperSizes.h"
#include "platform/engine/print/PrintLayout.h"
#include "platform/print/GuiApplicationScope.h"
#include "platform/print/PdfPrinter.h"

namespace {

namespace fs = std::filesystem;
using namespace vorra::engine;

// A transfer cheque: stub and body on the cheque's paper, merged fields, Chinese texts.
std::unique_ptr<WorkbookModel> chequeBook() {
    auto book = std::make_unique<WorkbookModel>();
    auto sheet = std::make_unique<Sheet>();
    sheet->name = "转账支票";
    applyPaper(sheet->pageSetup, *paperByName("转账支票"));
    sheet->pageSetup.marginLeft = sheet->pageSetup.marginRight = 0.2;
    sheet->pageSetup.marginTop = sheet->pageSetup.marginBottom = 0.2;
    sheet->printArea = Area{1, 1, 10, 12};
    for (int c = 1; c <= 12; ++c) sheet->columns[c].width = (c == 2 || c == 12) ? 14 : 5;
    for (int r = 1; r <= 10; ++r) sheet->rows[r].height = 18;
    const int centred =
        book->styles.internFormat({.hAlign = HAlign::Center, .vAlign = VAlign::Center});
    auto put = [&](int row, int col, Value v, int style = 0) {
        Cell& cell = sheet->cells.at({row, col});
        cell.value = std::move(v);
        cell.style = style;
    };
    sheet->merges = {Area{1, 4, 1, 9}, Area{2, 4, 2, 12}, Area{3, 4, 3, 10}};
    put(1, 4, Value::text("贰零贰陆年壹拾贰月零柒日"), centred);
    put(2, 4, Value::text("北京华夏建材有限公司"));
    put(3, 4, Value::text("壹万贰仟叁佰肆拾伍元陆角柒分"));
    put(3, 12, Value::number(12345.67));
    put(4, 4, Value::text("货款"));
    put(1, 2, Value::text("2026年12月07日"));
    put(2, 2, Value::text("华夏建材"));
    put(3, 2, Value::number(12345.67));
    put(4, 2, Value::text("货款"));
    for (int c = 0; c < 10; ++c)  // the amount's digit boxes
        put(5, 3 + c, Value::text(std::string(1, "1234567000"[c])), centred);
    book->sheets.push_back(std::move(sheet));
    return book;
}

fs::path benchFolder() {
    fs::path dir = fs::temp_directory_path() / "vorra-bench-printing";
    fs::create_directories(dir);
    return dir;
}

void printOnce(const WorkbookModel& book, const fs::path& dir) {
    vorra::print::PdfPrinter printer{vorra::print::PrintFolder(dir)};
    printer.printSheet(book, 0, 1, true);
    fs::remove(printer.lastFile());
}

// Registered first so that it runs first: nothing has drawn text yet in this process.
void BM_FirstBillToPdfAfterStartUp(benchmark::State& state) {
    auto book = chequeBook();
    const fs::path dir = benchFolder();
    for (auto _ : state) printOnce(*book, dir);
}
BENCHMARK(BM_FirstBillToPdfAfterStartUp)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_LayoutBill(benchmark::State& state) {
    auto book = chequeBook();
    for (auto _ : state) benchmark::DoNotOptimize(layoutSheet(*book, 0));
}
BENCHMARK(BM_LayoutBill)->Unit(benchmark::kMicrosecond);

void BM_BillToPdf(benchmark::State& state) {
    auto book = chequeBook();
    const fs::path dir = benchFolder();
    for (auto _ : state) printOnce(*book, dir);
}
BENCHMARK(BM_BillToPdf)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    vorra::print::GuiApplicationScope app;  // printing draws text: Qt must be up
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
