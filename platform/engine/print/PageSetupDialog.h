#pragma once
// The host's page setup dialog (built-in dialog 7) as plain state that a dialog toolkit
// renders: four pages, the paper size and orientation on the first, the margins and
// centring on the second. The dialog works on a copy of the sheet's page setup; only
// confirming writes it back, after the checks the print layout makes.
//
// Keys queued for the dialog before it shows (the host's SendKeys) arrive once it is
// open: "{RIGHT}" moves to the next page, "{LEFT}" to the previous one, "{RIGHT 2}"
// repeats; other keys do nothing here. That is how a command opens the dialog on its
// margins page: queue "{RIGHT}", then show.

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "platform/engine/model/Model.h"

namespace vorra::engine {

inline constexpr int kPageSetupDialogId = 7;

class PageSetupDialog {
public:
    enum class Page { PaperAndOrientation, Margins, HeaderFooter, Sheet };
    static constexpr int kPageCount = 4;

    // The captions of the four pages, in order.
    static std::array<std::string_view, kPageCount> pageCaptions();

    // Opens on the sheet's page setup and on the first page, then takes the queued keys.
    void show(const Sheet& sheet, std::string_view queuedKeys);
    bool isOpen() const { return state_ == State::Open; }
    // Whether the last showing ended with OK.
    bool confirmed() const { return state_ == State::Confirmed; }
    Page page() const { return page_; }
    const std::string& sheetName() const { return sheetName_; }
    const PageSetup& setup() const { return setup_; }
    // The paper as the first page shows it: its name and size, and where it comes from
    // when the file gave no paper ("…：文件未给出纸张大小，按票据的纸张").
    std::string paperChoice() const;

    // Keys typed while the dialog is open, in the host's key notation.
    void pressKeys(std::string_view keys);

    // First page.
    void setPaperSize(int code);  // a code of the paper table
    void setCustomPaper(double widthMm, double heightMm);
    void setOrientation(Orientation orientation);
    // Second page: inches, as the page setup keeps them.
    void setMargins(double left, double right, double top, double bottom);
    void setCentring(bool horizontally, bool vertically);

    // OK: checks the page setup as the print layout would and writes it to the sheet,
    // then closes. A page setup the layout refuses throws host::HostError and the
    // dialog stays open with the sheet unchanged.
    void confirm(Sheet& sheet);
    // Cancel: closes; the sheet keeps its page setup.
    void cancel();

private:
    void requireOpen() const;
    void turn(int pages);

    enum class State { Closed, Open, Confirmed, Cancelled };
    State state_ = State::Closed;
    Page page_ = Page::PaperAndOrientation;
    std::string sheetName_;
    PageSetup setup_;
};

// The dialog's whole run as the host's Show gives it: opens the dialog on the sheet
// with the queued keys, lets `user` work it (the toolkit's window, or a script), and
// says whether it ended confirmed. A dialog the user leaves open counts as cancelled.
bool showPageSetupDialog(Sheet& sheet, std::string_view queuedKeys,
                         const std::function<void(PageSetupDialog&, Sheet&)>& user);

}  // namespace vorra::engine
