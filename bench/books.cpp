// The books on unit books of 1,000, 10,000, 50,000 and 200,000 units of the embedded
// engine (the searches look at rows 8 to 50007 whatever the book's size):
//  - searching units while typing in Frm_收付款人: each keystroke's key release runs
//    the search (account names, then short names) and fills the list, and a view
//    reads the list's first screen of rows. Target: under 5 ms per keystroke;
//  - pinyin initials through the host's key-table look-up over 50,000 eight-character
//    names, as the fill-in form's drop-down filter does it (one look-up object for the
//    whole book) and as GetHzjpLookup does it name by name. Target: under 100 ms.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "addin/books/Books.h"
#include "bench/BySize.h"
#include "addin/books/Frm_收付款人.h"
#include "addin/books/PinyinInitials.h"
#include "tests/addin/support/AddinTestHost.h"

namespace {

using namespace vorra;
using host::Array2D;
using host::Value;

// The book sizes of the scaling table; the figures the targets speak of are at 50,000.

const char* const kCities[] = {"苏州", "南京", "无锡", "常州", "南通", "扬州", "镇江", "泰州", "徐州", "盐城",
                               "淮安", "宿迁", "杭州", "宁波", "温州", "嘉兴", "湖州", "绍兴", "金华", "台州"};
const char* const kTrades[] = {"机械", "纺织", "电子", "化工", "建材", "物流", "食品", "医药", "印刷", "贸易"};

// Common characters the eight-character names are drawn from.
const std::vector<std::string>& namePool() {
    static const std::vector<std::string> pool =
        utf8Characters("中国银行工商建设农业交通招商浦发民生光大华夏兴业平安广发北京上海天津重庆"
                       "江苏浙江安徽福建山东河南湖北湖南广东四川贵州云南陕西甘肃青海宁夏新疆西藏"
                       "机械电子纺织化工建材物流食品医药印刷贸易科技实业集团股份有限公司分行支行");
    return pool;
}

// The unit book: each city in one unit of twenty, each trade in one of ten, with a
// short name, a nineteen-digit account kept as text and the bank's place.
struct UnitBook {
    // The add-in's test host; a dialog nobody answers gives its cancel answer.
    testing::AddinTestHost host{"16.0", false, false};
    engine::EngineApplication& app = host.app;
    std::shared_ptr<host::Worksheet> sheet;
    int units;

