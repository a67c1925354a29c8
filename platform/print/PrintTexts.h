#pragma once
// The texts that printing puts on paper: the calibration page's title and directions.

namespace vorra::print::texts {

inline constexpr const char* kCalibrationTitle = "打印校准页：%1（纸张 %2 × %3 毫米）";
inline constexpr const char* kCalibrationInForce =
    "打印机：%1。本页已按当前偏移打印：横向 %2 毫米，纵向 %3 毫米，缩放 %4 × %5。";
inline constexpr const char* kCalibrationStep1 =
    "1. 把本页打印在空白票据上，或打印在白纸上后叠在票据上对着光看。";
inline constexpr const char* kCalibrationStep2 =
    "2. 用尺量出左上角十字中心到纸张左边和上边的距离（应为 %1 毫米）。";
inline constexpr const char* kCalibrationStep3 =
    "3. 新的横向偏移 = 本页的横向偏移 + %1 − 量得的左边距离；纵向偏移同理。正数向右、向下移动。";
inline constexpr const char* kCalibrationStep4 =
    "4. 打印机拉长或缩短纸张时：缩放 = 两个十字之间的标注距离 ÷ 量得的距离，否则保持 1。";
inline constexpr const char* kCalibrationStep5 =
    "5. 在“打印偏移”中填入新值后再打印本页核对：每个十字都应落在标注的位置上。";

}  // namespace vorra::print::texts
