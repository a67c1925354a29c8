// The books on a 50,000-unit book of the embedded engine:
//  - searching units while typing in Frm_收付款人: each keystroke's key release runs
//    the search (account names, then short names) and fills the list. Target: under
//    5 ms per keystroke;
//  - pinyin initials through the host's key-table look-up over 50,000 eight-character
//    names, as the fill-in form's drop-down filter does it (one look-up object for the
//    whole book) and as GetHzjpLookup does it name by name. Target: under 100 ms.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "addin/books/Books.h"
#include "addin/books/Frm_收付款人.h"
#include "addin/books/PinyinInitials.h"
#include "tests/addin/support/AddinTestHost.h"

namespace {

using namespace vorra;
using host::Array2D;
using host::Value;

constexpr int kUnits = 50000;

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

// The unit book: 50,000 units, each city in one unit of twenty, each trade in one of
// ten, with a short name, a nineteen-digit account kept as text and the bank's place.
struct UnitBook {
    // The add-in's test host; a dialog nobody answers gives its cancel answer.
    testing::AddinTestHost host{"16.0", false, false};
    engine::EngineApplication& app = host.app;
    std::shared_ptr<host::Worksheet> sheet;

    UnitBook() {
        sheet = host.book->worksheets().front();
        sheet->setName("常用单位账号");
        sheet->range("F:F").setNumberFormat("@");
        Array2D rows(kUnits, 6);
        for (int i = 1; i <= kUnits; ++i) {
            std::string n = std::to_string(i);
            std::string city = kCities[i % 20];
            rows.at(i, 1) = Value::text("DW" + n);
            rows.at(i, 2) = Value::text(city + "市" + kTrades[i % 10] + n + "号有限公司");
            rows.at(i, 3) = Value::text("62220211020" + std::string(8 - n.size(), '0') + n);
            rows.at(i, 4) = Value::text("中国银行" + city + "分行");
            rows.at(i, 5) = Value::text("江苏");
            rows.at(i, 6) = Value::text(city);
        }
        sheet->cells(8, 4).resize(kUnits, 6).setValue(rows);
        sheet->protect("470518");
    }
};

UnitBook& unitBook() {
    static UnitBook b;
    return b;
}

// Types the text into the form's search box, one character per keystroke, and reports
// the time per keystroke (the key release runs the search and fills the list).
void typeSearch(benchmark::State& state, const std::string& typed) {
    auto& b = unitBook();
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
        }
        listed = form->ListView1.itemCount();
    }
    state.counters["listed"] = listed;
    // Seconds per keystroke: "4.2m" reads 4.2 ms.
    state.counters["seconds_per_keystroke"] = benchmark::Counter(
        double(state.iterations()) * double(chars.size()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    dialogs::FormInstance<Frm_收付款人>::unload();
}

// A unit's account name typed in full: the first keystrokes match 2,500 units (one
// city), the last one unit.
void BM_TypeAnAccountName(benchmark::State& state) { typeSearch(state, "无锡市电子42号有限公司"); }
// A short name: no account name holds it, so every keystroke also searches column D.
void BM_TypeAShortName(benchmark::State& state) { typeSearch(state, "DW49990"); }
// The worst keystroke: a text every unit's name holds lists all 50,000 units.
void BM_KeystrokeListingEveryUnit(benchmark::State& state) { typeSearch(state, "有"); }

// The book search alone, without the list: the first keystroke of a city's name finds
// 2,500 units through Find and FindNext.
void BM_SearchUnitsOfOneCity(benchmark::State& state) {
    auto& b = unitBook();
    size_t found = 0;
    for (auto _ : state) found = books::searchUnits(*b.sheet, "无锡").size();
    state.counters["listed"] = double(found);
}

std::vector<std::string> eightCharacterNames() {
    const auto& pool = namePool();
    std::vector<std::string> names;
    names.reserve(kUnits);
    unsigned seed = 12345;
    for (int i = 0; i < kUnits; ++i) {
        std::string name;
        for (int k = 0; k < 8; ++k) {
            seed = seed * 1103515245u + 12345u;
            name += pool[(seed >> 16) % pool.size()];
        }
        names.push_back(std::move(name));
    }
    return names;
}

// GetHzjpLookup over the book the way the fill-in form's drop-down filter applies it:
// one look-up object for all 50,000 names, the key table evaluated once.
void BM_GetHzjpLookupOverFiftyThousandNames(benchmark::State& state) {
    auto& b = unitBook();
    const auto names = eightCharacterNames();
    size_t letters = 0;
    for (auto _ : state) {
        HostInitialsLookup lookup(b.app);
        letters = 0;
        for (const auto& n : names) letters += lookup.initials(n).size();
    }
    state.counters["letters"] = double(letters);
}

// GetHzjpLookup called name by name: the key table is evaluated for every call.
void BM_GetHzjpLookupCallByCall(benchmark::State& state) {
    unitBook();
    const auto names = eightCharacterNames();
    size_t letters = 0;
    for (auto _ : state) {
        letters = 0;
        for (const auto& n : names) letters += GetHzjpLookup(n).size();
    }
    state.counters["letters"] = double(letters);
}

}  // namespace

BENCHMARK(BM_TypeAnAccountName)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeAShortName)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeystrokeListingEveryUnit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchUnitsOfOneCity)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetHzjpLookupOverFiftyThousandNames)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetHzjpLookupCallByCall)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
