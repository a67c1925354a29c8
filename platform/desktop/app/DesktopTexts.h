#pragma once
// The desktop window's own captions and messages.

#include "addin/frame/host/HostError.h"

namespace vorra::desktop::texts {

inline constexpr const char* kProgramName = "vorra-desktop";
inline constexpr const char* kHomeTab = "开始";

inline constexpr const char* kMenuFile = "文件(&F)";
inline constexpr const char* kMenuEdit = "编辑(&E)";
inline constexpr const char* kMenuWindow = "窗口(&W)";
inline constexpr const char* kActionNew = "新建(&N)";
inline constexpr const char* kActionOpen = "打开(&O)…";
inline constexpr const char* kActionSave = "保存(&S)";
inline constexpr const char* kActionSaveAs = "另存为(&A)…";
inline constexpr const char* kMenuRecent = "最近使用的文件";
inline constexpr const char* kActionClose = "关闭工作簿(&C)";
inline constexpr const char* kActionPrint = "打印(&P)…";
inline constexpr const char* kActionChoosePrinter = "选择打印机…";
inline constexpr const char* kActionPageSetup = "页面设置(&U)…";
inline constexpr const char* kActionExit = "退出(&X)";
inline constexpr const char* kActionUndo = "撤销(&U)";
inline constexpr const char* kActionRedo = "恢复(&R)";

inline constexpr const char* kWorkbookFilter = "工作簿 (*.xlsx *.xlsm *.xls);;所有文件 (*)";
inline constexpr const char* kSaveFilter = "工作簿 (*.xlsx);;所有文件 (*)";
inline constexpr const char* kOpenFailed = "无法打开工作簿：";
inline constexpr const char* kSaveFailed = "无法保存工作簿：";
inline constexpr const char* kPrintFailed = "无法打印：";
inline constexpr const char* kPrintedToFile = "已打印到文件：";
inline constexpr const char* kPrintedOn = "已在打印机“%1”上打印完毕（作业 %2）";
inline constexpr const char* kPrintingOn = "已交给打印机“%1”，正在打印（作业 %2）";
inline constexpr const char* kNotPrinted = "“%1”没有打印：%2";
inline constexpr const char* kCurrentPrinter = "当前打印机：%1";
inline constexpr const char* kEditRefused = "无法更改单元格：";
inline constexpr const char* kAskSave = "是否保存对“%1”的更改？";
inline constexpr const char* kPrinterPrompt = "打印机：";
inline constexpr const char* kPrintToPdf = "打印到 PDF 文件夹（%1）";
inline constexpr const char* kAddinFailed = "无法加载加载项：";

// Why a print did not happen, by host error number; nullptr for other numbers.
inline const char* printFailure(int number) {
    switch (number) {
        case host::error::kNoPrinter: return "打印服务中没有这台打印机，请用“选择打印机”另选一台。";
        case host::error::kPrinterRejecting: return "打印机不接收打印作业（打印队列已停止接收）。";
        case host::error::kPrinterPaused: return "打印机已暂停，请先恢复打印机。";
        case host::error::kPrinterFailed: return "打印服务拒绝或中止了这次打印。";
        case host::error::kPrintJobUnconfirmed: return "打印作业没有在规定时间内开始打印，已取消。";
        case host::error::kPrintPastPage: return "打印区域超出一页纸，请先调整页边距、缩放或列宽。";
        default: return nullptr;
    }
}

// The grid's clipboard and the names of its undoable steps.
inline constexpr const char* kActionCut = "剪切(&T)";
inline constexpr const char* kActionCopy = "复制(&C)";
inline constexpr const char* kActionPaste = "粘贴(&P)";
inline constexpr const char* kActionClear = "清除内容(&N)";
inline constexpr const char* kUndoCut = "剪切";
inline constexpr const char* kUndoPaste = "粘贴";
inline constexpr const char* kUndoClear = "清除";
inline constexpr const char* kTooManyCells = "一次最多复制、粘贴或清除 %1 个单元格。";

// Help and its list of add-ins.
inline constexpr const char* kMenuHelp = "帮助(&H)";
inline constexpr const char* kActionAddins = "加载项(&A)…";
inline constexpr const char* kAddinsTitle = "加载项";
inline constexpr const char* kAddinsName = "名称";
inline constexpr const char* kAddinsLoad = "加载行为";
inline constexpr const char* kAddinsLocation = "位置";
inline constexpr const char* kAddinsAtStartup = "启动时加载";
inline constexpr const char* kAddinsOnDemand = "按需加载";
inline constexpr const char* kAddinsDescription = "说明：";
inline constexpr const char* kAddinsNone = "没有加载任何加载项。";

// The page setup window.
inline constexpr const char* kPaperSize = "纸张大小：";
inline constexpr const char* kOrientation = "方向";
inline constexpr const char* kPortrait = "纵向";
inline constexpr const char* kLandscape = "横向";
inline constexpr const char* kMarginTop = "上(厘米)：";
inline constexpr const char* kMarginBottom = "下(厘米)：";
inline constexpr const char* kMarginLeft = "左(厘米)：";
inline constexpr const char* kMarginRight = "右(厘米)：";
inline constexpr const char* kCentreHorizontally = "水平居中";
inline constexpr const char* kCentreVertically = "垂直居中";
inline constexpr const char* kCustomPaper = "自定义";

// The printer's offsets and its calibration page.
inline constexpr const char* kActionOffsets = "打印偏移与校准…";
inline constexpr const char* kOffsetsTitle = "打印偏移";
inline constexpr const char* kOffsetsPrinter = "打印机：%1";
inline constexpr const char* kOffsetsSheet = "票据：";
inline constexpr const char* kOffsetsAllSheets = "这台打印机的所有票据";
inline constexpr const char* kOffsetsSheetOnly = "仅票据“%1”";
inline constexpr const char* kOffsetX = "横向偏移(毫米)：";
inline constexpr const char* kOffsetY = "纵向偏移(毫米)：";
inline constexpr const char* kScaleX = "横向缩放：";
inline constexpr const char* kScaleY = "纵向缩放：";
inline constexpr const char* kOffsetsHint =
    "正数向右、向下移动。偏移只用于这台打印机的打印和预览，不改变模板的页边距。"
    "先打印校准页，量出十字的位置，再填入这里。";
inline constexpr const char* kPrintCalibration = "打印校准页";
inline constexpr const char* kResetOffsets = "恢复为零";
inline constexpr const char* kCalibrationPrinted = "校准页已打印：%1";
inline constexpr const char* kAdjustment = "横向 %1 毫米，纵向 %2 毫米，缩放 %3 × %4";
inline constexpr const char* kNoAdjustment = "不偏移";
inline constexpr const char* kOffsetsInForce = "当前打印机“%1”的打印偏移：%2（不改变页边距）";
inline constexpr const char* kOffsetsUnreadable = "无法读取保存的打印偏移，本次按不偏移打印：";
inline constexpr const char* kOffsetsRefused = "无法保存打印偏移：";

// The print preview.
inline constexpr const char* kActionPreview = "打印预览(&V)…";
inline constexpr const char* kPreviewButton = "预览";
inline constexpr const char* kPreviewTitle = "打印预览 - %1";
inline constexpr const char* kPreviewZoom = "缩放：";
inline constexpr const char* kPreviewTrueSize = "%1%（实际大小）";
inline constexpr const char* kPreviewPicture = "表单图片…";
inline constexpr const char* kPreviewPictureFilter = "图片 (*.png *.jpg *.jpeg *.bmp *.tif *.tiff);;所有文件 (*)";
inline constexpr const char* kPreviewShowPicture = "显示表单图片";
inline constexpr const char* kPreviewDpi = "图片分辨率(dpi)：";
inline constexpr const char* kPreviewPictureX = "图片位置 横(毫米)：";
inline constexpr const char* kPreviewPictureY = "纵(毫米)：";
inline constexpr const char* kPreviewPrint = "打印";
inline constexpr const char* kPreviewClose = "关闭";
inline constexpr const char* kPreviewSummary = "打印机：%1；打印偏移：%2；纸张 %3 × %4 毫米";
inline constexpr const char* kPreviewPages = "；共 %1 页：%2";
inline constexpr const char* kPreviewPictureUnreadable = "无法读取表单图片：%1";
inline constexpr const char* kPreviewUnavailable = "无法预览：";

}  // namespace vorra::desktop::texts
