// The template window and the start-up template list on the test host, working in the
// real add-in folder (the test program's folder) and its template folder. The host
// opens .xlsx and binary .xls workbooks alike.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "addin/frame/Commands.h"
#include "addin/frame/MakerLinks.h"
#include "addin/templates/MB_frm.h"
#include "addin/templates/TemplateFiles.h"
#include "addin/templates/VorraMB_frm.h"
#include "tests/addin/support/AddinTestHost.h"

namespace vorra {
namespace {

namespace fs = std::filesystem;
using dialogs::FormInstance;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

const char* kTitle = "Excel支票Quorvan：";

class TemplateForms : public ::testing::Test {
protected:
    void SetUp() override {
        savedCwd = fs::current_path();
        templates = templateFolder(addinFolder());
        ASSERT_FALSE(fs::exists(templates)) << "left over from an earlier run: " << templates;
        fs::create_directories(templates);
        downloads = host.scratchDesktop();
        host.nameSheets({"常用单位账号", "现金支票", "打印记录"});
    }
    void TearDown() override {
        fs::current_path(savedCwd);
        fs::remove_all(templates);
        EXPECT_EQ(host.toolkit.takeFailure(), std::nullopt);
        EXPECT_THAT(host.toolkit.unusedAnswers(), IsEmpty());
    }

    std::string download(const std::string& name, const std::string& content = "workbook") {
        std::ofstream(downloads / name, std::ios::binary) << content;
        return (downloads / name).string();
    }
    // A workbook the host can open, with these sheets (each with its name in A1).
    std::string workbook(const std::string& name, const std::vector<std::string>& sheets) {
        return host.writeWorkbook(downloads / name, sheets);
    }
    // The targets the shell was asked to open, as the toolkit records them.
    static std::vector<std::string> quoted(const std::vector<std::string>& targets) {
        std::vector<std::string> texts;
        for (const auto& t : targets) texts.push_back(headless::quoteText(t));
        return texts;
    }
    std::vector<std::string> templateFiles() const { return ordinaryFiles(templates); }
    std::shared_ptr<VorraMB_frm> openImport() {
        showTemplateImport();
        return FormInstance<VorraMB_frm>::existing();
    }

    testing::AddinTestHost host{"16.0", false};
    std::string templates;
    fs::path downloads, savedCwd;
};

TEST_F(TemplateForms, ImportWindowOpensTopmostListingTheTemplateFolder) {
    std::ofstream(templates + "进账单.xls") << "x";
    std::ofstream(templates + ".隐藏.xls") << "x";
    auto form = openImport();
    ASSERT_TRUE(form);
    EXPECT_THAT(host.formsOf(headless::Record::Kind::Topmost), ElementsAre("VorraMB_frm"));
    EXPECT_THAT(form->List1.items(), ElementsAre("进账单.xls"));
    EXPECT_TRUE(form->acceptsDrops());
    EXPECT_TRUE(form->List1.acceptsDrops());
    EXPECT_TRUE(form->List2.acceptsDrops());
    EXPECT_EQ(form->caption(), "套打模板：");
    EXPECT_EQ(form->Command4.caption(), "3.导入模板工作表");
    EXPECT_EQ(form->Command2.tipText(), "点击“当前文件路径”按钮可以查看当前文件(模板)路径、\n位置！");
    EXPECT_EQ(form->Frame1.caption(), "现有套打模板：可将其它套打模板拖到当前模板列表中");
    EXPECT_EQ(form->Label1.caption(), "请将下载的模板拖入下面的区域，即刻导入！");
    EXPECT_EQ(form->Frame3.top(), 5600);
    form->Image1.userClick();
    EXPECT_EQ(form->Frame3.top(), 5280);
    EXPECT_TRUE(form->loaded());
}

TEST_F(TemplateForms, DroppingTheSameFileTwiceListsItOnceAndCopiesItAgain) {
    auto form = openImport();
    std::string path = download("业务委托书.xls", "old");
    form->List2.userDrop({path});
    std::ofstream(path, std::ios::binary) << "new";
    form->raise(form->onDragDrop, std::vector<std::string>{path});  // dropped on the form itself
    EXPECT_THAT(form->List2.items(), ElementsAre(path));
    EXPECT_THAT(form->List1.items(), ElementsAre("业务委托书.xls"));
    std::ifstream copy(templates + "业务委托书.xls");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(copy), {}), "new");
    EXPECT_THAT(host.toolkit.messageRequests, IsEmpty());
    EXPECT_TRUE(form->loaded());
}