    explicit UnitBook(int count) : units(count) {
        sheet = host.book->worksheets().front();
        sheet->setName("常用单位账号");
        sheet->range("F:F").setNumberFormat("@");
        Array2D rows(units, 6);
        for (int i = 1; i <= units; ++i) {
            std::string n = std::to_string(i);
            std::string city = kCities[i % 20];
            rows.at(i, 1) = Value::text("DW" + n);
            rows.at(i, 2) = Value::text(city + "市" + kTrades[i % 10] + n + "号有限公司");
            rows.at(i, 3) = Value::text("62220211020" + std::string(8 - n.size(), '0') + n);
            rows.at(i, 4) = Value::text("中国银行" + city + "分行");
            rows.at(i, 5) = Value::text("江苏");
            rows.at(i, 6) = Value::text(city);
        }
        sheet->cells(8, 4).resize(units, 6).setValue(rows);
        sheet->protect("470518");
    }
};

// The book of the size asked for; one book at a time (the benchmarks run size by size).
UnitBook& unitBook(int units) {
    static std::unique_ptr<UnitBook> b;
    if (!b || b->units != units) {
        b.reset();
        b = std::make_unique<UnitBook>(units);
    }
    return *b;
}

// Rows a list shows at once: the desktop's list view adds this many at a change and
// the rest while the event loop is idle.
constexpr int kFirstScreenRows = 100;

// What a view reads of the list after a keystroke: its first screen of rows.
size_t readFirstScreen(const dialogs::ListView& list) {
    size_t bytes = 0;
    for (int i = 0, n = std::min(list.itemCount(), kFirstScreenRows); i < n; ++i) bytes += list.item(i).text.size();
    return bytes;
}

// Types the text into the form's search box, one character per keystroke, and reports
// the time per keystroke: the key release runs the search and gives the list its rows,
// and the view reads the first screen of them (the list makes the others as a view
// reaches them).
void typeSearch(benchmark::State& state, int units, const std::string& typed) {
    auto& b = unitBook(units);
    auto form = dialogs::FormInstance<Frm_收付款人>::get(b.app.toolkit());
    const auto chars = utf8Characters(typed);
    int listed = 0;
    for (auto _ : state) {
        form->TextBox1.setText("");
        form->TextBox1.setFocus();
        for (const auto& ch : chars) {
            form->TextBox1.userKeyDown(dialogs::key::kProcessKey, 0);
            form->TextBox1.userEdit(form->TextBox1.text() + ch);
            form->TextBox1.userKeyUp(dialogs::key::kProcessKey, 0);
            benchmark::DoNotOptimize(readFirstScreen(form->ListView1));
        }
        listed = form->ListView1.itemCount();
    }
    state.counters["listed"] = listed;
    // Seconds per keystroke: "4.2m" reads 4.2 ms.
    state.counters["seconds_per_keystroke"] = benchmark::Counter(
        double(state.iterations()) * double(chars.size()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    dialogs::FormInstance<Frm_收付款人>::unload();
}

// A unit's account name typed in full: the first keystrokes match one unit in twenty
// (one city), the last ones none, so that the later keystrokes list few rows.
void BM_TypeAnAccountName(benchmark::State& state, int units) { typeSearch(state, units, "无锡市电子42号有限公司"); }
// A short name: no account name holds it, so every keystroke also searches column D.
void BM_TypeAShortName(benchmark::State& state, int units) { typeSearch(state, units, "DW49990"); }
// The worst keystroke: a text every unit's name holds lists every unit searched.
void BM_KeystrokeListingEveryUnit(benchmark::State& state, int units) { typeSearch(state, units, "有"); }

// The same keystroke with every row of the list read, as a view that has filled the
// whole list has: the cost of the rows made after the first screen.
void BM_KeystrokeListingEveryUnitInFull(benchmark::State& state, int units) {
    auto& b = unitBook(units);
    auto form = dialogs::FormInstance<Frm_收付款人>::get(b.app.toolkit());
    form->TextBox1.setFocus();
    for (auto _ : state) {
        form->TextBox1.setText("");
        form->TextBox1.userKeyDown(dialogs::key::kProcessKey, 0);
        form->TextBox1.userEdit("有");
        form->TextBox1.userKeyUp(dialogs::key::kProcessKey, 0);
        benchmark::DoNotOptimize(form->ListView1.items().size());
    }
    state.counters["listed"] = form->ListView1.itemCount();
    dialogs::FormInstance<Frm_收付款人>::unload();
}

// One keystroke that extends a text listing a few hundred units ("无锡市电子4" in a
// book of 50,000) to "无锡市电子48": it narrows the rows the shorter text found, so its
// cost follows the rows listed, not the book's size.
void BM_KeystrokeListingFewRows(benchmark::State& state, int units) {
    auto& b = unitBook(units);
    auto form = dialogs::FormInstance<Frm_收付款人>::get(b.app.toolkit());
    form->TextBox1.setFocus();
    auto key = [&](const std::string& text) {
        form->TextBox1.userKeyDown(dialogs::key::kProcessKey, 0);
        form->TextBox1.userEdit(text);
        form->TextBox1.userKeyUp(dialogs::key::kProcessKey, 0);
    };
    for (auto _ : state) {
        state.PauseTiming();
        key("无锡市电子4");
        readFirstScreen(form->ListView1);
        state.ResumeTiming();
        key("无锡市电子48");
        benchmark::DoNotOptimize(readFirstScreen(form->ListView1));
    }
    state.counters["listed"] = form->ListView1.itemCount();
    dialogs::FormInstance<Frm_收付款人>::unload();
}

// The book search alone, without the list: the first keystroke of a city's name finds
// one unit in twenty through Find and FindNext.
void BM_SearchUnitsOfOneCity(benchmark::State& state, int units) {
    auto& b = unitBook(units);
    size_t found = 0;
    for (auto _ : state) found = books::searchUnits(*b.sheet, "无锡").size();
    state.counters["listed"] = double(found);
}

std::vector<std::string> eightCharacterNames(int units) {
    const auto& pool = namePool();
    std::vector<std::string> names;
    names.reserve(size_t(units));
    unsigned seed = 12345;
    for (int i = 0; i < units; ++i) {
        std::string name;
        for (int k = 0; k < 8; ++k) {
            seed = seed * 1103515245u + 12345u;
            name += pool[(seed >> 16) % pool.size()];
        }
        names.push_back(std::move(name));
    }
    return names;
}

// Pinyin initials through one look-up object for all the names, the key table
// evaluated once.
void BM_HostInitialsLookupOverTheNames(benchmark::State& state, int units) {
    auto& b = unitBook(units);
    const auto names = eightCharacterNames(units);
    size_t letters = 0;
    for (auto _ : state) {
        HostInitialsLookup lookup(b.app);
        letters = 0;
        for (const auto& n : names) letters += lookup.initials(n).size();
    }
    state.counters["letters"] = double(letters);
}

// GetHzjpLookup called name by name, as the fill-in form's drop-down filter does.
void BM_GetHzjpLookupOverTheNames(benchmark::State& state, int units) {
    unitBook(units);
    const auto names = eightCharacterNames(units);
    size_t letters = 0;
    for (auto _ : state) {
        letters = 0;
        for (const auto& n : names) letters += GetHzjpLookup(n).size();
    }
    state.counters["letters"] = double(letters);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const vorra::bench::NamedFigure figures[] = {
        {"BM_TypeAnAccountName", BM_TypeAnAccountName},
        {"BM_TypeAShortName", BM_TypeAShortName},
        {"BM_KeystrokeListingEveryUnit", BM_KeystrokeListingEveryUnit},
        {"BM_KeystrokeListingEveryUnitInFull", BM_KeystrokeListingEveryUnitInFull},
        {"BM_KeystrokeListingFewRows", BM_KeystrokeListingFewRows},
        {"BM_SearchUnitsOfOneCity", BM_SearchUnitsOfOneCity},
        {"BM_HostInitialsLookupOverTheNames", BM_HostInitialsLookupOverTheNames},
        {"BM_GetHzjpLookupOverTheNames", BM_GetHzjpLookupOverTheNames},
    };
    vorra::bench::registerBySize(figures);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
