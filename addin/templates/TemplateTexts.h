#pragma once
// Texts of template import and the template list, exactly as the system shows them.

#include <string>

namespace vorra::texts {

// The template folder under the add-in folder, and the marker sheet of a sheet copy.
inline constexpr const char* kTemplateFolderName = "套打模板";
inline constexpr const char* kMarkerSheet = "sheet_tmp";

// VorraMB_frm.
inline constexpr const char* kImportCaption = "套打模板：";
inline constexpr const char* kFrame2 = "下载新套打模板：";
inline constexpr const char* kCommand5 = "1.请观看使用教程";
inline constexpr const char* kCommand1 = "2.搜索下载模板";
inline constexpr const char* kCommand4 = "3.导入模板工作表";
inline constexpr const char* kCommand2 = "当前文件路径\n";
inline constexpr const char* kCommand2Tip = "点击“当前文件路径”按钮可以查看当前文件(模板)路径、\n位置！";
inline constexpr const char* kLabel2 = "注意：请先观看使用教程，再执行后面的按钮操作。";
inline constexpr const char* kFrame1 = "现有套打模板：可将其它套打模板拖到当前模板列表中";
inline constexpr const char* kFrame1Tip = "选中、点击即可打开相应模板！";
inline constexpr const char* kLabel3 = "选中所需要的模板、点击即可打开!";
inline constexpr const char* kFrame3 = "导入模板功能框(不得重复导入)：";
inline constexpr const char* kLabel1Import = "请将下载的模板拖入下面的区域，即刻导入！";
inline constexpr const char* kImage1Tip = "关闭导入模板功能框！";
inline constexpr const char* kCommand3 = "导入模板";

// The open-file dialog of both imports.
inline constexpr const char* kImportFilter = "xls文件,*.xls;*.xlsx;*.xlsm";
inline constexpr const char* kImportDialogTitle = "请选择要要导入的模板工作簿：";

inline constexpr const char* kTitleImport = "Excel支票Quorvan：";
inline constexpr const char* kMsgNothingChosen = "你没有选择要导入的模板工作簿！";
inline std::string msgImported(int count) {
    return "本次共导入了： " + std::to_string(count) + " 个模板工作簿！";
}
// Appended to the count when files could not be imported, one line per file.
inline constexpr const char* kMsgNotImported = "以下文件没有导入：";
inline std::string notImportedLine(const std::string& name, const std::string& reason) {
    return name + "（" + reason + "）";
}
// Reasons a file is not imported.
inline constexpr const char* kReasonNoSuchFile = "文件不存在";
inline constexpr const char* kReasonNoTemplateFolder = "模板文件夹不存在";
inline constexpr const char* kReasonUnsafeName = "文件名不能用作模板文件名";
inline constexpr const char* kReasonTooLarge = "文件太大";
inline constexpr const char* kReasonNotOpened = "工作簿无法打开";
inline constexpr const char* kReasonSheetsNotCopied = "工作表没有全部复制";
inline constexpr const char* kReasonHiddenFile = "隐藏文件或锁定文件，不能作为模板";
inline constexpr const char* kReasonNotAFile = "不是普通文件";
inline constexpr const char* kReasonIsTargetWorkbook = "就是要导入的当前工作簿，不能导入自身";

// "3.导入模板工作表" with nothing to import into, or no room for its marker sheet.
inline constexpr const char* kMsgNoTargetWorkbook = "没有打开的工作簿：请先打开要导入模板工作表的工作簿！";
inline std::string msgMarkerNotAdded(const std::string& workbook) {
    return "无法在工作簿“" + workbook + "”中添加临时工作表“sheet_tmp”，没有导入任何模板工作表！";
}

// MB_frm.
inline constexpr const char* kListLabel = "从支票模板模板列表中，选择一个点击即可打开";
inline constexpr const char* kTitleOpenFailed = "系统提示：";
inline std::string msgOpenFailed(const std::string& path, const std::string& reason) {
    return "无法打开模板工作簿：\n" + path + "\n" + reason;
}

}  // namespace vorra::texts
