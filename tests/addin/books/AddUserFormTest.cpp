#include "BookFixture.h"
#include "addin/books/Add_User_frm.h"
#include "addin/frame/Commands.h"

namespace vorra::testing {
namespace {

using dialogs::FormInstance;
using dialogs::MsgBoxIcon;

class AddUserForm : public BookFixture {
protected:
    AddUserForm() {
        other->activate();
        form = FormInstance<Add_User_frm>::show(toolkit());
    }
    ~AddUserForm() override { FormInstance<Add_User_frm>::forget(); }

    void fill(const std::string& name, const std::string& account, const std::string& bank,
              const std::string& province = "", const std::string& city = "") {
        form->TextBox1.setText(name);
        form->TextBox2.setText(account);
        form->TextBox3.setText(bank);
        form->TextBox4.setText(province);
        form->TextBox5.setText(city);
    }

    std::shared_ptr<Add_User_frm> form;
};

TEST_F(AddUserForm, OpensTopmostOnTheFillInSheetWithItsCaptions) {
    EXPECT_EQ(topmostForms(), std::vector<std::string>{"Add_User_frm"});
    EXPECT_EQ(app.activeSheet(), sheet);
    EXPECT_EQ(form->caption(), "新增户名填写：");
    EXPECT_EQ(form->Frame1.caption(), "收款人信息：");
    EXPECT_EQ(form->Label1.caption(), "输入收款人户名：");
    EXPECT_EQ(form->Label2.caption(), "输入收款人账号：");
    EXPECT_EQ(form->Label3.caption(), "输入收款人开户行：");
    EXPECT_EQ(form->Label4.caption(), "汇入省：");
    EXPECT_EQ(form->Label5.caption(), "汇入市：");
    EXPECT_EQ(form->Label6.caption(), "输入用途：");
    EXPECT_EQ(form->CommandButton1.caption(), "添  加");
    EXPECT_EQ(form->CommandButton2.caption(), "清  除");
    EXPECT_EQ(form->TextBox1.container(), "Frame1");
}

TEST_F(AddUserForm, TheFillInFormsButtonShowsIt) {
    FormInstance<Add_User_frm>::unload();
    showAddUserForm();
    ASSERT_TRUE(FormInstance<Add_User_frm>::exists());
    EXPECT_TRUE(FormInstance<Add_User_frm>::existing()->visible());
}

TEST_F(AddUserForm, AddsTheUnitWithPinyinInitialsAndMakesItTheCurrentPayee) {
    unit(9, "gs", "甲公司", "1");  // E8 empty, E9 filled: the unit goes to row 10
    set("E5", text("付款人"));
    fill("中国银行苏州分行", "6222 01", "中行");
    click(form->CommandButton1);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(cell("E10"), "中国银行苏州分行");
    EXPECT_EQ(cell("D10"), "zgyxszfx");
    EXPECT_EQ(cell("F10"), "6222 01");
    EXPECT_EQ(cell("G10"), "中行");
    EXPECT_EQ(cell("H10"), "");
    EXPECT_EQ(cell("I10"), "");
    EXPECT_EQ(cell("C10"), "");
    EXPECT_EQ(cell("E8"), "");
    for (const char* c : {"D", "E", "F", "G"})
        EXPECT_EQ(cell(std::string(c) + "4"), cell(std::string(c) + "10")) << c;
    EXPECT_EQ(cell("E5"), "付款人");
    EXPECT_TRUE(sheet->isProtected());
    EXPECT_EQ(form->TextBox1.text(), "中国银行苏州分行");  // the boxes keep their texts
}

TEST_F(AddUserForm, EveryRefusalShowsItsMessageAndProtectsTheSheetAgain) {
    unit(9, "jgs", "甲公司", "1");
    struct Case {
        std::string name;
        std::string account;
        std::string bank;
        std::string message;
    };
    const Case cases[] = {
        {"乙公司", std::string(32768, '6'), "工行", "输入的内容过长（每项最多32767个字符），请修改后再保存！"},
        {"", "1", "工行", "请输入新用户名信息，然后执行添加！"},
        {"乙公司", "", "工行", "新用户信息不全，请检查、完善后，再执行添加！"},
        {"乙公司", "2", "", "新用户信息不全，请检查、完善后，再执行添加！"},
        {"甲公司", "999", "农行", "你要添加的用户名信息已经存在，不能重复添加！"},  // account differs
    };
    for (const Case& c : cases) {
        clearMessages();
        fill(c.name, c.account, c.bank);
        form->CommandButton1_Click();
        ASSERT_EQ(messages().size(), 1u) << c.message;
        EXPECT_THAT(messages()[0], IsMessage(c.message, MsgBoxIcon::Critical, "系统提示："));
        EXPECT_TRUE(sheet->isProtected()) << c.message;
    }
    EXPECT_EQ(cell("E10"), "");
    EXPECT_EQ(cell("E4"), "");
}

TEST_F(AddUserForm, WithABillSheetActiveTheUnitGoesToTheFillInSheetByName) {
    other->activate();  // an unprotected bill sheet
    fill("乙公司", "2", "工行");
    click(form->CommandButton1);
    form->TextBox6.setText("工资");
    press(form->TextBox6, dialogs::key::kReturn);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(cell("E9"), "乙公司");
    EXPECT_EQ(cell("E4"), "乙公司");
    EXPECT_EQ(cell("K9"), "工资");
    EXPECT_TRUE(sheet->isProtected());
    EXPECT_FALSE(other->isProtected());
    EXPECT_EQ(other->range("E9").scalar(), host::Value());
}

TEST_F(AddUserForm, AWriteThatDoesNotArriveIsTold) {
    sheet->unprotect(kPassword);
    sheet->protect("111111");  // a password the form does not know
    const host::Variant before = books();
    fill("乙公司", "2", "工行");
    click(form->CommandButton1);
    form->TextBox6.setText("工资");
    press(form->TextBox6, dialogs::key::kReturn);
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_THAT(messages()[0], IsMessage("新用户信息没有写入“常用单位账号”工作表（该表的保护无法解除或单元格拒绝写入），请检查后再添加！",
                                         MsgBoxIcon::Critical, "系统提示："));
    EXPECT_THAT(messages()[1], IsMessage("用途没有写入“常用单位账号”工作表（该表的保护无法解除或单元格拒绝写入），请检查后再添加！",
                                         MsgBoxIcon::Critical, "系统："));
    EXPECT_EQ(books(), before);

    clearMessages();
    sheet->unprotect("111111");
    sheet->deleteSheet();
    click(form->CommandButton1);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_THAT(messages()[0], IsMessage("当前工作簿中没有“常用单位账号”工作表，没有保存任何内容！",
                                         MsgBoxIcon::Critical, "系统提示："));
}

TEST_F(AddUserForm, NamesAndPurposesAreComparedLiterallyNotAsPatterns) {
    unit(9, "szyh", "苏州银行", "1");
    purpose(9, "yf", "运费");
    for (const char* name : {"苏州*", "苏州??", "<>乙"}) {
        fill(name, "2", "工行");
        click(form->CommandButton1);
    }
    for (const char* text : {"运~费", "?", "运*"}) {
        form->TextBox6.setText(text);
        press(form->TextBox6, dialogs::key::kReturn);
    }
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(cell("E10"), "苏州*");
    EXPECT_EQ(cell("E12"), "<>乙");
    EXPECT_EQ(cell("K10"), "运~费");
    EXPECT_EQ(cell("K12"), "运*");
}

TEST_F(AddUserForm, ProvinceAndCityMayStayEmpty) {
    fill("乙公司", "2", "工行");
    form->CommandButton1_Click();
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(cell("E9"), "乙公司");
}

TEST_F(AddUserForm, ClearEmptiesAllSixBoxes) {
    fill("a", "b", "c", "d", "e");
    form->TextBox6.setText("f");
    click(form->CommandButton2);
    for (auto* box : {&form->TextBox1, &form->TextBox2, &form->TextBox3, &form->TextBox4, &form->TextBox5,
                      &form->TextBox6})
        EXPECT_EQ(box->text(), "") << box->name();
}

TEST_F(AddUserForm, EnterInThePurposeBoxAddsThePurposeOnce) {
    purpose(9, "yf", "运费");
    form->TextBox6.setText("工资");
    press(form->TextBox6, dialogs::key::kReturn);
    EXPECT_EQ(cell("K10"), "工资");
    EXPECT_EQ(cell("J10"), "gz");
    EXPECT_EQ(cell("K5"), "工资");
    EXPECT_TRUE(sheet->isProtected());
    press(form->TextBox6, dialogs::key::kReturn);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_THAT(messages()[0], IsMessage("本类用途已经存在，请不要重复添加！", MsgBoxIcon::Critical, "系统："));
    EXPECT_EQ(cell("K11"), "");
    EXPECT_TRUE(sheet->isProtected());
    EXPECT_EQ(form->TextBox6.text(), "工资");
}

TEST_F(AddUserForm, OtherKeysAndAnEmptyPurposeBoxAddNothing) {
    const host::Variant before = books();
    form->TextBox6.setText("工资");
    press(form->TextBox6, 'A');
    form->TextBox6.setText("");
    press(form->TextBox6, dialogs::key::kReturn);
    EXPECT_EQ(books(), before);
}

TEST_F(AddUserForm, GetHzjpOfTheFormGivesTheBooksInitials) {
    EXPECT_EQ(form->GetHzjp("工商银行"), "gsyx");
    EXPECT_EQ(form->GetHzjp("ABC公司"), "abcgs");
}

}  // namespace
}  // namespace vorra::testing
