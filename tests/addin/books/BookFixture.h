#pragma once
// The fixture of the book tests: a workbook whose protected sheet 常用单位账号 has the
// book headings in row 7, connected as the add-in's host, and a user who types and
// presses keys in the forms.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "MemoryHost.h"
#include "addin/books/PinyinInitials.h"
#include "addin/frame/Public_XlApp.h"

namespace vorra::testing {

inline constexpr const char* kPassword = "470518";

class BookFixture : public ::testing::Test {
protected:
    BookFixture() {
        other = app.book().add("现金支票");
        sheet = app.book().add("常用单位账号");
        const char* headings[] = {"序号", "简称", "户名", "账号", "开户行", "省", "县", "用途序号", "用途"};
        for (int c = 0; c < 9; ++c) sheet->set(host::columnLetters(3 + c) + "7", host::Value::text(headings[c]));
        sheet->protect(kPassword);
        XlApp = &app;
    }
    ~BookFixture() override { XlApp = nullptr; }

    // A unit in a book row, written while the sheet is unprotected; the account as text.
    void unit(int row, const std::string& shortName, const std::string& name, const std::string& account,
              const std::string& bank = "工行", const std::string& province = "江苏",
              const std::string& county = "苏州") {
        const std::string fields[] = {shortName, name, account, bank, province, county};
        for (int i = 0; i < 6; ++i)
            if (!fields[i].empty()) sheet->set(host::columnLetters(4 + i) + std::to_string(row), text(fields[i]));
    }
    void purpose(int row, const std::string& code, const std::string& text_) {
        if (!code.empty()) sheet->set("J" + std::to_string(row), text(code));
        if (!text_.empty()) sheet->set("K" + std::to_string(row), text(text_));
    }
    static host::Value text(const std::string& s) { return host::Value::text(s); }
    static host::Value number(double d) { return host::Value::number(d); }
    std::string cell(const std::string& ref) const { return sheet->get(ref).toText(); }

    // The user types text into a text box, one character at a time.
    static void type(dialogs::TextBox& box, const std::string& typed) {
        box.setFocus();
        for (const std::string& ch : utf8Characters(typed)) {
            auto stroke = dialogs::keyForCharacter(static_cast<unsigned char>(ch[0]) < 0x80 ? ch[0] : 0x4E00);
            box.userKeyDown(stroke.keyCode, stroke.shift);
            box.userEdit(box.text() + ch);
            box.userKeyUp(stroke.keyCode, stroke.shift);
        }
    }
    // The user presses a key in a text box: KeyDown, KeyUp.
    static void press(dialogs::TextBox& box, int keyCode) {
        box.setFocus();
        box.userKeyDown(keyCode, 0);
        box.userKeyUp(keyCode, 0);
    }
    // The user empties a text box with Backspace.
    static void erase(dialogs::TextBox& box) {
        box.setFocus();
        box.userKeyDown(dialogs::key::kBack, 0);
        box.userEdit("");
        box.userKeyUp(dialogs::key::kBack, 0);
    }

    const std::vector<RecordingToolkit::Message>& messages() { return app.recorder().messages; }

    MemoryApplication app;
    std::shared_ptr<MemorySheet> other;
    std::shared_ptr<MemorySheet> sheet;
};

// A message as the tests expect it.
MATCHER_P3(IsMessage, prompt, icon, title, "") {
    return arg.prompt == std::string(prompt) && arg.icon == icon && arg.title == std::optional<std::string>(title);
}

}  // namespace vorra::testing
