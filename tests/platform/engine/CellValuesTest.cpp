#include "EngineFixture.h"
#include "platform/engine/print/PrintLayout.h"

#include <cctype>

using namespace vorra;
using namespace vorra::host;
using vorra::engine::testing::EngineTest;

using CellValues = EngineTest;

TEST_F(CellValues, OneCellReadsAsAScalarAndSeveralAsAOneBasedArray) {
    put("E8", text("甲"));
    put("E9", text("乙"));
    Variant one = sheet->range("e8:e8").value();
    ASSERT_FALSE(one.isArray());
    EXPECT_EQ(one.scalar(), text("甲"));
    Variant two = sheet->range("e8:e9").value();
    ASSERT_TRUE(two.isArray());
    EXPECT_EQ(two.array().rows(), 2);
    EXPECT_EQ(two.array().columns(), 1);
    EXPECT_EQ(two.array().at(1, 1), text("甲"));
    EXPECT_EQ(two.array().at(2, 1), text("乙"));
    EXPECT_TRUE(sheet->range("A1:B2").value().array().at(2, 2).isEmpty());
}

TEST_F(CellValues, WrittenTextsAreStoredAsIfTyped) {
    put("A1", text("123"));
    put("A2", text("50%"));
    put("A3", text("2026-12-07"));
    put("A4", text("true"));
    put("A5", text("'00123"));
    put("A6", text("6222021234567890123"));
    put("A7", text(""));
    EXPECT_EQ(cell("A1"), number(123));
    EXPECT_EQ(cell("A2"), number(0.5));
    EXPECT_EQ(sheet->range("A2").numberFormat(), "0%");
    EXPECT_EQ(cell("A3"), number(46363));
    EXPECT_EQ(sheet->range("A3").numberFormat(), "yyyy/m/d");
    EXPECT_EQ(cell("A4"), Value::boolean(true));
    EXPECT_EQ(cell("A5"), text("00123"));
    EXPECT_EQ(cell("A6"), number(6222021234567890000.0));
    EXPECT_TRUE(cell("A7").isEmpty());
    // Values written as values are not parsed again.
    put("B1", number(7));
    EXPECT_EQ(cell("B1"), number(7));
}

TEST_F(CellValues, TextFormattedCellsKeepTextsAndFormulaTexts) {
    sheet->range("F:F").setNumberFormat("@");
    put("F8", text("6222021234567890123"));
    put("F9", text("00012345"));
    put("F10", text("=A1"));
    EXPECT_EQ(cell("F8"), text("6222021234567890123"));
    EXPECT_EQ(cell("F9"), text("00012345"));
    EXPECT_EQ(cell("F10"), text("=A1"));
    EXPECT_EQ(sheet->range("F10").formula(), "=A1");
    EXPECT_EQ(sheet->range("F5000").numberFormat(), "@");
    put("G8", text("00012345"));
    EXPECT_EQ(cell("G8"), number(12345));
}

TEST_F(CellValues, AnExistingFormatDecidesWhatATypedEntryImplies) {
    sheet->range("A1:A3").setNumberFormat("0.00");
    put("A1", text("50%"));
    EXPECT_EQ(sheet->range("A1").numberFormat(), "0.00");
    put("A2", text("2026/1/2"));
    EXPECT_EQ(sheet->range("A2").numberFormat(), "yyyy/m/d");
    sheet->range("A3").setNumberFormat("yyyy\"年\"m\"月\"d\"日\"");
    put("A3", text("2026-1-2"));
    EXPECT_EQ(sheet->range("A3").numberFormat(), "yyyy\"年\"m\"月\"d\"日\"");
}

TEST_F(CellValues, FormulasAreStoredAsText) {
    sheet->range("B2").setFormula("=VLOOKUP($E$4,收款人信息,2,FALSE)");
    EXPECT_EQ(sheet->range("B2").formula(), "=VLOOKUP($E$4,收款人信息,2,FALSE)");
    put("B3", number(2.5));
    EXPECT_EQ(sheet->range("B3").formula(), "2.5");
    put("B4", Value::boolean(false));
    EXPECT_EQ(sheet->range("B4").formula(), "FALSE");
    put("B5", text("="));
    EXPECT_EQ(cell("B5"), text("="));
}

TEST_F(CellValues, ArrayWritesTruncateRepeatAndFillNotAvailable) {
    Array2D a(2, 2);
    a.at(1, 1) = number(1);
    a.at(1, 2) = number(2);
    a.at(2, 1) = number(3);
    a.at(2, 2) = number(4);
    put("A1:C3", a);
    EXPECT_EQ(cell("B2"), number(4));
    EXPECT_EQ(cell("C1"), Value::error(ErrorValue::NA));
    EXPECT_EQ(cell("A3"), Value::error(ErrorValue::NA));
    put("E1:E1", a);  // the array is cut to the area
    EXPECT_EQ(cell("E1"), number(1));
    EXPECT_TRUE(cell("E2").isEmpty());

    Array2D row(1, 3);
    row.at(1, 1) = text("x");
    row.at(1, 2) = text("y");
    row.at(1, 3) = text("z");
    put("G1:I3", row);  // one row repeats down the area
    EXPECT_EQ(cell("H3"), text("y"));
    EXPECT_THROW(put("A1:B2", Array2D()), HostError);
}

