// The page setup window over the engine's dialog: the page the queued keys choose,
// OK writing paper, orientation and margins to the sheet, Cancel writing nothing.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

#include "platform/desktop/app/PageSetupWindow.h"
#include "platform/engine/print/PaperSizes.h"

namespace vorra::desktop {
namespace {

// Works the window once it is open.
bool run(engine::Sheet& sheet, const char* keys, const std::function<void(PageSetupWindow&)>& user) {
    return runPageSetupDialog(sheet, keys, nullptr, [&](PageSetupWindow& w) {
        QTimer::singleShot(0, &w, [&w, user] { user(w); });
    });
}

TEST(PageSetupWindow, OpensOnThePaperPageOrWithAQueuedRightOnTheMarginsPage) {
    engine::Sheet sheet;
    int page = -1;
    QStringList captions;
    bool paperOnFirstPage = false;
    run(sheet, "", [&](PageSetupWindow& w) {
        page = w.pages()->currentIndex();
        for (int i = 0; i < w.pages()->count(); ++i) captions << w.pages()->tabText(i);
        paperOnFirstPage = w.pages()->widget(0)->findChild<QComboBox*>() != nullptr;
        w.reject();
    });
    EXPECT_EQ(page, 0);
    EXPECT_EQ(captions, QStringList({"页面", "页边距", "页眉/页脚", "工作表"}));
    EXPECT_TRUE(paperOnFirstPage);
    run(sheet, "{RIGHT}", [&](PageSetupWindow& w) {
        page = w.pages()->currentIndex();
        EXPECT_EQ(w.pages()->tabText(1), QStringLiteral("页边距"));
        w.reject();
    });
    EXPECT_EQ(page, 1);
}

TEST(PageSetupWindow, OkWritesPaperOrientationAndMarginsAndCancelWritesNothing) {
    engine::Sheet sheet;
    const engine::PageSetup before = sheet.pageSetup;
    EXPECT_FALSE(run(sheet, "", [](PageSetupWindow& w) {
        w.landscapeButton()->setChecked(true);
        w.reject();
    }));
    EXPECT_EQ(sheet.pageSetup, before);

    auto papers = engine::paperSizes();
    int bankForm = -1;
    for (size_t i = 0; i < papers.size(); ++i)
        if (papers[i].code == 0) bankForm = static_cast<int>(i);
    ASSERT_GE(bankForm, 0);
    EXPECT_TRUE(run(sheet, "{RIGHT}", [&](PageSetupWindow& w) {
        w.paperBox()->setCurrentIndex(bankForm);
        w.landscapeButton()->setChecked(true);
        w.marginBox(0)->setValue(2.54);  // top, centimetres
        w.marginBox(2)->setValue(1.27);  // left
        w.accept();
    }));
    EXPECT_EQ(sheet.pageSetup.orientation, engine::Orientation::Landscape);
    EXPECT_DOUBLE_EQ(sheet.pageSetup.marginTop, 1.0);
    EXPECT_DOUBLE_EQ(sheet.pageSetup.marginLeft, 0.5);
    EXPECT_EQ(sheet.pageSetup.paperSize, 0);
    EXPECT_DOUBLE_EQ(sheet.pageSetup.paperWidthMm, papers[static_cast<size_t>(bankForm)].widthMm);
}

}  // namespace
}  // namespace vorra::desktop
