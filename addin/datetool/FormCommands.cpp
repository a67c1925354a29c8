// The commands of this subsystem that show a form.
#include "addin/datetool/Date_frm.h"
#include "addin/frame/Commands.h"
#include "addin/frame/Public_XlApp.h"

namespace vorra {

void showDateForm() { dialogs::FormInstance<Date_frm>::show(connectedHost().toolkit()); }

}  // namespace vorra
