// Words for the HRESULTs a provider answers, for the messages of failed commands.
#pragma once

#include "platform/com/WinTypes.h"

#include <string>

namespace orvraid {

// "the object was not found (0x80042405)"; an unknown code gives "error 0x........".
std::string describeHresult(HRESULT hr);

}  // namespace orvraid
