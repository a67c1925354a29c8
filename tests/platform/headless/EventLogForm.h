#pragma once
// A form with one control of every kind whose handlers write each event into a log,
// for tests of event order.

#include <string>
#include <vector>

#include "addin/frame/dialogs/Dialogs.h"

namespace vorra::headless::fixtures {

using namespace vorra::dialogs;

class EventLog_frm : public Form {
public:
    TextBox TextBox1{*this, "TextBox1"};
    ComboBox ComboBox1{*this, "ComboBox1"};
    CheckBox CheckBox1{*this, "CheckBox1"};
    Frame Frame1{*this, "Frame1"};
    OptionButton OptionButton1{*this, "OptionButton1", "Frame1"};
    OptionButton OptionButton2{*this, "OptionButton2", "Frame1"};
    CommandButton CommandButton1{*this, "CommandButton1"};
    Label Label1{*this, "Label1"};
    Image Image1{*this, "Image1"};
    ListBox List1{*this, "List1"};
    ListView ListView1{*this, "ListView1"};

    std::vector<std::string> log;
    int cancelClose = 0;

    EventLog_frm() : Form("EventLog_frm") {
        onInitialize = [this] { log.push_back("Initialize"); };
        onQueryClose = [this](int& cancel, CloseMode mode) {
            log.push_back("QueryClose " + std::to_string(static_cast<int>(mode)));
            cancel = cancelClose;
        };
        onTerminate = [this] { log.push_back("Terminate"); };
        onMouseDown = [this](int button, int, double, double) { log.push_back("MouseDown " + std::to_string(button)); };
        onDragDrop = [this](const std::vector<std::string>& files) { log.push_back("Form DragDrop " + join(files)); };

        TextBox1.onChange = [this] { log.push_back("TextBox1 Change " + TextBox1.text()); };
        TextBox1.onKeyDown = keys("TextBox1 KeyDown");
        TextBox1.onKeyUp = keys("TextBox1 KeyUp");
        ComboBox1.onChange = [this] { log.push_back("ComboBox1 Change " + ComboBox1.text()); };
        ComboBox1.onClick = [this] { log.push_back("ComboBox1 Click " + ComboBox1.text()); };
        ComboBox1.onKeyDown = keys("ComboBox1 KeyDown");
        ComboBox1.onKeyUp = keys("ComboBox1 KeyUp");
        CheckBox1.onChange = [this] { log.push_back("CheckBox1 Change " + yesNo(CheckBox1.value())); };
        CheckBox1.onClick = [this] { log.push_back("CheckBox1 Click"); };
        OptionButton1.onChange = [this] { log.push_back("OptionButton1 Change " + yesNo(OptionButton1.value())); };
        OptionButton1.onClick = [this] { log.push_back("OptionButton1 Click"); };
        OptionButton2.onChange = [this] { log.push_back("OptionButton2 Change " + yesNo(OptionButton2.value())); };
        OptionButton2.onClick = [this] { log.push_back("OptionButton2 Click"); };
        CommandButton1.onClick = [this] { log.push_back("CommandButton1 Click"); };
        Label1.onClick = [this] { log.push_back("Label1 Click"); };
        Image1.onClick = [this] { log.push_back("Image1 Click"); };
        List1.onChange = [this] { log.push_back("List1 Change " + List1.text()); };
        List1.onClick = [this] { log.push_back("List1 Click " + List1.text()); };
        List1.onDragDrop = [this](const std::vector<std::string>& files) { log.push_back("List1 DragDrop " + join(files)); };
        ListView1.onItemClick = [this](int i) { log.push_back("ListView1 ItemClick " + std::to_string(i)); };
        ListView1.onClick = [this] { log.push_back("ListView1 Click " + std::to_string(ListView1.selectedIndex())); };
        ListView1.onKeyDown = keys("ListView1 KeyDown");
        ListView1.onKeyUp = keys("ListView1 KeyUp");
    }

private:
    KeyHandler keys(std::string what) {
        return [this, what](int& code, int shift) {
            log.push_back(what + " " + std::to_string(code) + (shift ? "+" + std::to_string(shift) : ""));
        };
    }
    static std::string yesNo(bool v) { return v ? "True" : "False"; }
    static std::string join(const std::vector<std::string>& parts) {
        std::string out;
        for (const auto& p : parts) out += (out.empty() ? "" : ",") + p;
        return out;
    }
};

}  // namespace vorra::headless::fixtures
