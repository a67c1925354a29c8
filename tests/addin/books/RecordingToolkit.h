#pragma once
// A toolkit that records what the forms showed and answers every message box with OK.

#include <optional>
#include <string>
#include <vector>

#include "addin/frame/dialogs/Dialogs.h"

namespace vorra::testing {

class RecordingToolkit final : public dialogs::Toolkit {
public:
    struct Message {
        std::string prompt;
        dialogs::MsgBoxIcon icon;
        std::optional<std::string> title;
    };
    std::vector<Message> messages;
    std::vector<std::string> topmost;
    std::vector<std::string> opened;
    std::vector<std::string> shown;

    dialogs::MsgBoxResult messageBox(const dialogs::MessageBoxRequest& r) override {
        messages.push_back({r.prompt, r.icon, r.title});
        return dialogs::MsgBoxResult::OK;
    }
    std::string inputBox(const dialogs::InputBoxRequest&) override { return {}; }
    std::vector<std::string> openFileDialog(const dialogs::OpenFileRequest&) override { return {}; }
    bool builtinDialog(int, const std::string&) override { return false; }
    void setTopmost(dialogs::Form& f) override { topmost.push_back(f.name()); }
    dialogs::PixelSize clientSizePixels(const dialogs::Form&) const override { return {}; }
    void setWindowRegion(dialogs::Form&, const dialogs::RoundRegion&) override {}
    void dragByBody(dialogs::Form&) override {}
    bool shellOpen(const std::string& target, const std::string&) override {
        opened.push_back(target);
        return true;
    }
    bool startProgram(const std::string&) override { return false; }
    std::string desktopFolder() const override { return "/tmp"; }
    void showForm(dialogs::Form& f, dialogs::ShowMode) override { shown.push_back(f.name()); }
    void hideForm(dialogs::Form&) override {}
};

}  // namespace vorra::testing
