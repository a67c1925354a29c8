// Properties set from code: the events they raise and the list bookkeeping of the
// controls, as the add-in's forms rely on them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "EventLogForm.h"
#include "platform/headless/toolkit/HeadlessToolkit.h"

namespace vorra::headless {
namespace {

using ::testing::ElementsAre;
using namespace vorra::dialogs;
using fixtures::EventLog_frm;

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_shared<EventLog_frm>();
        form->load(toolkit);
        form->log.clear();
    }
    HeadlessToolkit toolkit;
    std::shared_ptr<EventLog_frm> form;
};

TEST_F(ControlsTest, TextFromCodeRaisesChangeOnlyWhenItDiffers) {
    form->TextBox1.setText("1");
    form->TextBox1.setValue("1");
    form->TextBox1.setText("");
    EXPECT_THAT(form->log, ElementsAre("TextBox1 Change 1", "TextBox1 Change "));
}

TEST_F(ControlsTest, ComboListIndexFollowsTheTextAndTheList) {
    auto& box = form->ComboBox1;
    box.setText("乙");
    EXPECT_EQ(box.listIndex(), -1);
    box.setList(std::vector<std::string>{"甲", "乙"});
    EXPECT_EQ(box.listIndex(), 1);  // the list arrived after the text
    box.addItem("丙", 0);
    EXPECT_EQ(box.listIndex(), 2);
    box.removeItem(2);
    EXPECT_EQ(box.listIndex(), -1);
    EXPECT_EQ(box.text(), "乙");  // removing the row keeps the text
    box.clear();
    EXPECT_EQ(box.listCount(), 0);
    EXPECT_EQ(box.text(), "乙");
    EXPECT_THAT(form->log, ElementsAre("ComboBox1 Change 乙"));  // list changes raise nothing
}

TEST_F(ControlsTest, ComboListIndexFromCodeRaisesChangeAndClick) {
    auto& box = form->ComboBox1;
    box.setList(std::vector<std::string>{"甲", "乙"});
    box.setListIndex(0);
    box.setListIndex(0);   // unchanged: nothing
    box.setListIndex(-1);  // no row: the text stays, no event
    EXPECT_THAT(form->log, ElementsAre("ComboBox1 Change 甲", "ComboBox1 Click 甲"));
    EXPECT_EQ(box.text(), "甲");
    EXPECT_THROW(box.setListIndex(2), host::HostError);
    EXPECT_THROW(box.addItem("x", 5), host::HostError);
}

TEST_F(ControlsTest, ComboRowsOfSeveralColumns) {
    auto& box = form->ComboBox1;
    box.setList(std::vector<ComboBox::Row>{{"001", "货款"}, {"002"}});
    EXPECT_EQ(box.columnCount(), 2);
    EXPECT_EQ(box.item(0, 1), "货款");
    EXPECT_EQ(box.item(1, 1), "");
    EXPECT_THROW(box.item(2), host::HostError);
    box.setValue("001");
    EXPECT_EQ(box.listIndex(), 0);
}

// Type-ahead completion: the first row whose first column starts with what was typed,
// ASCII letters without regard to case, other characters (and Chinese) exactly.
TEST_F(ControlsTest, ComboCompletionTakesTheFirstRowStartingWithTheTypedText) {
    auto& box = form->ComboBox1;
    box.setList(std::vector<ComboBox::Row>{{}, {"Beta", "b"}, {"bEtter"}, {"工商银行"}, {"Ä1"}});
    auto completes = [&](std::string_view typed) {
        const std::string* row = box.completionFor(typed);
        return row ? *row : std::string("(none)");
    };
    EXPECT_EQ(completes("b"), "Beta");
    EXPECT_EQ(completes("BET"), "Beta");
    EXPECT_EQ(completes("bett"), "bEtter");
    EXPECT_EQ(completes("Betters"), "(none)");  // longer than every row
    EXPECT_EQ(completes("工商"), "工商银行");
    EXPECT_EQ(completes("工行"), "(none)");
    EXPECT_EQ(completes("ä"), "(none)");  // only ASCII letters ignore case
    EXPECT_EQ(completes(""), "(none)");
    EXPECT_EQ(box.completionFor("Beta"), &box.list()[1][0]);  // the row's own text
    box.setMatchEntry(MatchEntry::None);
    EXPECT_EQ(completes("b"), "(none)");
    box.setMatchEntry(MatchEntry::FirstLetter);
    EXPECT_EQ(completes("b"), "(none)");
}

