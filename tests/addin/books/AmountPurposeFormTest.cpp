#include "BookFixture.h"
#include "addin/books/Frm_金额用途.h"
#include "addin/frame/MakerLinks.h"

namespace vorra::testing {
namespace {

using dialogs::FormInstance;
using dialogs::MsgBoxIcon;

class AmountPurposeForm : public BookFixture {
protected:
    AmountPurposeForm() {
        purpose(8, "hk", "货款");
        purpose(9, "yf", "运费");
        purpose(10, "dhk", "订货款");
        other->activate();
        form = FormInstance<Frm_金额用途>::show(toolkit());
    }
    ~AmountPurposeForm() override { FormInstance<Frm_金额用途>::forget(); }

    void enterBill(const std::string& amount, const std::string& number, const std::string& password) {
        form->TextBox2.setText(amount);
        form->TextBox3.setText(number);
        form->TextBox4.setText(password);
        click(form->CommandButton3);
    }

    std::shared_ptr<Frm_金额用途> form;
};

TEST_F(AmountPurposeForm, OpensTopmostInSearchModeWithItsCaptionsAndColumns) {
    EXPECT_EQ(topmostForms(), std::vector<std::string>{"Frm_金额用途"});
    EXPECT_EQ(app.activeSheet(), sheet);
    EXPECT_EQ(form->caption(), "填写金额、用途：");
    EXPECT_EQ(form->Label1.caption(), "请输入付款用途：");
    EXPECT_EQ(form->Label2.caption(), "输入完毕敲回车结束");
    EXPECT_EQ(form->Frame1.caption(), "转账信息：");
    EXPECT_EQ(form->Label3.caption(), "请输入金额：");
    EXPECT_EQ(form->Label4.caption(), "请输入转账支票号码：");
    EXPECT_EQ(form->Label5.caption(), "请输入支付密码：");
    EXPECT_EQ(form->CommandButton3.caption(), "输  入");
    EXPECT_EQ(form->CommandButton2.caption(), "教  程");
    EXPECT_EQ(form->ListView1.columns(), (std::vector<dialogs::ListColumn>{{"用途序号", 63}, {"用途清单", 162}}));
    EXPECT_EQ(form->ListView1.view(), dialogs::ListViewMode::Report);
    EXPECT_TRUE(form->ListView1.fullRowSelect());
    EXPECT_TRUE(form->TextBox1.hasFocus());
    EXPECT_FALSE(form->T1.visible());
    EXPECT_FALSE(form->CommandButton1.visible());
}

TEST_F(AmountPurposeForm, TypingListsPurposesWithTheirCodesAndSizesTheForm) {
    type(form->TextBox1, "货");
    ASSERT_EQ(form->ListView1.itemCount(), 2);
    EXPECT_EQ(form->ListView1.item(0), (dialogs::ListRow{"dhk", {"订货款"}}));
    EXPECT_EQ(form->ListView1.item(1), (dialogs::ListRow{"hk", {"货款"}}));
    EXPECT_EQ(form->ListView1.height(), 2 * 9 + 30);
    EXPECT_EQ(form->height(), 48 * 18 + 3000);
    erase(form->TextBox1);
    type(form->TextBox1, "yf");  // a code alone finds nothing
    EXPECT_EQ(form->ListView1.itemCount(), 0);
    EXPECT_EQ(form->height(), 30 * 18 + 3000);
    erase(form->TextBox1);
    EXPECT_EQ(form->ListView1.height(), 30);
    EXPECT_EQ(form->height(), 3435);
}

TEST_F(AmountPurposeForm, EnterOpensEntryModeOnlyWithoutMatches) {
    type(form->TextBox1, "货");
    press(form->TextBox1, dialogs::key::kReturn);
    EXPECT_TRUE(messages().empty());
    type(form->TextBox1, "物");
    press(form->TextBox1, dialogs::key::kReturn);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_THAT(messages()[0],
                IsMessage("用途信息库中没有检索到你要找的信息，请你输入!", MsgBoxIcon::Critical, "Quorvan："));
    EXPECT_EQ(form->height(), 4200);
    EXPECT_EQ(form->ListView1.height(), 20);
    EXPECT_TRUE(form->T1.visible());
    EXPECT_TRUE(form->T2.visible());
    EXPECT_EQ(form->T1.top(), 134);
    EXPECT_EQ(form->T2.top(), 134);
    EXPECT_TRUE(form->CommandButton1.visible());
    EXPECT_EQ(form->CommandButton1.top(), 155);
    EXPECT_EQ(form->T2.text(), "货物");
    EXPECT_TRUE(form->T1.hasFocus());
}

TEST_F(AmountPurposeForm, APickMakesItTheCurrentPurpose) {
    type(form->TextBox1, "运");
    pick(form->ListView1, 0);
    EXPECT_EQ(cell("K5"), "运费");
    EXPECT_TRUE(sheet->isProtected());
}

TEST_F(AmountPurposeForm, StoresANewPurposeEvenTwiceAndMakesItCurrent) {
    type(form->TextBox1, "工资");
    press(form->TextBox1, dialogs::key::kReturn);
    form->T1.setText("gz");
    click(form->CommandButton1);
    click(form->CommandButton1);
    EXPECT_EQ(cell("J11"), "gz");
    EXPECT_EQ(cell("K11"), "工资");
    EXPECT_EQ(cell("K12"), "工资");  // no duplicate test here
    EXPECT_EQ(cell("K5"), "工资");
    EXPECT_TRUE(sheet->isProtected());
}

TEST_F(AmountPurposeForm, APurposeWithoutACodeIsRefused) {
    const host::Variant before = books();
    form->T2.setText("工资");
    form->CommandButton1_Click();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_THAT(messages()[0], IsMessage("用途序号不能为空！", MsgBoxIcon::Critical, "Quorvan："));
    EXPECT_EQ(books(), before);
}

TEST_F(AmountPurposeForm, TheBillFieldsGoToK3G6AndL6) {
    enterBill("1,234.50", "00012345", "8888 6666");
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(get("K3"), number(1234.5));
    EXPECT_EQ(get("G6"), text("00012345"));  // the cheque number keeps its digits
    EXPECT_EQ(cell("L6"), "8888 6666");
    EXPECT_TRUE(sheet->isProtected());
    enterBill("1234.5", "1", "2");
    EXPECT_EQ(get("K3"), number(1234.5));
}

TEST_F(AmountPurposeForm, ARefusedAmountIsToldWithItsReasonAndTheOtherFieldsAreStored) {
    enterBill("100", "1", "2");
    const std::pair<const char*, const char*> cases[] = {
        {"abc", "金额必须是数字（例如 1234.50 或 1,234.50），请重新输入！"},
        {"1,23", "金额必须是数字（例如 1234.50 或 1,234.50），请重新输入！"},
        {"0", "金额必须大于零，请重新输入！"},
        {"-12.5", "金额必须大于零，请重新输入！"},
        {"12.345", "金额最多只能有两位小数（精确到分），请重新输入！"},
        {"1234567890123456", "金额的位数太多（最多15位数字），请重新输入！"},
    };
    int serial = 10;
    for (const auto& [bad, why] : cases) {
        clearMessages();
        ++serial;
        enterBill(bad, std::to_string(serial), "pw" + std::to_string(serial));
        ASSERT_EQ(messages().size(), 1u) << bad;
        EXPECT_THAT(messages()[0], IsMessage(why, MsgBoxIcon::Critical, "Quorvan：")) << bad;
        EXPECT_EQ(get("K3"), BookFixture::number(100)) << bad;
        EXPECT_EQ(get("G6"), text(std::to_string(serial))) << bad;
        EXPECT_EQ(cell("L6"), "pw" + std::to_string(serial)) << bad;
        EXPECT_TRUE(sheet->isProtected());
        EXPECT_TRUE(form->TextBox2.hasFocus());
    }
}

TEST_F(AmountPurposeForm, AnEmptyAmountKeepsK3AndStoresTheOtherFieldsWithoutAMessage) {
    enterBill("100", "1", "2");
    enterBill(" ", "778899", "密码");
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(get("K3"), number(100));
    EXPECT_EQ(get("G6"), text("778899"));
    EXPECT_EQ(cell("L6"), "密码");
    enterBill(".5", "1", "2");
    EXPECT_EQ(get("K3"), number(0.5));
    enterBill("1234.", "1", "2");
    EXPECT_EQ(get("K3"), number(1234));
}

TEST_F(AmountPurposeForm, TheTutorialButtonUnloadsItAndOpensThePage) {
    click(form->CommandButton2);
    EXPECT_FALSE(form->loaded());
    EXPECT_EQ(openedAddresses(), std::vector<std::string>{headless::quoteText(links::kBooksTutorial)});
}

}  // namespace
}  // namespace vorra::testing
