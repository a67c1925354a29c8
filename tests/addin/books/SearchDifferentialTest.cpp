// The books' searches and the fill-in form's list filter against the straightforward
// algorithms on a random 50,000-row book: the fast paths (Find's kept match lists,
// narrowing from the last key, the filter's kept upper-case texts and initials) must
// give the same rows in the same order, for keys typed one character after another and
// with writes to the book in between.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "addin/bill/TianxiePJ_frm.h"
#include "addin/books/Books.h"
#include "addin/books/PinyinInitials.h"
#include "addin/frame/TextConversion.h"
#include "addin/frame/host/Utf8.h"
#include "platform/engine/host/TextMatch.h"
#include "tests/addin/support/AddinTestHost.h"

namespace vorra::testing {
namespace {

using host::Value;

constexpr int kFirst = 8;
constexpr int kLast = books::kSearchLastRow;

// Pieces of book texts: Chinese, full-width and mixed-case Latin, digits, and the
// characters Find reads as wildcards.
const std::vector<std::string> kPieces = {
    "苏州", "南京", "无锡", "有限", "公司", "银行", "分行", "机械", "电子", "贸易", "张", "三",
    "ＡＢＣ", "ａｂ", "１２", "Abc", "aBC", "DW", "dw", "x", "12", "7", "*", "?", "~", " ", "　"};

std::string randomText(std::mt19937& rng, int pieces) {
    std::string t;
    for (int i = 0; i < pieces; ++i) t += kPieces[rng() % kPieces.size()];
    return t;
}

// Find's rows in its order (after the range's first cell, so row 8 comes last), by the
// displayed text and the host's matching rules, one cell at a time.
std::vector<int> straightforwardFind(host::Worksheet& sheet, int column, const std::string& key) {
    engine::TextMatcher matcher(key, false, false);
    std::vector<int> rows;
    auto test = [&](int row) {
        const std::string text = sheet.displayText({row, column});
        if (!text.empty() && !key.empty() && matcher.matches(text)) rows.push_back(row);
    };
    for (int row = kFirst + 1; row <= kLast; ++row) test(row);
    test(kFirst);
    return rows;
}

std::vector<int> straightforwardUnits(host::Worksheet& sheet, const std::string& key) {
    auto rows = straightforwardFind(sheet, layout::kColAccountName, key);
    return rows.empty() ? straightforwardFind(sheet, layout::kColShortName, key) : rows;
}

// The initials of an entry with a host call per character.
std::string straightforwardInitials(host::Application& app, const std::string& entry) {
    const host::Variant table = app.evaluate(kInitialsTableFormula);
    std::string initials;
    for (const auto& ch : utf8Characters(trimBlanks(entry))) {
        // A character before the first key is a host error: it gives nothing.
        host::resume([&] {
            Value v = app.vlookup(Value::text(ch), table, 2, std::nullopt);
            if (!v.isError()) initials += v.toText();
        });
    }
    return initials;
}

// The filter of the right-arrow key, entry by entry.
std::vector<std::string> straightforwardFilter(const std::vector<std::string>& entries,
                                               const std::vector<std::string>& initials, const std::string& typed) {
    const std::string key = toUpperText(trimBlanks(typed));
    const bool byText = hasDoubleByteCharacter(toHalfWidth(key));
    std::vector<std::string> shown;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (byText ? toUpperText(entries[i]).find(key) != std::string::npos
                   : !initials[i].empty() && initials[i].find(key) != std::string::npos)
            shown.push_back(entries[i]);
    }
    return shown;
}

TEST(SearchDifferential, FastSearchesAndFiltersListWhatTheStraightforwardOnesList) {
    AddinTestHost host("16.0", false, false);
    auto sheet = host.book->worksheets().front();
    sheet->setName(layout::kSheetFillIn);
    std::mt19937 rng(20261208);

    // D short names and E account names with blanks, gaps, duplicates and a few numbers.
    const int rows = kLast - kFirst + 1;
    host::Array2D book(rows, 6);
    std::vector<std::string> names;
    for (int i = 1; i <= rows; ++i) {
        const auto kind = rng() % 100;
        if (kind < 3) continue;  // a gap: the whole row empty
        if (kind < 8 && !names.empty()) {
            book.at(i, 2) = Value::text(names[rng() % names.size()]);  // a duplicate
        } else if (kind < 10) {
            book.at(i, 2) = Value::number(double(rng() % 1000) / 4);
        } else if (kind >= 15) {  // 10 to 14: a blank account name beside a short name
            book.at(i, 2) = Value::text(randomText(rng, 1 + int(rng() % 5)));
        }
        if (rng() % 4 != 0) book.at(i, 1) = Value::text(randomText(rng, 1 + int(rng() % 2)));
        for (int c = 3; c <= 6; ++c) book.at(i, c) = Value::text(std::to_string(i * c));
        if (book.at(i, 2).isText()) names.push_back(book.at(i, 2).asText());
    }
    sheet->cells(kFirst, layout::kColShortName).resize(rows, 6).setValue(book);

    // Keys typed one character after another (each extends the last), a few with
    // wildcards and case variants, and now and then a write to the book in between.
    std::vector<std::vector<std::string>> typings = {{"苏", "苏州", "苏州有", "苏州有限"},
                                                     {"D", "DW", "DWx", "DWx7"},
                                                     {"a", "ab", "abc"},
                                                     {"ａ", "ａＢ", "ａＢＣ"},
                                                     {"*", "*苏", "*苏?"},
                                                     {"~", "~*", "~*公"},
                                                     {"?", "?州", "??"},
                                                     {"1", "12", "12.", "12.5"},
                                                     {"张 ", "张 三", "张　三"},
                                                     {"苏州~", "苏州~?"}};
    for (int extra = 0; extra < 6; ++extra) {
        std::vector<std::string> typing;
        for (const auto& ch : utf8Characters(names[rng() % names.size()]))
            typing.push_back((typing.empty() ? "" : typing.back()) + ch);
        typings.push_back(typing);
    }
    int typed = 0;
    for (const auto& typing : typings) {
        for (const std::string& key : typing) {
            if (++typed % 7 == 0) {
                // A new unit over a random row, through the host as a form writes it.
                const int row = kFirst + int(rng() % rows);
                sheet->cells(row, layout::kColAccountName).setValue(Value::text(key + randomText(rng, 1)));
            }
            std::vector<int> fast;
            for (const auto& unit : books::searchUnits(*sheet, key)) {
                fast.push_back(unit.row);
                ASSERT_EQ(unit.accountName(), sheet->displayText({unit.row, layout::kColAccountName}));
            }
            ASSERT_EQ(fast, straightforwardUnits(*sheet, key)) << "key " << key;
            // Find after a random cell of the account names, not the one a walk of the
            // matches last came from: the next match below it, or the first one.
            auto matching = straightforwardFind(*sheet, layout::kColAccountName, key);
            std::sort(matching.begin(), matching.end());
            const int from = kFirst + int(rng() % rows);
            host::FindOptions options;
            options.what = key;
            options.after = host::CellRef{from, layout::kColAccountName};
            auto next = std::upper_bound(matching.begin(), matching.end(), from);
            std::optional<int> expected;
            if (!matching.empty()) expected = next != matching.end() ? *next : matching.front();
            auto found = sheet->find({kFirst, layout::kColAccountName, kLast, layout::kColAccountName}, options);
            ASSERT_EQ(found ? std::optional<int>(found->row) : std::nullopt, expected) << "key " << key;
        }
    }

    // The filter: a text key holds a double-byte character, anything else is a key of
    // initials; each key filtered twice (the second time from the kept texts).
    std::vector<std::string> entries, initials;
    for (int row = kFirst; row <= kLast; ++row) {
        entries.push_back(sheet->displayText({row, layout::kColAccountName}));
        initials.push_back(straightforwardInitials(host.app, entries.back()));
    }
    for (const std::string key : {"苏州", "ＡＢ", "abc", "SZ", "ZS", "YX", "", "Y", "  gs ", "1", "银行", "ｚ"}) {
        const auto expected = straightforwardFilter(entries, initials, key);
        ASSERT_EQ(filterBookEntries(entries, key), expected) << "key " << key;
        ASSERT_EQ(filterBookEntries(entries, key), expected) << "again, key " << key;
        // The column reads differently next time.
        const size_t changed = rng() % entries.size();
        entries[changed] = "张三" + key;
        initials[changed] = straightforwardInitials(host.app, entries[changed]);
    }
}

}  // namespace
}  // namespace vorra::testing
