#include "DisplayWidth.h"

namespace orvraid {

std::size_t displayWidth(std::string_view utf8)
{
    std::size_t width = 0;
    for (unsigned char c : utf8) {
        // Continuation bytes (10xxxxxx) belong to the character before them.
        if ((c & 0xC0) != 0x80)
            ++width;
    }
    return width;
}

}  // namespace orvraid
