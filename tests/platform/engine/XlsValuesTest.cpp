// Binary .xls workbooks (written by xlwt in the set-up) are read for their values by
// the values loader (the batch import) and opened for editing with their formats.

#include <gtest/gtest.h>

#include "platform/engine/files/WorkbookFiles.h"
#include "tests/platform/engine/WorkbookFileFixtures.h"

namespace vorra::engine {
namespace {

using testing::ScratchFolder;

class XlsFromXlwt : public ::testing::Test {
protected:
    void SetUp() override { testing::runFixtureScript("xlwt-batch " + path); }
    ScratchFolder dir;
    std::string path = dir.file("批量.xls");
};

TEST_F(XlsFromXlwt, ValuesLoaderReadsSheetsTextsNumbersAndDates) {
    auto wb = loadWorkbookValues(path);
    ASSERT_EQ(wb->sheets.size(), 2u);
    EXPECT_EQ(wb->sheets[0]->name, "批量打印");
    EXPECT_EQ(wb->sheets[1]->name, "空表");
    const auto& cells = wb->sheets[0]->cells;
    EXPECT_EQ(cells.find({1, 2})->value, Value::text("收款人户名"));
    EXPECT_EQ(cells.find({2, 1})->value, Value::number(1));
    EXPECT_EQ(cells.find({2, 2})->value, Value::text("北京公司"));
    EXPECT_EQ(cells.find({2, 3})->value, Value::text("6222021234567890123"));
    EXPECT_EQ(cells.find({2, 4})->value, Value::number(1234.56));
    EXPECT_EQ(cells.find({2, 5})->value, Value::number(45352));  // 2024-03-01
    EXPECT_EQ(cells.find({3, 3}), nullptr);
    EXPECT_TRUE(wb->sheets[1]->cells.empty());
}

TEST_F(XlsFromXlwt, OpensForEditingWithItsFormats) {
    auto wb = loadWorkbook(path);
    ASSERT_EQ(wb->sheets.size(), 2u);
    const Cell* date = wb->sheets[0]->cells.find({2, 5});
    ASSERT_NE(date, nullptr);
    EXPECT_EQ(date->value, Value::number(45352));
    EXPECT_EQ(wb->styles.format(date->style).numberFormat, "yyyy-mm-dd");
    EXPECT_EQ(wb->styles.font(wb->styles.format(date->style).fontId).name, "Arial");
}

TEST(XlsValues, ValuesLoaderReadsXlsxToo) {
    ScratchFolder dir;
    saveWorkbook(*testing::sampleTemplate(), dir.file("t.xlsx"));
    auto wb = loadWorkbookValues(dir.file("t.xlsx"));
    ASSERT_EQ(wb->sheets.size(), 4u);
    const Cell* lookup = wb->sheets[0]->cells.find({4, 6});
    EXPECT_EQ(lookup->value, Value::text("6222021234567890123"));
    EXPECT_TRUE(lookup->formula.empty());
    EXPECT_EQ(lookup->style, 0);
    EXPECT_EQ(wb->sheets[0]->cells.find({6, 9}), nullptr);  // a format alone is no value
}

}  // namespace
}  // namespace vorra::engine
