// Event order of the user's actions, per control kind, and the refusals of actions a
// user could not take.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "EventLogForm.h"
#include "platform/headless/toolkit/HeadlessToolkit.h"
#include "platform/headless/toolkit/UserActions.h"

namespace vorra::headless {
namespace {

using ::testing::ElementsAre;
using vorra::headless::fixtures::EventLog_frm;
using namespace vorra::dialogs;

class UserActionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_shared<EventLog_frm>();
        form->load(toolkit);
        form->show();
        form->log.clear();
    }
    HeadlessToolkit toolkit;
    UserActions user;
    std::shared_ptr<EventLog_frm> form;
};

TEST_F(UserActionsTest, TypingRaisesKeyDownChangeKeyUpPerCharacter) {
    user.type(*form, "TextBox1", "a中");
    EXPECT_THAT(form->log, ElementsAre("TextBox1 KeyDown 65", "TextBox1 Change a", "TextBox1 KeyUp 65",
                                       "TextBox1 KeyDown 229", "TextBox1 Change a中", "TextBox1 KeyUp 229"));
    EXPECT_TRUE(form->TextBox1.hasFocus());
}

TEST_F(UserActionsTest, EnterAndBackspaceInTextBox) {
    form->TextBox1.setText("12");
    form->log.clear();
    user.press(*form, "TextBox1", key::kReturn);
    user.press(*form, "TextBox1", key::kBack);
    EXPECT_THAT(form->log, ElementsAre("TextBox1 KeyDown 13", "TextBox1 KeyUp 13", "TextBox1 KeyDown 8",
                                       "TextBox1 Change 1", "TextBox1 KeyUp 8"));
}

// Clearing selects the whole text and presses Delete: the key's events around the one
// edit; an empty box raises no Change, a locked one or a swallowed key keeps the text.
TEST_F(UserActionsTest, ClearingDeletesTheWholeTextBetweenTheDeleteKeysEvents) {
    form->TextBox1.setText("12");
    form->ComboBox1.setList(std::vector<std::string>{"甲"});
    form->ComboBox1.setText("甲");
    form->log.clear();
    user.clear(*form, "TextBox1");
    user.clear(*form, "ComboBox1");
    user.clear(*form, "ComboBox1");
    EXPECT_THAT(form->log, ElementsAre("TextBox1 KeyDown 46", "TextBox1 Change ", "TextBox1 KeyUp 46",
                                       "ComboBox1 KeyDown 46", "ComboBox1 Change ", "ComboBox1 KeyUp 46",
                                       "ComboBox1 KeyDown 46", "ComboBox1 KeyUp 46"));
    EXPECT_EQ(form->ComboBox1.listIndex(), -1);
    EXPECT_TRUE(form->ComboBox1.hasFocus());

    form->TextBox1.setText("locked");
    form->TextBox1.setLocked(true);
    user.clear(*form, "TextBox1");
    EXPECT_EQ(form->TextBox1.text(), "locked");
    form->ComboBox1.setText("kept");
    form->ComboBox1.onKeyDown = [](int& code, int) { code = 0; };
    user.clear(*form, "ComboBox1");
    EXPECT_EQ(form->ComboBox1.text(), "kept");
    EXPECT_THROW(user.clear(*form, "List1"), ActionError);
}

TEST_F(UserActionsTest, TypeAheadCompletesToFirstRowAndNextCharacterReplacesTheTail) {
    form->ComboBox1.setList(std::vector<std::string>{"Beta", "Alpha", "Alps"});
    user.type(*form, "ComboBox1", "al");
    EXPECT_EQ(form->ComboBox1.text(), "Alpha");
    EXPECT_EQ(form->ComboBox1.selStart(), 2);
    EXPECT_EQ(form->ComboBox1.selLength(), 3);
    user.type(*form, "ComboBox1", "ps");
    EXPECT_EQ(form->ComboBox1.text(), "Alps");
    // Typing raises Change only, never Click, even when the text lands on a row.
    for (const auto& line : form->log) EXPECT_THAT(line, ::testing::Not(::testing::HasSubstr("Click")));
}

TEST_F(UserActionsTest, TypeAheadOffKeepsTheTypedText) {
    form->ComboBox1.setList(std::vector<std::string>{"Alpha"});
    form->ComboBox1.setMatchEntry(MatchEntry::None);
    user.type(*form, "ComboBox1", "Al");
    EXPECT_EQ(form->ComboBox1.text(), "Al");
    EXPECT_EQ(form->ComboBox1.listIndex(), -1);
}

TEST_F(UserActionsTest, RightArrowCollapsesCompletionSoTheNextCharacterAppends) {
    form->ComboBox1.setList(std::vector<std::string>{"Alpha"});
    user.type(*form, "ComboBox1", "A");
    user.press(*form, "ComboBox1", key::kRight);
    form->ComboBox1.setMatchEntry(MatchEntry::None);
    user.type(*form, "ComboBox1", "!");
    EXPECT_EQ(form->ComboBox1.text(), "Alpha!");
}

TEST_F(UserActionsTest, PickingAComboRowRaisesChangeThenClick) {
    form->ComboBox1.setList(std::vector<std::string>{"甲", "乙"});
    user.pick(*form, "ComboBox1", "乙");
    user.pick(*form, "ComboBox1", "乙");  // the same row again: Click only
    EXPECT_THAT(form->log, ElementsAre("ComboBox1 Change 乙", "ComboBox1 Click 乙", "ComboBox1 Click 乙"));
    EXPECT_EQ(form->ComboBox1.listIndex(), 1);
}

