// The fill-in form's list filter on the right-arrow key over unit books of 1,000 to
// 200,000 units on the sample template: by pinyin initials with a Latin key (each distinct character's
// initial is looked up through the host's formula engine) and by text with a Chinese
// key. Target: the initials filter under 50 ms.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <utility>

#include "addin/bill/TianxiePJ_frm.h"
#include "bench/BySize.h"
#include "addin/books/PinyinInitials.h"
#include "tests/addin/support/AddinTestHost.h"

namespace {

using namespace vorra;


// Unit names from a pool of common characters, so that the book holds a few hundred
// distinct characters as real books do.
std::string unitName(int i) {
    static const char* const kPool[] = {"苏", "州", "南", "京", "长", "江", "建", "材", "无",
                                        "锡", "华", "光", "电", "子", "杭", "西", "湖", "茶",
                                        "叶", "上", "海", "东", "方", "贸", "易", "常", "天",
                                        "宁", "纺", "织", "昆", "山", "明", "珠", "器", "中",
                                        "国", "银", "行", "吴", "丝", "绸", "进", "出", "口"};
    constexpr int n = sizeof kPool / sizeof kPool[0];
    std::string name;
    for (int k = 0, v = i; k < 4; ++k, v /= n) name += kPool[v % n];
    return name + "有限公司";
}

struct BigBook {
    testing::AddinTestHost host;
    std::shared_ptr<TianxiePJ_frm> form;
    int units;

    explicit BigBook(int count) : units(count) {
        host::Array2D rows(units, 6);
        for (int i = 1; i <= units; ++i) {
            rows.at(i, 1) = host::Value::text("DW" + std::to_string(i));
            rows.at(i, 2) = host::Value::text(unitName(i));
            rows.at(i, 3) = host::Value::text(std::to_string(6222021102000000000LL + i));
            rows.at(i, 4) = host::Value::text("中国银行苏州分行");
            rows.at(i, 5) = host::Value::text("江苏");
            rows.at(i, 6) = host::Value::text("苏州");
        }
        host.put("常用单位账号", "D8:I" + std::to_string(7 + units), rows);
        form = dialogs::FormInstance<TianxiePJ_frm>::show(host.toolkit);
    }
    ~BigBook() { dialogs::FormInstance<TianxiePJ_frm>::unload(); }
};

// One book at a time: the benchmarks run size by size.
BigBook& bigBook(int units) {
    static std::unique_ptr<BigBook> book;
    if (!book || book->units != units) {
        book.reset();
        book = std::make_unique<BigBook>(units);
    }
    return *book;
}

void filter(benchmark::State& state, int units, const char* key) {
    BigBook& b = bigBook(units);
    size_t shown = 0;
    for (auto _ : state) {
        b.form->ComboBox1.setText(key);
        b.host.user.press(*b.form, "ComboBox1", dialogs::key::kRight);
        shown = static_cast<size_t>(b.form->ComboBox1.listCount());
        benchmark::DoNotOptimize(shown);
    }
    state.counters["shown"] = static_cast<double>(shown);
    // Whether the host could look initials up at all (0 with a formula engine that
    // cannot evaluate the key table: every entry then has empty initials).
    state.counters["initials"] = GetHzjpLookup("中国") == "ZG" ? 1 : 0;
}

void BM_FilterByInitials(benchmark::State& state, int units) { filter(state, units, "ZG"); }
void BM_FilterByText(benchmark::State& state, int units) { filter(state, units, "苏州"); }

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const vorra::bench::NamedFigure figures[] = {{"BM_FilterByInitials", BM_FilterByInitials},
                                                      {"BM_FilterByText", BM_FilterByText}};
    vorra::bench::registerBySize(figures);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
