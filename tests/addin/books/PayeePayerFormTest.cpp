#include "BookFixture.h"
#include "addin/books/Frm_收付款人.h"
#include "addin/books/Frm_金额用途.h"
#include "addin/frame/Commands.h"
#include "addin/frame/MakerLinks.h"

namespace vorra::testing {
namespace {

using dialogs::FormInstance;
using dialogs::MsgBoxIcon;

class PayeePayerForm : public BookFixture {
protected:
    PayeePayerForm() {
        unit(8, "szyh", "苏州银行", "6222 0001", "中行", "江苏", "苏州");
        unit(9, "njgs", "南京公司", "6222 0002", "工行", "江苏", "南京");
        unit(10, "szgs", "苏州公司", "6222 0003", "农行", "江苏", "苏州");
        other->activate();
        form = FormInstance<Frm_收付款人>::show(toolkit());
    }
    ~PayeePayerForm() override {
        FormInstance<Frm_收付款人>::forget();
        FormInstance<Frm_金额用途>::forget();
    }

    void enterNewUnit(const std::vector<std::string>& fields) {
        type(form->TextBox1, "新单位");
        press(form->TextBox1, dialogs::key::kReturn);
        dialogs::TextBox* boxes[] = {&form->T1, &form->T2, &form->T3, &form->T4, &form->T5, &form->T6};
        for (size_t i = 0; i < fields.size(); ++i) boxes[i]->setText(fields[i]);
        clearMessages();
    }
    std::vector<std::string> listedNames() const {
        std::vector<std::string> names;
        for (int i = 0; i < form->ListView1.itemCount(); ++i) names.push_back(form->ListView1.subItem(i, 1));
        return names;
    }

