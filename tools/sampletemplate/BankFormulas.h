#pragma once
// Formula texts the sample template's bill sheets use to print an amount and a date in
// Chinese capitals. They use only ordinary worksheet functions and number formats, so
// a template built with them calculates the same in the spreadsheet host.
//
// Amount in financial capitals, as Chinese banks require (amount in the cell given):
//   0         → 零元整
//   1234.50   → 壹仟贰佰叁拾肆元伍角整     (元 … 角 followed by 整 when there are no 分)
//   100       → 壹佰元整
//   1234.05   → 壹仟贰佰叁拾肆元零伍分     (零 between 元 and 分 when 角 is 0)
//   1680.32   → 壹仟陆佰捌拾元叁角贰分
//   0.05      → 伍分                       (no 元 when the amount is below one)
//   100010000 → 壹亿零壹万元整             (one 零 per run of zeros, 壹拾 written out)
// The amount is first rounded to whole 分 (cents); everything is derived from that
// count so that binary fractions cannot make the 元 and 角 disagree.
//
// Cheque date in capitals: the year digit by digit; a month of 1, 2 or 10 and a day
// of 1 to 9, 10, 20 or 30 take a leading 零, so that nothing can be written in front:
//   2026-12-07 → 贰零贰陆年壹拾贰月零柒日, 10-20 → 零壹拾月零贰拾日, 01-15 → 零壹月壹拾伍日

#include <string>

namespace vorra::tools {

// Formula text (without "=") for the amount in cell `cell` (e.g. "常用单位账号!$K$3").
inline std::string amountInCapitalsFormula(const std::string& cell) {
    const std::string cents = "ROUND(ABS(" + cell + ")*100,0)";
    const std::string yuan = "INT(" + cents + "/100)";
    const std::string jiao = "MOD(INT(" + cents + "/10),10)";
    const std::string fen = "MOD(" + cents + ",10)";
    return "IF(" + cents + "=0,\"零元整\",IF(" + cell + "<0,\"负\",\"\")" +
           "&IF(" + yuan + ">0,TEXT(" + yuan + ",\"[DBNum2]0\")&\"元\",\"\")" +
           "&IF(" + jiao + ">0,TEXT(" + jiao + ",\"[DBNum2]0\")&\"角\",IF(AND(" + yuan + ">0," + fen +
           ">0),\"零\",\"\"))" +
           "&IF(" + fen + ">0,TEXT(" + fen + ",\"[DBNum2]0\")&\"分\",\"整\"))";
}

// Formula text (without "=") for the date in cell `cell` as a cheque writes it.
inline std::string chequeDateFormula(const std::string& cell) {
    const std::string m = "MONTH(" + cell + ")";
    const std::string d = "DAY(" + cell + ")";
    return "TEXT(" + cell + ",\"[DBNum2]yyyy\")&\"年\"" +
           "&IF(OR(" + m + "<3," + m + "=10),\"零\",\"\")&TEXT(" + m + ",\"[DBNum2]0\")&\"月\"" +
           "&IF(OR(" + d + "<10,MOD(" + d + ",10)=0),\"零\",\"\")&TEXT(" + d + ",\"[DBNum2]0\")&\"日\"";
}

}  // namespace vorra::tools
