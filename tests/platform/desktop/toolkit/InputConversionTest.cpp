// The host's file filter text and key codes, as the Qt toolkit converts them.
#include <gtest/gtest.h>

#include "platform/desktop/toolkit/HostFileFilter.h"
#include "platform/desktop/toolkit/KeyCodes.h"

namespace vorra::desktop {
namespace {

TEST(HostFileFilter, PairsOfDescriptionAndPatternsBecomeFilterLines) {
    DialogFilters f = convertHostFilter("模板文件,*.xls;*.xlsx", 1);
    EXPECT_EQ(f.filters, QStringList{QStringLiteral("模板文件 (*.xls *.xlsx)")});
    EXPECT_EQ(f.selected, f.filters.front());

    // A description with brackets of its own keeps them; the patterns come last.
    f = convertHostFilter("EXCEl Files (*.xls), *.xls*", 1);
    EXPECT_EQ(f.filters, QStringList{QStringLiteral("EXCEl Files (*.xls) (*.xls*)")});
}

TEST(HostFileFilter, TheIndexCountsFromOneAndFallsBackToTheFirstLine) {
    const std::string filter = "工作簿,*.xls,文本,*.txt;*.csv";
    EXPECT_EQ(convertHostFilter(filter, 2).selected, QStringLiteral("文本 (*.txt *.csv)"));
    EXPECT_EQ(convertHostFilter(filter, 0).selected, QStringLiteral("工作簿 (*.xls)"));
    EXPECT_EQ(convertHostFilter(filter, 3).selected, QStringLiteral("工作簿 (*.xls)"));
}

TEST(HostFileFilter, NoFilterOrADescriptionWithoutPatternsStandsForAllFiles) {
    EXPECT_EQ(convertHostFilter("", 0).filters, QStringList{QStringLiteral("所有文件 (*)")});
    EXPECT_EQ(convertHostFilter("工作簿,*.xls,其他", 0).filters,
              (QStringList{QStringLiteral("工作簿 (*.xls)"), QStringLiteral("其他 (*)")}));
}

TEST(KeyCodes, KeysArriveWithTheCodesTheHeadlessTypingUses) {
    EXPECT_EQ(hostKey(Qt::Key_A, Qt::NoModifier, "a").code, 65);
    HostKey capital = hostKey(Qt::Key_A, Qt::ShiftModifier, "A");
    EXPECT_EQ(capital.code, 65);
    EXPECT_EQ(capital.shift, 1);
    EXPECT_EQ(hostKey(Qt::Key_7, Qt::NoModifier, "7").code, '7');
    EXPECT_EQ(hostKey(Qt::Key_Return, Qt::NoModifier, "\r").code, 13);
    EXPECT_EQ(hostKey(Qt::Key_Enter, Qt::KeypadModifier, "\r").code, 13);
    EXPECT_EQ(hostKey(Qt::Key_Down, Qt::NoModifier, "").code, 40);
    EXPECT_EQ(hostKey(Qt::Key_Backspace, Qt::NoModifier, "\b").code, 8);
    EXPECT_EQ(hostKey(Qt::Key_Period, Qt::NoModifier, ".").code, 190);
    EXPECT_EQ(hostKey(Qt::Key_Minus, Qt::NoModifier, "-").code, 189);
    // Characters beyond ASCII come from the input method.
    EXPECT_EQ(hostKey(0, Qt::NoModifier, QStringLiteral("北")).code, 229);
    EXPECT_EQ(hostKey(Qt::Key_A, Qt::ControlModifier | Qt::AltModifier, "").shift, 6);
    EXPECT_EQ(hostKey(Qt::Key_unknown, Qt::NoModifier, "").code, 0);
}

}  // namespace
}  // namespace vorra::desktop