TEST_F(TemplateForms, DroppedPathsThatClimbOrAreMissingAreNamedAndNotCopied) {
    auto form = openImport();
    std::string good = download("第六表.xls");
    std::string climbing = downloads.string() + "/../" + downloads.filename().string() + "/第六表.xls";
    std::string missing = downloads.string() + "/不存在.xls";
    host.answerMessage();
    form->List1.userDrop({climbing, missing, good});
    EXPECT_THAT(templateFiles(), ElementsAre("第六表.xls"));
    EXPECT_THAT(form->List1.items(), ElementsAre("第六表.xls"));
    EXPECT_THAT(form->List2.items(), ElementsAre(missing, good));
    ASSERT_EQ(host.toolkit.messageRequests.size(), 1u);
    EXPECT_EQ(host.toolkit.messageRequests[0].prompt, "以下文件没有导入：\n" + climbing + "（文件名不能用作模板文件名）\n不存在.xls（文件不存在）");
    EXPECT_EQ(host.toolkit.messageRequests[0].title, kTitle);
}

TEST_F(TemplateForms, ImportByDialogCopiesEveryChosenFileAndCountsThem) {
    host.answerFiles({download("a.xls"), download("b.xlsx"), download("c.xlsm")});
    host.answerMessage();
    openImport()->Command3.userClick();
    EXPECT_FALSE(FormInstance<VorraMB_frm>::exists());
    EXPECT_THAT(host.toolkit.fileDialogTitles, ElementsAre("请选择要要导入的模板工作簿："));
    EXPECT_EQ(fs::current_path(), downloads);  // the dialog opens on the desktop
    EXPECT_THAT(templateFiles(), ElementsAre("a.xls", "b.xlsx", "c.xlsm"));
    ASSERT_EQ(host.toolkit.messageRequests.size(), 1u);
    EXPECT_EQ(host.toolkit.messageRequests[0].prompt, "本次共导入了： 3 个模板工作簿！");
    EXPECT_EQ(host.toolkit.messageRequests[0].title, kTitle);
}

TEST_F(TemplateForms, ImportCountsOnlyTheFilesCopiedAndNamesTheOthers) {
    host.answerFiles({download("a.xls"), (downloads / "丢失.xls").string(), download("c.xls")});
    host.answerMessage();
    openImport()->Command3.userClick();
    EXPECT_THAT(templateFiles(), ElementsAre("a.xls", "c.xls"));
    ASSERT_EQ(host.toolkit.messageRequests.size(), 1u);
    EXPECT_EQ(host.toolkit.messageRequests[0].prompt, "本次共导入了： 2 个模板工作簿！\n以下文件没有导入：\n丢失.xls（文件不存在）");

    fs::remove_all(templates);  // no template folder: nothing is copied, and it says so
    host.answerFiles({download("a.xls")});
    host.answerMessage();
    openImport()->Command3.userClick();
    EXPECT_EQ(host.toolkit.messageRequests.back().prompt, "本次共导入了： 0 个模板工作簿！\n以下文件没有导入：\na.xls（模板文件夹不存在）");
    EXPECT_FALSE(fs::exists(templates));
}

TEST_F(TemplateForms, CancelledDialogSaysNothingWasChosen) {
    for (int i = 0; i < 2; ++i) {
        host.answerFiles({});
        host.answerMessage();
    }
    openImport()->Command3.userClick();
    openImport()->Command4.userClick();
    ASSERT_EQ(host.toolkit.messageRequests.size(), 2u);
    for (const auto& m : host.toolkit.messageRequests) {
        EXPECT_EQ(m.prompt, "你没有选择要导入的模板工作簿！");
        EXPECT_EQ(m.icon, dialogs::MsgBoxIcon::Critical);
        EXPECT_EQ(m.title, kTitle);
    }
    EXPECT_THAT(host.sheetNames(), ElementsAre("常用单位账号", "现金支票", "打印记录"));
}

