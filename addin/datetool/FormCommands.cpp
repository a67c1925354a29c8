// The commands of this subsystem that show a form. Until the form is part of the
// add-in, its command does nothing.
#include "addin/frame/Commands.h"

namespace vorra {

void showDateForm() {}

}  // namespace vorra
