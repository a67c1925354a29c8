#pragma once
// The legacy command bar for hosts older than the ribbon, and the command handlers
// that open no form of their own: page setup, the maker's links, the about message.

#include <memory>
#include <string>
#include <vector>

#include "addin/frame/host/CommandBars.h"

namespace vorra {

// One sink per command-bar button: receives the button's clicks and runs the command
// its parameter names.
class ButtonEvent {
public:
    std::weak_ptr<host::CommandBarButton> Button;
    void Button_Click(host::CommandBarButton& button, bool& cancelDefault);
};

// Keeps the sinks alive. Never emptied: a sink whose button is gone gets no clicks.
class ButtonEventCol {
public:
    void Add(const std::shared_ptr<host::CommandBarButton>& button);
    size_t Count() const { return sinks_.size(); }

private:
    std::vector<std::unique_ptr<ButtonEvent>> sinks_;
};

extern std::string BarName;
ButtonEventCol& BarButtons();

void BuildCommandBar();
void DeleteCommandBar();

// The command-bar buttons: caption, tooltip, face id, parameter, and the command a
// click on the button runs.
struct BarButtonRow {
    const char* caption;
    const char* tooltip;
    int faceId;
    const char* parameter;
    const char* command;
};
const std::vector<BarButtonRow>& barButtonTable();

void ZZDX();
void YBJ();
void Web();
void WenTi();
void help();
void Peixun();
void Xiazai();
void About();

// The about message's text, line by line as it is shown.
std::string aboutText();

}  // namespace vorra