TEST_F(UserActionsTest, CheckBoxAndOptionButtons) {
    user.click(*form, "CheckBox1");
    user.click(*form, "OptionButton1");
    user.click(*form, "OptionButton2");
    user.click(*form, "OptionButton2");
    EXPECT_THAT(form->log,
                ElementsAre("CheckBox1 Change True", "CheckBox1 Click", "OptionButton1 Change True",
                            "OptionButton1 Click", "OptionButton1 Change False", "OptionButton2 Change True",
                            "OptionButton2 Click", "OptionButton2 Click"));
    EXPECT_FALSE(form->OptionButton1.value());
}

TEST_F(UserActionsTest, ButtonsLabelsAndImagesClick) {
    user.click(*form, "CommandButton1");
    user.click(*form, "Label1");
    user.click(*form, "Image1");
    EXPECT_THAT(form->log, ElementsAre("CommandButton1 Click", "Label1 Click", "Image1 Click"));
}

TEST_F(UserActionsTest, ListBoxPickAndDrop) {
    form->List1.addItem("a.xls");
    form->List1.addItem("b.xls");
    form->List1.setAcceptsDrops(true);
    user.pickIndex(*form, "List1", 1);
    user.drop(*form, "List1", {"/x/c.xls", "/x/d.xls"});
    EXPECT_THAT(form->log, ElementsAre("List1 Change b.xls", "List1 Click b.xls", "List1 DragDrop /x/c.xls,/x/d.xls"));
}

TEST_F(UserActionsTest, ListViewClickSelectsThenItemClickThenClickAndArrowsMoveSelection) {
    form->ListView1.setView(ListViewMode::Report);
    form->ListView1.addItem("a");
    form->ListView1.addItem("b");
    EXPECT_EQ(form->ListView1.selectedIndex(), 0);  // the first row added is selected
    user.pick(*form, "ListView1", "b");
    user.press(*form, "ListView1", key::kUp);
    user.press(*form, "ListView1", key::kReturn);
    EXPECT_THAT(form->log, ElementsAre("ListView1 ItemClick 1", "ListView1 Click 1", "ListView1 KeyDown 38",
                                       "ListView1 KeyUp 38", "ListView1 KeyDown 13", "ListView1 KeyUp 13"));
    EXPECT_EQ(form->ListView1.selectedIndex(), 0);
}

TEST_F(UserActionsTest, ClosingRaisesQueryCloseWithTheControlMenuModeAndMayBeCancelled) {
    form->cancelClose = 1;
    user.close(*form);
    EXPECT_TRUE(form->loaded());
    form->cancelClose = 0;
    user.close(*form);
    EXPECT_FALSE(form->loaded());
    EXPECT_THAT(form->log, ElementsAre("QueryClose 0", "QueryClose 0", "Terminate"));
    EXPECT_EQ(toolkit.findForm("EventLog_frm"), nullptr);
}

TEST_F(UserActionsTest, FormBodyTakesMouseDownAndDrops) {
    user.mouseDown(*form);
    EXPECT_THROW(user.drop(*form, "", {"/a"}), ActionError);
    form->setAcceptsDrops(true);
    user.drop(*form, "", {"/a"});
    EXPECT_THAT(form->log, ElementsAre("MouseDown 1", "Form DragDrop /a"));
}

TEST_F(UserActionsTest, RefusesWhatAUserCannotDo) {
    auto message = [&](auto action) {
        try {
            action();
        } catch (const ActionError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message([&] { user.click(*form, "Nope"); }), "no control Nope on form EventLog_frm");
    form->CommandButton1.setEnabled(false);
    EXPECT_EQ(message([&] { user.click(*form, "CommandButton1"); }),
              "CommandButton1 of EventLog_frm is disabled or inside a hidden frame");
    form->TextBox1.setVisible(false);
    EXPECT_EQ(message([&] { user.type(*form, "TextBox1", "x"); }), "TextBox1 of EventLog_frm is hidden");
    form->Frame1.setVisible(false);
    EXPECT_THAT(message([&] { user.click(*form, "OptionButton1"); }), ::testing::HasSubstr("hidden frame"));
    EXPECT_EQ(message([&] { user.type(*form, "Label1", "x"); }), "cannot type into Label1 of EventLog_frm, a Label");
    EXPECT_EQ(message([&] { user.pick(*form, "ComboBox1", "zz"); }), "ComboBox1 of EventLog_frm has no row \"zz\" (0 rows)");
    EXPECT_EQ(message([&] { user.type(*form, "ComboBox1", "\xff"); }), "text to type: malformed UTF-8 at byte 0");
    EXPECT_EQ(message([&] { user.type(*form, "ComboBox1", std::string(5000, 'a')); }),
              "text to type is longer than 4096 bytes");
    form->hide();
    EXPECT_EQ(message([&] { user.click(*form, "Label1"); }), "form EventLog_frm is not shown");
    EXPECT_TRUE(form->log.empty());
}

TEST_F(UserActionsTest, AnActionStopsWhenAHandlerUnloadsTheForm) {
    form->TextBox1.onChange = [this] { form->unload(); };
    user.type(*form, "TextBox1", "abc");
    EXPECT_FALSE(form->loaded());
    EXPECT_EQ(form->TextBox1.text(), "a");
    EXPECT_THAT(form->log, ElementsAre("TextBox1 KeyDown 65", "QueryClose 1", "Terminate"));
}

TEST(KeyNames, NamesAndCodes) {
    EXPECT_EQ(keyCodeByName("Enter"), 13);
    EXPECT_EQ(keyCodeByName("right"), 39);
    EXPECT_EQ(keyCodeByName("113"), 113);
    EXPECT_THROW(keyCodeByName("Hyper"), ActionError);
    EXPECT_THROW(keyCodeByName("300"), ActionError);
}

}  // namespace
}  // namespace vorra::headless
