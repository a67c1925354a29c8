// The commands of this subsystem that show a form.
#include "addin/frame/Commands.h"
#include "addin/frame/Public_XlApp.h"
#include "addin/records/DayinJL_frm.h"

namespace vorra {

void showRecordsForm() { dialogs::FormInstance<DayinJL_frm>::show(connectedHost().toolkit()); }

}  // namespace vorra