TEST_F(TemplateForms, SheetsOfTwoWorkbooksArriveInSourceOrderAfterTheLastSheet) {
    host.answerFiles({workbook("甲.xls", {"现金支票", "第七表"}), workbook("乙.xlsx", {"进账单", "第八表"})});
    host.answerMessage();
    openImport()->Command4.userClick();
    ASSERT_THAT(host.sheetNames(), ElementsAre("常用单位账号", "现金支票", "打印记录", "现金支票 (2)", "第七表",
                                               "进账单", "第八表"));
    EXPECT_EQ(host.book->worksheets()[5]->range("A1").scalar().toText(), "进账单");
    EXPECT_EQ(host.app.workbooks().size(), 1u);  // the sources are closed
    EXPECT_EQ(host.app.activeWorkbook(), host.book);
    EXPECT_THAT(templateFiles(), ElementsAre("乙.xlsx"));  // only the last one is kept
    ASSERT_EQ(host.toolkit.messageRequests.size(), 1u);
    EXPECT_EQ(host.toolkit.messageRequests[0].prompt, "本次共导入了： 2 个模板工作簿！");
}

TEST_F(TemplateForms, SheetCopyRepairsTheLinkToTheMasterTemplateOnly) {
    static_cast<engine::EngineWorkbook&>(*host.book).model().externalLinks = {{kAuthoringLinkSource, nullptr},
                                                                            {"/data/其它.xls", nullptr}};
    host.answerFiles({workbook("甲.xlsx", {"第九表"})});
    host.answerMessage();
    openImport()->Command4.userClick();
    auto links = host.book->linkSources();
    ASSERT_EQ(links.size(), 2u);
    EXPECT_EQ(links[0].source, "Trelmar.xls");
    EXPECT_EQ(links[1].source, "/data/其它.xls");
}

TEST_F(TemplateForms, SheetCopyCountsTheWorkbooksCopiedAndNamesTheOthers) {
    std::string unreadable = download("坏.xls");  // the host cannot open it
    host.answerFiles({workbook("甲.xlsx", {"第九表"}), unreadable});
    host.answerMessage();
    openImport()->Command4.userClick();
    EXPECT_THAT(host.sheetNames(), ElementsAre("常用单位账号", "现金支票", "打印记录", "第九表"));
    ASSERT_EQ(host.toolkit.messageRequests.size(), 1u);
    EXPECT_EQ(host.toolkit.messageRequests[0].prompt, "本次共导入了： 1 个模板工作簿！\n以下文件没有导入：\n坏.xls（工作簿无法打开）");
    EXPECT_THAT(templateFiles(), ElementsAre("坏.xls"));  // kept all the same: the file copied fine
}

TEST_F(TemplateForms, SheetCopyIntoAWorkbookWithAMarkerSheetChangesNothing) {
    for (const char* marker : {"sheet_tmp", "Sheet_TMP"}) {  // sheet names ignore case
        host.nameSheets({"常用单位账号", "现金支票", "打印记录", marker});
        host.answerFiles({workbook("甲.xlsx", {"第九表"})});
        openImport()->Command4.userClick();
        EXPECT_THAT(host.sheetNames(), ElementsAre("常用单位账号", "现金支票", "打印记录", marker));
        EXPECT_THAT(host.events.opened(), IsEmpty());
        EXPECT_THAT(host.toolkit.messageRequests, IsEmpty());
        EXPECT_THAT(templateFiles(), IsEmpty());
    }
}

TEST_F(TemplateForms, SheetCopyRefusesTheTargetWorkbookItselfByName) {
    std::string self = workbook("目标.xlsx", {"现金支票"});
    auto target = host.app.openWorkbook(self);
    host.answerFiles({self, workbook("甲.xlsx", {"第九表"})});
    host.answerMessage();
    openImport()->Command4.userClick();
    EXPECT_EQ(host.app.activeWorkbook(), target);  // still open
    std::vector<std::string> names;
    for (const auto& sheet : target->worksheets()) names.push_back(sheet->name());
    EXPECT_THAT(names, ElementsAre("现金支票", "第九表"));
    ASSERT_EQ(host.toolkit.messageRequests.size(), 1u);
    EXPECT_EQ(host.toolkit.messageRequests[0].prompt,
              "本次共导入了： 1 个模板工作簿！\n以下文件没有导入：\n目标.xlsx（就是要导入的当前工作簿，不能导入自身）");
    EXPECT_THAT(templateFiles(), ElementsAre("甲.xlsx"));
}

