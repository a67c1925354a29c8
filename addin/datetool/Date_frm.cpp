#include "addin/datetool/Date_frm.h"

#include "addin/datetool/ClockPage.h"
#include "addin/datetool/DateReading.h"
#include "addin/datetool/DateTexts.h"
#include "addin/frame/Public_XlApp.h"

namespace vorra {

using dialogs::MsgBoxIcon;
using host::resume;

Date_frm::Date_frm() : Form("Date_frm", dialogs::FormKind::WindowForm), timeoutMs_(kClockTimeoutMs) {
    setCaption(texts::kDateFormCaption);
    // The two buttons side by side in their frame (twips; inside the frame relative to it).
    setWidth(4320);
    setHeight(1680);
    Frame1.setCaption(texts::kDateFrameCaption);
    Frame1.move(120, 120, 4080, 1440);
    Command1.setCaption(texts::kDateSetByHand);
    Command1.move(240, 480, 1680, 600);
    Command2.setCaption(texts::kDateSetFromWeb);
    Command2.move(2160, 480, 1680, 600);
    onInitialize = [this] { Form_Load(); };
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
}

void Date_frm::Form_Load() {
    resume([&] { toolkit().setTopmost(*this); });
    computer_ = std::make_unique<ComputerClock>(toolkit());
    if (!clock_) clock_ = computer_.get();
}

void Date_frm::Command1_Click() {
    std::string answer;
    resume([&] { answer = toolkit().inputText(texts::kPromptDate, std::nullopt, shortDateText(clock_->now())); });
    auto date = readDate(answer);
    if (!date) return;  // cancelled, empty or not a date: nothing to do, nothing to say
    if (clock_->setDate(date->year, date->month, date->day) == ClockChange::NotPermitted) tellClockRefused();
}

// Any failure on the way, from the request to setting the clock, ends in the one
// failure message and the request to quit; only a refusal by the system to change its
// clock is told as such, and the host keeps running.
void Date_frm::Command2_Click() {
    LocalDateTime value;
    try {
        std::string page = fetchClockPage(clockPageAddress(clockHost(), randomRefreshText()), timeoutMs_);
        value = readClockPage(page);
    } catch (const std::exception&) {
        networkFailed();
        return;
    }
    ClockChange change = clock_->setDate(value.year, value.month, value.day);
    if (change == ClockChange::Done) change = clock_->setTime(value.hour, value.minute, value.second);
    if (change == ClockChange::NotPermitted) {
        tellClockRefused();
        return;
    }
    if (change == ClockChange::Failed) {
        networkFailed();
        return;
    }
    resume([&] { toolkit().msgBox(dateTimeText(value)); });
}

void Date_frm::tellClockRefused() {
    resume([&] { toolkit().msgBox(texts::kMsgClockRefused, MsgBoxIcon::Critical, texts::kTitleClockRefused); });
}

void Date_frm::networkFailed() {
    resume([&] { toolkit().msgBox(texts::kMsgNetworkDown); });
    resume([] { XlApp->quit(); });
}

}  // namespace vorra
