#include "platform/engine/print/PageSetupDialog.h"

#include <algorithm>
#include <cctype>

#include "addin/frame/host/HostError.h"
#include "platform/engine/print/PaperSizes.h"
#include "platform/engine/print/PrintLayout.h"
#include "platform/engine/print/PrintTexts.h"

namespace vorra::engine {

namespace {

// One key of the host's key notation: a braced name with an optional count
// ("{RIGHT}", "{RIGHT 2}"), or a single character.
struct Key {
    std::string name;  // upper case for braced names
    int count = 1;
};

std::vector<Key> parseKeys(std::string_view keys) {
    std::vector<Key> out;
    for (size_t i = 0; i < keys.size();) {
        if (keys[i] == '{') {
            // "{}}" names the brace itself, so look for the closing brace after the name.
            size_t close = keys.find('}', i + 2);
            if (close == std::string_view::npos) break;
            std::string_view body = keys.substr(i + 1, close - i - 1);
            Key key;
            size_t space = body.find(' ');
            std::string_view name = body.substr(0, space);
            for (char c : name) key.name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            if (space != std::string_view::npos) {
                int n = 0;
                for (char c : body.substr(space + 1)) {
                    if (!std::isdigit(static_cast<unsigned char>(c))) break;
                    n = std::min(n * 10 + (c - '0'), 1000);
                }
                key.count = n;
            }
            out.push_back(std::move(key));
            i = close + 1;
        } else {
            out.push_back({std::string(1, keys[i]), 1});
            ++i;
        }
    }
    return out;
}

}  // namespace

std::array<std::string_view, PageSetupDialog::kPageCount> PageSetupDialog::pageCaptions() {
    return {texts::kPageTab, texts::kMarginsTab, texts::kHeaderFooterTab, texts::kSheetTab};
}

void PageSetupDialog::show(const Sheet& sheet, std::string_view queuedKeys) {
    state_ = State::Open;
    page_ = Page::PaperAndOrientation;
    sheetName_ = sheet.name;
    setup_ = sheet.pageSetup;
    pressKeys(queuedKeys);
}

void PageSetupDialog::pressKeys(std::string_view keys) {
    requireOpen();
    for (const Key& key : parseKeys(keys)) {
        if (key.name == "RIGHT") turn(key.count);
        if (key.name == "LEFT") turn(-key.count);
    }
}

void PageSetupDialog::turn(int pages) {
    int index = std::clamp(static_cast<int>(page_) + pages, 0, kPageCount - 1);
    page_ = static_cast<Page>(index);
}

void PageSetupDialog::requireOpen() const {
    if (state_ != State::Open)
        throw host::HostError(host::error::kApplicationDefined, "The page setup dialog is not open");
}

std::string PageSetupDialog::paperChoice() const { return describePaper(setup_, sheetName_); }

void PageSetupDialog::setPaperSize(int code) {
    requireOpen();
    if (!paperByCode(code))
        throw host::HostError(host::error::kInvalidArgument,
                              "Paper code " + std::to_string(code) + " is not in the paper table");
    setup_.paperSize = code;
}

void PageSetupDialog::setCustomPaper(double widthMm, double heightMm) {
    requireOpen();
    setup_.paperSize = 0;
    setup_.paperWidthMm = widthMm;
    setup_.paperHeightMm = heightMm;
}

void PageSetupDialog::setOrientation(Orientation orientation) {
    requireOpen();
    setup_.orientation = orientation;
}

void PageSetupDialog::setMargins(double left, double right, double top, double bottom) {
    requireOpen();
    setup_.marginLeft = left;
    setup_.marginRight = right;
    setup_.marginTop = top;
    setup_.marginBottom = bottom;
}

void PageSetupDialog::setCentring(bool horizontally, bool vertically) {
    requireOpen();
    setup_.centerHorizontally = horizontally;
    setup_.centerVertically = vertically;
}

void PageSetupDialog::confirm(Sheet& sheet) {
    requireOpen();
    printableArea(setup_, sheetName_);  // throws for a page setup that cannot print
    sheet.pageSetup = setup_;
    state_ = State::Confirmed;
}

void PageSetupDialog::cancel() {
    if (state_ == State::Open) state_ = State::Cancelled;
}

bool showPageSetupDialog(Sheet& sheet, std::string_view queuedKeys,
                         const std::function<void(PageSetupDialog&, Sheet&)>& user) {
    PageSetupDialog dialog;
    dialog.show(sheet, queuedKeys);
    if (user) user(dialog, sheet);
    if (dialog.isOpen()) dialog.cancel();
    return dialog.confirmed();
}

}  // namespace vorra::engine
