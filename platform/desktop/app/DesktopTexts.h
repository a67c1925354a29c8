#pragma once
// The desktop window's own captions and messages.

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
inline constexpr const char* kPrintedOn = "已发送到打印机：";
inline constexpr const char* kEditRefused = "无法更改单元格：";
inline constexpr const char* kAskSave = "是否保存对“%1”的更改？";
inline constexpr const char* kPrinterPrompt = "打印机：";
inline constexpr const char* kPrintToPdf = "打印到 PDF 文件夹（%1）";
inline constexpr const char* kAddinFailed = "无法加载加载项：";

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

}  // namespace vorra::desktop::texts
