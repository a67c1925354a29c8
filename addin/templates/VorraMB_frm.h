#pragma once
// The template window: tutorial and download pages, copying the sheets of template
// workbooks into the active workbook, the add-in folder, the list of imported
// templates, and importing templates by dropping them or choosing them.

#include <string>
#include <vector>

#include "addin/frame/dialogs/Dialogs.h"

namespace vorra {

class VorraMB_frm : public dialogs::Form {
public:
    dialogs::Frame Frame2{*this, "Frame2"};
    dialogs::CommandButton Command5{*this, "Command5", "Frame2"};
    dialogs::CommandButton Command1{*this, "Command1", "Frame2"};
    dialogs::CommandButton Command4{*this, "Command4", "Frame2"};
    dialogs::CommandButton Command2{*this, "Command2", "Frame2"};
    dialogs::Label Label2{*this, "Label2", "Frame2"};
    dialogs::Frame Frame1{*this, "Frame1"};
    dialogs::ListBox List1{*this, "List1", "Frame1"};
    dialogs::Label Label3{*this, "Label3", "Frame1"};
    dialogs::Frame Frame3{*this, "Frame3"};
    dialogs::ListBox List2{*this, "List2", "Frame3"};
    dialogs::Label Label1{*this, "Label1", "Frame3"};
    dialogs::Image Image1{*this, "Image1", "Frame3"};
    dialogs::CommandButton Command3{*this, "Command3"};

    VorraMB_frm();

    void Form_Load();
    void Form_OLEDragDrop(const std::vector<std::string>& files);
    void List1_Click();
    void List1_OLEDragDrop(const std::vector<std::string>& files) { Form_OLEDragDrop(files); }
    void List2_OLEDragDrop(const std::vector<std::string>& files) { Form_OLEDragDrop(files); }
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Image1_Click();
};

}  // namespace vorra