TEST_F(TemplateForms, SheetCopyTakesAnOpenWorkbookAsItStandsAndLeavesItOpen) {
    std::string path = workbook("甲.xlsx", {"第九表"});
    auto source = host.app.openWorkbook(path);
    source->worksheets()[0]->range("A1").setValue(host::Value::text("未保存的修改"));
    host.book->activate();
    host.answerFiles({path});
    host.answerMessage();
    openImport()->Command4.userClick();
    EXPECT_THAT(host.sheetNames(), ElementsAre("常用单位账号", "现金支票", "打印记录", "第九表"));
    EXPECT_EQ(host.book->sheet("第九表")->range("A1").scalar().toText(), "未保存的修改");
    EXPECT_EQ(host.app.workbooks().size(), 2u);
    EXPECT_FALSE(source->saved());
    EXPECT_EQ(source->worksheets()[0]->range("A1").scalar().toText(), "未保存的修改");
    EXPECT_EQ(host.toolkit.messageRequests.back().prompt, "本次共导入了： 1 个模板工作簿！");
}

TEST_F(TemplateForms, SheetCopyWithoutAWorkbookSaysSoBeforeAskingForFiles) {
    host.book->close(false);
    host.answerMessage();
    openImport()->Command4.userClick();
    EXPECT_THAT(host.toolkit.fileDialogTitles, IsEmpty());
    ASSERT_EQ(host.toolkit.messageRequests.size(), 1u);
    EXPECT_EQ(host.toolkit.messageRequests[0].prompt, "没有打开的工作簿：请先打开要导入模板工作表的工作簿！");
    EXPECT_EQ(host.toolkit.messageRequests[0].title, kTitle);
}

// The copied sheet brings its link to the master template, stored as a file address;
// the repair finds it in that form too.
TEST_F(TemplateForms, SheetCopyBringsTheSourcesLinksAndRepairsTheMasterLinkInAnyForm) {
    auto file = host.app.addWorkbook();
    file->worksheets().front()->setName("第九表");
    auto& model = static_cast<engine::EngineWorkbook&>(*file).model();
    model.externalLinks = {{"file:///C:/Documents%20and%20Settings/Administrator/%E6%A1%8C%E9%9D%A2/Trelmar/"
                            "%E5%A5%97%E6%89%93%E6%A8%A1%E6%9D%BF/%E5%A4%8D%E4%BB%B6%20Trelmar.xls",
                            nullptr}};
    model.sheets[0]->cells.at({2, 1}).formula = "[1]现金支票!A1";
    file->saveAs((downloads / "甲.xlsx").string());
    file->close(false);
    host.book->activate();
    host.answerFiles({(downloads / "甲.xlsx").string()});
    host.answerMessage();
    openImport()->Command4.userClick();
    auto links = host.book->linkSources();
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].source, "Trelmar.xls");
    EXPECT_EQ(host.book->sheet("第九表")->range("A2").formula(), "=[1]现金支票!A1");
}

// A pipe, a device or a hidden or lock file is refused before anything reads it: a
// pipe opened for reading would block the host for ever.
TEST_F(TemplateForms, SpecialHiddenAndLockFilesAreNeitherListedNorCopiedNorImported) {
    const std::string pipe = (downloads / "管道.xls").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string lock = download("~$现金支票.xls");
    const std::string refused = "以下文件没有导入：\n管道.xls（不是普通文件）\nnull（不是普通文件）\n"
                                "~$现金支票.xls（隐藏文件或锁定文件，不能作为模板）";
    auto form = openImport();
    host.answerMessage();
    form->List2.userDrop({pipe, "/dev/null", lock});
    EXPECT_THAT(form->List1.items(), IsEmpty());
    EXPECT_THAT(form->List2.items(), IsEmpty());
    EXPECT_EQ(host.toolkit.messageRequests.back().prompt, refused);

    host.answerFiles({pipe, "/dev/null", lock});
    host.answerMessage();
    form->Command3.userClick();
    EXPECT_EQ(host.toolkit.messageRequests.back().prompt, "本次共导入了： 0 个模板工作簿！\n" + refused);
    host.answerFiles({pipe, "/dev/null", lock});
    host.answerMessage();
    openImport()->Command4.userClick();
    EXPECT_EQ(host.toolkit.messageRequests.back().prompt, "本次共导入了： 0 个模板工作簿！\n" + refused);
    EXPECT_THAT(host.events.opened(), IsEmpty());
    EXPECT_THAT(host.sheetNames(), ElementsAre("常用单位账号", "现金支票", "打印记录"));
    EXPECT_THAT(templateFiles(), IsEmpty());
}