TEST_F(CellValues, AScalarFillsTheWholeAreaAndEmptyClearsIt) {
    put("A1:C2", text("1,000"));
    EXPECT_EQ(cell("C2"), number(1000));
    EXPECT_EQ(sheet->range("C2").numberFormat(), "#,##0");
    sheet->range("A1:B2").clearContents();
    EXPECT_TRUE(cell("A1").isEmpty());
    EXPECT_EQ(cell("C1"), number(1000));
    EXPECT_EQ(sheet->range("B1").numberFormat(), "#,##0");  // formats outlive contents
    sheet->range("A:C").clearContents();
    EXPECT_EQ(sheet->usedArea(), (Area{1, 1, 2, 3}));  // the formatted cells still count
    EXPECT_TRUE(cell("C2").isEmpty());
}

TEST_F(CellValues, ABlockOfTwoThousandRowsRoundTrips) {
    Array2D block(2000, 13);
    for (int r = 1; r <= 2000; ++r)
        for (int c = 1; c <= 13; ++c) block.at(r, c) = text(c == 3 ? "付款" : "12.5");
    Range target = sheet->range("A8").resize(2000, 13);
    target.setValue(block);
    Variant back = target.value();
    ASSERT_TRUE(back.isArray());
    EXPECT_EQ(back.array().at(2000, 13), number(12.5));
    EXPECT_EQ(back.array().at(1, 3), text("付款"));
    EXPECT_EQ(sheet->range("M2007").end(Direction::Up).row(), 8);
}

TEST_F(CellValues, RangeGeometryAndAddresses) {
    Range k4 = sheet->range("k4");
    EXPECT_EQ(k4.address(), "$K$4");
    EXPECT_EQ(k4.offset(2, -4).address(), "$G$6");
    EXPECT_EQ(k4.resize(2, 3).address(), "$K$4:$M$5");
    EXPECT_EQ(sheet->cells(6, 7).address(), "$G$6");
    EXPECT_EQ(sheet->range("e8:e407").cells(2, 1).row(), 9);
    EXPECT_THROW(k4.offset(-4, 0), HostError);
}

TEST_F(CellValues, BadReferencesRaiseTheHostErrorWithTheReference) {
    for (const char* bad : {"ZZZZ1", "A0", "e8:e", "", "A1:", "no such name", "不存在!A1"}) {
        try {
            sheet->range(bad);
            ADD_FAILURE() << bad << " was accepted";
        } catch (const HostError& e) {
            EXPECT_EQ(e.number(), error::kApplicationDefined) << bad;
            EXPECT_NE(std::string(e.what()).find(bad), std::string::npos) << e.what();
        }
    }
    try {
        app.sheets("不存在的表");
        ADD_FAILURE();
    } catch (const HostError& e) {
        EXPECT_EQ(e.number(), error::kSubscriptOutOfRange);
        EXPECT_NE(std::string(e.what()).find("不存在的表"), std::string::npos);
    }
    EXPECT_THROW(sheet->read(Area{1, 1, kMaxRows, 10}), HostError);  // too large to read
    EXPECT_THROW(sheet->write(Area{1, 1, kMaxRows, 10}, text("x")), HostError);
}

TEST_F(CellValues, DisplayedTextGoesThroughTheNumberFormat) {
    put("A1", number(1234.5));
    put("A2", Value::boolean(true));
    put("A3", text("户名"));
    EXPECT_EQ(sheet->range("A1").text(), "1234.5");
    EXPECT_EQ(sheet->range("A2").text(), "TRUE");
    EXPECT_EQ(sheet->range("A3").text(), "户名");
    EXPECT_EQ(sheet->range("A4").text(), "");
}

TEST_F(CellValues, FontColourAndLockingArePerCellFormats) {
    sheet->range("F8:F10").setFontColorIndex(3);
    EXPECT_EQ(sheet->range("F9").fontColorIndex(), 3);
    EXPECT_EQ(sheet->range("F11").fontColorIndex(), 0);
    sheet->range("F8:F10").setFontColorIndex(0);
    EXPECT_EQ(sheet->range("F9").fontColorIndex(), 0);
    EXPECT_THROW(sheet->range("F8").setFontColorIndex(99), HostError);
    EXPECT_TRUE(sheet->range("D4").locked());
    sheet->range("D4:I5").setLocked(false);
    EXPECT_FALSE(sheet->range("I5").locked());
    EXPECT_TRUE(sheet->range("J5").locked());
}

