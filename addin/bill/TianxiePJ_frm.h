#pragma once
// The window in which one bill is filled in and printed: payee, payer and purpose
// picked from the books of the fill-in sheet, amount, bill number and payment
// password typed, the bill sheet chosen, and the print button. Every entry goes into
// the fill-in cells the moment it is made; the form keeps nothing of its own.

#include <string>
#include <vector>

#include "addin/frame/dialogs/Dialogs.h"

namespace vorra {

class TianxiePJ_frm : public dialogs::Form {
public:
    TianxiePJ_frm();

    dialogs::Label Label1{*this, "Label1"};
    dialogs::Label Label2{*this, "Label2"};
    dialogs::Label Label3{*this, "Label3"};
    dialogs::Label Label4{*this, "Label4"};
    dialogs::Label Label5{*this, "Label5"};
    dialogs::Label Label6{*this, "Label6"};
    dialogs::Label Label7{*this, "Label7"};
    dialogs::Label Label8{*this, "Label8"};
    dialogs::ComboBox ComboBox1{*this, "ComboBox1"};
    dialogs::ComboBox ComboBox2{*this, "ComboBox2"};
    dialogs::ComboBox ComboBox3{*this, "ComboBox3"};
    dialogs::TextBox TextBox1{*this, "TextBox1"};
    dialogs::TextBox TextBox2{*this, "TextBox2"};
    dialogs::TextBox TextBox3{*this, "TextBox3"};
    dialogs::ComboBox ComboBox4{*this, "ComboBox4"};
    dialogs::CommandButton CommandButton1{*this, "CommandButton1"};
    dialogs::CommandButton CommandButton2{*this, "CommandButton2"};
    dialogs::CheckBox CheckBox1{*this, "CheckBox1"};
    dialogs::CheckBox CheckBox2{*this, "CheckBox2"};
    dialogs::CheckBox CheckBox3{*this, "CheckBox3"};
    dialogs::Frame Frame1{*this, "Frame1"};
    dialogs::CommandButton CommandButton3{*this, "CommandButton3", "Frame1"};
    dialogs::CommandButton CommandButton4{*this, "CommandButton4", "Frame1"};
    dialogs::CommandButton CommandButton5{*this, "CommandButton5", "Frame1"};
    dialogs::CommandButton CommandButton6{*this, "CommandButton6"};

    void UserForm_Initialize();
    void UserForm_QueryClose(int& cancel, dialogs::CloseMode mode);
    // The print action with ComboBox4 as the bill-sheet box; the batch printing calls
    // it as a click on the button would. True when the bill was printed.
    bool CommandButton1_Click();
    void CommandButton2_Click();

private:
    void layOut();
    void wireEvents();

    void ComboBox1_Change();
    void ComboBox2_Change();
    void ComboBox3_Change();
    void ComboBox1_Click();
    void ComboBox2_Click();
    void ComboBox3_Click();
    void ComboBox4_Change();
    void amountChanged(dialogs::TextBox& box, const char* cell);
    void fillUnitAsTyped(const std::string& typed, bool byShortName, int targetRow);
    void openTutorial(const char* address);

    // The row last scanned or found by the change handlers.
    int lastRow_ = 0;
};

// Fills a combo box's list with the book entries of a column from row 8 to its last
// used row, in sheet order, keeping only those that match the typed key: by text when
// the key holds a double-byte character, otherwise by the pinyin initials of each
// entry. Returns the entries shown.
std::vector<std::string> filterBookEntries(const std::vector<std::string>& entries,
                                           const std::string& typedText);

}  // namespace vorra
