// The commands of this subsystem that show a form: "填写票据" shows Frm_收付款人, and
// the fill-in form's "新增收款人信息" button shows Add_User_frm.
#include "addin/books/Add_User_frm.h"
#include "addin/books/Frm_收付款人.h"
#include "addin/frame/Commands.h"
#include "addin/frame/Public_XlApp.h"

namespace vorra {

void showPayeePayerForm() {
    if (XlApp) host::resume([] { dialogs::FormInstance<Frm_收付款人>::show(XlApp->toolkit()); });
}

void showAddUserForm() {
    if (XlApp) host::resume([] { dialogs::FormInstance<Add_User_frm>::show(XlApp->toolkit()); });
}

}  // namespace vorra
