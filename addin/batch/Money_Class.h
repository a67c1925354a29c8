#pragma once
// The operations of the batch dialog. The list of bills stands on the sheet 批量打印
// (record k in row 7 + k), the current record in row 5 and its number in D2; the
// operations copy rows between the list, the current record and the fill-in sheet,
// and let the fill-in form print. They keep no state of their own.

namespace vorra {

class Money_Class {
public:
    void fn001();  // clear the list
    void fn002();  // import the list from another workbook
    void fn003();  // start from record 1
    void fn004();  // transfer the current record and open the fill-in form
    void fn005();  // print through the fill-in form and advance
    void fn006();  // previous record
    void fn007();  // next record
    void fn008();  // load the record whose number stands in D2
};

}  // namespace vorra
