#include "addin/frame/My_Tool.h"

#include "addin/frame/Commands.h"
#include "addin/frame/FrameTexts.h"
#include "addin/frame/MakerLinks.h"
#include "addin/frame/Public_XlApp.h"
#include "addin/frame/Shell.h"
#include "addin/frame/host/Host.h"

namespace vorra {

using host::resume;

std::string BarName;

ButtonEventCol& BarButtons() {
    static ButtonEventCol sinks;  // created on first use, lives as long as the library
    return sinks;
}

const std::vector<BarButtonRow>& barButtonTable() {
    static const std::vector<BarButtonRow> table{
        {"添加模板", "下载、添加套打模板", 591, "VorraMB", "VorraMB"},
        {"填写票据", "填写票据", 162, "TianxiePJ", "TianxiePJ"},
        {"打印票据", "打印票据", 1707, "DayinPJ", "DayinPJ"},
        {"批量打印", "批量打印", 986, "PiliangDY", "PiliangDY"},
        {"打印记录", "打印记录", 513, "DayinJL", "DayinJL"},
        {"修改日期", "修改系统日期、网络自动校时", 33, "XiugaiRQ", "XiugaiRQ"},
        {"纸张大小", "“页面设置”：纸张大小、方向设置", 318, "ZZDX", "ZZDX"},
        {"页边距", "设置页边距", 5, "YBJ", "YBJ"},
        {"网站", "Excel支票Quorvan官方网站", 1016, "Web", "Web"},
        {"常见问题", "【Excel支票Quorvan使用中的常见问题】", 564, "WenTi", "WenTi"},
        {"使用教程", "关于Excel支票Quorvan的使用教程", 3278, "help", "help"},
        {"出纳培训", "出纳业务知识培训", 2126, "Peixun", "Peixun"},
        {"视频下载", "Excel视频教程下载", 1104, "Xiazai", "Xiazai"},
        {"关于", "关于Excel支票Quorvan", 59, "about", "About"},
    };
    return table;
}

void ButtonEventCol::Add(const std::shared_ptr<host::CommandBarButton>& button) {
    auto sink = std::make_unique<ButtonEvent>();
    sink->Button = button;
    ButtonEvent* target = sink.get();
    button->subscribeClick(
        [target](host::CommandBarButton& b, bool& cancel) { target->Button_Click(b, cancel); });
    sinks_.push_back(std::move(sink));
}

void ButtonEvent::Button_Click(host::CommandBarButton& button, bool&) {
    // Parameters are compared exactly, with case: "about" is the bar's spelling of
    // the About command, and "About" on the bar does nothing.
    for (const auto& row : barButtonTable()) {
        if (button.parameter == row.parameter) {
            runCommand(row.command);
            return;
        }
    }
}

void BuildCommandBar() {
    BarName = texts::kBarName;
    resume([] { connectedHost().commandBars().remove(BarName); });
    host::CommandBar* bar = nullptr;
    resume([&] { bar = &connectedHost().commandBars().add(BarName, /*temporary=*/false); });
    if (!bar) return;
    resume([&] { bar->visible = true; });
    resume([&] { bar->position = host::bar::kPositionTop; });
    resume([&] { bar->protection = host::bar::kNoMove; });
    for (const auto& row : barButtonTable()) {
        std::shared_ptr<host::CommandBarButton> button;
        resume([&] { button = bar->addControl(host::bar::kControlButton, 0, /*temporary=*/true); });
        if (!button) continue;
        button->beginGroup = true;
        button->caption = row.caption;
        button->tooltip = row.tooltip;
        button->style = host::bar::kStyleIconAndCaptionBelow;
        button->faceId = row.faceId;
        button->parameter = row.parameter;
        resume([&] { BarButtons().Add(button); });
    }
}

void DeleteCommandBar() {
    BarName = texts::kBarName;
    resume([] { connectedHost().commandBars().remove(BarName); });
}

namespace {
inline constexpr int kPageSetupDialog = 7;
}

void ZZDX() {
    resume([] { XlApp->showBuiltinDialog(kPageSetupDialog); });
}

void YBJ() {
    // The queued key arrives when the dialog opens and moves it to its margins page.
    resume([] { XlApp->sendKeys("{RIGHT}", false); });
    resume([] { XlApp->showBuiltinDialog(kPageSetupDialog); });
}

void Web() { openWithShell(links::kHomePage); }
void WenTi() { openWithShell(links::kQuestionsPage); }
void help() { openWithShell(links::kTutorialPage); }
void Peixun() { openWithShell(links::kTrainingDocument); }
void Xiazai() { openWithShell(links::kVideoDocument); }

std::string aboutText() {
    const std::string cr = "\r";
    const std::string lf = "\n";
    std::string text;
    text += std::string(10, ' ') + "Quorvan为您提供银行票据打印的全程服务" + cr;
    text += std::string(20, ' ') + cr;
    text += std::string(9, ' ') + "专业代做银行票据套打模板" + cr;
    text += cr;
    text += cr;
    text += std::string(7, ' ') + "网站：" + links::kHomePage + cr;
    text += cr;
    text += std::string(7, ' ') + "邮箱：" + links::kMailAddress + cr;
    text += cr;
    text += std::string(4, ' ') + cr;
    // A house with a fence, in box-drawing and symbol characters.
    text += "          ╱▔▔▔▔╲" + lf;
    text += "        ╱　 ▲ 　╲" + lf;
    text += "        ┃ ▣　▣ ┃" + lf;
    text += "    ╫╫╫┻━━┻━━┻╫╫╫";
    return text;
}

void About() {
    showMessage(aboutText(), dialogs::MsgBoxIcon::Information, texts::kAboutTitle);
}

}  // namespace vorra