// The window is tall enough for the template list, the import box and "导入模板".
TEST_F(TemplateForms, ImportWindowShowsEveryBoxAndTheImportButton) {
    auto form = openImport();
    for (const dialogs::Control* c : {static_cast<dialogs::Control*>(&form->Frame1), static_cast<dialogs::Control*>(&form->Frame3),
                                      static_cast<dialogs::Control*>(&form->Command3)})
        EXPECT_LE(c->top() + c->height(), form->height()) << c->name();
    form->List2.userDrop({download("第十表.xls")});
    EXPECT_THAT(form->List1.items(), ElementsAre("第十表.xls"));
}

TEST_F(TemplateForms, ListClickOpensTheTemplateAndButtonsOpenPagesAndTheFolder) {
    host.writeWorkbook(templates + "现金缴款单.xlsx", {"现金缴款单"});
    auto form = openImport();
    form->List1.userPick(0);
    EXPECT_THAT(host.events.opened(), ElementsAre(templates + "现金缴款单.xlsx"));
    EXPECT_FALSE(FormInstance<VorraMB_frm>::exists());

    openImport()->Command5.userClick();
    openImport()->Command1.userClick();
    openImport()->Command2.userClick();
    EXPECT_EQ(host.detailsOf(headless::Record::Kind::ShellOpen),
              quoted({links::kTemplateTutorial, links::kTemplateDownloads, addinFolder()}));
    EXPECT_FALSE(FormInstance<VorraMB_frm>::exists());
}

// The start-up list works on the add-in folder itself.
class TemplateList : public TemplateForms {
protected:
    void SetUp() override {
        TemplateForms::SetUp();
        for (const char* name : {"mbtest-book.xls", "mbtest-book.xlsx", "mbtest-book.xlsm", "mbtest-notes.txt",
                                 ".mbtest-hidden.xls"}) {
            std::ofstream(addinFolder() + name) << "x";
            created.push_back(addinFolder() + name);
        }
    }
    void TearDown() override {
        for (const auto& p : created) fs::remove(p);
        TemplateForms::TearDown();
    }
    std::vector<std::string> ours(const std::vector<std::string>& items) {
        std::vector<std::string> mine;
        for (const auto& i : items)
            if (i.find("mbtest") != std::string::npos) mine.push_back(i);
        return mine;
    }
    std::vector<std::string> created;
};

TEST_F(TemplateList, ShowsTheWorkbooksOfTheAddinFolderInARoundedTopmostWindow) {
    showTemplateList();
    auto form = FormInstance<MB_frm>::existing();
    ASSERT_TRUE(form);
    EXPECT_TRUE(form->visible());
    EXPECT_THAT(ours(form->List1.items()), UnorderedElementsAre("mbtest-book.xls", "mbtest-book.xlsx", "mbtest-book.xlsm"));
    EXPECT_THAT(host.formsOf(headless::Record::Kind::Topmost), ElementsAre("MB_frm"));
    // The window's client area in pixels: 5400 by 4200 twips.
    EXPECT_THAT(host.formsOf(headless::Record::Kind::Region), ElementsAre("MB_frm"));
    EXPECT_EQ(host.toolkit.regionOf("MB_frm"), (dialogs::RoundRegion{0, 0, 360, 280, 20, 20}));
    EXPECT_EQ(form->Label1.caption(), "从支票模板模板列表中，选择一个点击即可打开");
}

TEST_F(TemplateList, ClickOpensTheWorkbookOrSaysWhyNot) {
    host.writeWorkbook(addinFolder() + "mbtest-book.xlsx", {"Sheet1"});
    showTemplateList();
    auto form = FormInstance<MB_frm>::existing();
    auto items = form->List1.items();
    auto index = [&](const std::string& name) { return int(std::find(items.begin(), items.end(), name) - items.begin()); };
    form->List1.userPick(index("mbtest-book.xlsx"));
    EXPECT_THAT(host.events.opened(), ElementsAre(addinFolder() + "mbtest-book.xlsx"));
    EXPECT_FALSE(FormInstance<MB_frm>::exists());
    EXPECT_THAT(host.toolkit.messageRequests, IsEmpty());

    showTemplateList();
    form = FormInstance<MB_frm>::existing();
    fs::remove(addinFolder() + "mbtest-book.xls");  // gone since the list was made
    host.answerMessage();
    form->List1.userPick(index("mbtest-book.xls"));
    ASSERT_EQ(host.toolkit.messageRequests.size(), 1u);
    EXPECT_THAT(host.toolkit.messageRequests[0].prompt, ::testing::StartsWith("无法打开模板工作簿：\n" + addinFolder() + "mbtest-book.xls\n"));
}

}  // namespace
}  // namespace vorra
