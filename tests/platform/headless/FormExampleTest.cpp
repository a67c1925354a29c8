// How the add-in defines a form against the toolkit interface, shown on a small form
// and a toolkit that only records what it is asked.
#include <gtest/gtest.h>

#include "addin/frame/dialogs/Dialogs.h"

namespace vorra::dialogs {
namespace {

class RecordingToolkit : public Toolkit {
public:
    std::vector<std::string> log;
    MsgBoxResult messageBox(const MessageBoxRequest& r) override {
        log.push_back("message " + r.prompt);
        return MsgBoxResult::OK;
    }
    std::string inputBox(const InputBoxRequest& r) override { return r.defaultText; }
    std::vector<std::string> openFileDialog(const OpenFileRequest&) override { return {}; }
    bool builtinDialog(int, const std::string&) override { return true; }
    void setTopmost(Form& f) override { log.push_back("topmost " + f.name()); }
    PixelSize clientSizePixels(const Form&) const override { return {}; }
    void setWindowRegion(Form&, const RoundRegion&) override {}
    void dragByBody(Form&) override {}
    bool shellOpen(const std::string& target, const std::string&) override {
        log.push_back("open " + target);
        return true;
    }
    bool startProgram(const std::string&) override { return true; }
    std::string desktopFolder() const override { return "/tmp"; }
    ClockSetting setSystemClock(std::int64_t) override { return ClockSetting::NotPermitted; }
    void showForm(Form& f, ShowMode) override { log.push_back("show " + f.name()); }
    void hideForm(Form& f) override { log.push_back("hide " + f.name()); }
};

// A form as the add-in writes one: controls as members, handlers wired in the
// constructor, named as control, underscore, event.
class Sample_frm : public Form {
public:
    Label Label1{*this, "Label1"};
    ComboBox ComboBox1{*this, "ComboBox1"};
    TextBox TextBox1{*this, "TextBox1"};
    CommandButton CommandButton1{*this, "CommandButton1"};

    std::vector<std::string> calls;

    Sample_frm() : Form("Sample_frm") {
        onInitialize = [this] { UserForm_Initialize(); };
        onQueryClose = [this](int& cancel, CloseMode mode) { UserForm_QueryClose(cancel, mode); };
        ComboBox1.onChange = [this] { calls.push_back("ComboBox1_Change " + ComboBox1.text()); };
        ComboBox1.onClick = [this] { calls.push_back("ComboBox1_Click " + ComboBox1.text()); };
        CommandButton1.onClick = [this] { CommandButton1_Click(); };
    }

    void UserForm_Initialize() {
        toolkit().setTopmost(*this);
        Label1.setCaption("输入收款人：");
        ComboBox1.setList(std::vector<std::string>{"甲公司", "乙公司"});
    }
    void UserForm_QueryClose(int&, CloseMode mode) {
        calls.push_back("QueryClose " + std::to_string(static_cast<int>(mode)));
    }
    void CommandButton1_Click() {
        toolkit().msgBox("已打印", MsgBoxIcon::Information, "系统：");
        FormInstance<Sample_frm>::unload();
        calls.push_back("after unload");  // the form stays valid while its handler runs
    }
};

TEST(FormExample, FirstTouchCreatesWithoutShowingAndRunsInitialize) {
    RecordingToolkit tk;
    auto form = FormInstance<Sample_frm>::get(tk);
    EXPECT_TRUE(form->loaded());
    EXPECT_FALSE(form->visible());
    EXPECT_EQ(form->Label1.caption(), "输入收款人：");
    EXPECT_EQ(tk.findForm("Sample_frm"), form);
    EXPECT_EQ(tk.log, (std::vector<std::string>{"topmost Sample_frm"}));
    EXPECT_EQ(FormInstance<Sample_frm>::get(tk), form);  // one instance
    FormInstance<Sample_frm>::unload();
}

TEST(FormExample, SettingAComboValueFromCodeRaisesChangeThenClick) {
    RecordingToolkit tk;
    auto form = FormInstance<Sample_frm>::get(tk);
    form->ComboBox1.setValue("乙公司");
    form->ComboBox1.setValue("丙公司");  // not a list row: no Click
    EXPECT_EQ(form->calls, (std::vector<std::string>{"ComboBox1_Change 乙公司", "ComboBox1_Click 乙公司",
                                                     "ComboBox1_Change 丙公司"}));
    EXPECT_EQ(form->ComboBox1.listIndex(), -1);
    FormInstance<Sample_frm>::unload();
}

TEST(FormExample, HandlerMayUnloadItsOwnForm) {
    RecordingToolkit tk;
    FormInstance<Sample_frm>::show(tk);
    auto form = FormInstance<Sample_frm>::existing();
    std::weak_ptr<Sample_frm> watch = form;
    form->controlAs<CommandButton>("commandbutton1").userClick();
    EXPECT_EQ(form->calls, (std::vector<std::string>{"QueryClose 1", "after unload"}));
    EXPECT_FALSE(FormInstance<Sample_frm>::exists());
    EXPECT_EQ(tk.findForm("Sample_frm"), nullptr);
    form.reset();
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(tk.log, (std::vector<std::string>{"topmost Sample_frm", "show Sample_frm",
                                                "message 已打印", "hide Sample_frm"}));
}

}  // namespace
}  // namespace vorra::dialogs
