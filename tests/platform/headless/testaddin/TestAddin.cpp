// A small add-in built only for the runner's tests: it loads the way the real add-in
// does (exported entry points, launch marker in its own folder, ribbon on version 12
// and later) and offers a few commands and forms that use every kind of dialog.

#include <dlfcn.h>

#include <filesystem>
#include <memory>

#include "addin/frame/dialogs/Dialogs.h"
#include "addin/frame/host/AddinInterface.h"
#include "addin/frame/host/Host.h"

namespace testaddin {

using namespace vorra;
using namespace vorra::dialogs;
namespace fs = std::filesystem;

host::Application* XlApp = nullptr;

std::string addinFolder() {
    Dl_info info{};
    dladdr(reinterpret_cast<void*>(&addinFolder), &info);
    return fs::path(info.dli_fname ? info.dli_fname : "").parent_path().string();
}

void write(const std::string& cell, const std::string& text) {
    host::resume([&] { XlApp->range(cell).setValue(host::Value::text(text)); });
}

class List_frm : public Form {
public:
    ListBox List1{*this, "List1"};
    List_frm() : Form("List_frm", FormKind::WindowForm) {
        onInitialize = [this] {
            setCaption("模板列表");
            setWidth(4500);
            setHeight(3000);
            toolkit().setTopmost(*this);
            auto size = toolkit().clientSizePixels(*this);
            toolkit().setWindowRegion(*this, {0, 0, size.width, size.height, 20, 20});
            List1.setAcceptsDrops(true);
            List1.addItem("a.xls");
        };
        onMouseDown = [this](int, int, double, double) { toolkit().dragByBody(*this); };
        List1.onDragDrop = [this](const std::vector<std::string>& files) {
            for (const auto& f : files) List1.addItem(fs::path(f).filename().string());
        };
        List1.onClick = [this] {
            std::string chosen = List1.text();
            unload();
            toolkit().shellOpen(addinFolder() + "/" + chosen);
        };
    }
};

class Entry_frm : public Form {
public:
    Label Label1{*this, "Label1"};
    ComboBox ComboBox1{*this, "ComboBox1"};
    TextBox TextBox1{*this, "TextBox1"};
    CheckBox CheckBox1{*this, "CheckBox1"};
    CommandButton CommandButton1{*this, "CommandButton1"};
    CommandButton CommandButton2{*this, "CommandButton2"};
    ListView ListView1{*this, "ListView1"};

    Entry_frm() : Form("Entry_frm") {
        onInitialize = [this] { UserForm_Initialize(); };
        onQueryClose = [](int&, CloseMode) { write("B3", "closed"); };
        ComboBox1.onChange = [this] { write("B1", ComboBox1.text()); };
        ComboBox1.onClick = [this] { write("C1", "picked " + ComboBox1.text()); };
        TextBox1.onChange = [this] { write("B2", TextBox1.text()); };
        TextBox1.onKeyDown = [this](int& key, int) {
            if (key == key::kReturn) toolkit().msgBox("已输入：" + TextBox1.text(), MsgBoxIcon::Information, "系统：");
        };
        CommandButton1.onClick = [this] { CommandButton1_Click(); };
        ListView1.onClick = [this] {
            if (ListView1.selectedIndex() >= 0) write("B4", ListView1.subItem(ListView1.selectedIndex(), 1));
        };
    }

    void UserForm_Initialize() {
        setCaption("填写：");
        setHeight(1900);
        toolkit().setTopmost(*this);
        Label1.setCaption("输入收款人：");
        CommandButton1.setCaption("确  定");
        CommandButton2.setVisible(false);
        host::resume([&] {
            host::Variant v = XlApp->range("A1:A3").value();
            std::vector<std::string> rows;
            for (int r = 1; r <= v.array().rows(); ++r) rows.push_back(v.array().at(r, 1).toText());
            ComboBox1.setList(rows);
        });
        ListView1.setView(ListViewMode::Report);
        ListView1.addColumn("简称", 50);
        ListView1.addColumn("户名", 150);
        for (auto [shortName, name] : {std::pair{"zgyh", "中国银行"}, std::pair{"gsyh", "工商银行"}}) {
            int row = ListView1.addItem(shortName);
            ListView1.setSubItem(row, 1, name);
        }
    }
    void CommandButton1_Click() {
        unload();
        FormInstance<List_frm>::show(XlApp->toolkit());
    }
};

class Connect : public host::AddinConnection {
public:
    void OnConnection(host::Application* application, int) override {
        XlApp = application;
        fs::path marker = fs::path(addinFolder()) / "setting.ini";
        std::error_code ec;
        launched_ = fs::exists(marker, ec);
        if (launched_) fs::remove(marker, ec);
    }
    void OnDisconnection(int) override { XlApp = nullptr; }
    void OnAddInsUpdate() override {}
    void OnStartupComplete() override {
        if (launched_) FormInstance<List_frm>::show(XlApp->toolkit());
    }
    void OnBeginShutdown() override {}
    std::string GetCustomUI(const std::string&) override {
        return launched_ ? "<customUI xmlns=\"http://schemas.microsoft.com/office/2006/01/customui\"/>" : "";
    }
    bool invoke(const std::string& method) override {
        Toolkit& tk = XlApp->toolkit();
        if (sameName(method, "ShowEntry")) {
            FormInstance<Entry_frm>::show(tk);
        } else if (sameName(method, "TouchEntry")) {
            FormInstance<Entry_frm>::get(tk)->TextBox1.setText("touched");
        } else if (sameName(method, "Hello")) {
            tk.msgBox("你好", MsgBoxIcon::Information, "系统：");
        } else if (sameName(method, "AskNumber")) {
            write("A5", tk.inputText("输入 <现金支票> 支票号码"));
        } else if (sameName(method, "ImportFile")) {
            auto files = XlApp->getOpenFilename("EXCEl Files (*.xls), *.xls*", 0, "选定文件", false);
            write("A6", files.empty() ? "cancelled" : fs::path(files[0]).filename().string());
        } else if (sameName(method, "OpenHelp")) {
            tk.shellOpen("https://example.invalid/help");
        } else if (sameName(method, "PrintSheet")) {
            host::resume([&] { XlApp->activeSheet()->printOut(1, true); });
        } else {
            return false;
        }
        return true;
    }
    std::vector<std::string> methodNames() const override {
        return {"ShowEntry", "TouchEntry", "Hello", "AskNumber", "ImportFile", "OpenHelp", "PrintSheet"};
    }

private:
    bool launched_ = false;
};

}  // namespace testaddin

extern "C" vorra::host::AddinConnection* vorra_create_connection() { return new testaddin::Connect(); }
extern "C" void vorra_destroy_connection(vorra::host::AddinConnection* connection) { delete connection; }