TEST_F(ControlsTest, OptionGroupsFollowTheContainerUnlessNamed) {
    OptionButton loose{*form, "OptionButton3"};  // on the form, not in Frame1
    form->OptionButton1.setValue(true);
    loose.setValue(true);
    EXPECT_TRUE(form->OptionButton1.value());
    loose.setGroupName("g");
    form->OptionButton2.setGroupName("g");
    form->OptionButton2.setValue(true);
    EXPECT_FALSE(loose.value());
    EXPECT_TRUE(form->OptionButton1.value());
    form->OptionButton1.setValue(false);  // turning one off turns no other on
    EXPECT_THAT(form->log, ElementsAre("OptionButton1 Change True", "OptionButton1 Click", "OptionButton2 Change True",
                                       "OptionButton2 Click", "OptionButton1 Change False"));
}

TEST_F(ControlsTest, ListBoxSelectionSurvivesInsertsAndRemovals) {
    auto& list = form->List1;
    list.addItem("a");
    list.addItem("b");
    list.setListIndex(1);
    list.addItem("first", 0);
    EXPECT_EQ(list.text(), "b");
    list.removeItem(0);
    EXPECT_EQ(list.text(), "b");
    list.removeItem(1);
    EXPECT_EQ(list.listIndex(), -1);
    EXPECT_THAT(form->log, ElementsAre("List1 Change b", "List1 Click b"));
}

TEST_F(ControlsTest, ListViewRowsAndSubItems) {
    auto& view = form->ListView1;
    view.addColumn("简称", 50);
    view.addColumn("户名", 150);
    int row = view.addItem("zgyh");
    view.setSubItem(row, 2, "second");  // SubItems(2) before SubItems(1)
    EXPECT_EQ(view.subItem(row, 1), "");
    EXPECT_EQ(view.subItem(row, 2), "second");
    EXPECT_EQ(view.subItem(row, 9), "");
    EXPECT_THROW(view.setSubItem(row, 0, "x"), host::HostError);
    view.setSelectedIndex(-1);
    view.addItem("gsyh");
    EXPECT_EQ(view.selectedIndex(), -1);  // only the first row into an empty list is selected
    view.clearItems();
    EXPECT_EQ(view.itemCount(), 0);
    EXPECT_TRUE(form->log.empty());

    // Rows from a row maker are made when first read, from the top, and each only once.
    std::vector<int> made;
    const unsigned before = view.itemsVersion();
    view.setItems(1000, [&](int i) {
        made.push_back(i);
        return ListRow{"r" + std::to_string(i), {"s" + std::to_string(i)}};
    });
    EXPECT_NE(view.itemsVersion(), before);
    EXPECT_EQ(view.itemCount(), 1000);
    EXPECT_EQ(view.selectedIndex(), 0);
    EXPECT_TRUE(made.empty());
    EXPECT_EQ(view.subItem(2, 1), "s2");
    EXPECT_EQ(view.madeCount(), 3);
    view.setSubItem(1, 1, "x");
    EXPECT_EQ(view.item(1).subItems, std::vector<std::string>{"x"});
    EXPECT_EQ(view.items().size(), 1000u);
    EXPECT_EQ(view.items()[999].text, "r999");
    EXPECT_EQ(made.size(), 1000u);
    EXPECT_EQ(view.addItem("last"), 1000);
    EXPECT_THROW(view.item(1001), host::HostError);
    view.setItems(5, nullptr);
    EXPECT_EQ(view.itemCount(), 0);
}

TEST_F(ControlsTest, ControlsAreFoundByNameWithoutRegardToCase) {
    EXPECT_EQ(form->control("textbox1"), &form->TextBox1);
    EXPECT_EQ(form->control("TextBox9"), nullptr);
    EXPECT_EQ(&form->controlAs<ListView>("LISTVIEW1"), &form->ListView1);
    EXPECT_THROW(form->controlAs<TextBox>("ListView1"), host::HostError);
    form->ListView1.setFocus();
    EXPECT_TRUE(form->ListView1.hasFocus());
    EXPECT_FALSE(form->TextBox1.hasFocus());
}

TEST(KeysForCharacters, LettersDigitsPunctuationAndInputMethod) {
    EXPECT_EQ(keyForCharacter(U'a').keyCode, 'A');
    EXPECT_EQ(keyForCharacter(U'A').shift, shift::kShift);
    EXPECT_EQ(keyForCharacter(U'7').keyCode, '7');
    EXPECT_EQ(keyForCharacter(U'.').keyCode, 190);
    EXPECT_EQ(keyForCharacter(U'苏').keyCode, key::kProcessKey);
}

}  // namespace
}  // namespace vorra::headless
