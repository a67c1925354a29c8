// The page setup dialog: which page it shows, and what confirming writes to the sheet.
#include <gtest/gtest.h>

#include "addin/frame/host/HostError.h"
#include "platform/engine/print/PageSetupDialog.h"

namespace vorra::engine {
namespace {

using Page = PageSetupDialog::Page;

class PageSetupDialogTest : public ::testing::Test {
protected:
    PageSetupDialogTest() {
        sheet.name = "进账单";
        sheet.pageSetup.paperSize = 9;
    }
    Sheet sheet;
    PageSetupDialog dialog;
};

TEST_F(PageSetupDialogTest, OpensOnTheFirstPageWithTheSheetsSetup) {
    dialog.show(sheet, "");
    EXPECT_TRUE(dialog.isOpen());
    EXPECT_EQ(dialog.page(), Page::PaperAndOrientation);
    EXPECT_EQ(dialog.sheetName(), "进账单");
    EXPECT_EQ(dialog.setup(), sheet.pageSetup);
    auto captions = PageSetupDialog::pageCaptions();
    EXPECT_EQ(captions[0], "页面");
    EXPECT_EQ(captions[1], "页边距");
    EXPECT_EQ(captions[2], "页眉/页脚");
    EXPECT_EQ(captions[3], "工作表");
    EXPECT_EQ(kPageSetupDialogId, 7);
}

TEST_F(PageSetupDialogTest, QueuedRightArrowOpensItOnTheMarginsPage) {
    dialog.show(sheet, "{RIGHT}");
    EXPECT_EQ(dialog.page(), Page::Margins);
    dialog.show(sheet, "{right}");  // key names ignore case
    EXPECT_EQ(dialog.page(), Page::Margins);
    dialog.show(sheet, "{RIGHT 2}");
    EXPECT_EQ(dialog.page(), Page::HeaderFooter);
    dialog.show(sheet, "{RIGHT}{RIGHT}{RIGHT}{RIGHT}{RIGHT}");  // stops at the last page
    EXPECT_EQ(dialog.page(), Page::Sheet);
    dialog.pressKeys("{LEFT}");
    EXPECT_EQ(dialog.page(), Page::HeaderFooter);
    dialog.pressKeys("{LEFT 9}");
    EXPECT_EQ(dialog.page(), Page::PaperAndOrientation);
    dialog.show(sheet, "ab{ENTER}{TAB}~");  // other keys leave the page alone
    EXPECT_EQ(dialog.page(), Page::PaperAndOrientation);
    dialog.show(sheet, "{RIGHT");  // an unclosed brace is not a key
    EXPECT_EQ(dialog.page(), Page::PaperAndOrientation);
}

TEST_F(PageSetupDialogTest, ConfirmWritesPaperOrientationAndMarginsToTheSheet) {
    dialog.show(sheet, "");
    dialog.setPaperSize(11);
    dialog.setOrientation(Orientation::Landscape);
    dialog.setMargins(0.3, 0.4, 0.5, 0.6);
    dialog.setCentring(true, false);
    EXPECT_EQ(sheet.pageSetup.paperSize, 9);  // nothing written before OK
    dialog.confirm(sheet);
    EXPECT_FALSE(dialog.isOpen());
    EXPECT_TRUE(dialog.confirmed());
    EXPECT_EQ(sheet.pageSetup.paperSize, 11);
    EXPECT_EQ(sheet.pageSetup.orientation, Orientation::Landscape);
    EXPECT_EQ(sheet.pageSetup.marginLeft, 0.3);
    EXPECT_EQ(sheet.pageSetup.marginBottom, 0.6);
    EXPECT_TRUE(sheet.pageSetup.centerHorizontally);

    dialog.show(sheet, "");
    dialog.setCustomPaper(212, 101.6);
    dialog.confirm(sheet);
    EXPECT_EQ(sheet.pageSetup.paperSize, 0);
    EXPECT_EQ(sheet.pageSetup.paperWidthMm, 212);
}

TEST_F(PageSetupDialogTest, CancelLeavesTheSheetAlone) {
    const PageSetup before = sheet.pageSetup;
    dialog.show(sheet, "{RIGHT}");
    dialog.setMargins(1, 1, 1, 1);
    dialog.cancel();
    EXPECT_FALSE(dialog.isOpen());
    EXPECT_FALSE(dialog.confirmed());
    EXPECT_EQ(sheet.pageSetup, before);
}

TEST_F(PageSetupDialogTest, PageSetupThatCannotPrintIsRefusedAndTheDialogStaysOpen) {
    const PageSetup before = sheet.pageSetup;
    dialog.show(sheet, "{RIGHT}");
    dialog.setMargins(0, 0.5, 0.5, 0.5);
    EXPECT_THROW(dialog.confirm(sheet), host::HostError);
    EXPECT_TRUE(dialog.isOpen());
    EXPECT_EQ(sheet.pageSetup, before);
    dialog.setMargins(0.5, 0.5, 0.5, 0.5);
    dialog.setCustomPaper(20, 20);  // smaller than its margins
    EXPECT_THROW(dialog.confirm(sheet), host::HostError);
    EXPECT_THROW(dialog.setPaperSize(4242), host::HostError);
    dialog.cancel();
    EXPECT_THROW(dialog.setMargins(1, 1, 1, 1), host::HostError);  // closed
    EXPECT_THROW(dialog.confirm(sheet), host::HostError);
}

TEST_F(PageSetupDialogTest, ShowReportsWhetherTheUserConfirmed) {
    Page seen = Page::Sheet;
    EXPECT_TRUE(showPageSetupDialog(sheet, "{RIGHT}", [&](PageSetupDialog& d, Sheet& s) {
        seen = d.page();
        d.setMargins(0.2, 0.2, 0.2, 0.2);
        d.confirm(s);
    }));
    EXPECT_EQ(seen, Page::Margins);
    EXPECT_EQ(sheet.pageSetup.marginTop, 0.2);

    EXPECT_FALSE(showPageSetupDialog(sheet, "", [](PageSetupDialog& d, Sheet&) { d.cancel(); }));
    // A user who walks away without answering has cancelled.
    EXPECT_FALSE(showPageSetupDialog(sheet, "", [](PageSetupDialog& d, Sheet&) {
        d.setMargins(3, 3, 3, 3);
    }));
    EXPECT_EQ(sheet.pageSetup.marginTop, 0.2);
    EXPECT_FALSE(showPageSetupDialog(sheet, "", nullptr));
}

}  // namespace
}  // namespace vorra::engine
