// The headless toolkit: modeless and modal show, the one-instance rule, the answer
// queues of the blocking dialogs and the record of window services.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "EventLogForm.h"
#include "platform/headless/toolkit/HeadlessToolkit.h"
#include "platform/headless/toolkit/UserActions.h"

namespace vorra::headless {
namespace {

using ::testing::ElementsAre;
using namespace vorra::dialogs;
using fixtures::EventLog_frm;

// A form that, like the add-in's, makes itself topmost and clips its window when it
// opens, and unloads itself from Initialize when told to.
class Window_frm : public Form {
public:
    inline static bool closeAtOnce = false;
    Window_frm() : Form("Window_frm", FormKind::WindowForm) {
        onInitialize = [this] {
            setWidth(3000);
            setHeight(1500);
            toolkit().setTopmost(*this);
            auto size = toolkit().clientSizePixels(*this);
            toolkit().setWindowRegion(*this, {0, 0, size.width, size.height, 20, 20});
            if (closeAtOnce) unload();
        };
        onMouseDown = [this](int, int, double, double) { toolkit().dragByBody(*this); };
    }
};

class HeadlessToolkitTest : public ::testing::Test {
protected:
    void TearDown() override {
        toolkit.unloadAll();
        Window_frm::closeAtOnce = false;
    }
    std::vector<std::string> recordLines() const {
        std::vector<std::string> out;
        for (const auto& r : toolkit.records()) out.push_back(r.line());
        return out;
    }
    HeadlessToolkit toolkit{HeadlessOptions{"/home/u/Desktop", true}};
    UserActions user;
};

// ---- Show, instances ---------------------------------------------------------------------------

TEST_F(HeadlessToolkitTest, TouchingAControlCreatesTheFormWithoutShowingIt) {
    FormInstance<EventLog_frm>::get(toolkit)->ComboBox1.setValue("x");
    auto form = FormInstance<EventLog_frm>::existing();
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(form->visible());
    EXPECT_THAT(form->log, ElementsAre("Initialize", "ComboBox1 Change x"));
    EXPECT_THAT(recordLines(), ElementsAre("load EventLog_frm"));
}

TEST_F(HeadlessToolkitTest, OneInstanceUntilUnloadThenAFreshOne) {
    auto first = FormInstance<EventLog_frm>::show(toolkit);
    first->TextBox1.setText("kept");
    EXPECT_EQ(FormInstance<EventLog_frm>::show(toolkit), first);
    EXPECT_EQ(first->TextBox1.text(), "kept");
    EXPECT_TRUE(FormInstance<EventLog_frm>::unload());
    auto second = FormInstance<EventLog_frm>::get(toolkit);
    EXPECT_NE(second, first);
    EXPECT_EQ(second->TextBox1.text(), "");
    EXPECT_THAT(second->log, ElementsAre("Initialize"));
    EXPECT_THAT(recordLines(), ElementsAre("load EventLog_frm", "show EventLog_frm", "show EventLog_frm",
                                           "hide EventLog_frm", "unload EventLog_frm", "load EventLog_frm"));
}

TEST_F(HeadlessToolkitTest, UnloadCancelledByQueryCloseKeepsTheInstance) {
    auto form = FormInstance<EventLog_frm>::get(toolkit);
    form->cancelClose = 1;
    EXPECT_FALSE(FormInstance<EventLog_frm>::unload());
    EXPECT_EQ(FormInstance<EventLog_frm>::existing(), form);
    form->cancelClose = 0;
}

TEST_F(HeadlessToolkitTest, ModelessShowReturnsAtOnceSoTheCallerCanGoOn) {
    auto form = FormInstance<EventLog_frm>::show(toolkit);
    EXPECT_TRUE(form->visible());
    form->ComboBox1.setValue("转账支票");  // as the batch transfer does after showing
    EXPECT_EQ(toolkit.findForm("eventlog_FRM"), form);
}

TEST_F(HeadlessToolkitTest, ModalShowRunsTheQueuedActorAndReturnsWhenTheFormCloses) {
    auto form = FormInstance<EventLog_frm>::get(toolkit);
    std::vector<std::string> order;
    toolkit.queueModal("EventLog_frm", [&](Form& f) {
        order.push_back("actor sees visible=" + std::to_string(f.visible()));
        user.type(f, "TextBox1", "7");
    });
    form->show(ShowMode::Modal);
    order.push_back("show returned");
    EXPECT_THAT(order, ElementsAre("actor sees visible=1", "show returned"));
    EXPECT_FALSE(form->visible());
    EXPECT_EQ(form->TextBox1.text(), "7");
    EXPECT_FALSE(toolkit.hasFailure());
}

TEST_F(HeadlessToolkitTest, ModalShowWithNothingToDriveItFails) {
    FormInstance<EventLog_frm>::get(toolkit)->show(ShowMode::Modal);
    EXPECT_EQ(toolkit.takeFailure(), "modal form EventLog_frm shown with nothing queued to act on it");
}

TEST_F(HeadlessToolkitTest, FormThatClosesInItsInitializeIsNeitherShownNorKept) {
    Window_frm::closeAtOnce = true;
    auto form = FormInstance<Window_frm>::show(toolkit);
    EXPECT_FALSE(form->loaded());
    EXPECT_FALSE(FormInstance<Window_frm>::exists());
    EXPECT_THAT(recordLines(), ElementsAre("topmost Window_frm", "region Window_frm 0,0,200,100,20,20",
                                           "unload Window_frm"));
}

// ---- Window services -------------------------------------------------------------------------------

TEST_F(HeadlessToolkitTest, WindowServicesAreRecordedAndQueryable) {
    auto form = FormInstance<Window_frm>::show(toolkit);
    user.mouseDown(*form);
    toolkit.shellOpen("https://example.invalid/help", "");
    toolkit.startProgram("Explorer.exe /addin/");
    EXPECT_TRUE(toolkit.isTopmost("Window_frm"));
    EXPECT_EQ(toolkit.regionOf("Window_frm"), (RoundRegion{0, 0, 200, 100, 20, 20}));
    EXPECT_THAT(toolkit.lines(Record::Kind::Drag), ElementsAre("drag Window_frm"));
    EXPECT_THAT(toolkit.lines(Record::Kind::ShellOpen), ElementsAre("shell-open \"https://example.invalid/help\""));
    EXPECT_THAT(toolkit.lines(Record::Kind::StartProgram), ElementsAre("start-program \"Explorer.exe /addin/\""));
    EXPECT_EQ(toolkit.desktopFolder(), "/home/u/Desktop");
    form->unload();
    EXPECT_FALSE(toolkit.isTopmost("Window_frm"));  // a new window starts without flags
}

// ---- Answer queues --------------------------------------------------------------------------------------

TEST_F(HeadlessToolkitTest, MessageBoxesTakeQueuedAnswersInOrder) {
    toolkit.queueMessage({MsgBoxResult::OK, "第一", MsgBoxIcon::Critical, std::optional<std::string>("系统：")});
    toolkit.queueMessage({MsgBoxResult::Yes, std::nullopt, std::nullopt, std::optional<std::string>()});
    EXPECT_EQ(toolkit.msgBox("第一", MsgBoxIcon::Critical, "系统："), MsgBoxResult::OK);
    EXPECT_EQ(toolkit.msgBox("第二", MsgBoxIcon::Question, std::nullopt, MsgBoxButtons::YesNo), MsgBoxResult::Yes);
    EXPECT_FALSE(toolkit.hasFailure());
    EXPECT_THAT(toolkit.lines(Record::Kind::Message),
                ElementsAre("message \"第一\" icon Critical title \"系统：\" -> OK",
                            "message \"第二\" icon Question title default -> Yes"));
    EXPECT_TRUE(toolkit.unusedAnswers().empty());
}

TEST_F(HeadlessToolkitTest, UnansweredMessageIsAFailureNamingItsText) {
    EXPECT_EQ(toolkit.msgBox("账号重复，请修改！", MsgBoxIcon::Critical, "Quorvan："), MsgBoxResult::OK);
    EXPECT_EQ(toolkit.takeFailure(),
              "message box shown with no answer queued: \"账号重复，请修改！\" (title \"Quorvan：\")");
    EXPECT_FALSE(toolkit.hasFailure());  // taken
}

TEST_F(HeadlessToolkitTest, MessageNotAsExpectedIsAFailure) {
    toolkit.queueMessage({MsgBoxResult::OK, "甲", std::nullopt, std::nullopt});
    toolkit.msgBox("乙");
    EXPECT_EQ(toolkit.takeFailure(), "message box: expected \"甲\", shown \"乙\"");
    toolkit.queueMessage({MsgBoxResult::OK, "乙", MsgBoxIcon::Information, std::nullopt});
    toolkit.msgBox("乙", MsgBoxIcon::Critical);
    EXPECT_EQ(toolkit.takeFailure(), "message box \"乙\": expected icon Information, shown Critical");
    toolkit.queueMessage({MsgBoxResult::OK, "乙", std::nullopt, std::optional<std::string>()});
    toolkit.msgBox("乙", MsgBoxIcon::None, "系统：");
    EXPECT_EQ(toolkit.takeFailure(), "message box \"乙\": expected title default, shown \"系统：\"");
}

// A pattern stands for texts that carry a time: the record shows the pattern when it
// matches, and the text when it does not.
TEST_F(HeadlessToolkitTest, MessagePatternMatchesAndIsRecordedAsThePattern) {
    toolkit.queueMessage(
        {MsgBoxResult::OK, "/d/打印记录??????????????.xls", std::nullopt, std::nullopt, true});
    toolkit.msgBox("/d/打印记录20261207164812.xls", MsgBoxIcon::Information);
    EXPECT_FALSE(toolkit.hasFailure());
    toolkit.queueMessage(
        {MsgBoxResult::OK, "/d/打印记录??????????????.xls", std::nullopt, std::nullopt, true});
    toolkit.msgBox("/d/打印记录2026120716481.xls", MsgBoxIcon::Information);
    EXPECT_EQ(toolkit.takeFailure(),
              "message box: expected like \"/d/打印记录??????????????.xls\", shown "
              "\"/d/打印记录2026120716481.xls\"");
    EXPECT_THAT(
        toolkit.lines(Record::Kind::Message),
        ElementsAre(
            "message like \"/d/打印记录??????????????.xls\" icon Information title default -> OK",
            "message \"/d/打印记录2026120716481.xls\" icon Information title default -> OK"));
}

TEST_F(HeadlessToolkitTest, InputBoxesGiveTheQueuedTextOrEmptyOnCancel) {
    toolkit.queueInput({std::string("123"), std::string("输入 <现金支票> 支票号码")});
    toolkit.queueInput({std::nullopt, std::nullopt});
    EXPECT_EQ(toolkit.inputText("输入 <现金支票> 支票号码"), "123");
    EXPECT_EQ(toolkit.inputText("请输入日期", std::nullopt, "2026-12-07"), "");
    EXPECT_FALSE(toolkit.hasFailure());
    EXPECT_THAT(toolkit.lines(Record::Kind::Input),
                ElementsAre("input \"输入 <现金支票> 支票号码\" title default default \"\" -> \"123\"",
                            "input \"请输入日期\" title default default \"2026-12-07\" -> cancel"));
    EXPECT_EQ(toolkit.inputText("again"), "");
    EXPECT_EQ(toolkit.takeFailure(), "input box shown with no answer queued: \"again\"");
}

TEST_F(HeadlessToolkitTest, FileDialogsGiveTheQueuedPathsOrNothingOnCancel) {
    toolkit.queueFile({{"/d/a.xls", "/d/b.xls"}, std::string("请选择要要导入的模板工作簿：")});
    toolkit.queueFile({{}, std::nullopt});
    EXPECT_EQ(toolkit.openFileDialog({"xls文件,*.xls;*.xlsx;*.xlsm", 0, "请选择要要导入的模板工作簿：", true}),
              (std::vector<std::string>{"/d/a.xls", "/d/b.xls"}));
    EXPECT_TRUE(toolkit.openFileDialog({"EXCEl Files (*.xls), *.xls*", 0, "选定文件", false}).empty());
    EXPECT_FALSE(toolkit.hasFailure());
    toolkit.queueFile({{"/a", "/b"}, std::nullopt});
    EXPECT_EQ(toolkit.openFileDialog({"", 0, "选定文件", false}).size(), 1u);
    EXPECT_EQ(toolkit.takeFailure(), "open-file dialog \"选定文件\" allows one file, 2 queued");
}

TEST_F(HeadlessToolkitTest, AnswersLeftOverAreListed) {
    toolkit.queueMessage({MsgBoxResult::OK, "never", std::nullopt, std::nullopt});
    toolkit.queueInput({std::string("1"), std::nullopt});
    toolkit.queueFile({{}, std::nullopt});
    EXPECT_THAT(toolkit.unusedAnswers(),
                ElementsAre("message \"never\" -> OK", "input -> \"1\"", "file-dialog -> cancel"));
    toolkit.clearAnswers();
    EXPECT_TRUE(toolkit.unusedAnswers().empty());
}

TEST_F(HeadlessToolkitTest, WithoutRequiredAnswersDialogsCancelQuietly) {
    HeadlessToolkit lenient{HeadlessOptions{"/tmp", false}};
    EXPECT_EQ(lenient.msgBox("x", MsgBoxIcon::None, std::nullopt, MsgBoxButtons::YesNo), MsgBoxResult::No);
    EXPECT_EQ(lenient.inputText("y"), "");
    EXPECT_FALSE(lenient.hasFailure());
}

TEST_F(HeadlessToolkitTest, RecordsStayOneLinePerEventWhateverTheText) {
    // The about message has carriage returns and line feeds; quotes and backslashes
    // occur in paths. Each record must still be one line of text.
    toolkit.queueMessage({MsgBoxResult::OK, std::nullopt, std::nullopt, std::nullopt});
    toolkit.msgBox("一\r二\n\"三\"\t\\", MsgBoxIcon::Information, "Excel支票Quorvan：");
    toolkit.builtinDialog(7, "{RIGHT}");
    EXPECT_THAT(recordLines(),
                ElementsAre("message \"一\\r二\\n\\\"三\\\"\\t\\\\\" icon Information title \"Excel支票Quorvan：\" -> OK",
                            "builtin-dialog 7 keys \"{RIGHT}\" -> OK"));
}

TEST_F(HeadlessToolkitTest, UnloadAllClosesEveryFormEvenOneThatRefuses) {
    auto form = FormInstance<EventLog_frm>::show(toolkit);
    form->cancelClose = 1;
    toolkit.unloadAll();
    EXPECT_FALSE(form->loaded());
    EXPECT_TRUE(toolkit.liveForms().empty());
    EXPECT_FALSE(FormInstance<EventLog_frm>::exists());
}

}  // namespace
}  // namespace vorra::headless
