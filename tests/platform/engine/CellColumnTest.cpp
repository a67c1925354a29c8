// The column store against an ordered map: the same cells in the same order after any
// mix of additions and removals, dense runs and scattered rows, and the same answers
// from every look-up.

#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <random>

#include "platform/engine/model/CellColumn.h"

namespace vorra::engine {
namespace {

void expectSame(const CellColumn& column, const std::map<int, double>& expected, int seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    ASSERT_EQ(column.size(), expected.size());
    auto want = expected.begin();
    for (const auto& [row, cell] : column) {
        ASSERT_EQ(row, want->first);
        ASSERT_EQ(cell.value.asNumber(), want->second);
        ++want;
    }
    // Backwards too, through the reverse iterators the searches use.
    auto back = expected.rbegin();
    for (auto it = column.rbegin(); it != column.rend(); ++it, ++back) ASSERT_EQ(it->row, back->first);
    if (!expected.empty()) {
        EXPECT_EQ(column.firstRow(), expected.begin()->first);
        EXPECT_EQ(column.lastRow(), expected.rbegin()->first);
    }
}

TEST(CellColumn, AgreesWithAnOrderedMapUnderRandomEdits) {
    // Rows from a few narrow bands (full blocks, blocks with gaps) and far apart.
    for (int seed = 1; seed <= 40; ++seed) {
        std::mt19937 random(static_cast<unsigned>(seed));
        const int spread = seed % 4 == 0 ? 1'000'000 : seed % 4 == 1 ? 300 : 70;
        std::uniform_int_distribution<int> rowOf(1, spread), action(0, 9);
        CellColumn column;
        std::map<int, double> expected;
        for (int step = 0; step < 600; ++step) {
            const int row = rowOf(random);
            const double value = step;
            switch (action(random)) {
                case 0:
                case 1: {
                    EXPECT_EQ(column.erase(row), expected.erase(row));
                    break;
                }
                case 2: {  // removing through an iterator gives the next cell
                    auto it = column.lower_bound(row);
                    auto want = expected.lower_bound(row);
                    ASSERT_EQ(it == column.end(), want == expected.end());
                    if (want == expected.end()) break;
                    auto next = column.erase(it);
                    auto wantNext = expected.erase(want);
                    ASSERT_EQ(next == column.end(), wantNext == expected.end());
                    if (wantNext != expected.end()) {
                        ASSERT_EQ(next->row, wantNext->first);
                    }
                    break;
                }
                case 3: {  // a hinted addition does not replace a cell
                    Cell fresh;
                    fresh.value = host::Value::number(value);
                    auto it = column.emplace_hint(column.lower_bound(row), row, fresh);
                    auto [want, added] = expected.try_emplace(row, value);
                    ASSERT_EQ(it->cell.value.asNumber(), want->second);
                    break;
                }
                default: {
                    auto [it, added] = column.try_emplace(row);
                    auto [want, wantAdded] = expected.try_emplace(row, value);
                    ASSERT_EQ(added, wantAdded);
                    if (added) it->cell.value = host::Value::number(value);
                    ASSERT_EQ(it->row, row);
                }
            }
            // Look-ups of a row near the last one edited.
            const int probe = row + static_cast<int>(random() % 5) - 2;
            const Cell* found = column.cell(probe);
            auto want = expected.find(probe);
            ASSERT_EQ(found != nullptr, want != expected.end()) << "row " << probe;
            if (found) {
                ASSERT_EQ(found->value.asNumber(), want->second);
            }
            auto lower = column.lower_bound(probe);
            auto upper = column.upper_bound(probe);
            ASSERT_EQ(lower == column.end(), expected.lower_bound(probe) == expected.end());
            ASSERT_EQ(upper == column.end(), expected.upper_bound(probe) == expected.end());
            if (upper != column.end()) {
                ASSERT_EQ(upper->row, expected.upper_bound(probe)->first);
            }
            if (lower != column.begin()) {
                ASSERT_EQ(std::prev(lower)->row, std::prev(expected.lower_bound(probe))->first);
            }
        }
        expectSame(column, expected, seed);
        const CellColumn copy = column;
        expectSame(copy, expected, seed);
    }
}

}  // namespace
}  // namespace vorra::engine