TEST_F(CellValues, RowAndColumnFormatsMeetAtTheirCrossing) {
    sheet->range("5:5").setFontColorIndex(3);
    sheet->range("F:F").setNumberFormat("@");
    EXPECT_EQ(sheet->range("G5").fontColorIndex(), 3);
    EXPECT_EQ(sheet->range("G5").numberFormat(), "General");
    EXPECT_EQ(sheet->range("F5").fontColorIndex(), 3);
    EXPECT_EQ(sheet->range("F5").numberFormat(), "@");
    EXPECT_EQ(sheet->range("F6").fontColorIndex(), 0);
    sheet->range("7:7").setFontColorIndex(5);
    EXPECT_EQ(sheet->range("F7").numberFormat(), "@");
    EXPECT_EQ(sheet->range("F7").fontColorIndex(), 5);
    EXPECT_EQ(sheet->range("B7").numberFormat(), "General");
    put("F7", text("007"));
    EXPECT_EQ(cell("F7"), text("007"));
}

TEST_F(CellValues, OverlongTextsAndFormulasAreRefused) {
    EXPECT_NO_THROW(put("A1", Value::text(std::string(32767, 'x'))));
    EXPECT_THROW(put("A2", Value::text(std::string(32768, 'x'))), HostError);
    std::string chinese;
    for (int i = 0; i < 32767; ++i) chinese += "字";  // counted in characters, not bytes
    EXPECT_NO_THROW(put("A3", Value::text(chinese)));
    EXPECT_THROW(put("A4", Value::text("=" + std::string(9000, '1'))), HostError);
    EXPECT_TRUE(cell("A2").isEmpty());
}

TEST_F(CellValues, AMonthAndDayTypedIntoACellTakeTheApplicationsYear) {
    app.setCurrentYear(2026);
    put("A1", text("12/7"));
    EXPECT_EQ(cell("A1"), number(46363));
    put("G6", text("1-2"));
    EXPECT_EQ(cell("G6"), number(46024));
    sheet->range("G7").setNumberFormat("@");
    put("G7", text("1-2"));
    EXPECT_EQ(cell("G7"), text("1-2"));
}

// A cheque dated in a workbook that counts dates from 1904 is typed, shown, computed
// and printed as the same day, not four years and a day earlier.
TEST_F(CellValues, ADateTypedIntoA1904WorkbookShowsComputesAndPrintsAsTyped) {
    engine::WorkbookModel& model = app.activeEngineWorkbook()->model();
    model.date1904 = true;
    put("A1", text("2026-12-7"));
    put("B1", text("=TEXT(A1,\"yyyy年m月d日\")"));
    put("C1", text("=DATE(2026,12,7)-A1"));
    put("D1", text("=YEAR(A1)"));
    EXPECT_EQ(cell("A1"), number(46363 - 1462));
    EXPECT_EQ(sheet->range("A1").text(), "2026/12/7");
    EXPECT_EQ(cell("B1"), text("2026年12月7日"));
    EXPECT_EQ(cell("C1"), number(0));
    EXPECT_EQ(cell("D1"), number(2026));
    const engine::PrintLayout printed = engine::layoutSheet(model, 0);
    ASSERT_FALSE(printed.pages.empty());
    ASSERT_FALSE(printed.pages[0].runs.empty());
    EXPECT_EQ(printed.pages[0].runs[0].text, "2026/12/7");
}

TEST(ErrorTexts, EveryErrorReadsBackFromItsTextAndNearMissesDoNot) {
    for (auto e : {ErrorValue::Null, ErrorValue::Div0, ErrorValue::Value, ErrorValue::Ref,
                   ErrorValue::Name, ErrorValue::Num, ErrorValue::NA}) {
        std::string exact = errorText(e), lower = exact;
        for (auto& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(errorFromText(exact, false), e) << exact;
        EXPECT_EQ(errorFromText(lower, true), e) << lower;
        EXPECT_EQ(errorFromText(exact, true), e) << exact;
    }
    EXPECT_FALSE(errorFromText("#n/a", false));
    for (const char* miss : {"", "#", "#N/", "#N/A ", " #N/A", "#N/AA", "#VALUE", "N/A", "#ＮＵＭ!"})
        EXPECT_FALSE(errorFromText(miss, true)) << miss;
}

TEST(StyleSheetLookup, IndicesOutsideTheListsFallBackToTheFirstEntryOrADefault) {
    vorra::engine::StyleSheet styles;
    vorra::engine::Font big;
    big.size = 20;
    styles.fonts.front().name = "宋体";
    int bigId = styles.internFont(big);
    vorra::engine::CellFormat money;
    money.numberFormat = "#,##0.00";
    money.fontId = bigId;
    int moneyStyle = styles.internFormat(money);

    EXPECT_EQ(styles.format(moneyStyle).numberFormat, "#,##0.00");
    EXPECT_EQ(styles.font(styles.format(moneyStyle).fontId).size, 20);
    for (int outside : {-1, moneyStyle + 1, 1 << 30}) {
        EXPECT_EQ(&styles.format(outside), &styles.formats.front()) << outside;
        EXPECT_EQ(&styles.font(outside), &styles.fonts.front()) << outside;
    }
    styles.formats.clear();
    styles.fonts.clear();
    EXPECT_EQ(styles.format(0), vorra::engine::CellFormat{});
    EXPECT_EQ(styles.font(0), vorra::engine::Font{});
}
