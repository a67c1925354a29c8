#pragma once
// The fixture of the book tests: the add-in's test host with one workbook whose
// protected sheet 常用单位账号 has the book headings in row 7; its headless toolkit
// records what the forms showed and answers every message box with OK, and its user
// types, presses keys, clicks and picks in the forms.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "addin/books/PinyinInitials.h"
#include "tests/addin/support/AddinTestHost.h"

namespace vorra::testing {

inline constexpr const char* kPassword = "470518";

// A message box's request as the tests expect it.
MATCHER_P3(IsMessage, prompt, icon, title, "") {
    return arg.prompt == std::string(prompt) && arg.icon == icon && arg.title == std::optional<std::string>(title);
}

class BookFixture : public ::testing::Test {
protected:
    BookFixture() {
        other = host.book->worksheets().front();
        other->setName("现金支票");
        sheet = host.book->addSheet(other.get());
        sheet->setName("常用单位账号");
        const char* headings[] = {"序号", "简称", "户名", "账号", "开户行", "省", "县", "用途序号", "用途"};
        for (int c = 0; c < 9; ++c) set(host::columnLetters(3 + c) + "7", text(headings[c]));
        sheet->protect(kPassword);
    }

    // ---- The sheet. -----------------------------------------------------------------
    // Stores a value as it is (a text stays text), whatever the protection.
    void set(const std::string& ref, const host::Value& v) {
        bool wasProtected = sheet->isProtected();
        sheet->unprotect(kPassword);
        sheet->range(ref).setValue(v.isText() ? text("'" + v.asText()) : v);
        if (wasProtected) sheet->protect(kPassword);
    }
    host::Value get(const std::string& ref) const { return sheet->range(ref).scalar(); }
    std::string cell(const std::string& ref) const { return get(ref).toText(); }
    // The current bill and the first rows of the books, to see that nothing changed.
    host::Variant books() const { return sheet->read(host::parseArea("A1:L40")); }
    std::string selection() { return host::relativeAddress(app.selection().area()); }

    // A unit in a book row; the account as text.
    void unit(int row, const std::string& shortName, const std::string& name, const std::string& account,
              const std::string& bank = "工行", const std::string& province = "江苏",
              const std::string& county = "苏州") {
        const std::string fields[] = {shortName, name, account, bank, province, county};
        for (int i = 0; i < 6; ++i)
            if (!fields[i].empty()) set(host::columnLetters(4 + i) + std::to_string(row), text(fields[i]));
    }
    void purpose(int row, const std::string& code, const std::string& purposeText) {
        if (!code.empty()) set("J" + std::to_string(row), text(code));
        if (!purposeText.empty()) set("K" + std::to_string(row), text(purposeText));
    }
    static host::Value text(const std::string& s) { return host::Value::text(s); }
    static host::Value number(double d) { return host::Value::number(d); }

    // ---- What the forms showed. -----------------------------------------------------
    dialogs::Toolkit& toolkit() { return app.toolkit(); }
    const std::vector<dialogs::MessageBoxRequest>& messages() const { return host.toolkit.messageRequests; }
    void clearMessages() { host.toolkit.messageRequests.clear(); }
    std::vector<std::string> topmostForms() const { return host.formsOf(headless::Record::Kind::Topmost); }
    std::vector<std::string> openedAddresses() const { return host.detailsOf(headless::Record::Kind::ShellOpen); }

    // ---- The user, through the headless toolkit's user actions. -----------------------
    void type(dialogs::Control& box, const std::string& typed) { actions.type(box.form(), box.name(), typed); }
    void press(dialogs::Control& box, int keyCode) { actions.press(box.form(), box.name(), keyCode); }
    void click(dialogs::Control& control) { actions.click(control.form(), control.name()); }
    void pick(dialogs::Control& list, int index) { actions.pickIndex(list.form(), list.name(), index); }
    // Empties a text box with Backspace.
    void erase(dialogs::TextBox& box) {
        while (!box.text().empty()) press(box, dialogs::key::kBack);
    }

    AddinTestHost host{"16.0", false, false};
    engine::EngineApplication& app = host.app;
    headless::UserActions& actions = host.user;
    std::shared_ptr<host::Worksheet> other;
    std::shared_ptr<host::Worksheet> sheet;
};

}  // namespace vorra::testing
