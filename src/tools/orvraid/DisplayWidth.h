// How many terminal columns UTF-8 text takes: one per character (code point), so names
// from arrays with letters beyond ASCII still line up in the lists.
#pragma once

#include <cstddef>
#include <string_view>

namespace orvraid {

std::size_t displayWidth(std::string_view utf8);

}  // namespace orvraid