    std::shared_ptr<Frm_收付款人> form;
};

TEST_F(PayeePayerForm, OpensTopmostInSearchModeWithItsCaptionsAndColumns) {
    EXPECT_EQ(topmostForms(), std::vector<std::string>{"Frm_收付款人"});
    EXPECT_EQ(app.activeSheet(), sheet);
    EXPECT_EQ(form->caption(), "填写收、付款人信息：");
    EXPECT_EQ(form->Frame1.caption(), "收、付款人：");
    EXPECT_EQ(form->OptionButton1.caption(), "输入收款人：");
    EXPECT_EQ(form->OptionButton2.caption(), "输入付款人：");
    EXPECT_EQ(form->Label1.caption(), "请输入用户名：");
    EXPECT_EQ(form->Label2.caption(), "提示：在下面的列表中，按上下方向键可以选择，敲回车键结束输入");
    EXPECT_EQ(form->CommandButton1.caption(), "确  定");
    EXPECT_EQ(form->CommandButton2.caption(), "金额◆用途");
    EXPECT_EQ(form->CommandButton3.caption(), "教 程");
    EXPECT_EQ(form->ListView1.columns(),
              (std::vector<dialogs::ListColumn>{{"简称", 50}, {"户名", 150}, {"账号", 96}, {"开户行", 70},
                                                {"省", 50}, {"县", 50}}));
    EXPECT_EQ(form->ListView1.view(), dialogs::ListViewMode::Report);
    EXPECT_TRUE(form->ListView1.fullRowSelect());
    EXPECT_TRUE(form->TextBox1.hasFocus());
    for (auto* c : std::initializer_list<dialogs::Control*>{&form->T1, &form->T6, &form->CommandButton1})
        EXPECT_FALSE(c->visible()) << c->name();
}

TEST_F(PayeePayerForm, TheFillInCommandShowsIt) {
    FormInstance<Frm_收付款人>::unload();
    runCommand("TianxiePJ");
    ASSERT_TRUE(FormInstance<Frm_收付款人>::exists());
    EXPECT_TRUE(FormInstance<Frm_收付款人>::existing()->visible());
}

TEST_F(PayeePayerForm, TypingListsAccountNameMatchesAndSizesListAndForm) {
    type(form->TextBox1, "苏州");
    EXPECT_EQ(listedNames(), (std::vector<std::string>{"苏州公司", "苏州银行"}));  // row 8 last
    EXPECT_EQ(form->ListView1.item(0).text, "szgs");
    EXPECT_EQ(form->ListView1.item(0).subItems,
              (std::vector<std::string>{"苏州公司", "6222 0003", "农行", "江苏", "苏州"}));
    EXPECT_EQ(form->ListView1.height(), 2 * 9 + 30);
    EXPECT_EQ(form->height(), 48 * 18 + 1500);
}

TEST_F(PayeePayerForm, ShortNamesAreListedWhenNoAccountNameContainsTheText) {
    type(form->TextBox1, "sz");
    EXPECT_EQ(listedNames(), (std::vector<std::string>{"苏州公司", "苏州银行"}));
    type(form->TextBox1, "yh");
    EXPECT_EQ(listedNames(), std::vector<std::string>{"苏州银行"});
}

TEST_F(PayeePayerForm, NoMatchAndAnEmptyTextShrinkTheForm) {
    type(form->TextBox1, "无此");
    EXPECT_EQ(form->ListView1.itemCount(), 0);
    EXPECT_EQ(form->ListView1.height(), 30);
    EXPECT_EQ(form->height(), 2040);
    erase(form->TextBox1);
    EXPECT_EQ(form->ListView1.height(), 30);
    EXPECT_EQ(form->height(), 1900);
}

TEST_F(PayeePayerForm, EnterWithMatchesDoesNothing) {
    type(form->TextBox1, "苏州");
    press(form->TextBox1, dialogs::key::kReturn);
    EXPECT_TRUE(messages().empty());
    EXPECT_FALSE(form->T1.visible());
    EXPECT_EQ(form->ListView1.itemCount(), 2);
}

TEST_F(PayeePayerForm, EnterWithoutMatchesOpensEntryModeUntilTheNextKeyInTheSearchBox) {
    type(form->TextBox1, "新单位");
    press(form->TextBox1, dialogs::key::kReturn);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_THAT(messages()[0], IsMessage("收、付款人信息库中没有检索到你要找的用户信息，请你输入!",
                                         MsgBoxIcon::Critical, "Quorvan："));
    EXPECT_EQ(form->height(), 2800);
    EXPECT_EQ(form->ListView1.height(), 15);
    for (auto* t : {&form->T1, &form->T2, &form->T3, &form->T4, &form->T5, &form->T6}) {
        EXPECT_TRUE(t->visible()) << t->name();
        EXPECT_EQ(t->top(), 64) << t->name();
    }
    EXPECT_TRUE(form->CommandButton1.visible());
    EXPECT_EQ(form->CommandButton1.top(), 84);
    EXPECT_TRUE(form->T1.hasFocus());
    EXPECT_EQ(form->T2.text(), "新单位");

    type(form->TextBox1, "x");
    EXPECT_FALSE(form->T1.visible());
    EXPECT_FALSE(form->CommandButton1.visible());
}

TEST_F(PayeePayerForm, APickGoesToThePayeeOrPayerRowOfTheChosenOption) {
    type(form->TextBox1, "南京");
    pick(form->ListView1, 0);
    EXPECT_EQ(cell("E4"), "");  // neither option on: nothing written
    EXPECT_EQ(cell("E5"), "");
    click(form->OptionButton1);
    pick(form->ListView1, 0);
    EXPECT_EQ(cell("D4"), "njgs");
    EXPECT_EQ(cell("E4"), "南京公司");
    EXPECT_EQ(cell("I4"), "南京");
    EXPECT_TRUE(sheet->isProtected());
    click(form->OptionButton2);  // empties the search text
    type(form->TextBox1, "苏州银行");
    actions.press(*form, "ListView1", dialogs::key::kDown);
    actions.press(*form, "ListView1", dialogs::key::kReturn);
    EXPECT_EQ(cell("E5"), "苏州银行");
    EXPECT_EQ(cell("F5"), "6222 0001");
    EXPECT_EQ(cell("E4"), "南京公司");
    EXPECT_TRUE(sheet->isProtected());
}

TEST_F(PayeePayerForm, ChoosingPayeeOrPayerPutsTheCursorIntoTheSearchBox) {
    for (dialogs::OptionButton* option : {&form->OptionButton1, &form->OptionButton2, &form->OptionButton1}) {
        erase(form->TextBox1);
        type(form->TextBox1, "南京");
        pick(form->ListView1, 0);  // the focus is in the list now
        ASSERT_FALSE(form->TextBox1.hasFocus());
        click(*option);
        EXPECT_TRUE(form->TextBox1.hasFocus()) << option->name();
    }
}

TEST_F(PayeePayerForm, ThePayerOptionEmptiesTheSearchAndEntryBoxes) {
    enterNewUnit({"a", "b", "c"});
    click(form->OptionButton2);
    EXPECT_EQ(form->TextBox1.text(), "");
    EXPECT_EQ(form->T1.text(), "");
    EXPECT_EQ(form->T2.text(), "");
    EXPECT_TRUE(form->TextBox1.hasFocus());
}

TEST_F(PayeePayerForm, StoresANewUnitBelowTheBookWithTheNextSerial) {
    set("C10", number(3));
    click(form->OptionButton2);
    enterNewUnit({"xdw", "新单位", "6222 0009", "建行", "浙江", "杭州"});
    click(form->CommandButton1);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(cell("C11"), "4");
    EXPECT_EQ(cell("D11"), "xdw");
    EXPECT_EQ(cell("I11"), "杭州");
    EXPECT_EQ(cell("E5"), "新单位");  // the payer option makes it the current payer
    EXPECT_EQ(cell("E4"), "");
    EXPECT_TRUE(sheet->isProtected());
    EXPECT_TRUE(form->T1.visible());  // the form stays in entry mode
}

TEST_F(PayeePayerForm, TheSerialAfterARowWithoutOneIsOne) {
    enterNewUnit({"xdw", "新单位", "1"});
    form->CommandButton1_Click();
    EXPECT_EQ(get("C11"), number(1));
}

TEST_F(PayeePayerForm, AUnitWithoutAShortNameIsRefused) {
    enterNewUnit({"", "新单位", "1"});
    const host::Variant before = books();
    form->CommandButton1_Click();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_THAT(messages()[0], IsMessage("单位简称不能为空！", MsgBoxIcon::Critical, "Quorvan："));
    EXPECT_EQ(books(), before);
    EXPECT_TRUE(sheet->isProtected());
}

TEST_F(PayeePayerForm, AnEntryLongerThanACellIsRefusedBeforeAnyFieldIsWritten) {
    enterNewUnit({"xdw", std::string(32768, 'x'), "1"});
    const host::Variant before = books();
    form->CommandButton1_Click();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_THAT(messages()[0], IsMessage("输入的内容过长（每项最多32767个字符），请修改后再保存！",
                                         MsgBoxIcon::Critical, "Quorvan："));
    EXPECT_EQ(books(), before);
    EXPECT_TRUE(sheet->isProtected());
}

TEST_F(PayeePayerForm, ARowWithAnAccountNameButNoShortNameIsNotOverwritten) {
    unit(11, "", "手工录入单位", "7");
    enterNewUnit({"xdw", "新单位", "8"});
    form->CommandButton1_Click();
    EXPECT_EQ(cell("E11"), "手工录入单位");
    EXPECT_EQ(cell("E12"), "新单位");
}

TEST_F(PayeePayerForm, NineteenDigitAccountsDifferingInTheLastDigitAreDifferent) {
    unit(11, "a", "甲", "6222021234567890123");
    enterNewUnit({"xdw", "新单位", "6222021234567890124"});
    form->CommandButton1_Click();
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(cell("E12"), "新单位");
}

TEST_F(PayeePayerForm, ADuplicateAccountIsMarkedRedWhetherTextOrNumberAndTheSheetProtected) {
    set("F9", number(622202123456789));
    for (const char* typed : {"6222 0003", "622202123456789"}) {
        enterNewUnit({"xdw", "新单位", typed});
        form->CommandButton1_Click();
        ASSERT_EQ(messages().size(), 1u) << typed;
        EXPECT_THAT(messages()[0], IsMessage("账号重复，请修改！", MsgBoxIcon::Critical, "Quorvan："));
        EXPECT_TRUE(sheet->isProtected()) << typed;
        EXPECT_EQ(cell("E11"), "") << typed;
    }
    EXPECT_EQ(selection(), "F9");
    EXPECT_EQ(sheet->fontColorIndex({9, 6}), 3);
    EXPECT_EQ(sheet->fontColorIndex({10, 6}), 0);  // the earlier mark on F10 was cleared

    enterNewUnit({"xdw", "新单位", "6222 0010"});
    form->CommandButton1_Click();
    EXPECT_EQ(sheet->fontColorIndex({9, 6}), 0);
    EXPECT_EQ(cell("E11"), "新单位");
}

TEST_F(PayeePayerForm, AmountAndPurposeUnloadsItAndShowsTheNextForm) {
    form->show();
    click(form->CommandButton2);
    EXPECT_FALSE(FormInstance<Frm_收付款人>::exists());
    EXPECT_FALSE(form->loaded());
    ASSERT_TRUE(FormInstance<Frm_金额用途>::exists());
    EXPECT_TRUE(FormInstance<Frm_金额用途>::existing()->visible());
}

TEST_F(PayeePayerForm, TheTutorialButtonUnloadsItAndOpensThePage) {
    click(form->CommandButton3);
    EXPECT_FALSE(form->loaded());
    EXPECT_EQ(openedAddresses(), std::vector<std::string>{headless::quoteText(links::kBooksTutorial)});
}

}  // namespace
}  // namespace vorra::testing
