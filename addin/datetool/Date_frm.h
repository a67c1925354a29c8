#pragma once
// The date tool's window: set the computer's date by hand, or date and time from the
// world-clock page.

#include <memory>
#include <string>

#include "addin/datetool/SystemClock.h"
#include "addin/frame/dialogs/Dialogs.h"

namespace vorra {

class Date_frm : public dialogs::Form {
public:
    dialogs::Frame Frame1{*this, "Frame1"};
    dialogs::CommandButton Command1{*this, "Command1", "Frame1"};
    dialogs::CommandButton Command2{*this, "Command2", "Frame1"};

    Date_frm();

    void Form_Load();
    void Command1_Click();
    void Command2_Click();

    // The clock the form sets: the computer's own (through the toolkit's clock service)
    // unless a test gives another.
    void useClock(SystemClock& clock) { clock_ = &clock; }
    // The limit of one web request.
    void setRequestTimeout(long milliseconds) { timeoutMs_ = milliseconds; }

private:
    void tellClockRefused();
    void networkFailed();

    std::unique_ptr<ComputerClock> computer_;
    SystemClock* clock_ = nullptr;
    long timeoutMs_;
};

}  // namespace vorra
