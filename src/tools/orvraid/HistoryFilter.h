// Which typed lines may be kept in the interactive history: a line that carries a secret
// (a CHAP secret, an array's password) never reaches the history or its file, so the arrow
// keys and ~/.orvraid_history cannot give it away.
#pragma once

#include <string_view>

namespace orvraid {

// False for an empty line and for one with a "secret=" or "password=" parameter (in any
// letter case, quoted or not).
bool belongsInHistory(std::string_view line);

}  // namespace orvraid
