// The commands of this subsystem that show a form: "填写票据" shows Frm_收付款人.
#include "addin/books/Frm_收付款人.h"
#include "addin/frame/Commands.h"
#include "addin/frame/Public_XlApp.h"

namespace vorra {

void showPayeePayerForm() {
    if (XlApp) host::resume([] { dialogs::FormInstance<Frm_收付款人>::show(XlApp->toolkit()); });
}

}  // namespace vorra
