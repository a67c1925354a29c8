#pragma once
// What the add-in tells the user when the host or the print service could not do
// something: one Chinese reason per error number the host reports. The host's own
// description is in English and is never shown.

#include <string>

#include "addin/frame/host/HostError.h"

namespace vorra {

// The reason for a failure, by its error number; a number the table does not know
// gives a general reason with the number, so that it can still be told apart.
std::string failureReason(const host::Failure& failure);

}  // namespace vorra
