#include "addin/frame/Commands.h"

#include <array>

#include "addin/frame/My_Tool.h"
#include "addin/frame/Public_XlApp.h"
#include "addin/frame/host/HostError.h"

namespace vorra {

namespace {

constexpr std::array<Command, 15> kCommands{{
    {"VorraMB", &showTemplateImport},
    {"TianxiePJ", &showPayeePayerForm},
    {"DayinPJ", &showPrintForm},
    {"KuaijieTX", &showQuickFillForm},
    {"PiliangDY", &showBatchForm},
    {"DayinJL", &showRecordsForm},
    {"XiugaiRQ", &showDateForm},
    {"ZZDX", &ZZDX},
    {"YBJ", &YBJ},
    {"Web", &Web},
    {"WenTi", &WenTi},
    {"help", &help},
    {"Peixun", &Peixun},
    {"Xiazai", &Xiazai},
    {"About", &About},
}};

}  // namespace

std::span<const Command> commandTable() { return kCommands; }

void runCommand(std::string_view name) {
    // Every action works through the host: without a connection there is nothing to do.
    if (!XlApp) return;
    for (const auto& command : kCommands) {
        if (command.name == name) {
            host::resume(command.action);
            return;
        }
    }
}

}  // namespace vorra
